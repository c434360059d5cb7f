#pragma once
// TWordStore: a case-insensitive character trie from words to a code and/or
// a text. The scheme lexer keeps its keywords (word -> token code) and its
// macros (name -> replacement text) in two of them.
//
// Keys are stored lower-case (ASCII); every lookup lower-cases as it walks.
// Nodes live in one vector and link by index: a node holds one character,
// the index of its next sibling and of its first child, an end-of-key mark,
// a code (-1 when none) and an optional text. A table of 256 entries gives
// the first node for each first character.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::scheme {

class TWordStore {
public:
    static constexpr int kNoCode = -1;

    TWordStore() { firstNode_.fill(kNone); }

    // Adds the key or replaces its text.
    void AddText(std::string_view key, std::string text);
    // Adds the key or replaces its code.
    void AddCode(std::string_view key, int code);

    bool Contains(std::string_view key) const { return Find(key) != kNone; }
    // The key's text; nullptr when the key is absent or has none.
    const std::string* Text(std::string_view key) const;
    // The key's code; kNoCode when the key is absent or has none.
    int Code(std::string_view key) const;

    // The longest key that text[0, length) starts with. A key whose last
    // character is a letter, digit or '_' counts only when the character
    // after it is none of those (so "is" is not found in "isx"). Returns the
    // key's length, 0 when none matches, and sets code.
    size_t Match(const char* text, size_t length, int& code) const;

    size_t NodeCount() const noexcept { return nodes_.size(); }

private:
    static constexpr int32_t kNone = -1;
    struct Node {
        explicit Node(char c) : ch(c) {}
        char ch;
        bool isKey = false;
        int32_t sibling = kNone;
        int32_t child = kNone;
        int code = kNoCode;
        std::optional<std::string> text;
    };

    int32_t Find(std::string_view key) const;
    int32_t Insert(std::string_view key);
    int32_t ChildWith(int32_t firstChild, char ch) const;

    std::array<int32_t, 256> firstNode_;
    std::vector<Node> nodes_;
};

// Letters, digits and '_' as the script language sees them (ASCII only).
inline bool IsWordStart(int c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
inline bool IsDigit(int c) noexcept {
    return c >= '0' && c <= '9';
}
inline bool IsWordChar(int c) noexcept {
    return IsWordStart(c) || IsDigit(c);
}
inline char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace torvane::scheme
