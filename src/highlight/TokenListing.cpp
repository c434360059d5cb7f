#include "highlight/TokenListing.h"

#include <algorithm>
#include <array>
#include <optional>

namespace torvane {
namespace {

constexpr char kLineBreak = '\r';
// Labels are padded to this width so that the quoted texts of a block line
// up; a longer label is followed by a single space.
constexpr size_t kLabelWidth = 14;

enum class Quoting { header, run };

void AppendUtf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendHexEscape(std::string& out, uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// C0 and C1 controls and DEL: invisible or harmful in a text file. The code
// page's undefined bytes decode to C1 controls and land here too.
bool IsControl(char16_t c) noexcept {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

void AppendShown(std::string& out, std::string_view bytes, TCharDecoder decode, Quoting quoting) {
    for (const char ch : bytes) {
        const auto byte = static_cast<uint8_t>(ch);
        if (byte == static_cast<uint8_t>(kLineBreak)) {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (quoting == Quoting::run && (byte == '\\' || byte == '"')) {
            out += '\\';
            out += ch;
        } else if (const char16_t c = decode(byte); IsControl(c)) {
            AppendHexEscape(out, byte);
        } else {
            AppendUtf8(out, c);
        }
    }
}

// The name of the first editable style that stands for style, if any.
std::optional<std::string_view> StyleName(const TTE_Settings& settings, uint8_t style) {
    for (const TEditableStyle& entry : settings.values.editable) {
        if (entry.name.empty()) break;
        if (entry.styleId == style) return entry.name;
    }
    return std::nullopt;
}

} // namespace

std::string TokenLabel(const TTE_Settings& settings, uint8_t token, TCharDecoder decode) {
    const uint8_t style = settings.StyleOfToken(token);
    const std::optional<std::string_view> name = StyleName(settings, style);
    if (!name) return std::to_string(token);
    std::string label;
    AppendShown(label, *name, decode, Quoting::header);
    if (token != style) label += '(' + std::to_string(token) + ')';
    return label;
}

std::string FormatTokenListing(std::string_view text, std::span<const uint8_t> ids,
                               const TTE_Settings& settings, TCharDecoder decode) {
    std::array<std::optional<std::string>, TSettingsValues::kStyles> labels;
    auto label = [&](uint8_t token) -> const std::string& {
        if (!labels[token]) labels[token] = TokenLabel(settings, token, decode);
        return *labels[token];
    };

    // Characters past the end of ids count as plain text.
    auto id = [&ids](size_t i) -> uint8_t { return i < ids.size() ? ids[i] : 0; };

    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t breakAt = std::min(text.find(kLineBreak, start), text.size());
        const size_t end = std::min(breakAt + 1, text.size()); // the break belongs to its line
        const std::string_view line = text.substr(start, breakAt - start);
        out += line.empty() ? ">" : "> ";
        AppendShown(out, line, decode, Quoting::header);
        out += '\n';
        for (size_t run = start; run < end;) {
            size_t runEnd = run + 1;
            while (runEnd < end && id(runEnd) == id(run))
                ++runEnd;
            const std::string& name = label(id(run));
            out += "  ";
            out += name;
            out.append(name.size() < kLabelWidth ? kLabelWidth - name.size() + 1 : 1, ' ');
            out += '"';
            AppendShown(out, text.substr(run, runEnd - run), decode, Quoting::run);
            out += "\"\n";
            run = runEnd;
        }
        start = end;
    }
    return out;
}

} // namespace torvane
