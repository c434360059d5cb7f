#include "app/logic/RecentFiles.h"

#include "common/IniFile.h"

namespace torvane::app {
namespace {
constexpr const char* kSection = "History";
std::string Slot(const TMemIniFile& s, int n) {
    return s.ReadString(kSection, std::to_string(n), "");
}
} // namespace

void AddToHistory(TMemIniFile& settings, const std::string& path) {
    int p = 0;
    for (int n = 1; n <= kHistorySlots; ++n)
        if (Slot(settings, n) == path) p = n;
    if (p == 0) p = kHistorySlots;
    for (int n = p; n >= 2; --n)
        settings.WriteString(kSection, std::to_string(n), Slot(settings, n - 1));
    settings.WriteString(kSection, "1", path);
}

std::vector<HistoryEntry> HistoryEntries(const TMemIniFile& settings) {
    std::vector<HistoryEntry> entries;
    for (int n = 1; n <= kHistorySlots; ++n) {
        std::string path = Slot(settings, n);
        if (!path.empty()) entries.push_back({n, path, std::to_string(n) + "  " + path});
    }
    return entries;
}

} // namespace torvane::app
