#include "editor/ParserAdapter.h"

namespace torvane::editor {

uint8_t TParserAdapter::NextToken(TCharCursor& cursor, int32_t& length) {
    return parser_.NextToken(nullptr, cursor, length);
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

} // namespace torvane::editor
