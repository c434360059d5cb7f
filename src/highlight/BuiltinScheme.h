#pragma once
// The plain-text scheme a document shows before any scheme script has been
// compiled: words of two or more letters and digits, followed by a blank or
// one of + , - . : , are token 1; everything else is plain text.

#include "highlight/Parser.h"

#include <cstdint>
#include <vector>

namespace torvane {

// Resets parser and fills it with the plain-text scheme.
void LoadBuiltinPlainTextScheme(TTessaryParser& parser);

// The plain-text scheme as a compiled stream (what a form stores in the
// parser's Parser property).
std::vector<uint8_t> BuiltinPlainTextStream();

} // namespace torvane
