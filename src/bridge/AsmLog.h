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
//   8051: success when output line 4 contains "no errors"; otherwise every
//         line from the 4th on: empty lines are skipped, a line with ':' that
//         does not begin with '@' gets the prefix "[Error] ", other lines are
//         kept unless they contain "errors detected".
//   AVR:  success when any line contains "no errors"; otherwise each line
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

// Both append to `log` and return true when the assembler reported no errors.
bool InterpretAsem51Output(const Lines& output, const std::string& time, Lines& log);
bool InterpretAvrAsmOutput(const Lines& output, const std::string& time, Lines& log);

// The current local time in the locale's long time format.
std::string LongTimeNow();

} // namespace torvane::bridge
