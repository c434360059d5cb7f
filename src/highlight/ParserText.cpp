#include "highlight/ParserText.h"

#include <algorithm>

namespace torvane {

std::string WithEditorLineBreaks(std::string_view raw) {
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text += raw[i] == '\n' ? '\r' : raw[i];
    }
    return text;
}

std::vector<uint8_t> ScanTokenIds(TTessaryParser& parser, std::string_view text) {
    std::vector<uint8_t> ids(text.size(), 0);
    TStringCursor cursor(text);
    parser.ResetState(0);
    uint8_t containerId = 0;
    while (!cursor.AtEnd()) {
        const int64_t start = cursor.GetPosition();
        const bool inside = parser.InContainer();
        int32_t length = 0;
        const uint8_t id = parser.NextToken(nullptr, cursor, length);
        const int64_t end = std::min<int64_t>(start + length, static_cast<int64_t>(text.size()));
        for (int64_t i = start; i < end; ++i)
            ids[static_cast<size_t>(i)] = inside && id == 0 ? containerId : id;
        if (length == 0) cursor.Next();
        if (!inside && parser.InContainer()) {
            // A container: its text is scanned again from where it started.
            containerId = id;
            cursor.SetPosition(start);
        }
    }
    parser.ResetState(0);
    return ids;
}

} // namespace torvane
