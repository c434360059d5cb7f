#include "asemw/IntelTranslator.h"

#include "common/ToolSupport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace torvane::tools {
namespace {

constexpr int kMaxIncludeDepth = 16;

enum class Kind { Ident, Number, String, Space, Other };

struct Token {
    Kind kind;
    std::string text; // strings: the characters between the quotes
};

bool IdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '?';
}
bool IdentChar(char c) {
    return IdentStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The line without its ';' comment (a ';' inside quotes does not count).
std::string StripComment(const std::string& line) {
    char quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            return line.substr(0, i);
        }
    }
    return line;
}

bool Tokenize(const std::string& text, std::vector<Token>& tokens, std::string& error) {
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        size_t start = i;
        if (c == ' ' || c == '\t') {
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
                ++i;
            tokens.push_back({Kind::Space, " "});
        } else if (IdentStart(c)) {
            while (i < text.size() && IdentChar(text[i]))
                ++i;
            tokens.push_back({Kind::Ident, text.substr(start, i - start)});
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < text.size() && IdentChar(text[i]))
                ++i;
            tokens.push_back({Kind::Number, text.substr(start, i - start)});
        } else if (c == '\'' || c == '"') {
            size_t end = text.find(c, i + 1);
            if (end == std::string::npos) {
                error = "unterminated string";
                return false;
            }
            tokens.push_back({Kind::String, text.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else {
            tokens.push_back({Kind::Other, std::string(1, c)});
            ++i;
        }
    }
    return true;
}

// Intel number forms as a decimal text; empty when the token is no number.
std::string NumberValue(const std::string& token) {
    std::string t = Upper(token);
    int base = 10;
    std::string digits = t;
    if (t.size() > 2 && t[0] == '0' && t[1] == 'X') {
        base = 16;
        digits = t.substr(2);
    } else {
        switch (t.back()) {
        case 'H':
            base = 16;
            digits.pop_back();
            break;
        case 'B':
            base = 2;
            digits.pop_back();
            break;
        case 'O':
        case 'Q':
            base = 8;
            digits.pop_back();
            break;
        case 'D':
            base = 10;
            digits.pop_back();
            break;
        default:
            break;
        }
    }
    if (digits.empty() || digits.size() > 32) return {};
    unsigned long long value = 0;
    for (char c : digits) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                            : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99);
        if (d >= base) return {};
        value = value * base + d;
        if (value > 0xFFFFFFFFull) return {};
    }
    return std::to_string(value);
}

std::string StringValue(const std::string& s) {
    unsigned long value = 0;
    for (unsigned char c : s)
        value = (value << 8 | c) & 0xFFFFFFFFul;
    return std::to_string(value);
}

std::string StringBytes(const std::string& s) {
    std::string out;
    for (unsigned char c : s)
        out += (out.empty() ? "" : ",") + std::to_string(c);
    return out;
}

class ExpressionWriter {
public:
    ExpressionWriter(const std::vector<Token>& tokens, bool dataList)
        : tokens_(tokens), dataList_(dataList) {}

    std::string Range(size_t begin, size_t end) {
        std::string out;
        for (size_t i = begin; i < end;)
            out += Primary(i, end);
        return out;
    }

private:
    // Writes the token at i (and, for HIGH/LOW, its operand); advances i.
    std::string Primary(size_t& i, size_t end) {
        const Token& t = tokens_[i++];
        switch (t.kind) {
        case Kind::Space:
            return " ";
        case Kind::Number: {
            std::string v = NumberValue(t.text);
            return v.empty() ? t.text : v;
        }
        case Kind::String:
            if (dataList_ && t.text.size() != 1) return StringBytes(t.text);
            return StringValue(t.text);
        case Kind::Other:
            return t.text == "$" ? "*" : t.text;
        case Kind::Ident:
            break;
        }
        std::string name = Upper(t.text);
        if (name == "MOD") return "%";
        if (name != "HIGH" && name != "LOW") return name;
        while (i < end && tokens_[i].kind == Kind::Space)
            ++i;
        std::string operand;
        if (i < end && tokens_[i].text == "(") {
            size_t close = i, depth = 0;
            for (; close < end; ++close) {
                if (tokens_[close].kind != Kind::Other) continue;
                if (tokens_[close].text == "(") ++depth;
                if (tokens_[close].text == ")" && --depth == 0) break;
            }
            operand = Range(i + 1, std::min(close, end));
            i = std::min(close + 1, end);
        } else if (i < end) {
            operand = Primary(i, end);
        }
        return name == "HIGH" ? "(((" + operand + ")/256)&255)" : "((" + operand + ")&255)";
    }

    const std::vector<Token>& tokens_;
    bool dataList_;
};

size_t SkipSpace(const std::vector<Token>& t, size_t i) {
    while (i < t.size() && t[i].kind == Kind::Space)
        ++i;
    return i;
}

} // namespace

