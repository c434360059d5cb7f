#pragma once
// Which assembler builds a document: decided by its first line alone. The
// facts of each assembler are in the table of platform/Names.h.

#include "platform/Names.h"

#include <string>

namespace torvane::build {

using platform::Assembler;

// The assembler whose marker equals the lower-cased first line exactly;
// Assembler::None for any other line.
Assembler AssemblerOfFirstLine(const std::string& firstLine);

} // namespace torvane::build
