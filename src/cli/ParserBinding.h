#pragma once
// The highlighting parser component seen through the editor's parser
// interface, and a whole-store highlight built on it: what the editor does
// after loading a file, without a window. Used by "torvane-cli tokens" and
// the highlighting benchmark.

#include "editor/Rehighlight.h"
#include "editor/TextStore.h"
#include "highlight/Parser.h"

namespace torvane::cli {

class TParserBinding final : public editor::TCustomTessaryParser {
public:
    explicit TParserBinding(TTessaryParser& parser) noexcept : parser_(parser) {}
    uint8_t NextToken(TCharCursor& cursor, int32_t& length) override {
        return parser_.NextToken(nullptr, cursor, length);
    }
    void ResetState(uint8_t context) override { parser_.ResetState(context); }
    bool Busy() const override { return parser_.Busy(); }
    bool InContainer() const override { return parser_.InContainer(); }
    const TStateSet& Anchor() const override { return parser_.Anchor(); }
    bool InBoundState() const override { return parser_.CurrentStates().Intersects(parser_.BoundStates()); }

private:
    TTessaryParser& parser_;
};

// Sets the token bytes of every line of store from scratch.
inline void HighlightWholeStore(TTessaryParser& parser, editor::TTextStore& store) {
    TParserBinding binding(parser);
    editor::TRehighlighter highlighter(store);
    highlighter.SetParser(&binding);
    highlighter.MarkAll();
    highlighter.Run();
}

} // namespace torvane::cli
