#include "common/Messages.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>

namespace torvane {
namespace {

struct Entry {
    int id;
    const char* text;
};

// Kept sorted by id; a test checks the order and that no id repeats.
constexpr Entry kTable[] = {
    // Stream library.
    {msg::SReadError, "Stream read error"},
    {msg::SWriteError, "Stream write error"},
    {msg::SFOpenError, "Cannot open file \"%s\""},
    {msg::SFCreateError, "Cannot create file \"%s\""},
    {msg::SFileOpenForReading, "File '%s' cannot be opened for reading"},
    {msg::SBadStreamInstance, "Bad TStream instance"},
    {msg::SCouldNotSaveStream, "Could not save text to stream"},
    {msg::SReadOnlyStream, "Cannot write to a read-only stream"},
    {msg::SFileSaveFailed, "Cannot save file \"%s\": %s"},

    // Text store and tab stops.
    {msg::SNotEnoughMemory, "Not enough memory for operation"},
    {msg::STabColumnExpected, "Tab stop column value expected"},
    {msg::STooManyTabStops, "Too many tab stops - maximum of "},
    {msg::STabColumnsOrder, "Tab columns must be in order and unique"},
    {msg::STabColumnGreaterOne, "Tab column must be > 1"},
    {msg::SIllegalTabDefault, "=Illegal default tab stop value, must be > 0"},

    // The editor component's numbered table (4096 up).
};

} // namespace

const char* LoadStr(int id) noexcept {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kTable) && it->id == id ? it->text : "";
}

std::string FormatStr(int id, ...) {
    const char* fmt = LoadStr(id);
    va_list args;
    va_start(args, id);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

bool MessageTableIsSorted() noexcept {
    return std::adjacent_find(std::begin(kTable), std::end(kTable), [](const Entry& a, const Entry& b) {
               return a.id >= b.id;
           }) == std::end(kTable);
}

} // namespace torvane
