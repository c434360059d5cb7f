#include "asm51/Macros.h"

#include "asm51/Expression.h"
#include "asm51/Lexer.h"

#include <set>

namespace torvane::asm51 {

namespace {

constexpr size_t kMaxExpandedLine = 16 * 1024;

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

size_t NameEnd(const std::string& s, size_t i) {
    while (i < s.size() && IsNameChar(s[i]))
        ++i;
    return i;
}

// The argument list of a function-like #define use starting at '(' (at
// `open`); returns the position after ')' or npos.
size_t ReadCallArguments(const std::string& s, size_t open, std::vector<std::string>& args) {
    int depth = 0;
    std::string current;
    char quote = 0;
    for (size_t i = open; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            current += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        if (c == '(' && depth++ == 0) continue;
        if (c == ')' && --depth == 0) {
            args.push_back(Trim(current));
            return i + 1;
        }
        if (c == ',' && depth == 1) {
            args.push_back(Trim(current));
            current.clear();
            continue;
        }
        current += c;
    }
    return std::string::npos;
}

std::string Expand(const std::string& line, const std::map<std::string, CDefine>& defines,
                   std::set<std::string>& active, int depth) {
    if (depth > 32) throw AsmError("#define expansion nested too deeply");
    std::string out;
    char quote = 0;
    for (size_t i = 0; i < line.size();) {
        if (out.size() > kMaxExpandedLine) throw AsmError("#define expansion makes a line too long");
        const char c = line[i];
        if (quote) {
            out += c;
            if (c == quote) quote = 0;
            ++i;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (!IsNameStart(c) || (i > 0 && IsNameChar(line[i - 1]))) {
            out += c;
            ++i;
            continue;
        }
        const size_t end = NameEnd(line, i);
        const std::string name = line.substr(i, end - i);
        auto it = defines.find(name);
        if (it == defines.end() || active.count(name)) {
            out += name;
            i = end;
            continue;
        }
        const CDefine& d = it->second;
        std::string replacement = d.body;
        size_t after = end;
        if (d.functionLike) {
            size_t open = end;
            while (open < line.size() && (line[open] == ' ' || line[open] == '\t'))
                ++open;
            std::vector<std::string> args;
            if (open >= line.size() || line[open] != '(' ||
                (after = ReadCallArguments(line, open, args)) == std::string::npos) {
                out += name; // a function-like name without arguments is left alone, as in C
                i = end;
                continue;
            }
            std::map<std::string, std::string> values;
            for (size_t p = 0; p < d.params.size(); ++p)
                values[d.params[p]] = p < args.size() ? args[p] : std::string();
            // C parameters are case-sensitive, unlike macro parameters.
            std::string body;
            char q = 0;
            for (size_t k = 0; k < d.body.size();) {
                const char b = d.body[k];
                if (q || b == '\'' || b == '"') {
                    if (q && b == q)
                        q = 0;
                    else if (!q)
                        q = b;
                    body += b;
                    ++k;
                    continue;
                }
                if (IsNameStart(b) && (k == 0 || !IsNameChar(d.body[k - 1]))) {
                    const size_t e = NameEnd(d.body, k);
                    auto v = values.find(d.body.substr(k, e - k));
                    body += v != values.end() ? v->second : d.body.substr(k, e - k);
                    k = e;
                    continue;
                }
                body += b;
                ++k;
            }
            replacement = body;
        }
        active.insert(name);
        out += Expand(replacement, defines, active, depth + 1);
        active.erase(name);
        i = after;
    }
    return out;
}

} // namespace

std::vector<std::string> SplitArguments(const std::string& text) {
    std::vector<std::string> args;
    std::string current;
    int parens = 0, angles = 0;
    char quote = 0;
    bool any = false;
    for (const char c : text) {
        any = true;
        if (quote) {
            current += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '<') {
            if (angles++ == 0) continue;
        } else if (c == '>' && angles > 0) {
            if (--angles == 0) continue;
        } else if (c == '(') {
            ++parens;
        } else if (c == ')') {
            --parens;
        } else if (c == ',' && parens <= 0 && angles == 0) {
            args.push_back(Trim(current));
            current.clear();
            continue;
        }
        current += c;
    }
    if (any) args.push_back(Trim(current));
    if (args.size() == 1 && args[0].empty()) args.clear();
    return args;
}

std::string Substitute(const std::string& line, const std::map<std::string, std::string>& values) {
    std::string out;
    char quote = 0;
    for (size_t i = 0; i < line.size();) {
        const char c = line[i];
        const bool nameHere = IsNameStart(c) && (i == 0 || !IsNameChar(line[i - 1]));
        if (!nameHere) {
            if (quote && c == quote)
                quote = 0;
            else if (!quote && (c == '\'' || c == '"'))
                quote = c;
            out += c;
            ++i;
            continue;
        }
        const size_t end = NameEnd(line, i);
        auto it = values.find(Upper(line.substr(i, end - i)));
        const bool gluedBefore = !out.empty() && out.back() == '&';
        const bool gluedAfter = end < line.size() && line[end] == '&';
        if (it == values.end() || (quote && !gluedBefore && !gluedAfter)) {
            out.append(line, i, end - i);
            i = end;
            continue;
        }
        if (gluedBefore) out.pop_back();
        out += it->second;
        i = gluedAfter ? end + 1 : end;
    }
    return out;
}

std::vector<std::string> TakeLocals(std::vector<SourceLine>& body) {
    std::vector<std::string> locals;
    std::vector<SourceLine> kept;
    for (auto& line : body) {
        std::vector<Token> tokens = Tokenize(line.text);
        if (!tokens.empty() && tokens[0].IsWord("LOCAL")) {
            for (size_t i = 1; i < tokens.size(); ++i)
                if (tokens[i].kind == TokenKind::Name) locals.push_back(Upper(tokens[i].text));
            continue;
        }
        kept.push_back(std::move(line));
    }
    body = std::move(kept);
    return locals;
}

std::string ExpandDefines(const std::string& line, const std::map<std::string, CDefine>& defines) {
    std::set<std::string> active;
    return Expand(line, defines, active, 0);
}

} // namespace torvane::asm51
