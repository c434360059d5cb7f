#pragma once
// The recent-file history: nine slots in the settings section "History",
// keys "1" (most recent) to "9"; an empty or missing key is an empty slot.

#include <string>
#include <vector>

namespace torvane {
class TMemIniFile;
}

namespace torvane::app {

inline constexpr int kHistorySlots = 9;

// PridejHistorii: puts a path at the front. A path already in the list
// (compared exactly, the last matching slot winning) moves to the front and
// the others keep their order; a new one pushes every slot down and the
// ninth drops out.
void AddToHistory(TMemIniFile& settings, const std::string& path);

// One menu entry per non-empty slot, in slot order.
struct HistoryEntry {
    int slot;
    std::string path;
    std::string caption; // the slot number, two blanks, the path
};
std::vector<HistoryEntry> HistoryEntries(const TMemIniFile& settings);

} // namespace torvane::app
