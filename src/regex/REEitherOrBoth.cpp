#include "regex/REEitherOrBoth.h"

#include <vector>

namespace torvane::re {
namespace {

struct TooLong {};

// Index just past the token at `i`: an escape, a quoted literal, a class or
// one character. An unterminated token runs to the end of the text.
size_t SkipToken(std::string_view s, size_t i) {
    const size_t n = s.size();
    char c = s[i++];
    if (c == '\\') return i < n ? i + 1 : i;
    if (c == '"') {
        while (i < n && s[i] != '"')
            i += (s[i] == '\\' && i + 1 < n) ? 2 : 1;
        return i < n ? i + 1 : i;
    }
    if (c == '[') {
        if (i < n && s[i] == '^') ++i;
        while (i < n && s[i] != ']')
            i += (s[i] == '\\' && i + 1 < n) ? 2 : 1;
        return i < n ? i + 1 : i;
    }
    return i;
}

// True when the whole text is one parenthesised group.
bool IsOneGroup(std::string_view s) {
    if (s.empty() || s.front() != '(') return false;
    int depth = 0;
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '(') {
            ++depth;
            ++i;
        } else if (s[i] == ')') {
            if (--depth == 0) return i + 1 == s.size();
            ++i;
        } else {
            i = SkipToken(s, i);
        }
    }
    return false;
}

std::string Wrapped(const std::string& s) {
    return IsOneGroup(s) ? s : "(" + s + ")";
}

std::string EitherOrBoth(const std::string& a, const std::string& b) {
    std::string wa = Wrapped(a), wb = Wrapped(b);
    if (2 * (wa.size() + wb.size()) + 10 > kMaxRewrittenLength) throw TooLong{};
    return "((" + wa + wb + "?)|(" + wb + wa + "?))";
}

// Groups nested deeper than this are copied unchanged: the compiler rejects
// them anyway, and the rewrite must not recurse without bound.
constexpr int kMaxRewriteDepth = 16;

// Rewrites one alternation level up to its closing parenthesis (left for the
// caller) or the end of the text; depth 0 is the top level, where a stray
// closing parenthesis ends the level as well.
std::string RewriteLevel(std::string_view s, size_t& i, int depth) {
    std::vector<std::string> alternatives(1);
    std::vector<bool> joinedByBoth; // separator before alternative k+1 is ||
    while (i < s.size()) {
        char c = s[i];
        if (c == ')') break;
        if (c == '|') {
            bool both = i + 1 < s.size() && s[i + 1] == '|';
            i += both ? 2 : 1;
            joinedByBoth.push_back(both);
            alternatives.emplace_back();
            continue;
        }
        std::string& current = alternatives.back();
        if (c == '(' && depth < kMaxRewriteDepth) {
            ++i;
            current += '(';
            current += RewriteLevel(s, i, depth + 1);
            if (i < s.size()) current += s[i++]; // the ')'
        } else {
            size_t j = SkipToken(s, i);
            current.append(s.substr(i, j - i));
            i = j;
        }
        if (current.size() > kMaxRewrittenLength) throw TooLong{};
    }
    std::string out;
    std::string pending = alternatives[0];
    for (size_t k = 1; k < alternatives.size(); ++k) {
        if (joinedByBoth[k - 1]) {
            pending = EitherOrBoth(pending, alternatives[k]);
        } else {
            out += pending;
            out += '|';
            pending = alternatives[k];
        }
    }
    out += pending;
    if (out.size() > kMaxRewrittenLength) throw TooLong{};
    return out;
}

} // namespace

std::optional<std::string> RewriteEitherOrBoth(std::string_view pattern) {
    if (pattern.find("||") == std::string_view::npos) return std::string(pattern);
    try {
        size_t i = 0;
        std::string out = RewriteLevel(pattern, i, 0);
        // A stray ')' ends the top level; the rest is kept for the compiler
        // to report.
        out.append(pattern.substr(i));
        return out;
    } catch (const TooLong&) {
        return std::nullopt;
    }
}

} // namespace torvane::re
