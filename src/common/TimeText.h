#pragma once
// Moments as text. The calendar parts come from the thread-safe forms of
// localtime and gmtime: the bridge writes its log on a worker thread while
// the window may be printing or exporting with a date of its own.

#include <ctime>
#include <string>

namespace torvane {

std::tm LocalTimeOf(std::time_t when);
std::tm UtcTimeOf(std::time_t when);

// strftime into a string (empty when the text would not fit 256 bytes).
std::string FormatTime(const char* format, const std::tm& parts);

} // namespace torvane
