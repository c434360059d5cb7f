#pragma once
// Character groups: sets of byte characters, possibly negated, written in
// scheme scripts as character specifiers, and the manager that interns them
// so that equal groups share one index.
//
// Specifier syntax (ParseSpecifier):
//   c          one character (with escapes, below)
//   c-d        the range c..d; d below c is an error
//   [...]      a class of characters and ranges, closed by an unescaped "]";
//   [^...]     the same, negated
// Outside a class the first character or range is the whole specifier, and
// "]" is an ordinary character. Inside a class "\[" and "\]" are the
// bracket characters, and a "-" right before the closing "]" is itself a
// member ("[+-]" is the two characters + and -).
//
// Escapes (note \n and \r: the editor stores a line break as 13):
//   \t 9   \b 8   \r 10   \n 13   \s 32   \e 27   (either case)
//   \x.. \u..   hexadecimal digits, as many as follow, value modulo 256
//   \0.. - \7.. octal digits, as many as follow, value modulo 256
//   \c          any other character c stands for itself
//
// Group stream form: 32 bytes member set (character n is bit n mod 8 of
// byte n div 8), i32 number of explicit ranges (always 0: the range list is
// carried by the format but never filled; a reader rejects other values),
// u8 negated.
//
// Manager stream form: i32 count, then each group in the group form; loading
// interns each group read, so indices depend only on reading order.

#include "common/StateSet.h"
#include "highlight/TEBase.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace torvane {

class TTE_CharGroup final : public TTE_Base {
public:
    TTE_CharGroup() = default;
    TTE_CharGroup(const TTE_CharGroup&) = default;
    TTE_CharGroup& operator=(const TTE_CharGroup&) = default;

    void Clear() noexcept;
    void AddRange(uint8_t low, uint8_t high) noexcept { members_.IncludeRange(low, high); }
    void AddChar(uint8_t c) noexcept { members_.Include(c); }
    void AddSet(const TStateSet& set) noexcept { members_ |= set; }
    void SetNegated(bool negated) noexcept { negated_ = negated; }

    bool Contains(uint8_t c) const noexcept { return members_.Contains(c) != negated_; }
    // No member and no range; the negated flag is not looked at, so an empty
    // negated group (which contains every character) is empty too. Keyword
    // follow conditions rely on this to mean "no condition".
    bool IsEmpty() const noexcept { return members_.Empty(); }
    bool Negated() const noexcept { return negated_; }
    const TStateSet& Members() const noexcept { return members_; }

    bool Equals(const TTE_CharGroup& other) const noexcept {
        return negated_ == other.negated_ && members_ == other.members_;
    }

    // Reads one specifier from text starting at the 0-based pos and leaves
    // pos after the last character read. An unclosed class ends with the
    // text. A reversed range raises ETessary "Characters not in correct
    // order for range specifier".
    void ParseSpecifier(std::string_view text, size_t& pos);

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const noexcept override { return "TTE_CharGroup"; }

    // A group containing every character (the "no restriction" follow group).
    static TTE_CharGroup AllCharacters();

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TTE_CharGroup>(); }

private:
    TStateSet members_;
    bool negated_ = false;
};

class TTE_CharGroupManager final : public TTE_Base {
public:
    TTE_CharGroupManager() = default;
    TTE_CharGroupManager(const TTE_CharGroupManager&) = delete;
    TTE_CharGroupManager& operator=(const TTE_CharGroupManager&) = delete;

    // Index of the first stored group equal to group; otherwise a copy is
    // appended. Indices are 0-based and stable until Clear.
    int Intern(const TTE_CharGroup& group);
    // Raises ETessary "Invalid Set ID (%d)" for an index not below Count().
    const TTE_CharGroup& Get(int index) const;
    int Count() const noexcept { return static_cast<int>(groups_.size()); }
    void Clear() noexcept {
        groups_.clear();
        index_.clear();
    }

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const noexcept override { return "TTE_CharGroupManager"; }

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override {
        return std::make_unique<TTE_CharGroupManager>();
    }

private:
    std::vector<TTE_CharGroup> groups_;
    // Stream form of each stored group -> its index, so interning stays
    // constant time however many groups a (possibly hostile) stream holds.
    std::unordered_map<std::string, int> index_;
};

} // namespace torvane
