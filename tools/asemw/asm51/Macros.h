#pragma once
// Text substitution: macro bodies (MACRO, REPT, IRP, IRPC) and the
// C-preprocessor #define forms some 8051 toolchains accept.
//
// In a macro body a parameter or LOCAL name is replaced wherever it stands as
// a whole name outside quotes; '&' glues a parameter to the text around it
// ("L&N" with N=3 gives L3) and also reaches into quotes ('&N'). Each
// expansion renames LOCAL names to ??0000, ??0001 ... so a macro that defines
// labels can be used more than once.

#include "asm51/Sources.h"

#include <map>
#include <string>
#include <vector>

namespace torvane::asm51 {

struct MacroDefinition {
    std::vector<std::string> params; // upper case
    std::vector<SourceLine> body;    // without the MACRO and ENDM lines
};

// Arguments of an invocation or an IRP list: split at top-level commas;
// <...> groups a text containing commas and is removed; blanks around each
// argument are dropped.
std::vector<std::string> SplitArguments(const std::string& text);

// Replaces whole names found in `values` (keys upper case); see above for '&'.
std::string Substitute(const std::string& line, const std::map<std::string, std::string>& values);

// Names listed by the body's LOCAL lines (which are removed from `body`).
std::vector<std::string> TakeLocals(std::vector<SourceLine>& body);

struct CDefine {
    bool functionLike = false;
    std::vector<std::string> params;
    std::string body;
};

// Expands #define names in a line (case-sensitive, as in C). Names being
// expanded are not expanded again inside themselves; throws AsmError when the
// result grows past a safe size.
std::string ExpandDefines(const std::string& line, const std::map<std::string, CDefine>& defines);

} // namespace torvane::asm51
