#pragma once
// Symbols of an assembler source: what a line defines, and where a name is
// used. Two dialects are understood, the ones the build can assemble:
//
//   8051 (Intel style)   LABEL:                      a label
//                        NAME EQU|SET expr           a constant / a variable
//                        NAME DATA|IDATA|XDATA|BIT|CODE expr
//                        NAME MACRO [params] ... ENDM
//                        NAME SEGMENT type, NAME PROC ... ENDP
//                        $INCLUDE(file)   $MOD51 (any "$MOD..." control)
//   AVR                  label:
//                        .equ NAME = expr   .set NAME = expr   .def NAME = reg
//                        .macro NAME ... .endm   .device NAME
//                        .include "file"   #include "file"   #define NAME value
//
// Directives and names are matched without regard to letter case, as both
// assemblers do. Comments start with ";" and run to the end of the line;
// text inside quotes is never taken for a name.
//
// Scanning is a single forward pass over each line with no backtracking, so
// the time is linear in the input whatever bytes it holds; nothing here
// allocates in proportion to anything but what it records.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace torvane::symbols {

enum class TDialect : uint8_t { Asm51, Avr };

enum class TSymbolKind : uint8_t {
    Label,
    Equ,     // EQU / .equ / #define: a constant
    Set,     // SET / .set: a value that may be redefined
    Def,     // .def: a register alias
    Data,    // DATA: an internal data address
    IData,   // IDATA
    XData,   // XDATA
    Bit,     // BIT: a bit address
    Code,    // CODE: a code address
    Macro,   // MACRO / .macro
    Segment, // SEGMENT
    Proc,    // PROC
    Device,  // $MOD51 / .device: the chip the source is written for
};

// A short lower-case name of the kind ("label", "equ", ...), for tools and
// messages that are not the user interface.
std::string_view KindName(TSymbolKind kind) noexcept;

// A definition found on one line. Line numbers are 0-based throughout; the
// column is the 0-based byte offset of the name in its line.
struct TLineSymbol {
    std::string name;
    TSymbolKind kind;
    std::string value; // the defining expression as written, trimmed; empty when none
    int32_t column = 0;
};

// An include directive: the file name as written (quotes or brackets removed).
struct TLineInclude {
    std::string name;
};

// What the line scanner reports. Either callback may be empty.
struct TLineSink {
    std::function<void(int32_t line, TLineSymbol&&)> symbol;
    std::function<void(int32_t line, TLineInclude&&)> include;
};

// Scans a whole text (any mix of CR, LF and CR LF line ends) and reports every
// definition and include directive in text order.
void ScanText(TDialect dialect, std::string_view text, const TLineSink& sink);

// Every place where name stands as a whole word outside comments and quotes,
// definitions included, in text order, with the line it stands in; the name
// is compared without regard to letter case.
void FindUses(std::string_view text, std::string_view name,
              const std::function<void(int32_t line, int32_t column, std::string_view lineText)>& use);

// The word around byte column of a line (a name character at or just before
// it), empty when there is none; a word inside a comment or quotes is none.
std::string WordAt(std::string_view line, int32_t column);

// Name comparison the way the assemblers do it.
bool SameName(std::string_view a, std::string_view b) noexcept;
std::string UpperName(std::string_view name);

} // namespace torvane::symbols
