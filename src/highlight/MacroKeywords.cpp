#include "highlight/MacroKeywords.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace torvane {
namespace {

// Sorted-list order: case ignored first, then exact bytes so that two names
// differing only in case keep a fixed order.
bool NameLess(const std::string& a, const std::string& b) {
    std::string fa = TKeywords::FoldWord(a), fb = TKeywords::FoldWord(b);
    return fa != fb ? fa < fb : a < b;
}

TStateSet StateZero() {
    TStateSet s;
    s.Include(0);
    return s;
}

} // namespace

TMacroKeywords::TMacroKeywords() {
    SetCurrentStates(StateZero());
}

std::string TMacroKeywords::NormaliseLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out.push_back(c == '\n' ? '\r' : c);
    }
    return out;
}

void TMacroKeywords::AddMacro(std::string_view word, std::string_view description, uint8_t caseFlag,
                              std::string_view expansion) {
    if (word.size() > 255) throw EKeywords(FormatStr<msg::SKeywordTooLong>(std::string(word).c_str()));
    if (word.empty()) return;
    TMacro m{caseFlag == 0 ? FoldWord(word) : std::string(word), std::string(description.substr(0, 255)),
             NormaliseLineBreaks(expansion)};
    auto it = std::find_if(macros_.begin(), macros_.end(), [&](const TMacro& x) { return x.name == m.name; });
    if (it != macros_.end()) macros_.erase(it);
    macros_.insert(
        std::upper_bound(macros_.begin(), macros_.end(), m,
                         [](const TMacro& a, const TMacro& b) { return NameLess(a.name, b.name); }),
        std::move(m));
    RebuildTrie();
}

bool TMacroKeywords::RemoveMacro(std::string_view word) {
    auto it = std::find_if(macros_.begin(), macros_.end(), [&](const TMacro& x) { return x.name == word; });
    if (it == macros_.end()) return false;
    macros_.erase(it);
    RebuildTrie();
    return true;
}

const TMacro* TMacroKeywords::FindMacro(std::string_view word) const {
    for (const TMacro& m : macros_)
        if (m.name == word) return &m;
    std::string folded = FoldWord(word);
    for (const TMacro& m : macros_)
        if (m.name == folded) return &m;
    return nullptr;
}

void TMacroKeywords::ClearMacros() {
    macros_.clear();
    RebuildTrie();
}

void TMacroKeywords::RebuildTrie() {
    TStateSet current = CurrentStates();
    Clear();
    const TTE_CharGroup all = TTE_CharGroup::AllCharacters();
    for (size_t i = 0; i < macros_.size(); ++i) {
        std::string reversed(macros_[i].name.rbegin(), macros_[i].name.rend());
        // Two names differing only in case fold to one trie word; the first
        // in list order answers for both.
        if (Find(reversed, 0)) continue;
        AddKeyword(reversed, 0, static_cast<int32_t>(i), StateZero(), all);
    }
    SetCurrentStates(current);
}

const TMacro* TMacroKeywords::MatchBefore(TCharCursor& cursor, int32_t& length) const {
    const TWordEntry* e = Match(cursor, CaseFlag(), length, false);
    if (!e || e->value < 0 || static_cast<size_t>(e->value) >= macros_.size()) return nullptr;
    return &macros_[static_cast<size_t>(e->value)];
}

void TMacroKeywords::WriteMacros(TStream& stream) const {
    stream_io::WriteI32(stream, static_cast<int32_t>(macros_.size()));
    for (const TMacro& m : macros_) {
        stream_io::WriteShortString(stream, m.name);
        stream_io::WriteShortString(stream, m.description);
        stream_io::WriteLongString(stream, m.expansion);
    }
    stream_io::WriteLongString(stream, ShortCutToText(trigger_));
    stream_io::WriteI32(stream, enabled ? 1 : 0);
}

