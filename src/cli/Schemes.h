#pragma once
// Where the subcommands that highlight a source find their scheme: a bundled
// script beside the program by its short name, or a path to a scheme script
// or a compiled scheme stream.

#include "editor/TextStore.h"
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

// Loads source into store and highlights it with the named scheme
// (SchemePath), or with the built-in plain-text scheme when the name is
// empty. False when the scheme does not load (as LoadScheme).
bool LoadHighlighted(TTessaryParser& parser, const std::string& scheme, const std::string& source,
                     editor::TTextStore& store);

} // namespace torvane::cli
