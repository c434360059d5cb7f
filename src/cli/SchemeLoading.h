#pragma once
// Schemes for the subcommands that highlight: one of the bundled scripts
// beside the program (Scripts/) by its short name, or a path to a scheme
// script or a compiled scheme stream.

#include "highlight/Parser.h"

#include <string>

namespace torvane::cli {

// "txt", "asm51" and "avr" name the bundled scripts; anything else is a path.
std::string SchemePath(const std::string& name);
// Compiles a script or loads a compiled stream into parser. A compile error
// raises (its message names the line); a stream of another version is
// reported on stderr and gives false.
bool LoadScheme(TTessaryParser& parser, const std::string& path);

} // namespace torvane::cli