void TMacroKeywords::ReadMacros(TStream& stream) {
    std::vector<TMacro> read;
    int32_t count = stream_io::ReadI32(stream);
    for (int32_t i = 0; i < count; ++i) {
        TMacro m;
        m.name = stream_io::ReadShortString(stream);
        m.description = stream_io::ReadShortString(stream);
        m.expansion = stream_io::ReadLongString(stream);
        read.push_back(std::move(m));
    }
    TShortCut trigger = TextToShortCut(stream_io::ReadLongString(stream));
    bool on = stream_io::ReadI32(stream) != 0;

    // Everything read: now replace the content. Adding one by one would
    // rebuild the trie per macro, so fold, de-duplicate and sort here.
    macros_.clear();
    std::unordered_map<std::string, size_t> position;
    for (TMacro& m : read) {
        if (m.name.empty()) continue;
        m.name = FoldWord(m.name);
        m.expansion = NormaliseLineBreaks(m.expansion);
        auto [it, fresh] = position.try_emplace(m.name, macros_.size());
        if (fresh)
            macros_.push_back(std::move(m));
        else
            macros_[it->second] = std::move(m); // a later macro of the same word replaces it
    }
    std::stable_sort(macros_.begin(), macros_.end(),
                     [](const TMacro& a, const TMacro& b) { return NameLess(a.name, b.name); });
    trigger_ = trigger;
    enabled = on;
    RebuildTrie();
}

void TMacroKeywords::SaveToStream(TStream& stream) const {
    WriteMacros(stream);
}
void TMacroKeywords::LoadFromStream(TStream& stream) {
    ReadMacros(stream);
}

std::set<int> ParseTriggerText(std::string_view text) {
    std::set<int> keys;
    for (size_t i = 0; i < text.size();) {
        uint8_t c = static_cast<uint8_t>(text[i++]);
        int key = -1;
        if (c != '\\' || i >= text.size()) {
            key = CharToTriggerKey(c);
        } else {
            uint8_t e = static_cast<uint8_t>(text[i++]);
            switch (e) {
            case 'n':
            case 'r':
                key = vk::Return;
                break;
            case 's':
                key = vk::Space;
                break;
            case 't':
                key = vk::Tab;
                break;
            case '{': {
                size_t close = i;
                while (close < text.size() && std::isalnum(static_cast<unsigned char>(text[close])))
                    ++close;
                if (close >= text.size() || text[close] != '}')
                    throw ETessary(LoadStr(msg::SBadKeySpecifier));
                key = KeyNameToCode(text.substr(i, close - i));
                if (key < 0) throw ETessary(LoadStr(msg::SBadKeySpecifier));
                i = close + 1;
                break;
            }
            default: {
                int k = CharToTriggerKey(e);
                key = k < 0 ? -1 : (k & 0xFF);
                break;
            }
            }
        }
        if (key >= 0) keys.insert(key);
    }
    return keys;
}

TAutoReplace::TAutoReplace() {
    SetTriggerText(kDefaultTriggerText);
}

void TAutoReplace::SetTriggerText(std::string_view text) {
    triggerKeys_ = ParseTriggerText(text);
    triggerText_ = std::string(text);
}

bool TAutoReplace::IsTriggerKey(TShortCut key) const noexcept {
    return enabled && !triggerText_.empty() && triggerKeys_.count(TriggerCode(key)) > 0;
}

void TAutoReplace::Reset() {
    ClearMacros();
    SetTriggerKey(kDefaultTrigger);
    enabled = recreateList = reportResult = indentLines = caretMarker = showList = true;
    SetTriggerText(kDefaultTriggerText);
}

void TAutoReplace::SaveToStream(TStream& stream) const {
    WriteMacros(stream);
    stream_io::WriteShortString(stream, triggerText_);
}

void TAutoReplace::LoadFromStream(TStream& stream) {
    ReadMacros(stream);
    SetTriggerText(stream_io::ReadShortString(stream));
}

} // namespace torvane
