#include "app/logic/SchemeSettings.h"

#include "common/IniFile.h"
#include "common/Stream.h"
#include "highlight/Settings.h"

#include <exception>
#include <optional>
#include <vector>

namespace torvane::app {
namespace {

// Bumped whenever the settings object's stream form changes, so that an
// older program's form is recognised instead of misread.
constexpr int kStoredFormat = 51;
constexpr const char* kFormatKey = "Format";
constexpr const char* kSettingsKey = "Settings";
constexpr const char* kMonoPrintKey = "MonoPrint";

std::string ToHex(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::vector<uint8_t>> FromHex(const std::string& text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

} // namespace

std::string SchemeSection(const std::string& schemeName) {
    // A bracket or a line break would end the section header early.
    std::string name = schemeName;
    for (char& c : name)
        if (c == '[' || c == ']' || c == '\r' || c == '\n' || c == '=') c = '_';
    return "Scheme - " + name;
}

void StoreSchemeSettings(TMemIniFile& ini, const std::string& schemeName, const TTE_Settings& settings) {
    TMemoryStream stream;
    settings.SaveToStream(stream);
    const std::string section = SchemeSection(schemeName);
    ini.WriteInteger(section, kFormatKey, kStoredFormat);
    ini.WriteString(section, kSettingsKey, ToHex(stream.Bytes()));
}

void DropSchemeSettings(TMemIniFile& ini, const std::string& schemeName) {
    const std::string section = SchemeSection(schemeName);
    ini.DeleteKey(section, kFormatKey);
    ini.DeleteKey(section, kSettingsKey);
    if (ini.ReadSection(section).empty()) ini.EraseSection(section);
}

StoredSettings LoadSchemeSettings(const TMemIniFile& ini, TTE_Settings& settings) {
    const std::string& schemeName = settings.values.languageName;
    const std::string section = SchemeSection(schemeName);
    if (!ini.ValueExists(section, kSettingsKey) && !ini.ValueExists(section, kFormatKey))
        return StoredSettings::None;
    if (ini.ReadInteger(section, kFormatKey, 0) != kStoredFormat) return StoredSettings::Unreadable;
    const std::optional<std::vector<uint8_t>> bytes = FromHex(ini.ReadString(section, kSettingsKey, ""));
    if (!bytes) return StoredSettings::Unreadable;

    TTE_Settings stored;
    try {
        TMemoryStream stream(*bytes);
        stored.LoadFromStream(stream);
        // Bytes left over mean the form was not the one this reader knows.
        if (stream.Position() != stream.Size()) return StoredSettings::Unreadable;
    } catch (const std::exception&) {
        return StoredSettings::Unreadable;
    }
    // A form stored under this name for another language is not this scheme's.
    if (stored.values.languageName != schemeName) return StoredSettings::Unreadable;
    settings.Assign(stored);
    return StoredSettings::Applied;
}

bool ReadMonoPrint(const TMemIniFile& ini, const std::string& schemeName) {
    return ini.ReadBool(SchemeSection(schemeName), kMonoPrintKey, true);
}

void WriteMonoPrint(TMemIniFile& ini, const std::string& schemeName, bool mono) {
    ini.WriteBool(SchemeSection(schemeName), kMonoPrintKey, mono);
}

} // namespace torvane::app