std::string IntelTranslator::TranslateLine(const std::string& raw, std::string& includeName,
                                           std::string& error) {
    includeName.clear();
    error.clear();
    if (ended_) return {};
    std::string text = Trim(StripComment(raw));
    if (text.empty()) return {};
    if (text[0] == '$') {
        std::string upper = Upper(text);
        size_t p = upper.find("INCLUDE");
        if (p == std::string::npos) return {};
        size_t open = text.find('(', p), close = text.find(')', p);
        if (open == std::string::npos || close == std::string::npos || close < open) {
            error = "bad $INCLUDE control";
            return {};
        }
        includeName = Trim(text.substr(open + 1, close - open - 1));
        if (includeName.size() >= 2 && (includeName[0] == '"' || includeName[0] == '\''))
            includeName = includeName.substr(1, includeName.size() - 2);
        return {};
    }

    std::vector<Token> tokens;
    if (!Tokenize(text, tokens, error)) return {};
    std::string label;
    size_t i = 0;
    if (tokens.size() >= 2 && tokens[0].kind == Kind::Ident && tokens[1].text == ":") {
        label = Upper(tokens[0].text) + ":";
        i = SkipSpace(tokens, 2);
    }
    if (i >= tokens.size()) return label;
    auto rest = [&](size_t from, bool dataList) {
        ExpressionWriter writer(tokens, dataList);
        return Trim(writer.Range(SkipSpace(tokens, from), tokens.size()));
    };

    // NAME EQU value, and the other symbol definitions.
    size_t second = SkipSpace(tokens, i + 1);
    if (label.empty() && tokens[i].kind == Kind::Ident && second < tokens.size() &&
        tokens[second].kind == Kind::Ident) {
        static const char* kDefinitions[] = {"EQU", "SET", "DATA", "IDATA", "XDATA", "CODE", "BIT"};
        std::string keyword = Upper(tokens[second].text);
        if (std::find(std::begin(kDefinitions), std::end(kDefinitions), keyword) != std::end(kDefinitions)) {
            std::string name = Upper(tokens[i].text), value = rest(second + 1, false);
            bool bitAddress = keyword == "BIT" && value.find('.') != std::string::npos;
            return (bitAddress ? "\t.flag " : "\t.equ ") + name + ", " + value;
        }
    }

    std::string op = Upper(tokens[i].text);
    std::string statement;
    if (op == "ORG")
        statement = ".org " + rest(i + 1, false);
    else if (op == "DB")
        statement = ".byte " + rest(i + 1, true);
    else if (op == "DW")
        statement = ".word " + rest(i + 1, false);
    else if (op == "DS")
        statement = ".skip " + rest(i + 1, false);
    else if (op == "USING")
        statement.clear();
    else if (op == "END") {
        ended_ = true;
        statement = ".end";
    } else {
        std::string operands = rest(i + 1, false);
        // Generic jumps: the long forms always reach.
        if ((op == "JMP" && operands.rfind('@', 0) != 0) || op == "CALL") op = op == "JMP" ? "LJMP" : "LCALL";
        statement = operands.empty() ? op : op + "\t" + operands;
    }
    return label + "\t" + statement;
}

std::string IntelTranslator::FindInclude(const std::string& name, const std::string& includingFile) const {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::path(name).is_absolute()) return fs::is_regular_file(name, ec) ? name : std::string();
    std::vector<std::string> dirs{DirectoryOf(includingFile)};
    dirs.insert(dirs.end(), includeDirs_.begin(), includeDirs_.end());
    for (const auto& dir : dirs) {
        fs::path candidate = fs::path(dir) / name;
        if (fs::is_regular_file(candidate, ec)) return AbsolutePath(candidate.string());
    }
    return {};
}

bool IntelTranslator::TranslateFile(const std::string& path, const std::string& shownName, Translation& out,
                                    int depth) {
    std::string text;
    if (!ReadText(path, text)) return false;
    int number = 0;
    for (const std::string& line : SplitLines(text)) {
        ++number;
        std::string includeName, error;
        out.lines.push_back(TranslateLine(line, includeName, error));
        out.origins.push_back({shownName, number});
        const size_t here = out.lines.size() - 1;
        if (!error.empty()) out.errors.push_back({here, error});
        if (includeName.empty()) continue;
        std::string found = FindInclude(includeName, path);
        if (found.empty()) {
            out.errors.push_back({here, "cannot find include file \"" + includeName + "\""});
        } else if (depth >= kMaxIncludeDepth) {
            out.errors.push_back({here, "include files nested too deeply"});
        } else if (!TranslateFile(found, found, out, depth + 1)) {
            out.errors.push_back({here, "cannot read include file \"" + found + "\""});
        }
    }
    return true;
}

} // namespace torvane::tools
