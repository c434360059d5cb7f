#include "highlight/SettingsRegistry.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>

namespace torvane {
namespace {

constexpr std::string_view kMagic = "Quvelt6:";

void Field(std::string& out, const char* tag, std::string_view value) {
    out += '#';
    out += tag;
    out += '#';
    out += std::to_string(value.size());
    out += value;
}

void Field(std::string& out, const char* tag, long long value) {
    Field(out, tag, std::to_string(value));
}

std::string TabColumnsText(const TSettingsValues& v) {
    std::string text;
    for (int32_t c : v.tabColumns) {
        if (c < 0) break;
        if (!text.empty()) text += ' ';
        text += std::to_string(static_cast<long long>(c) + 1);
    }
    return text;
}

std::string StylesText(const TSettingsValues& v) {
    long long defined =
        std::count_if(v.styles.begin(), v.styles.end(), [](const TTE_Style& s) { return s.defined; });
    std::string text = std::to_string(std::min(defined, 255LL)) + ",";
    for (int id = 0; id < TSettingsValues::kStyles; ++id) {
        const TTE_Style& s = v.styles[static_cast<size_t>(id)];
        if (!s.defined) continue;
        text += std::to_string(id) + "," + std::to_string(s.foreground) + "," + std::to_string(s.background) +
                ",";
        if (s.bgDefault) text += 'X';
        if (s.fgDefault) text += 'Y';
        if (s.fontStyle & fsBold) text += 'B';
        if (s.fontStyle & fsItalic) text += 'I';
        if (s.fontStyle & fsUnderline) text += 'U';
        text += ';';
    }
    return text;
}

std::string FontStyleText(uint8_t style) {
    std::string text;
    if (style & fsItalic) text += 'I';
    if (style & fsBold) text += 'B';
    if (style & fsUnderline) text += 'U';
    if (style & fsStrikeOut) text += 'S';
    return text;
}

} // namespace

std::string BuildStyleString(const TTE_Settings& settings) {
    const TSettingsValues& v = settings.values;
    std::string out(kMagic);
    Field(out, "OPT", static_cast<int32_t>(v.options));
    Field(out, "GWD", v.gutterWidth);
    Field(out, "GCL", v.gutterColour);
    Field(out, "WRC", v.wordWrapColumn);
    Field(out, "IDS", v.indentStep);
    Field(out, "WRO", v.wrapOverride);
    Field(out, "FON", v.fontName);
    Field(out, "FOS", v.fontSize);
    Field(out, "STC", v.selTextColour);
    Field(out, "STB", v.selTextBack);
    Field(out, "TBC", TabColumnsText(v));
    Field(out, "TBD", v.tabDefault);
    Field(out, "EFF", StylesText(v));
    Field(out, "GDF", v.gutterColourFlag ? "1" : "0");
    Field(out, "MDF", v.marginColourFlag ? "1" : "0");
    Field(out, "SDF", v.selTextColourFlag ? "1" : "0");
    Field(out, "BDF", v.selTextBackFlag ? "1" : "0");
    Field(out, "FOC", v.fontCharSet);
    Field(out, "RMG", v.rightMargin);
    Field(out, "LNN", v.gutterFont.name);
    Field(out, "LNS", v.gutterFont.size);
    Field(out, "LNC", v.gutterFont.colour);
    Field(out, "LNT", v.gutterFont.charSet);
    Field(out, "LNE", FontStyleText(v.gutterFont.style));
    out += "#END#";
    return out;
}

std::vector<uint8_t> BuildKeyAssignmentValue(const TKeyboardActionContoller& keyMap) {
    TMemoryStream s;
    stream_io::WriteShortString(s, kMagic);
    keyMap.WriteToStream(s);
    return s.Bytes();
}

void WriteSettingsToRegistry(const TTE_Settings& settings, const TRegistryOptions& options,
                             TRegistryStore& store) {
    if (!options.useRegistry || options.registryKey.empty())
        throw ETessary(std::string(LoadStr(msg::SRegistryDisabled)) + options.componentName);
    store.OpenKey(options.registryKey);
    store.WriteString("Highlighting - " + settings.values.languageName, BuildStyleString(settings));
    store.WriteBinary("Key Assignments - " + settings.values.languageName,
                      BuildKeyAssignmentValue(settings.KeyMap()));
}

} // namespace torvane
