#pragma once
// TCharCursor: the character cursor the keyword tables (and the tokenizer)
// read text through. The editor's text-store cursor offers the same
// operations; an adapter over it is all the editor needs. Line breaks read
// as character 13.

#include <cstdint>
#include <string_view>

namespace torvane {

class TCharCursor {
public:
    virtual ~TCharCursor() = default;
    // The character at the cursor; only meaningful when !AtEnd().
    virtual uint8_t Peek() const = 0;
    virtual int64_t GetPosition() const = 0;
    virtual void SetPosition(int64_t position) = 0;
    // True when the position is past the last character of the text.
    virtual bool AtEnd() const = 0;
    // One character on; does nothing at the end.
    virtual void Next() = 0;
    // One character back; does nothing at position 0.
    virtual void Back() = 0;
};

// A cursor over a string held elsewhere (tests, the command-line tool).
class TStringCursor final : public TCharCursor {
public:
    explicit TStringCursor(std::string_view text, int64_t position = 0) noexcept : text_(text) {
        SetPosition(position);
    }
    uint8_t Peek() const override {
        return AtEnd() ? 0 : static_cast<uint8_t>(text_[static_cast<size_t>(pos_)]);
    }
    int64_t GetPosition() const override { return pos_; }
    void SetPosition(int64_t position) override {
        pos_ = position < 0 ? 0 : position > Length() ? Length() : position;
    }
    bool AtEnd() const override { return pos_ >= Length(); }
    void Next() override {
        if (!AtEnd()) ++pos_;
    }
    void Back() override {
        if (pos_ > 0) --pos_;
    }

private:
    int64_t Length() const noexcept { return static_cast<int64_t>(text_.size()); }
    std::string_view text_;
    int64_t pos_ = 0;
};

} // namespace torvane
