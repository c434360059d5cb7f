#pragma once
// Translates 8051 sources in classic Intel syntax into the dotted syntax of
// as31, one source line into one output line, expanding $INCLUDE files in
// place. Every output line remembers the file and line it came from, so the
// assembler's messages can be mapped back.
//
//   Intel                          as31
//   label: ORG e                   LABEL: .org e
//   DB 1,'ab'  / DW e / DS n       .byte 1,97,98 / .word e / .skip n
//   X EQU e / SET / DATA / IDATA   .equ X, e
//     XDATA / CODE
//   X BIT P1.0                     .flag X, P1.0   (a plain number: .equ)
//   END                            .end, and every later line is left empty
//   $INCLUDE(file) / other $...    the file's lines / an empty line
//   JMP x / CALL x                 LJMP x / LCALL x
//   HIGH e / LOW e / MOD / $       (((e)/256)&255) / ((e)&255) / % / *
//   0FFH 1010B 17Q 17O 12D 'c'     decimal numbers
// Identifiers are upper-cased (Intel symbols ignore case, as31's do not);
// comments and strings never reach as31, so its quirks about ".inc" on a
// line cannot trigger.

#include <string>
#include <vector>

namespace torvane::tools {

struct Origin {
    std::string file; // as it is to be shown in messages
    int line = 0;     // 1-based
};

struct SourceMessage {
    size_t outputLine = 0; // 0-based index of the translated line
    std::string text;
};

struct Translation {
    std::vector<std::string> lines;
    std::vector<Origin> origins; // one per line
    std::vector<SourceMessage> errors;
};

class IntelTranslator {
public:
    // Include files are searched in the including file's folder, then in
    // these folders.
    explicit IntelTranslator(std::vector<std::string> includeDirs) : includeDirs_(std::move(includeDirs)) {}

    // `shownName` is how the file is named in messages. False when the file
    // cannot be read.
    bool TranslateFile(const std::string& path, const std::string& shownName, Translation& out,
                       int depth = 0);

    // One line without its line end (exposed for tests).
    std::string TranslateLine(const std::string& line, std::string& includeName, std::string& error);

private:
    std::string FindInclude(const std::string& name, const std::string& includingFile) const;

    std::vector<std::string> includeDirs_;
    bool ended_ = false;
};

} // namespace torvane::tools
