#include "scheme/WordStore.h"

namespace torvane::scheme {

int32_t TWordStore::ChildWith(int32_t node, char ch) const {
    for (; node != kNone; node = nodes_[static_cast<size_t>(node)].sibling) {
        if (nodes_[static_cast<size_t>(node)].ch == ch) return node;
    }
    return kNone;
}

int32_t TWordStore::Find(std::string_view key) const {
    if (key.empty()) return kNone;
    int32_t node = firstNode_[static_cast<uint8_t>(LowerAscii(key[0]))];
    for (size_t i = 1; node != kNone && i < key.size(); ++i)
        node = ChildWith(nodes_[static_cast<size_t>(node)].child, LowerAscii(key[i]));
    return node != kNone && nodes_[static_cast<size_t>(node)].isKey ? node : kNone;
}

int32_t TWordStore::Insert(std::string_view key) {
    if (key.empty()) return kNone;
    const char first = LowerAscii(key[0]);
    int32_t& root = firstNode_[static_cast<uint8_t>(first)];
    if (root == kNone) {
        root = static_cast<int32_t>(nodes_.size());
        nodes_.emplace_back(first);
    }
    int32_t node = root;
    for (size_t i = 1; i < key.size(); ++i) {
        const char ch = LowerAscii(key[i]);
        int32_t child = ChildWith(nodes_[static_cast<size_t>(node)].child, ch);
        if (child == kNone) {
            child = static_cast<int32_t>(nodes_.size());
            Node fresh(ch);
            fresh.sibling = nodes_[static_cast<size_t>(node)].child;
            nodes_.push_back(std::move(fresh));
            nodes_[static_cast<size_t>(node)].child = child;
        }
        node = child;
    }
    nodes_[static_cast<size_t>(node)].isKey = true;
    return node;
}

void TWordStore::AddText(std::string_view key, std::string text) {
    int32_t node = Insert(key);
    if (node != kNone) nodes_[static_cast<size_t>(node)].text = std::move(text);
}

void TWordStore::AddCode(std::string_view key, int code) {
    int32_t node = Insert(key);
    if (node != kNone) nodes_[static_cast<size_t>(node)].code = code;
}

const std::string* TWordStore::Text(std::string_view key) const {
    int32_t node = Find(key);
    if (node == kNone || !nodes_[static_cast<size_t>(node)].text) return nullptr;
    return &*nodes_[static_cast<size_t>(node)].text;
}

int TWordStore::Code(std::string_view key) const {
    int32_t node = Find(key);
    return node == kNone ? kNoCode : nodes_[static_cast<size_t>(node)].code;
}

size_t TWordStore::Match(const char* text, size_t length, int& code) const {
    code = kNoCode;
    if (length == 0) return 0;
    size_t best = 0;
    int32_t node = firstNode_[static_cast<uint8_t>(LowerAscii(text[0]))];
    for (size_t i = 1; node != kNone; ++i) {
        const Node& n = nodes_[static_cast<size_t>(node)];
        if (n.isKey) {
            const bool wordLike = IsWordChar(static_cast<uint8_t>(text[i - 1]));
            const bool followedByWordChar = i < length && IsWordChar(static_cast<uint8_t>(text[i]));
            if (!(wordLike && followedByWordChar)) {
                best = i;
                code = n.code;
            }
        }
        if (i == length) break;
        node = ChildWith(n.child, LowerAscii(text[i]));
    }
    return best;
}

} // namespace torvane::scheme
