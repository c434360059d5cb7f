#pragma once
// The two bridge calls behind the exports ASEM51 and AVRASM.
//
// One call: check that the source and the assembler program exist, run the
// assembler hidden in the source's directory, turn its output into the log,
// convert the HEX output to BIN when asked and the build succeeded (the .hex
// file is deleted afterwards, unless a malformed record failed the call and
// the file is the only evidence), and always write the log, each line ended
// by CR LF. Nothing of a call outlives it.

#include "bridge/Export.h"
#include "platform/Names.h"

#include <cstdint>
#include <string>

namespace torvane::bridge {

using platform::Assembler;

// Limits for the assembler runs of the calls that follow: no output for
// `idleSeconds`, or `totalSeconds` in all, stops the assembler with its own
// log line. Zero keeps the default (60 s idle, 10 minutes in all). Also
// clears an earlier cancel request, so it is called before each build.
void SetRunLimits(uint32_t idleSeconds, uint32_t totalSeconds) noexcept;

// Stops the assembler of the running call (safe from any thread); the call
// then logs that the build was cancelled.
void CancelRun() noexcept;

// Never throws. Null strings count as empty; Assembler::None is a failed call.
uint8_t CallBridge(Assembler assembler, const char* source, const char* logFile, const char* asmPath,
                   const char* lib, uint8_t bin) noexcept;

} // namespace torvane::bridge
