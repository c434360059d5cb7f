#include "SourceLine.h"

#include <cctype>

namespace torvane::avrasm {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Skips blanks from `pos`; returns the new position.
size_t SkipBlanks(std::string_view line, size_t pos) {
    while (pos < line.size() && IsBlank(line[pos]))
        ++pos;
    return pos;
}

// When the line holds, after leading blanks, one of `starts` followed by
// `word` (without case) and then no name character, returns the position
// just past the word.
std::optional<size_t> AfterDirective(std::string_view line, std::string_view starts, std::string_view word) {
    size_t pos = SkipBlanks(line, 0);
    if (pos >= line.size() || starts.find(line[pos]) == std::string_view::npos) return std::nullopt;
    ++pos;
    if (!EqualNoCase(line.substr(pos, word.size()), word)) return std::nullopt;
    pos += word.size();
    if (pos < line.size() && IsNameChar(line[pos])) return std::nullopt;
    return pos;
}

struct StandIn {
    const char* part;
    const char* avraPart;
};

// Parts whose definition files avra ships but whose names its device table
// lacks; each maps to a known part with the same flash size, SRAM start and
// core (ATmega406 and the PWM parts have no exact twin: the stand-in has at
// least their memories).
constexpr StandIn kStandIns[] = {
    {"ATmega165", "ATmega164P"},  {"ATmega169", "ATmega164P"},  {"ATmega325", "ATmega324P"},
    {"ATmega329", "ATmega324P"},  {"ATmega3250", "ATmega324P"}, {"ATmega3290", "ATmega324P"},
    {"ATmega649", "ATmega644"},   {"ATmega64", "ATmega644"},    {"ATmega406", "ATmega644"},
    {"ATmega2561", "ATmega2560"}, {"ATmega8535", "ATmega8"},    {"AT90PWM2", "ATmega88"},
    {"AT90PWM3", "ATmega88"},
};

} // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string CommentStripper::Strip(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    char quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (inBlock_) {
            if (c == '*' && next == '/') {
                inBlock_ = false;
                ++i;
            }
            continue;
        }
        if (quote) {
            out += c;
            if (c == '\\' && next) {
                out += next;
                ++i;
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (c == ';') {
            out.append(line.substr(i)); // an assembler comment runs to the line end
            break;
        }
        if (c == '/' && next == '/') break;
        if (c == '/' && next == '*') {
            inBlock_ = true;
            out += ' '; // keeps the words on both sides apart
            ++i;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        out += c;
    }
    return out;
}

std::optional<std::string> IncludedName(std::string_view line) {
    std::optional<size_t> pos = AfterDirective(line, ".#", "include");
    if (!pos) return std::nullopt;
    size_t begin = SkipBlanks(line, *pos);
    if (begin >= line.size()) return std::nullopt;
    const char open = line[begin];
    if (open == '"' || open == '<') {
        const size_t end = line.find(open == '"' ? '"' : '>', begin + 1);
        if (end == std::string_view::npos) return std::nullopt;
        return std::string(line.substr(begin + 1, end - begin - 1));
    }
    size_t end = begin;
    while (end < line.size() && !IsBlank(line[end]) && line[end] != ';')
        ++end;
    return std::string(line.substr(begin, end - begin));
}

std::optional<std::string> DeviceName(std::string_view line) {
    std::optional<size_t> pos = AfterDirective(line, ".", "device");
    if (!pos) return std::nullopt;
    size_t begin = SkipBlanks(line, *pos);
    size_t end = begin;
    while (end < line.size() && IsNameChar(line[end]))
        ++end;
    if (end == begin) return std::nullopt;
    return std::string(line.substr(begin, end - begin));
}

std::string StandInDevice(std::string_view part) {
    for (const StandIn& s : kStandIns)
        if (EqualNoCase(part, s.part)) return s.avraPart;
    return {};
}

} // namespace torvane::avrasm
