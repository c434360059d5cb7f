#pragma once
// The highlighting parser component (src/highlight) as the editor sees it:
//
//   TParserAdapter        TTessaryParser behind the editor's parser interface
//                         (TCustomTessaryParser), so that a TRehighlighter
//                         can re-scan a text store with a compiled scheme;
//   TSettingsStyleSource  the parser's settings object behind the painter's
//                         style interface (token -> style -> style record);
//   TSteppingCursor       a cursor that reaches nearby positions by stepping.

#include "editor/Painter.h"
#include "editor/Rehighlight.h"
#include "highlight/Parser.h"

namespace torvane::editor {

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
    void SetPosition(int64_t position) override;
    bool AtEnd() const override { return inner_.AtEnd(); }
    void Next() override { inner_.Next(); }
    void Back() override { inner_.Back(); }

private:
    static constexpr int64_t kStepLimit = 64;
    TCharCursor& inner_;
};

class TParserAdapter final : public TCustomTessaryParser {
public:
    explicit TParserAdapter(TTessaryParser& parser) noexcept : parser_(parser) {}
    TTessaryParser& Parser() const noexcept { return parser_; }

    uint8_t NextToken(TCharCursor& cursor, int32_t& length) override;
    void ResetState(uint8_t context) override { parser_.ResetState(context); }
    bool Busy() const override { return parser_.Busy(); }
    bool InContainer() const override { return parser_.InContainer(); }
    const TStateSet& Anchor() const override { return parser_.Anchor(); }
    bool InBoundState() const override { return parser_.CurrentStates().Intersects(parser_.BoundStates()); }

private:
    TTessaryParser& parser_;
};

// Reads the settings at every call, so a recompiled scheme shows at the
// next paint without re-binding.
class TSettingsStyleSource final : public TStyleSource {
public:
    explicit TSettingsStyleSource(const TTE_Settings& settings) noexcept : settings_(&settings) {}
    void SetSettings(const TTE_Settings& settings) noexcept { settings_ = &settings; }
    uint8_t StyleOfToken(uint8_t token) const override { return settings_->StyleOfToken(token); }
    TStyleRecord Style(uint8_t style) const override;

private:
    const TTE_Settings* settings_;
};

// Sets the token bytes of every line of store from scratch.
void HighlightWholeStore(TTessaryParser& parser, TTextStore& store);

} // namespace torvane::editor
