#include "common/TimeText.h"

namespace torvane {

std::tm LocalTimeOf(std::time_t when) {
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &when);
#else
    localtime_r(&when, &parts);
#endif
    return parts;
}

std::tm UtcTimeOf(std::time_t when) {
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &when);
#else
    gmtime_r(&when, &parts);
#endif
    return parts;
}

std::string FormatTime(const char* format, const std::tm& parts) {
    char text[256];
    const size_t n = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, n);
}

} // namespace torvane
