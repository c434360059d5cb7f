#include "editor/TessaryExport.h"

#include "common/TimeText.h"
#include "editor/Cp1250Table.h"
#include "editor/Tessary.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace torvane::editor {
namespace {

constexpr size_t kFlushAt = 1 << 16;
constexpr size_t kMaxColours = 256;

// What a character becomes in the output; an empty entry means "as it is"
// unless drop is set.
struct TCharTable {
    std::array<std::string, 256> text;
    std::array<bool, 256> dropped{};
};

const TCharTable& RtfChars() {
    static const TCharTable table = [] {
        TCharTable t;
        char hex[8];
        for (int c = 1; c < 256; ++c) {
            if (c < 32 || c >= 128) {
                std::snprintf(hex, sizeof hex, "\\'%02x", c);
                t.text[c] = hex;
            }
        }
        t.dropped[0] = true;
        t.text['\t'] = "\\tab ";
        t.text['\f'] = "\\page ";
        t.text['\r'] = "\\line ";
        t.text['\''] = "\\'27";
        t.text['\\'] = "\\\\";
        t.text['{'] = "\\{";
        t.text['}'] = "\\}";
        return t;
    }();
    return table;
}

const TCharTable& HtmlChars() {
    static const TCharTable table = [] {
        TCharTable t;
        for (int c = 0; c < 32; ++c)
            t.dropped[c] = c != '\t';
        // The page says nothing of a code page: the characters of the
        // document's code page travel as their Unicode numbers.
        for (int c = 128; c < 256; ++c)
            t.text[c] =
                "&#" + std::to_string(static_cast<unsigned>(Cp1250ToUnicode(static_cast<uint8_t>(c)))) + ";";
        t.text['\t'] = "&nbsp;";
        t.text[160] = "&nbsp;";
        t.text['"'] = "&quot;";
        t.text['<'] = "&lt;";
        t.text['>'] = "&gt;";
        // A bare "&" would make "&lt;" in the source show as "<".
        t.text['&'] = "&amp;";
        return t;
    }();
    return table;
}

// The output, gathered into large writes.
class TOut {
public:
    explicit TOut(TStream& stream) : stream_(stream) { buf_.reserve(kFlushAt + 256); }
    void Put(std::string_view s) {
        buf_.append(s);
        if (buf_.size() >= kFlushAt) Flush();
    }
    void Chars(std::string_view chars, const TCharTable& table) {
        const char* p = chars.data();
        const char* const end = p + chars.size();
        while (p < end) {
            const char* plain = p;
            while (p < end) {
                const auto c = static_cast<uint8_t>(*p);
                if (table.dropped[c] || !table.text[c].empty()) break;
                ++p;
            }
            buf_.append(plain, static_cast<size_t>(p - plain));
            if (p < end) {
                const auto c = static_cast<uint8_t>(*p++);
                if (!table.dropped[c]) buf_.append(table.text[c]);
            }
            if (buf_.size() >= kFlushAt) Flush();
        }
    }
    void Flush() {
        stream_.WriteBuffer(buf_.data(), buf_.size());
        buf_.clear();
    }

private:
    TStream& stream_;
    std::string buf_;
};

template <typename... Args> std::string Format(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Escapes a text from outside the document (a font name, a file name) the
// way the document's own characters are, so it cannot end the element or
// group it is written into.
std::string Escaped(std::string_view text, const TCharTable& table) {
    TMemoryStream stream;
    TOut out(stream);
    out.Chars(text, table);
    out.Flush();
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// Walks [start, end) of the store in runs of equal token bytes: run(chars,
// token) with no token for a line without token bytes, lineEnd() after each
// line. A line that spans several nodes is one line; a range that ends at
// the start of a line does not include that empty rest.
template <typename Run, typename LineEnd>
void ForEachRun(const TTextStore& store, TOffset start, TOffset end, Run run, LineEnd lineEnd) {
    start = std::clamp<TOffset>(start, 0, store.TextLength());
    end = std::clamp<TOffset>(end, start, store.TextLength());
    const TLineIndex first = store.LineOfOffset(start);
    TLineIndex last = store.LineOfOffset(end);
    if (last > first && store.LineStart(last) == end) --last;
    TOffset lineStart = store.LineStart(first);
    for (TLineIndex line = first; line <= last; ++line) {
        const std::string_view text = store.NodeText(line);
        const std::span<const uint8_t> tokens = store.NodeStyles(line);
        const size_t from = static_cast<size_t>(std::max<TOffset>(0, start - lineStart));
        const size_t to =
            static_cast<size_t>(std::clamp<TOffset>(end - lineStart, 0, static_cast<TOffset>(text.size())));
        if (tokens.empty()) {
            if (from < to) run(text.substr(from, to - from), std::optional<uint8_t>());
        } else {
            for (size_t c = from; c < to;) {
                const uint8_t token = tokens[c];
                size_t stop = c + 1;
                while (stop < to && tokens[stop] == token)
                    ++stop;
                run(text.substr(c, stop - c), std::optional<uint8_t>(token));
                c = stop;
            }
        }
        if (line == last || (!text.empty() && text.back() == '\r')) lineEnd();
        lineStart += static_cast<TOffset>(text.size());
    }
}

// The resolved style of every token, looked up once per write.
struct TTokenStyles {
    TStyleRecord base;
    std::array<TStyleRecord, 256> ofToken;
    std::array<TStyleRecord, 256> ofStyle;
    explicit TTokenStyles(const TExportLook& look) {
        static const TStyleTable kPlain;
        const TStyleSource& source = look.styles ? *look.styles : kPlain;
        for (int s = 0; s < 256; ++s)
            ofStyle[s] = ResolveStyle(source, look.systemColors, static_cast<uint8_t>(s));
        for (int t = 0; t < 256; ++t)
            ofToken[t] = ofStyle[source.StyleOfToken(static_cast<uint8_t>(t))];
        base = ofStyle[0];
    }
};

// RGB as six hexadecimal digits, red first.
unsigned HtmlRgb(TColor c) {
    return static_cast<unsigned>(ColorRed(c) << 16 | ColorGreen(c) << 8 | ColorBlue(c));
}

} // namespace

void WriteRtf(TStream& stream, const TTextStore& store, TOffset start, TOffset end, const TExportLook& look) {
    const TTokenStyles styles(look);
    const TCharTable& chars = RtfChars();
    TOut out(stream);
    out.Put("{\\rtf1\\ansi\\ansicpg1250 \\deff1{\\fonttbl {\\f1 \\fnil ");
    out.Put(Escaped(look.font.name, chars));
    out.Put(";}}\r\n");

    std::vector<TColor> table{styles.base.foreground, styles.base.background};
    auto add = [&](TColor c) {
        if (table.size() < kMaxColours && std::find(table.begin(), table.end(), c) == table.end())
            table.push_back(c);
    };
    const TStyleSource* source = look.styles;
    for (int s = 0; s < 256; ++s) {
        if (!(source ? source->Style(static_cast<uint8_t>(s)).defined : s == 0)) continue;
        add(styles.ofStyle[s].foreground);
        add(styles.ofStyle[s].background);
    }
    out.Put("{\\colortbl");
    for (TColor c : table)
        out.Put(Format("\\red%d\\green%d\\blue%d;", ColorRed(c), ColorGreen(c), ColorBlue(c)));
    out.Put("}\r\n");
    auto indexOf = [&](TColor c, int missing) {
        const auto it = std::find(table.begin(), table.end(), c);
        return it == table.end() ? missing : static_cast<int>(it - table.begin());
    };
    out.Put(Format("{\\f1\\fs%d\\cf0\\cb1 ", look.font.size * 2));

    uint8_t fontStyle = 0;
    TColor fore = styles.base.foreground, back = styles.base.background;
    ForEachRun(
        store, start, end,
        [&](std::string_view text, std::optional<uint8_t> token) {
            if (token) {
                const TStyleRecord& s = styles.ofToken[*token];
                const uint8_t changed = fontStyle ^ s.fontStyle;
                if (changed & fsBold) out.Put(s.fontStyle & fsBold ? "\\b1 " : "\\b0 ");
                if (changed & fsItalic) out.Put(s.fontStyle & fsItalic ? "\\i1 " : "\\i0 ");
                if (changed & fsUnderline) out.Put(s.fontStyle & fsUnderline ? "\\ul1 " : "\\ul0 ");
                fontStyle = s.fontStyle;
                if (s.foreground != fore) out.Put(Format("\\cf%d ", indexOf(fore = s.foreground, 0)));
                if (s.background != back) out.Put(Format("\\cb%d ", indexOf(back = s.background, 1)));
            }
            out.Chars(text, chars);
        },
        [&] { out.Put("\r\n"); });
    out.Put("}}");
    out.Flush();
}

void WriteHtml(TStream& stream, const TTextStore& store, TOffset start, TOffset end, const TExportLook& look,
               std::string_view title) {
    const TTokenStyles styles(look);
    const TCharTable& chars = HtmlChars();
    TOut out(stream);
    out.Put("<HTML><HEAD>\r\n");
    out.Put(std::string("<META NAME=\"Generator\" CONTENT=\"") + kExportGenerator + " - " + kExportContact +
            "\">\r\n");
    out.Put("<TITLE>" + Escaped(title, chars) + "</TITLE>\r\n");
    const std::string date = look.date.empty() ? ShortDateTime(std::time(nullptr)) : look.date;
    out.Put("<META NAME=\"Date\" CONTENT=\"" + Escaped(date, chars) + "\">\r\n");
    out.Put("</HEAD>\r\n");
    out.Put(Format("<BODY TEXT=\"#%.6x\" BGCOLOR=\"#%.6x\">\r\n", HtmlRgb(styles.base.foreground),
                   HtmlRgb(styles.base.background)));
    out.Put("<PRE><FONT FACE=\"" + Escaped(look.font.name, chars) + "\">\r\n");

    uint8_t fontStyle = 0;
    TColor fore = styles.base.foreground;
    ForEachRun(
        store, start, end,
        [&](std::string_view text, std::optional<uint8_t> token) {
            if (token) {
                const TStyleRecord& s = styles.ofToken[*token];
                if (s.foreground != fore)
                    out.Put(Format("</FONT><FONT COLOR=\"#%.6x\">", HtmlRgb(fore = s.foreground)));
                const uint8_t changed = fontStyle ^ s.fontStyle;
                if (changed & fsBold) out.Put(s.fontStyle & fsBold ? "<B>" : "</B>");
                if (changed & fsItalic) out.Put(s.fontStyle & fsItalic ? "<I>" : "</I>");
                if (changed & fsUnderline) out.Put(s.fontStyle & fsUnderline ? "<U>" : "</U>");
                fontStyle = s.fontStyle;
            }
            out.Chars(text, chars);
        },
        [&] { out.Put("\r\n"); });
    out.Put("</PRE></FONT></BODY></HTML>\r\n");
    out.Flush();
}

std::string ShortDateTime(std::time_t when, bool utc) {
    return FormatTime("%x %X", utc ? UtcTimeOf(when) : LocalTimeOf(when));
}

// ---- the control's side --------------------------------------------------------

void TCustomTessary::WriteRich(TStream& out, TSaveFormat format, TOffset start, TOffset end) const {
    if (format == sfRTF)
        WriteRtf(out, *store_, start, end, exportLook_);
    else
        WriteHtml(out, *store_, start, end, exportLook_, printTitle_);
}

void TCustomTessary::ExportToFile(const std::string& fileName, TSaveFormat format) const {
    WriteFileReplacing(fileName, [&](TStream& out) { WriteRich(out, format, 0, store_->TextLength()); });
}

} // namespace torvane::editor
