#pragma once
// PrevodRadku: rewrites one line of assembler source into the program's
// column layout (label, TAB, mnemonic, TAB, operands, comment at the third
// TAB stop), as the import command does for every line of a file.
//
// Outside a comment, TAB, blank and ':' separate words and are not copied.
// A word ended by ':' before anything was placed is a label ("WORD:"); the
// next word is the mnemonic, then the operands, joined by single blanks
// except around '+', ',', '-' and '.'. A ';' starts the comment, which goes
// after enough TABs to reach the comment column and is copied unchanged.

#include <string>

namespace torvane::app {

std::string PrevodRadku(const std::string& line);

} // namespace torvane::app
