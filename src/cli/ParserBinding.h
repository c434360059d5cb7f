#pragma once
// The highlighting parser component seen through the editor's parser
// interface, and a whole-store highlight built on it: what the editor does
// after loading a file, without a window. Used by "torvane-cli tokens" and
// the highlighting benchmark.

#include "editor/Rehighlight.h"
#include "editor/TextStore.h"
#include "highlight/Parser.h"

namespace torvane::cli {

// A cursor that moves to nearby positions by stepping. The scanner puts the
// cursor back a few characters many times per token (a terminator only
// looked at, a rejected keyword); on the text store's cursor every such jump
// is a search through the line index, which would cost more than the scan.
// Stepping is valid because the store does not change during one token.
class TSteppingCursor final : public TCharCursor {
public:
    explicit TSteppingCursor(TCharCursor& inner) noexcept : inner_(inner) {}
    uint8_t Peek() const override { return inner_.Peek(); }
    int64_t GetPosition() const override { return inner_.GetPosition(); }
    void SetPosition(int64_t position) override {
        int64_t delta = position - inner_.GetPosition();
        if (delta > kStepLimit || delta < -kStepLimit) return inner_.SetPosition(position);
        // Next and Back stop at the ends, as SetPosition clamps.
        for (; delta > 0; --delta)
            inner_.Next();
        for (; delta < 0; ++delta)
            inner_.Back();
    }
    bool AtEnd() const override { return inner_.AtEnd(); }
    void Next() override { inner_.Next(); }
    void Back() override { inner_.Back(); }

private:
    static constexpr int64_t kStepLimit = 64;
    TCharCursor& inner_;
};

class TParserBinding final : public editor::TCustomTessaryParser {
public:
    explicit TParserBinding(TTessaryParser& parser) noexcept : parser_(parser) {}
    uint8_t NextToken(TCharCursor& cursor, int32_t& length) override {
        TSteppingCursor stepping(cursor);
        return parser_.NextToken(nullptr, stepping, length);
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
