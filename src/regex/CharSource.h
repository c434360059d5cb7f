#pragma once
// The character cursor the regular-expression engine searches through. The
// editor's stream over its text store implements it (or is adapted to it);
// TStringCharSource serves tests, tools and benchmarks.
//
// Contract every implementation keeps:
// - positions run from 0 to the text length; Position() == length means
//   AtEnd();
// - Peek() is the character at the cursor as 0..255, a line break reading as
//   13; at the end it returns 0;
// - Next() moves one character on and stays put at the end; Back() moves one
//   character back and stays put at 0;
// - SetPosition() clamps to 0..length.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

// A character offset into the searched text (the editor's texts are limited
// to 32-bit lengths).
using TREPos = std::int32_t;

class TRECharSource {
public:
    virtual ~TRECharSource() = default;

    virtual int Peek() const = 0;
    virtual void Next() = 0;
    virtual void Back() = 0;
    virtual TREPos Position() const = 0;
    virtual void SetPosition(TREPos position) = 0;
    virtual bool AtEnd() const = 0;

    // Moves to the nearest position at or after (forward) or at or before
    // the cursor whose character is in `set`. Returns false when there is
    // none; the cursor then stands at the end (forward) or at 0. Sources
    // with direct access to their characters may scan faster.
    virtual bool SkipToAnyOf(const std::array<bool, 256>& set, bool forward);
};

// A cursor over a string that is already in stored form (line breaks as
// single CR characters). The string is not copied and must outlive the source.
class TStringCharSource final : public TRECharSource {
public:
    explicit TStringCharSource(std::string_view text, TREPos position = 0);

    int Peek() const override {
        return fPos < fLength ? static_cast<unsigned char>(fText[static_cast<size_t>(fPos)]) : 0;
    }
    void Next() override {
        if (fPos < fLength) ++fPos;
    }
    void Back() override {
        if (fPos > 0) --fPos;
    }
    TREPos Position() const override { return fPos; }
    void SetPosition(TREPos position) override;
    bool AtEnd() const override { return fPos >= fLength; }

private:
    std::string_view fText;
    TREPos fLength;
    TREPos fPos = 0;
};

// Converts text with CR LF, LF CR, LF or CR line ends into stored form, where
// each line break is one CR (13).
std::string ToStoredLineBreaks(std::string_view text);

} // namespace torvane
