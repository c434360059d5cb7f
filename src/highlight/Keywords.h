#pragma once
// Keyword tables: a character trie of words in which every word entry carries
// a state set, a follow group and a value (a token id for the scheme and user
// tables, a macro reference for the macro tables).
//
// Trie layout: each node holds one character, its siblings in ascending
// character order, its children (the next character), the word entries that
// end at it in insertion order, and the union of the state sets of every
// word passing through it, which lets a lookup leave a branch early. A
// 256-entry index gives the first-level node of each character directly.
//
// Case: with case flag 0 words are stored in lower case and input is folded
// (A-Z only, never other bytes); with flag 1 matching is exact. Every
// AddKeyword call sets the table's flag to the one it is given.
//
// Stream form (shared by all keyword tables; TSyntaxKeywords writes its words
// in the order added, the plain table in trie order):
//   i32 case flag; i32 n; n times: u8-length word, follow group (group
//   stream form), 32-byte state set, i32 value; then an empty u8-length word
//   as end mark (also when n is 0). A reader clears the table, and when
//   n > 0 reads entries until the end mark, adding each with AddKeyword.

#include "common/StateSet.h"
#include "highlight/CharCursor.h"
#include "highlight/CharGroup.h"
#include "highlight/TEBase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

struct TWordEntry {
    TStateSet states;
    uint16_t followGroup = 0; // index into the table's group manager
    int32_t value = 0;
};

struct TKeywordNode {
    uint8_t ch = 0;
    TKeywordNode* next = nullptr;  // sibling with the next larger character
    TKeywordNode* child = nullptr; // first node of the following character
    std::vector<TWordEntry> entries;
    TStateSet states; // union of the states of every word through this node
};

class TKeywords : public TTE_Base {
public:
    TKeywords();
    ~TKeywords() override;
    TKeywords(const TKeywords&) = delete;
    TKeywords& operator=(const TKeywords&) = delete;

    // Adds one entry. An empty word is ignored. A word already present with
    // a state set that intersects states raises EKeywords "Duplicate keyword
    // - '%s'" and leaves the table unchanged; with disjoint states the same
    // word may be added again.
    virtual void AddKeyword(std::string_view word, uint8_t caseFlag, int32_t value, const TStateSet& states,
                            const TTE_CharGroup& followGroup);

    // Forward: the longest word starting at the cursor whose entry fits the
    // current states and whose follow group is empty or holds the character
    // after the word (at the text end, 13: the end of the last line). On a
    // match the cursor stands after the word and length is its length;
    // otherwise the cursor has moved one character, length is 1, and the
    // result is null.
    // Backward (macro tables, reversed words): the longest word ending just
    // before the cursor; on a match the cursor stands on the word's first
    // character and length is its length; otherwise the cursor is unchanged,
    // length is 0 and the result is null. The walk stops at the text start.
    const TWordEntry* Match(TCharCursor& cursor, uint8_t caseFlag, int32_t& length,
                            bool forward = true) const {
        if (!forward) return MatchBackward(cursor, caseFlag, length);
        // Most characters of a text start no word at all (spaces, digits,
        // punctuation); those are settled here without the trie walk.
        if (!cursor.AtEnd() && !index_[caseFlag == 0 ? Fold(cursor.Peek()) : cursor.Peek()]) {
            cursor.Next();
            length = 1;
            return nullptr;
        }
        return MatchForward(cursor, caseFlag, length);
    }

    // Exact lookup of a whole word; null when absent.
    const TKeywordNode* Find(std::string_view word, uint8_t caseFlag) const;

    // Frees every node and entry (calling OnFreeValue for each value),
    // clears the group table (re-interning the empty group as index 0) and
    // resets the case flag.
    virtual void Clear();
    bool IsEmpty() const noexcept { return first_ == nullptr; }

    uint8_t CaseFlag() const noexcept { return caseFlag_; }
    const TStateSet& CurrentStates() const noexcept { return current_; }
    void SetCurrentStates(const TStateSet& states) noexcept { current_ = states; }
    TTE_CharGroupManager& Groups() noexcept { return groups_; }
    const TTE_CharGroupManager& Groups() const noexcept { return groups_; }

    // Called with the value of every entry that is freed.
    std::function<void(int32_t)> OnFreeValue;

    // Visits every entry in trie order (word as stored, entry).
    void ForEachEntry(const std::function<void(const std::string&, const TWordEntry&)>& visit) const;

    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const noexcept override { return "TKeywords"; }

    static uint8_t Fold(uint8_t c) noexcept {
        return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c;
    }
    static std::string FoldWord(std::string_view word);

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TKeywords>(); }
    // Shared writer of the stream form for a list of (word, entry) pairs.
    struct SavedWord {
        std::string word;
        TTE_CharGroup followGroup;
        TStateSet states;
        int32_t value = 0;
    };
    static void WriteWords(TStream& stream, uint8_t caseFlag, const std::vector<SavedWord>& words);

private:
    const TWordEntry* MatchForward(TCharCursor& cursor, uint8_t caseFlag, int32_t& length) const;
    const TWordEntry* MatchBackward(TCharCursor& cursor, uint8_t caseFlag, int32_t& length) const;
    // The entry of node that fits the current states and the follow character.
    const TWordEntry* FittingEntry(const TKeywordNode& node, uint8_t follow) const;
    TKeywordNode* NewNode(uint8_t ch);
    uint16_t InternFollowGroup(const TTE_CharGroup& group);

    std::vector<std::unique_ptr<TKeywordNode>> pool_; // owns every node
    TKeywordNode* first_ = nullptr;                   // first-level siblings
    std::array<TKeywordNode*, 256> index_{};          // first-level node of each character
    uint8_t caseFlag_ = 0;
    TTE_CharGroupManager groups_;
    TStateSet current_;
};

// The scheme's keyword table: also keeps every word in the order added, so
// the compiled scheme stores the words as the script gave them.
class TSyntaxKeywords final : public TKeywords {
public:
    TSyntaxKeywords() = default;

    // As TKeywords::AddKeyword; a word longer than 255 bytes (which the
    // stream form cannot hold) raises EKeywords.
    void AddKeyword(std::string_view word, uint8_t caseFlag, int32_t value, const TStateSet& states,
                    const TTE_CharGroup& followGroup) override;
    void Clear() override;
    int WordCount() const noexcept { return static_cast<int>(saved_.size()); }

    void SaveToStream(TStream& stream) const override;
    const char* ClassName() const noexcept override { return "TSyntaxKeywords"; }

protected:
    std::unique_ptr<TTE_Base> NewInstance() const override { return std::make_unique<TSyntaxKeywords>(); }

private:
    std::vector<SavedWord> saved_;
};

} // namespace torvane
