#pragma once
// How each assembler's output lines become the lines of the build log.
//
// Layout of the log after a run:
//   "(" time ") " banner        banner: 8051 output line 2; AVR output line 1
//                               without its first 8 characters
//   AVR only: output line 2 unchanged
//   ""
//   "Soubor byl úspěšně přeložen"  or  "Soubor nelze přeložit:" + error lines
//
// Error lines meant for navigation read "[Error] FILE(LINE): message".
// Success is read from the assembler's summary line, which must be exactly
// "no errors" or "Assembly complete, no errors" / "... with no errors"
// (surrounding blanks and a final '.' aside): a substring test would take a folder
// named "no errors" or a warning quoting that text for a success. The caller
// may also demand a zero exit status (it does for the bundled front ends,
// which exit non-zero on errors), so a summary forged by an echoed file name
// with a line break in it cannot pass either.
//   8051: success when output line 4 is the summary; otherwise every
//         line from the 4th on: empty lines are skipped, a line with ':' that
//         does not begin with '@' gets the prefix "[Error] ", other lines are
//         kept unless they contain "errors detected".
//   AVR:  success when the last non-empty line is the summary; otherwise each line
//         "NAME(N) : error : msg" becomes "[Error] NAME(N): msg", and a line
//         "NAME(N) : Include file ... not found" becomes
//         "[Error] NAME(N): Include file ... not found".
// An output shorter than the lines read (8051: 4, AVR: 2) throws
// EBridgeCallFailure after the lines logged up to that point.

#include <stdexcept>
#include <string>
#include <vector>

namespace torvane::bridge {

using Lines = std::vector<std::string>;

// A failure of the bridge call that no log line can express.
class EBridgeCallFailure : public std::runtime_error {
public:
    explicit EBridgeCallFailure(const std::string& what) : std::runtime_error(what) {}
};

inline constexpr char kErrorPrefix[] = "[Error] ";

// True when the line is one of the summary forms above.
bool IsNoErrorsSummary(const std::string& line);

// Both append to `log` and return true when the assembler reported no errors
// and `exitStatusOk` holds.
bool InterpretAsem51Output(const Lines& output, const std::string& time, Lines& log,
                           bool exitStatusOk = true);
bool InterpretAvrAsmOutput(const Lines& output, const std::string& time, Lines& log,
                           bool exitStatusOk = true);

// The current local time in the locale's long time format.
std::string LongTimeNow();

} // namespace torvane::bridge
