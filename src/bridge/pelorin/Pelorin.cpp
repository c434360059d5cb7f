// The bridge library's exports: thin C entry points over the bridge core.

#include "bridge/Bridge.h"
#include "bridge/Export.h"

extern "C" {

PELORIN_API void PELORIN_CALL SETLIMITS(uint32_t idleSeconds, uint32_t totalSeconds) {
    torvane::bridge::SetRunLimits(idleSeconds, totalSeconds);
}

PELORIN_API void PELORIN_CALL CANCELRUN() {
    torvane::bridge::CancelRun();
}

PELORIN_API uint8_t PELORIN_CALL ASEM51(const char* source, const char* logFile, const char* asmPath,
                                        const char* lib, uint8_t bin) {
    return torvane::bridge::CallBridge(torvane::bridge::Assembler::Asem51, source, logFile, asmPath, lib,
                                       bin);
}

PELORIN_API uint8_t PELORIN_CALL AVRASM(const char* source, const char* logFile, const char* asmPath,
                                        const char* lib, uint8_t bin) {
    return torvane::bridge::CallBridge(torvane::bridge::Assembler::AvrAsm, source, logFile, asmPath, lib,
                                       bin);
}
}
