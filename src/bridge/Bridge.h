#pragma once
// The two bridge calls behind the exports ASEM51 and AVRASM.
//
// One call: check that the source and the assembler program exist, run the
// assembler hidden in the source's directory, turn its output into the log,
// convert the HEX output to BIN when asked and the build succeeded (the .hex
// file is deleted afterwards, unless a malformed record failed the call and
// the file is the only evidence), and always write the log, each line ended
// by CR LF. Nothing of a call outlives it.

#include <cstdint>
#include <string>

namespace torvane::bridge {

enum class Assembler { Asem51, AvrAsm };

// Result bytes of a call.
inline constexpr uint8_t kAssembled = 1;    // no errors, log written
inline constexpr uint8_t kNotAssembled = 0; // errors reported, or the log could not be written
inline constexpr uint8_t kCallFailed = 255; // a failure no log line expresses; log written

// Never throws. Null strings count as empty.
uint8_t CallBridge(Assembler assembler, const char* source, const char* logFile, const char* asmPath,
                   const char* lib, uint8_t bin) noexcept;

} // namespace torvane::bridge
