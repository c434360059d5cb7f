#include "editor/ParserAdapter.h"

namespace torvane::editor {

void TSteppingCursor::SetPosition(int64_t position) {
    int64_t delta = position - inner_.GetPosition();
    if (delta > kStepLimit || delta < -kStepLimit) return inner_.SetPosition(position);
    // Next and Back stop at the ends, as SetPosition clamps.
    for (; delta > 0; --delta)
        inner_.Next();
    for (; delta < 0; ++delta)
        inner_.Back();
}

uint8_t TParserAdapter::NextToken(TCharCursor& cursor, int32_t& length) {
    TSteppingCursor stepping(cursor);
    return parser_.NextToken(nullptr, stepping, length);
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
