#pragma once
// The highlighting parser component (src/highlight) as the editor sees it:
//
//   TParserAdapter        TTessaryParser behind the editor's parser interface
//                         (TCustomTessaryParser), so that a TRehighlighter
//                         can re-scan a text store with a compiled scheme;
//   TSettingsStyleSource  the parser's settings object behind the painter's
//                         style interface (token -> style -> style record).

#include "editor/Painter.h"
#include "editor/Rehighlight.h"
#include "highlight/Parser.h"

#include <functional>

namespace torvane::editor {

class TParserAdapter final : public TCustomTessaryParser, public TParserClient {
public:
    // An anonymous scan (a whole store highlighted once).
    explicit TParserAdapter(TTessaryParser& parser) noexcept : parser_(parser) {}
    // An editor's link to its parser: registered with it (and its settings)
    // for as long as the adapter lives; onReselect runs whenever the parser's
    // scheme, styles or fonts change.
    TParserAdapter(TTessaryParser& parser, std::function<void()> onReselect);
    ~TParserAdapter() override;
    TParserAdapter(const TParserAdapter&) = delete;
    TParserAdapter& operator=(const TParserAdapter&) = delete;
    TTessaryParser& Parser() const noexcept { return parser_; }

    // TParserClient.
    void ReselectParser(TTessaryParser&) override {
        if (onReselect_) onReselect_();
    }
    void GutterFontChanged() override {
        if (onReselect_) onReselect_();
    }

    uint8_t NextToken(TCharCursor& cursor, int32_t& length) override;
    void ResetState(uint8_t context) override { parser_.ResetState(context); }
    bool Busy() const override { return parser_.Busy(); }
    bool InContainer() const override { return parser_.InContainer(); }
    const TStateSet& Anchor() const override { return parser_.Anchor(); }
    bool InBoundState() const override { return parser_.CurrentStates().Intersects(parser_.BoundStates()); }

private:
    TTessaryParser& parser_;
    bool registered_ = false;
    std::function<void()> onReselect_;
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
// Every character back to plain text (token 0).
void ClearTokens(TTextStore& store);

} // namespace torvane::editor
