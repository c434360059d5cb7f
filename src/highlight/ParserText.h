#pragma once
// Token ids of a whole text, scanned the way the editor scans it: one id per
// character, containers scanned a second time with their inner tokens'
// ids replacing the container's id (an inner plain-text token keeps the
// container's id). For tools and exporters that hold a text in one piece.

#include "highlight/Parser.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// The text with every line end (CR LF, LF or CR) as one character 13, the
// way the editor stores it.
std::string WithEditorLineBreaks(std::string_view raw);

// Scans text from its start with ResetState(0). Errors of the scheme
// ("Stack underflow") propagate.
std::vector<uint8_t> ScanTokenIds(TTessaryParser& parser, std::string_view text);

} // namespace torvane
