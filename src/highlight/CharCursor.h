#pragma once
// TCharCursor: the character cursor the keyword tables (and the tokenizer)
// read text through. Line breaks read as character 13.
//
// The scanner looks at every character several times (peek, step, step back
// after a terminator it only looked at), so the cursor must cost a few
// instructions per character. It therefore keeps a window onto the text
// itself: a contiguous span of characters [begin, end) that starts at text
// position base, with the cursor at `at`. Peek, Next, Back, AtEnd,
// GetPosition and SetPosition inside the window are inline and non-virtual;
// only leaving the window calls the text's own code (one virtual call per
// span, not per character).
//
// Window invariant, kept by every derived class: at == end only at the end
// of the text (so a window that the cursor has walked off is replaced by the
// next one at once), and the window holds at least one character whenever
// the text does.

#include <cstdint>
#include <string_view>

namespace torvane {

class TCharCursor {
public:
    virtual ~TCharCursor() = default;
    // The character at the cursor; 0 at the end.
    uint8_t Peek() const noexcept { return at_ != end_ ? static_cast<uint8_t>(*at_) : 0; }
    int64_t GetPosition() const noexcept { return base_ + (at_ - begin_); }
    // Clamped to 0..text length.
    void SetPosition(int64_t position) {
        if (position >= base_ && position - base_ < end_ - begin_)
            at_ = begin_ + (position - base_);
        else
            Seek(position);
    }
    // True when the position is past the last character of the text.
    bool AtEnd() const noexcept { return at_ == end_; }
    // One character on; does nothing at the end.
    void Next() {
        if (at_ != end_ && ++at_ == end_) NextSpan();
    }
    // One character back; does nothing at position 0.
    void Back() {
        if (at_ != begin_)
            --at_;
        else
            PreviousSpan();
    }

protected:
    TCharCursor() = default;
    TCharCursor(const TCharCursor&) = default;
    TCharCursor& operator=(const TCharCursor&) = default;

    // Sets the window; at lies in [begin, end].
    void SetSpan(const char* begin, const char* end, const char* at, int64_t base) noexcept {
        begin_ = begin;
        end_ = end;
        at_ = at;
        base_ = base;
    }
    // Moves to position (clamped to the text) outside the current window.
    virtual void Seek(int64_t position) = 0;
    // Called when Next has walked off the window (at == end): shows the
    // span that holds the next character, or leaves the window as it is at
    // the end of the text.
    virtual void NextSpan() = 0;
    // Called by Back at the first character of the window: shows the span
    // that holds the character before and puts the cursor on it; does
    // nothing at position 0.
    virtual void PreviousSpan() = 0;

private:
    const char* begin_ = nullptr;
    const char* end_ = nullptr;
    const char* at_ = nullptr;
    int64_t base_ = 0;
};

// A cursor over a string held elsewhere (tests, the command-line tool): the
// whole string is one window.
class TStringCursor final : public TCharCursor {
public:
    explicit TStringCursor(std::string_view text, int64_t position = 0) noexcept : text_(text) {
        SetPosition(position);
    }

private:
    void Seek(int64_t position) override {
        const int64_t length = static_cast<int64_t>(text_.size());
        position = position < 0 ? 0 : position > length ? length : position;
        SetSpan(text_.data(), text_.data() + text_.size(), text_.data() + position, 0);
    }
    // The one window is the whole text: nothing lies beyond either end.
    void NextSpan() override {}
    void PreviousSpan() override {}

    std::string_view text_;
};

} // namespace torvane
