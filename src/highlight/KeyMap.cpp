#include "highlight/KeyMap.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

namespace torvane {
namespace {

// Keys whose Shift state means "select while moving" rather than another key.
bool ShiftExtends(uint8_t key) noexcept {
    return key == vk::Back || (key >= vk::Prior && key <= vk::Down);
}

bool IsModifierKey(uint8_t key) noexcept {
    return key == vk::Shift || key == vk::Control || key == vk::Menu;
}

constexpr TShortCut Plain(TShortCut key) noexcept {
    return static_cast<TShortCut>(key & ~kscModifiers);
}

} // namespace

// ---------------------------------------------------------------- TKeyStore

TKeyNode* TKeyStore::NewNode(TShortCut key, TKeyNode* parent) {
    pool_.push_back(std::make_unique<TKeyNode>());
    TKeyNode* n = pool_.back().get();
    n->shortCut = key;
    n->parent = parent;
    return n;
}

TKeyNode* TKeyStore::FindTop(TShortCut key) const {
    auto it = top_.find(key);
    return it == top_.end() ? nullptr : it->second;
}

TKeyNode* TKeyStore::FindChild(const TKeyNode& parent, TShortCut key) {
    for (TKeyNode* c = parent.children; c; c = c->next)
        if (c->shortCut == key) return c;
    return nullptr;
}

TKeyNode* TKeyStore::AppendTop(TShortCut key) {
    TKeyNode* n = NewNode(key, nullptr);
    (last_ ? last_->next : first_) = n;
    last_ = n;
    top_[key] = n;
    return n;
}

TKeyNode* TKeyStore::AppendChild(TKeyNode& parent, TShortCut key) {
    TKeyNode* n = NewNode(key, &parent);
    TKeyNode** link = &parent.children;
    while (*link)
        link = &(*link)->next;
    *link = n;
    return n;
}

std::vector<const TKeyNode*> TKeyStore::Bindings() const {
    std::vector<const TKeyNode*> out;
    for (const TKeyNode* n = first_; n; n = n->next) {
        if (n->defined) out.push_back(n);
        for (const TKeyNode* c = n->children; c; c = c->next)
            if (c->defined) out.push_back(c);
    }
    return out;
}

// ------------------------------------------------- TKeyboardActionContoller

TKeyboardActionContoller::TKeyboardActionContoller() : store_(std::make_unique<TKeyStore>()) {}

void TKeyboardActionContoller::Clear() {
    store_ = std::make_unique<TKeyStore>();
    names_.clear();
    findPosition_ = 0;
}

void TKeyboardActionContoller::SetName(int32_t code, std::string_view name) {
    for (auto& [c, n] : names_)
        if (c == code) {
            n = std::string(name);
            return;
        }
    names_.emplace_back(code, std::string(name));
}

std::string TKeyboardActionContoller::GetName(int32_t code) const {
    for (const auto& [c, n] : names_)
        if (c == code) return n;
    return "";
}

void TKeyboardActionContoller::RaiseDuplicate(int32_t newCode, int32_t existingCode) const {
    throw EAmbigiousKeyPair(
        FormatStr<msg::SDuplicateKeySequence>(GetName(newCode).c_str(), GetName(existingCode).c_str()));
}

void TKeyboardActionContoller::AddKey(TShortCut first, TShortCut second, int32_t code) {
    // A second key that is only modifiers is no key at all: a single-key binding.
    second = Plain(second);
    TKeyNode* top = store_->FindTop(first);
    if (second == 0) {
        if (top && top->children) RaiseDuplicate(code, top->children->command);
        if (top && top->defined) RaiseDuplicate(code, top->command);
        if (!top) top = store_->AppendTop(first);
        top->defined = true;
        top->command = code;
        return;
    }
    // A key that already runs a command cannot also start a sequence.
    if (top && top->defined) RaiseDuplicate(code, top->command);
    TKeyNode* end = top ? TKeyStore::FindChild(*top, second) : nullptr;
    if (end && end->defined) RaiseDuplicate(code, end->command);
    if (!top) top = store_->AppendTop(first);
    if (!end) end = store_->AppendChild(*top, second);
    end->defined = true;
    end->command = code;
}

std::vector<TKeyboardActionContoller::Binding> TKeyboardActionContoller::AllBindings() const {
    std::vector<Binding> out;
    for (const TKeyNode* n : store_->Bindings()) {
        if (n->parent)
            out.push_back({n->parent->shortCut, n->shortCut, n->command});
        else
            out.push_back({n->shortCut, 0, n->command});
    }
    return out;
}

std::pair<TShortCut, TShortCut> TKeyboardActionContoller::FindFrom(int32_t code, size_t start) {
    std::vector<Binding> all = AllBindings();
    for (size_t i = start; i < all.size(); ++i)
        if (all[i].code == code) {
            findPosition_ = i + 1;
            return {all[i].first, all[i].second};
        }
    findPosition_ = all.size();
    return {0, 0};
}

std::pair<TShortCut, TShortCut> TKeyboardActionContoller::FindKeys(int32_t code) {
    return FindFrom(code, 0);
}

std::pair<TShortCut, TShortCut> TKeyboardActionContoller::FindNextKeys(int32_t code) {
    return FindFrom(code, findPosition_);
}

TKeyboardActionContoller::KeyResult TKeyboardActionContoller::HandleKey(TShortCut key, int32_t& command,
                                                                        bool& extend) {
    command = acNone;
    extend = false;
    // A held Ctrl repeats its own key-down; it must not break a sequence.
    if (IsModifierKey(KeyOf(key)) || KeyOf(key) == 0) return KeyResult::NotHandled;
    if (ShiftExtends(KeyOf(key))) {
        extend = (key & kscShift) != 0;
        key = static_cast<TShortCut>(key & ~kscShift);
    }
    const TKeyNode* level = store_->matchLevel;
    const TKeyNode* node = level ? TKeyStore::FindChild(*level, Plain(key)) : store_->FindTop(key);
    if (!node) {
        store_->matchLevel = nullptr;
        // An unfinished sequence is abandoned, and the key that ended it is
        // not typed either.
        return level ? KeyResult::Swallowed : KeyResult::NotHandled;
    }
    if (node->children) {
        store_->matchLevel = node;
        return KeyResult::Pending;
    }
    store_->matchLevel = nullptr;
    int32_t code = node->command;
    if (OnKeyboardAction) OnKeyboardAction(code, extend);
    store_->lastCommand = code;
    command = code;
    return KeyResult::Command;
}

void TKeyboardActionContoller::WriteToStream(TStream& stream) const {
    stream_io::WriteI32(stream, static_cast<int32_t>(names_.size()));
    for (const auto& [code, name] : names_) {
        stream_io::WriteI32(stream, code);
        stream_io::WriteShortString(stream, name);
    }
    std::vector<Binding> all = AllBindings();
    stream_io::WriteI32(stream, static_cast<int32_t>(all.size()));
    for (const Binding& b : all) {
        stream_io::WriteU16(stream, b.first);
        stream_io::WriteU16(stream, b.second);
        stream_io::WriteI32(stream, b.code);
    }
}

void TKeyboardActionContoller::ReadFromStream(TStream& stream) {
    // Read into a fresh map first, so a damaged stream leaves this one as it was.
    TKeyboardActionContoller read;
    int32_t names = stream_io::ReadI32(stream);
    for (int32_t i = 0; i < names; ++i) {
        int32_t code = stream_io::ReadI32(stream);
        read.SetName(code, stream_io::ReadShortString(stream));
    }
    int32_t bindings = stream_io::ReadI32(stream);
    for (int32_t i = 0; i < bindings; ++i) {
        TShortCut first = stream_io::ReadU16(stream);
        TShortCut second = stream_io::ReadU16(stream);
        read.AddKey(first, second, stream_io::ReadI32(stream));
    }
    store_ = std::move(read.store_);
    names_ = std::move(read.names_);
    store_->matchLevel = nullptr;
    findPosition_ = 0;
}

void TKeyboardActionContoller::LoadDefaults() {
    Clear();
    for (int32_t code = 0; code < kActionCodeCount; ++code)
        SetName(code, LoadStr(msg::SCommandNameFirst + code));
    const TShortCut ctrlK = ShortCut('K', kscCtrl), ctrlQ = ShortCut('Q', kscCtrl);
    struct Row {
        TShortCut first, second;
        int32_t code;
    };
    const Row rows[] = {
        {vk::Left, 0, acCursorLeft},
        {vk::Right, 0, acCursorRight},
        {vk::Home, 0, acLineStart},
        {vk::End, 0, acLineEnd},
        {vk::Up, 0, acLineUp},
        {vk::Down, 0, acLineDown},
        {vk::Prior, 0, acPageUp},
        {vk::Next, 0, acPageDown},
        {ShortCut(vk::Left, kscCtrl), 0, acWordLeft},
        {ShortCut(vk::Right, kscCtrl), 0, acWordRight},
        {ShortCut(vk::Home, kscCtrl), 0, acDocumentStart},
        {ShortCut(vk::End, kscCtrl), 0, acDocumentEnd},
        {ShortCut('X', kscCtrl), 0, acCut},
        {ShortCut('C', kscCtrl), 0, acCopy},
        {ShortCut('V', kscCtrl), 0, acPaste},
        {vk::Delete, 0, acDeleteChar},
        {vk::Back, 0, acDeleteCharBefore},
        {ctrlK, 'I', acBlockIndent},
        {ctrlK, 'U', acBlockUnindent},
        {vk::Insert, 0, acToggleInsert},
    };
    for (const Row& r : rows)
        AddKey(r.first, r.second, r.code);
    for (int n = 0; n < 10; ++n)
        AddKey(ctrlK, static_cast<TShortCut>('0' + n), acSetBookmark0 + n);
    for (int n = 0; n < 10; ++n)
        AddKey(ctrlQ, static_cast<TShortCut>('0' + n), acGotoBookmark0 + n);
    const Row tail[] = {
        {ShortCut('Y', kscCtrl), 0, acDeleteLine},
        {ShortCut('Z', kscCtrl), 0, acUndo},
        {ShortCut('Z', kscCtrl | kscShift), 0, acRedo},
        {ShortCut(vk::Back, kscCtrl), 0, acDeleteWordBefore},
        {ctrlK, 'P', acPrintSelection},
        {ShortCut(vk::Delete, kscCtrl), 0, acDeleteWordAfter},
        {ShortCut(vk::Up, kscCtrl), 0, acScrollUp},
        {ShortCut(vk::Down, kscCtrl), 0, acScrollDown},
    };
    for (const Row& r : tail)
        AddKey(r.first, r.second, r.code);
}

const TKeyboardActionContoller& TKeyboardActionContoller::Default() {
    static const std::unique_ptr<TKeyboardActionContoller> map = [] {
        auto m = std::make_unique<TKeyboardActionContoller>();
        m->LoadDefaults();
        return m;
    }();
    return *map;
}

} // namespace torvane
