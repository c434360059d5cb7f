#pragma once
// The registry form of the settings: the style string and the key-assignment
// value that the options dialog stores under the parser's registry key. This
// program keeps the registry switched off; the text is built by a pure
// function and written through an abstract store.
//
// Style string: "Quvelt6:", then 24 fields "#TAG#<length>value" in the order
// OPT GWD GCL WRC IDS WRO FON FOS STC STB TBC TBD EFF GDF MDF SDF BDF FOC RMG
// LNN LNS LNC LNT LNE, then "#END#". Numbers are decimal with a minus sign
// when negative. TBC holds the 1-based tab columns up to the first unused
// one, separated by single spaces. EFF is the number of defined styles (256
// written as 255), ",", then per defined style "id,fg,bg," followed by X
// (bgDefault), Y (fgDefault), B, I, U (font style) and ";". LNE is the
// gutter font style as I, B, U, S letters (in that order).
//
// Key-assignment value: the u8-length text "Quvelt6:" followed by the key
// map's stream form.

#include "highlight/Settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

std::string BuildStyleString(const TTE_Settings& settings);
std::vector<uint8_t> BuildKeyAssignmentValue(const TKeyboardActionContoller& keyMap);

// Where the registry values go (the Win32 registry on Windows).
class TRegistryStore {
public:
    virtual ~TRegistryStore() = default;
    // Opens the key under the current user's root, creating it if missing.
    virtual void OpenKey(const std::string& key) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) = 0;
};

struct TRegistryOptions {
    bool useRegistry = false;
    std::string registryKey;
    std::string componentName; // named in the error text
};

// Writes "Highlighting - <language>" and "Key Assignments - <language>".
// With the registry off or no key it raises ETessary "Registry interface
// disabled in: <component name>" and writes nothing.
void WriteSettingsToRegistry(const TTE_Settings& settings, const TRegistryOptions& options,
                             TRegistryStore& store);

} // namespace torvane
