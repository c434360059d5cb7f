#pragma once
// Where the subcommands that highlight a source find their scheme: a bundled
// script beside the program by its short name, or a path to a scheme script
// or a compiled scheme stream.

#include "highlight/Parser.h"

#include <string>

namespace torvane::cli {

// "txt", "asm51" and "avr" name the bundled scripts in Scripts/ beside the
// program; anything else is a path, returned as it is.
std::string SchemePath(const std::string& name);

// Compiles a script or loads a compiled stream into parser. A stream of
// another version is reported on stderr and gives false; an unreadable file
// or a broken script raises.
bool LoadScheme(TTessaryParser& parser, const std::string& path);

} // namespace torvane::cli
