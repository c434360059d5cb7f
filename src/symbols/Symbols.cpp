#include "symbols/Symbols.h"

#include <array>

namespace torvane::symbols {
namespace {

// Real names and values are short; a line of garbage must not turn into a
// record the size of the line.
constexpr size_t kMaxNameLength = 128;
constexpr size_t kMaxValueLength = 256;

bool IsNameStart(char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '?';
}
bool IsNameChar(char c) noexcept {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}
bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}
char Upper(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Calls line(index, bytes) for every line; CR, LF and CR LF all end a line.
template <typename F> void ForEachLine(std::string_view text, F&& line) {
    int32_t index = 0;
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        line(index++, text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    line(index, text.substr(start));
}

// Walks the words of a line that lie outside comments and quotes.
template <typename F> void ForEachWord(std::string_view line, F&& word) {
    const size_t n = line.size();
    size_t i = 0;
    while (i < n) {
        const char c = line[i];
        if (c == ';' || (c == '/' && i + 1 < n && line[i + 1] == '/')) return;
        if (c == '"' || c == '\'') {
            const size_t close = line.find(c, i + 1);
            if (close == std::string_view::npos) return;
            i = close + 1;
        } else if (IsNameStart(c)) {
            size_t end = i + 1;
            while (end < n && IsNameChar(line[end]))
                ++end;
            word(i, end - i);
            i = end;
        } else if (c >= '0' && c <= '9') {
            // A number's letters (0FFH, 0x1F, 1Bh) are no name.
            while (i < n && IsNameChar(line[i]))
                ++i;
        } else {
            ++i;
        }
    }
}

// A cursor over one line.
struct LineCursor {
    std::string_view s;
    size_t i = 0;

    bool AtEnd() const noexcept { return i >= s.size(); }
    char Peek() const noexcept { return i < s.size() ? s[i] : '\0'; }
    void SkipBlanks() noexcept {
        while (i < s.size() && IsBlank(s[i]))
            ++i;
    }
    // A name at the cursor (empty when there is none), the cursor after it.
    std::string_view Name() noexcept {
        if (AtEnd() || !IsNameStart(s[i])) return {};
        const size_t start = i;
        while (i < s.size() && IsNameChar(s[i]))
            ++i;
        return s.substr(start, i - start);
    }
    // The rest of the line up to a comment outside quotes, trimmed and capped.
    std::string Value() const {
        size_t end = i;
        char quote = 0;
        for (; end < s.size(); ++end) {
            const char c = s[end];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == ';' || (c == '/' && end + 1 < s.size() && s[end + 1] == '/')) {
                break;
            }
        }
        size_t start = i;
        while (start < end && IsBlank(s[start]))
            ++start;
        while (end > start && IsBlank(s[end - 1]))
            --end;
        return std::string(s.substr(start, std::min(end - start, kMaxValueLength)));
    }
};

bool Is(std::string_view word, std::string_view upper) noexcept {
    if (word.size() != upper.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (Upper(word[k]) != upper[k]) return false;
    return true;
}

bool StartsWithUpper(std::string_view word, std::string_view upper) noexcept {
    return word.size() >= upper.size() && Is(word.substr(0, upper.size()), upper);
}

void Emit(const TLineSink& sink, int32_t line, std::string_view name, TSymbolKind kind, std::string value,
          size_t column) {
    if (!sink.symbol || name.empty() || name.size() > kMaxNameLength) return;
    sink.symbol(line, TLineSymbol{std::string(name), kind, std::move(value), static_cast<int32_t>(column)});
}

void EmitInclude(const TLineSink& sink, int32_t line, std::string_view name) {
    while (!name.empty() && IsBlank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && IsBlank(name.back()))
        name.remove_suffix(1);
    if (!sink.include || name.empty() || name.size() > 4096) return;
    sink.include(line, TLineInclude{std::string(name)});
}

// "file", <file> or a bare word up to a blank or comment.
std::string_view IncludeOperand(LineCursor& c) {
    c.SkipBlanks();
    const char open = c.Peek();
    if (open == '"' || open == '\'' || open == '<') {
        const char close = open == '<' ? '>' : open;
        const size_t end = c.s.find(close, c.i + 1);
        if (end == std::string_view::npos) return {};
        return c.s.substr(c.i + 1, end - c.i - 1);
    }
    const size_t start = c.i;
    while (!c.AtEnd() && !IsBlank(c.Peek()) && c.Peek() != ';')
        ++c.i;
    return c.s.substr(start, c.i - start);
}

// "$INCLUDE(file) $MOD51 ...": one or more controls on a line.
void ScanControls51(LineCursor& c, int32_t line, const TLineSink& sink) {
    while (!c.AtEnd()) {
        c.SkipBlanks();
        if (c.Peek() != '$') return;
        ++c.i;
        const size_t at = c.i;
        const std::string_view word = c.Name();
        if (word.empty()) return;
        c.SkipBlanks();
        std::string_view argument;
        if (c.Peek() == '(') {
            const size_t close = c.s.find(')', c.i + 1);
            if (close == std::string_view::npos) return;
            argument = c.s.substr(c.i + 1, close - c.i - 1);
            c.i = close + 1;
        }
        if (Is(word, "INCLUDE") || Is(word, "INC")) {
            EmitInclude(sink, line, argument);
        } else if (StartsWithUpper(word, "MOD") && word.size() > 3) {
            Emit(sink, line, word, TSymbolKind::Device, std::string(argument), at);
        }
    }
}

struct KeywordKind {
    std::string_view word;
    TSymbolKind kind;
};
constexpr std::array<KeywordKind, 10> kDefiners51{{
    {"EQU", TSymbolKind::Equ},
    {"SET", TSymbolKind::Set},
    {"DATA", TSymbolKind::Data},
    {"IDATA", TSymbolKind::IData},
    {"XDATA", TSymbolKind::XData},
    {"BIT", TSymbolKind::Bit},
    {"CODE", TSymbolKind::Code},
    {"MACRO", TSymbolKind::Macro},
    {"SEGMENT", TSymbolKind::Segment},
    {"PROC", TSymbolKind::Proc},
}};

void ScanLine51(std::string_view text, int32_t line, const TLineSink& sink) {
    LineCursor c{text};
    c.SkipBlanks();
    if (c.Peek() == '$') {
        ScanControls51(c, line, sink);
        return;
    }
    const size_t at = c.i;
    const std::string_view first = c.Name();
    if (first.empty()) return;
    c.SkipBlanks();
    if (c.Peek() == ':') {
        Emit(sink, line, first, TSymbolKind::Label, {}, at);
        return;
    }
    const std::string_view second = c.Name();
    for (const KeywordKind& k : kDefiners51)
        if (Is(second, k.word)) {
            Emit(sink, line, first, k.kind, c.Value(), at);
            return;
        }
}

void ScanLineAvr(std::string_view text, int32_t line, const TLineSink& sink) {
    LineCursor c{text};
    c.SkipBlanks();
    const char lead = c.Peek();
    if (lead == '.' || lead == '#') {
        ++c.i;
        const std::string_view directive = c.Name();
        if (Is(directive, "INCLUDE")) {
            EmitInclude(sink, line, IncludeOperand(c));
            return;
        }
        c.SkipBlanks();
        const size_t at = c.i;
        const std::string_view name = c.Name();
        if (name.empty()) return;
        if (lead == '#') {
            if (Is(directive, "DEFINE")) Emit(sink, line, name, TSymbolKind::Equ, c.Value(), at);
            return;
        }
        if (Is(directive, "MACRO")) {
            Emit(sink, line, name, TSymbolKind::Macro, c.Value(), at);
        } else if (Is(directive, "DEVICE")) {
            Emit(sink, line, name, TSymbolKind::Device, {}, at);
        } else {
            const TSymbolKind kind = Is(directive, "EQU")   ? TSymbolKind::Equ
                                     : Is(directive, "SET") ? TSymbolKind::Set
                                     : Is(directive, "DEF") ? TSymbolKind::Def
                                                            : TSymbolKind::Label;
            if (kind == TSymbolKind::Label) return;
            c.SkipBlanks();
            if (c.Peek() != '=') return;
            ++c.i;
            Emit(sink, line, name, kind, c.Value(), at);
        }
        return;
    }
    const size_t at = c.i;
    const std::string_view label = c.Name();
    c.SkipBlanks();
    if (!label.empty() && c.Peek() == ':') Emit(sink, line, label, TSymbolKind::Label, {}, at);
}

} // namespace

std::string_view KindName(TSymbolKind kind) noexcept {
    switch (kind) {
    case TSymbolKind::Label:
        return "label";
    case TSymbolKind::Equ:
        return "equ";
    case TSymbolKind::Set:
        return "set";
    case TSymbolKind::Def:
        return "def";
    case TSymbolKind::Data:
        return "data";
    case TSymbolKind::IData:
        return "idata";
    case TSymbolKind::XData:
        return "xdata";
    case TSymbolKind::Bit:
        return "bit";
    case TSymbolKind::Code:
        return "code";
    case TSymbolKind::Macro:
        return "macro";
    case TSymbolKind::Segment:
        return "segment";
    case TSymbolKind::Proc:
        return "proc";
    case TSymbolKind::Device:
        return "device";
    }
    return "?";
}

void ScanText(TDialect dialect, std::string_view text, const TLineSink& sink) {
    ForEachLine(text, [&](int32_t line, std::string_view bytes) {
        if (dialect == TDialect::Asm51)
            ScanLine51(bytes, line, sink);
        else
            ScanLineAvr(bytes, line, sink);
    });
}

void FindUses(std::string_view text, std::string_view name,
              const std::function<void(int32_t line, int32_t column, std::string_view lineText)>& use) {
    if (name.empty()) return;
    ForEachLine(text, [&](int32_t line, std::string_view bytes) {
        // Most lines do not hold the name at all; a case-blind look for its
        // first letter skips them without walking their words.
        const char a = Upper(name.front());
        const char b = static_cast<char>(a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a);
        if (bytes.find(a) == std::string_view::npos && bytes.find(b) == std::string_view::npos) return;
        ForEachWord(bytes, [&](size_t start, size_t length) {
            if (SameName(bytes.substr(start, length), name)) use(line, static_cast<int32_t>(start), bytes);
        });
    });
}

std::string WordAt(std::string_view line, int32_t column) {
    if (column < 0) return {};
    const auto at = static_cast<size_t>(column);
    std::string found;
    ForEachWord(line, [&](size_t start, size_t length) {
        if (found.empty() && start <= at && at <= start + length) found = line.substr(start, length);
    });
    return found;
}

bool SameName(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (Upper(a[k]) != Upper(b[k])) return false;
    return true;
}

std::string UpperName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        c = Upper(c);
    return upper;
}

} // namespace torvane::symbols
