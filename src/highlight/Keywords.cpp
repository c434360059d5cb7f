#include "highlight/Keywords.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <cstring>

namespace torvane {
namespace {

// The character after a word when the text has ended: the last line's end.
constexpr uint8_t kTextEndFollow = 13;

// The trie walk tests a state set at every node and entry, and the sets are
// usually disjoint or empty, which makes a byte-by-byte test run all 32
// rounds; four 64-bit words do the same in a handful of instructions.
struct Words256 {
    uint64_t w[4];
    explicit Words256(const TStateSet& set) noexcept { std::memcpy(w, set.Data(), TStateSet::kBytes); }
};
static_assert(TStateSet::kBytes == sizeof(Words256));

inline bool IntersectsFast(const TStateSet& a, const TStateSet& b) noexcept {
    const Words256 x(a), y(b);
    return ((x.w[0] & y.w[0]) | (x.w[1] & y.w[1]) | (x.w[2] & y.w[2]) | (x.w[3] & y.w[3])) != 0;
}

inline bool EmptyFast(const TStateSet& a) noexcept {
    const Words256 x(a);
    return (x.w[0] | x.w[1] | x.w[2] | x.w[3]) == 0;
}

} // namespace

TKeywords::TKeywords() {
    groups_.Intern(TTE_CharGroup());
}

// The pool frees the nodes; the free callback belongs to Clear only, since
// whoever set it may already be gone when the table is destroyed.
TKeywords::~TKeywords() = default;

std::string TKeywords::FoldWord(std::string_view word) {
    std::string out(word);
    for (char& c : out)
        c = static_cast<char>(Fold(static_cast<uint8_t>(c)));
    return out;
}

TKeywordNode* TKeywords::NewNode(uint8_t ch) {
    pool_.push_back(std::make_unique<TKeywordNode>());
    pool_.back()->ch = ch;
    return pool_.back().get();
}

const TKeywordNode* TKeywords::Find(std::string_view word, uint8_t caseFlag) const {
    if (word.empty()) return nullptr;
    const TKeywordNode* level = first_;
    const TKeywordNode* node = nullptr;
    for (char raw : word) {
        uint8_t c = caseFlag == 0 ? Fold(static_cast<uint8_t>(raw)) : static_cast<uint8_t>(raw);
        node = level;
        while (node && node->ch < c)
            node = node->next;
        if (!node || node->ch != c) return nullptr;
        level = node->child;
    }
    return node;
}

uint16_t TKeywords::InternFollowGroup(const TTE_CharGroup& group) {
    int index = groups_.Intern(group);
    // Entries hold 16-bit group indices; only a hostile stream gets this far.
    if (index > 0xFFFF) throw EKeywords(FormatStr<msg::SInvalidSetId>(index));
    return static_cast<uint16_t>(index);
}

void TKeywords::AddKeyword(std::string_view word, uint8_t caseFlag, int32_t value, const TStateSet& states,
                           const TTE_CharGroup& followGroup) {
    if (word.empty()) return;
    std::string stored = caseFlag == 0 ? FoldWord(word) : std::string(word);
    // Check before touching anything, so a duplicate leaves the table as it was.
    if (const TKeywordNode* existing = Find(stored, 1))
        for (const TWordEntry& e : existing->entries)
            if (e.states.Intersects(states))
                throw EKeywords(FormatStr<msg::SDuplicateKeyword>(stored.c_str()));

    const uint16_t group = InternFollowGroup(followGroup);

    caseFlag_ = caseFlag;
    TKeywordNode** link = &first_;
    TKeywordNode* node = nullptr;
    for (char raw : stored) {
        uint8_t c = static_cast<uint8_t>(raw);
        while (*link && (*link)->ch < c)
            link = &(*link)->next;
        if (!*link || (*link)->ch != c) {
            TKeywordNode* fresh = NewNode(c);
            fresh->next = *link;
            *link = fresh;
        }
        node = *link;
        node->states |= states;
        link = &node->child;
    }
    // Index the first-level node of the word's first character.
    uint8_t first = static_cast<uint8_t>(stored[0]);
    if (!index_[first]) {
        TKeywordNode* n = first_;
        while (n && n->ch != first)
            n = n->next;
        index_[first] = n;
    }
    node->entries.push_back(TWordEntry{states, group, value});
}

const TWordEntry* TKeywords::FittingEntry(const TKeywordNode& node, uint8_t follow) const {
    for (const TWordEntry& e : node.entries) {
        if (!IntersectsFast(e.states, current_)) continue;
        // Same as group.IsEmpty() || group.Contains(follow), word-wise.
        const TTE_CharGroup& group = groups_.Get(e.followGroup);
        if (EmptyFast(group.Members()) || group.Contains(follow)) return &e;
    }
    return nullptr;
}

const TWordEntry* TKeywords::MatchForward(TCharCursor& cursor, uint8_t caseFlag, int32_t& length) const {
    const int64_t start = cursor.GetPosition();
    int64_t end = start;
    const TWordEntry* result = nullptr;
    const TKeywordNode* node = nullptr;
    if (!cursor.AtEnd()) {
        uint8_t c = caseFlag == 0 ? Fold(cursor.Peek()) : cursor.Peek();
        node = index_[c];
    }
    while (node && !cursor.AtEnd()) {
        uint8_t c = caseFlag == 0 ? Fold(cursor.Peek()) : cursor.Peek();
        while (node && node->ch < c)
            node = node->next; // siblings are sorted
        // The union set prunes branches that hold no word of the current states.
        if (!node || node->ch != c || !IntersectsFast(node->states, current_)) break;
        cursor.Next();
        if (!node->entries.empty()) {
            uint8_t follow = cursor.AtEnd() ? kTextEndFollow : cursor.Peek();
            if (const TWordEntry* e = FittingEntry(*node, follow)) {
                result = e;
                end = cursor.GetPosition();
            }
        }
        node = node->child;
    }
    if (result) {
        cursor.SetPosition(end);
        length = static_cast<int32_t>(end - start);
    } else {
        cursor.SetPosition(start);
        cursor.Next();
        length = 1;
    }
    return result;
}

const TWordEntry* TKeywords::MatchBackward(TCharCursor& cursor, uint8_t caseFlag, int32_t& length) const {
    const int64_t start = cursor.GetPosition();
    int64_t wordStart = start;
    const TWordEntry* result = nullptr;
    int64_t pos = start; // the walk has consumed the characters pos..start-1
    const TKeywordNode* node = nullptr;
    if (pos > 0) {
        cursor.SetPosition(pos - 1);
        node = index_[caseFlag == 0 ? Fold(cursor.Peek()) : cursor.Peek()];
    }
    while (node && pos > 0) {
        cursor.SetPosition(pos - 1);
        uint8_t c = caseFlag == 0 ? Fold(cursor.Peek()) : cursor.Peek();
        while (node && node->ch < c)
            node = node->next;
        if (!node || node->ch != c || !IntersectsFast(node->states, current_)) break;
        --pos;
        if (!node->entries.empty()) {
            uint8_t follow = kTextEndFollow; // the text start stands for a line start
            if (pos > 0) {
                cursor.SetPosition(pos - 1);
                follow = cursor.Peek();
            }
            if (const TWordEntry* e = FittingEntry(*node, follow)) {
                result = e;
                wordStart = pos;
            }
        }
        node = node->child;
    }
    cursor.SetPosition(result ? wordStart : start);
    length = static_cast<int32_t>(start - (result ? wordStart : start));
    return result;
}

void TKeywords::Clear() {
    if (OnFreeValue)
        for (const auto& node : pool_)
            for (const TWordEntry& e : node->entries)
                OnFreeValue(e.value);
    pool_.clear();
    first_ = nullptr;
    index_.fill(nullptr);
    groups_.Clear();
    groups_.Intern(TTE_CharGroup());
    caseFlag_ = 0;
}

void TKeywords::ForEachEntry(const std::function<void(const std::string&, const TWordEntry&)>& visit) const {
    // Depth first with an explicit stack: hostile input can make words long.
    struct Frame {
        const TKeywordNode* node;
        size_t depth;
    };
    std::vector<Frame> stack;
    std::string word;
    for (const TKeywordNode* n = first_; n; n = n->next)
        stack.push_back({n, 0});
    std::reverse(stack.begin(), stack.end());
    while (!stack.empty()) {
        Frame f = stack.back();
        stack.pop_back();
        word.resize(f.depth);
        word.push_back(static_cast<char>(f.node->ch));
        for (const TWordEntry& e : f.node->entries)
            visit(word, e);
        size_t mark = stack.size();
        for (const TKeywordNode* c = f.node->child; c; c = c->next)
            stack.push_back({c, f.depth + 1});
        std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
    }
}

void TKeywords::WriteWords(TStream& stream, uint8_t caseFlag, const std::vector<SavedWord>& words) {
    stream_io::WriteI32(stream, caseFlag);
    stream_io::WriteI32(stream, static_cast<int32_t>(words.size()));
    for (const SavedWord& w : words) {
        stream_io::WriteShortString(stream, w.word);
        w.followGroup.SaveToStream(stream);
        stream.WriteBuffer(w.states.Data(), TStateSet::kBytes);
        stream_io::WriteI32(stream, w.value);
    }
    stream_io::WriteShortString(stream, "");
}

void TKeywords::SaveToStream(TStream& stream) const {
    std::vector<SavedWord> words;
    ForEachEntry([&](const std::string& word, const TWordEntry& e) {
        words.push_back(SavedWord{word, groups_.Get(e.followGroup), e.states, e.value});
    });
    WriteWords(stream, caseFlag_, words);
}

void TKeywords::LoadFromStream(TStream& stream) {
    Clear();
    uint8_t caseFlag = static_cast<uint8_t>(stream_io::ReadI32(stream));
    int32_t count = stream_io::ReadI32(stream);
    if (count > 0) {
        for (;;) {
            std::string word = stream_io::ReadShortString(stream);
            if (word.empty()) break;
            TTE_CharGroup group;
            group.LoadFromStream(stream);
            TStateSet states;
            stream.ReadBuffer(states.Data(), TStateSet::kBytes);
            int32_t value = stream_io::ReadI32(stream);
            AddKeyword(word, caseFlag, value, states, group);
        }
    } else {
        stream_io::ReadShortString(stream);
    }
    caseFlag_ = caseFlag;
}

void TSyntaxKeywords::AddKeyword(std::string_view word, uint8_t caseFlag, int32_t value,
                                 const TStateSet& states, const TTE_CharGroup& followGroup) {
    if (word.size() > 255) throw EKeywords(FormatStr<msg::SKeywordTooLong>(std::string(word).c_str()));
    TKeywords::AddKeyword(word, caseFlag, value, states, followGroup);
    if (!word.empty()) saved_.push_back(SavedWord{std::string(word), followGroup, states, value});
}

void TSyntaxKeywords::Clear() {
    TKeywords::Clear();
    saved_.clear();
}

void TSyntaxKeywords::SaveToStream(TStream& stream) const {
    WriteWords(stream, CaseFlag(), saved_);
}

} // namespace torvane
