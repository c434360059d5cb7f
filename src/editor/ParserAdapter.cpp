#include "editor/ParserAdapter.h"

#include <vector>

namespace torvane::editor {

TParserAdapter::TParserAdapter(TTessaryParser& parser, std::function<void()> onReselect)
    : parser_(parser), registered_(true), onReselect_(std::move(onReselect)) {
    parser_.AddClient(this);
}

TParserAdapter::~TParserAdapter() {
    if (registered_) parser_.RemoveClient(this);
}

uint8_t TParserAdapter::NextToken(TCharCursor& cursor, int32_t& length) {
    return parser_.NextToken(registered_ ? this : nullptr, cursor, length);
}

TStyleRecord TSettingsStyleSource::Style(uint8_t style) const {
    const TTE_Style& s = settings_->GetStyle(style);
    TStyleRecord r;
    r.fontStyle = s.fontStyle;
    r.foreground = static_cast<TColor>(s.foreground);
    r.background = static_cast<TColor>(s.background);
    r.fgDefault = s.fgDefault != 0;
    r.bgDefault = s.bgDefault != 0;
    r.defined = s.defined != 0;
    return r;
}

void HighlightWholeStore(TTessaryParser& parser, TTextStore& store) {
    TParserAdapter adapter(parser);
    TRehighlighter highlighter(store);
    highlighter.SetParser(&adapter);
    highlighter.MarkAll();
    highlighter.Run();
}

void ClearTokens(TTextStore& store) {
    std::vector<uint8_t> zeros;
    for (TLineIndex line = 0; line < store.LineCount(); ++line) {
        const size_t length = store.NodeStyles(line).size();
        if (length == 0) continue;
        zeros.assign(length, 0);
        store.SetNodeStyles(line, zeros);
    }
}

} // namespace torvane::editor
