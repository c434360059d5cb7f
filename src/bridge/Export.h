#pragma once
// The C interface of the bridge library: the two assembler exports, and two
// optional control exports; everything else hidden. The assembler exports
// take (source path, log path, assembler path, include list, BIN flag) and
// return one of the result bytes below. No C++ exception ever leaves them.
//
// SETLIMITS sets the idle and total time limits (seconds, 0 = default) for
// the following calls and clears a cancel request; CANCELRUN, callable from
// any thread, stops the assembler of the running call. A caller that finds
// neither simply builds without them.

#include <cstdint>

namespace torvane::bridge {

// Result bytes of the assembler exports.
inline constexpr uint8_t kNotAssembled = 0; // errors reported, or the log could not be written
inline constexpr uint8_t kAssembled = 1;    // no errors, log written
inline constexpr uint8_t kCallFailed = 255; // a failure no log line expresses; log written

} // namespace torvane::bridge

#if defined(_WIN32)
#define PELORIN_CALL __stdcall
#ifdef PELORIN_BUILDING
#define PELORIN_API __declspec(dllexport)
#else
#define PELORIN_API __declspec(dllimport)
#endif
#else
#define PELORIN_CALL
#define PELORIN_API __attribute__((visibility("default")))
#endif

extern "C" {

using PelorinExport = uint8_t(PELORIN_CALL*)(const char* source, const char* logFile, const char* asmPath,
                                             const char* lib, uint8_t bin);

using PelorinSetLimits = void(PELORIN_CALL*)(uint32_t idleSeconds, uint32_t totalSeconds);
using PelorinCancel = void(PELORIN_CALL*)();

PELORIN_API void PELORIN_CALL SETLIMITS(uint32_t idleSeconds, uint32_t totalSeconds);
PELORIN_API void PELORIN_CALL CANCELRUN();
PELORIN_API uint8_t PELORIN_CALL ASEM51(const char* source, const char* logFile, const char* asmPath,
                                        const char* lib, uint8_t bin);
PELORIN_API uint8_t PELORIN_CALL AVRASM(const char* source, const char* logFile, const char* asmPath,
                                        const char* lib, uint8_t bin);
}
