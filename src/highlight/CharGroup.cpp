#include "highlight/CharGroup.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

namespace torvane {
namespace {

int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one character at pos, resolving a backslash escape, and advances pos.
// Precondition: pos < text.size().
uint8_t ReadEscapedChar(std::string_view text, size_t& pos) {
    char c = text[pos++];
    if (c != '\\' || pos >= text.size()) return static_cast<uint8_t>(c);
    char e = text[pos++];
    switch (e) {
    case 'T':
    case 't':
        return 9;
    case 'B':
    case 'b':
        return 8;
    case 'R':
    case 'r':
        return 10;
    case 'N':
    case 'n':
        return 13;
    case 'S':
    case 's':
        return 32;
    case 'E':
    case 'e':
        return 27;
    case 'U':
    case 'u':
    case 'X':
    case 'x': {
        unsigned value = 0;
        while (pos < text.size() && HexDigit(text[pos]) >= 0)
            value = (value * 16 + static_cast<unsigned>(HexDigit(text[pos++]))) & 0xFF;
        return static_cast<uint8_t>(value);
    }
    default:
        if (e >= '0' && e <= '7') {
            unsigned value = static_cast<unsigned>(e - '0');
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '7')
                value = (value * 8 + static_cast<unsigned>(text[pos++] - '0')) & 0xFF;
            return static_cast<uint8_t>(value);
        }
        return static_cast<uint8_t>(e);
    }
}

} // namespace

void TTE_CharGroup::Clear() noexcept {
    members_.Clear();
    negated_ = false;
}

TTE_CharGroup TTE_CharGroup::AllCharacters() {
    TTE_CharGroup g;
    g.members_.Fill();
    return g;
}

void TTE_CharGroup::ParseSpecifier(std::string_view text, size_t& pos) {
    Clear();
    if (pos >= text.size()) return;
    bool inClass = false;
    if (text[pos] == '[') {
        inClass = true;
        ++pos;
        if (pos < text.size() && text[pos] == '^') {
            negated_ = true;
            ++pos;
        }
    }
    while (pos < text.size()) {
        if (inClass && text[pos] == ']') {
            ++pos;
            return;
        }
        uint8_t low = ReadEscapedChar(text, pos);
        bool rangeFollows = pos < text.size() && text[pos] == '-';
        // "-" at the very end, or right before a class's closing bracket, is
        // a member and not a range operator: otherwise "[+-]" would swallow
        // the closing bracket and run to the end of the text.
        if (rangeFollows && (pos + 1 >= text.size() || (inClass && text[pos + 1] == ']'))) {
            AddChar(low);
            AddChar('-');
            ++pos;
        } else if (rangeFollows) {
            ++pos;
            uint8_t high = ReadEscapedChar(text, pos);
            if (high < low) throw ETessary(LoadStr(msg::SRangeOrder));
            AddRange(low, high);
        } else {
            AddChar(low);
        }
        if (!inClass) return;
    }
}

void TTE_CharGroup::SaveToStream(TStream& stream) const {
    stream.WriteBuffer(members_.Data(), TStateSet::kBytes);
    stream_io::WriteI32(stream, 0);
    stream_io::WriteU8(stream, negated_ ? 1 : 0);
}

void TTE_CharGroup::LoadFromStream(TStream& stream) {
    TStateSet members;
    stream.ReadBuffer(members.Data(), TStateSet::kBytes);
    // The writer never fills the range list; a stream that claims ranges is
    // damaged or foreign, and guessing their layout would read garbage.
    if (stream_io::ReadI32(stream) != 0) throw EReadError(LoadStr(msg::SReadError));
    uint8_t negated = stream_io::ReadU8(stream);
    members_ = members;
    negated_ = negated != 0;
}

int TTE_CharGroupManager::Intern(const TTE_CharGroup& group) {
    std::string key(reinterpret_cast<const char*>(group.Members().Data()), TStateSet::kBytes);
    key.push_back(group.Negated() ? '\1' : '\0');
    auto [it, inserted] = index_.try_emplace(std::move(key), Count());
    if (!inserted) return it->second;
    groups_.push_back(group);
    return static_cast<int>(groups_.size() - 1);
}

const TTE_CharGroup& TTE_CharGroupManager::Get(int index) const {
    if (index < 0 || index >= Count()) throw ETessary(FormatStr<msg::SInvalidSetId>(index));
    return groups_[static_cast<size_t>(index)];
}

void TTE_CharGroupManager::SaveToStream(TStream& stream) const {
    stream_io::WriteI32(stream, Count());
    for (const TTE_CharGroup& g : groups_)
        g.SaveToStream(stream);
}

void TTE_CharGroupManager::LoadFromStream(TStream& stream) {
    Clear();
    int32_t count = stream_io::ReadI32(stream);
    for (int32_t i = 0; i < count; ++i) {
        TTE_CharGroup g;
        g.LoadFromStream(stream);
        Intern(g);
    }
}

} // namespace torvane
