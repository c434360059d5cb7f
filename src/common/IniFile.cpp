#include "common/IniFile.h"

#include "platform/FileSystem.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace torvane {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool ParseInt(const std::string& text, int& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i == t.size()) return false;
    for (size_t j = i; j < t.size(); ++j)
        if (t[j] < '0' || t[j] > '9') return false;
    errno = 0;
    long v = std::strtol(t.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

} // namespace

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    // A settings file is never cut short: what is not read would be lost on
    // the next write.
    std::string text;
    if (platform::ReadRegularFile(fileName_, std::numeric_limits<size_t>::max(), text) ==
        platform::FileReadError::None)
        SetText(text);
}

const TMemIniFile::Section* TMemIniFile::Find(const std::string& section) const {
    for (const auto& s : sections_)
        if (SameName(s.name, section)) return &s;
    return nullptr;
}

TMemIniFile::Section* TMemIniFile::Find(const std::string& section) {
    return const_cast<Section*>(static_cast<const TMemIniFile*>(this)->Find(section));
}

const TMemIniFile::Entry* TMemIniFile::Find(const Section& s, const std::string& key) {
    for (const auto& e : s.entries)
        if (SameName(e.key, key)) return &e;
    return nullptr;
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
    const Section* s = Find(section);
    const Entry* e = s ? Find(*s, key) : nullptr;
    return e ? e->value : def;
}

int TMemIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    int v;
    return ParseInt(ReadString(section, key, ""), v) ? v : def;
}

bool TMemIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = Find(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    for (auto& e : s->entries)
        if (SameName(e.key, key)) {
            e.value = value;
            return;
        }
    s->entries.push_back({key, value});
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TMemIniFile::SectionExists(const std::string& section) const {
    return Find(section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    return s && Find(*s, key);
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& key) {
    if (Section* s = Find(section))
        std::erase_if(s->entries, [&](const Entry& e) { return SameName(e.key, key); });
}

void TMemIniFile::EraseSection(const std::string& section) {
    std::erase_if(sections_, [&](const Section& s) { return SameName(s.name, section); });
}

std::vector<std::string> TMemIniFile::ReadSection(const std::string& section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        for (const auto& e : s->entries)
            keys.push_back(e.key);
    return keys;
}

void TMemIniFile::SetText(const std::string& text) {
    sections_.clear();
    Section* current = nullptr;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t.front() == '[' && t.back() == ']') {
            std::string name = Trim(t.substr(1, t.size() - 2));
            current = Find(name);
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        size_t eq = t.find('=');
        if (!current || eq == std::string::npos) continue;
        std::string key = Trim(t.substr(0, eq));
        if (key.empty()) continue;
        // The first occurrence of a key wins, as lookups would find it first.
        if (!Find(*current, key)) current->entries.push_back({key, Trim(t.substr(eq + 1))});
    }
}

std::string TMemIniFile::GetText() const {
    std::string out;
    for (const auto& s : sections_) {
        out += "[" + s.name + "]" + kLineEnd;
        for (const auto& e : s.entries)
            out += e.key + "=" + e.value + kLineEnd;
        out += kLineEnd;
    }
    return out;
}

bool TMemIniFile::UpdateFile() const {
    return platform::SaveFileSafely(fileName_, GetText());
}

} // namespace torvane
