#pragma once
// The user's own settings of a highlighting scheme (styles, keys, print and
// tab options, auto-correct, templates), kept in the settings file in a
// section of their own per scheme, named after the scheme's language:
//
//   [Scheme - 8051 Assembler]
//   Format=51          layout of the stored form; another one is not read
//   Settings=0A0000... the settings object's stream form as hex digits
//   MonoPrint=1        print in black and white
//
// The stored form is applied over the compiled scheme whenever the scheme is
// loaded. A form that does not read back completely (damaged by hand, or
// written by another version) is left alone and reported, never half applied.

#include <string>

namespace torvane {
class TMemIniFile;
class TTE_Settings;
} // namespace torvane

namespace torvane::app {

// The section that holds a scheme's stored settings.
std::string SchemeSection(const std::string& schemeName);

// Stores settings as the scheme's own (replacing what was stored).
void StoreSchemeSettings(TMemIniFile& ini, const std::string& schemeName, const TTE_Settings& settings);
// Drops the scheme's stored settings: the compiled scheme applies again.
void DropSchemeSettings(TMemIniFile& ini, const std::string& schemeName);

enum class StoredSettings {
    None,       // nothing stored for the scheme
    Applied,    // the stored form was read into the settings
    Unreadable, // something is stored but does not read back; settings unchanged
};
// Reads the scheme's stored form over `settings` (those of the freshly
// compiled scheme, whose language name names the scheme).
StoredSettings LoadSchemeSettings(const TMemIniFile& ini, TTE_Settings& settings);

// Whether the scheme prints in black and white (default: yes).
bool ReadMonoPrint(const TMemIniFile& ini, const std::string& schemeName);
void WriteMonoPrint(TMemIniFile& ini, const std::string& schemeName, bool mono);

} // namespace torvane::app
