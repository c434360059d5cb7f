// The parts of the safe save that every system shares.

#include "platform/SafeSave.h"

namespace torvane::platform {

bool SaveFileSafely(const std::string& target, const std::string& bytes, int* errorCode, int newFileMode) {
    TSafeSave save(target);
    if (save.Open(newFileMode) && save.Write(bytes.data(), bytes.size()) && save.Commit()) return true;
    save.Discard();
    if (errorCode) *errorCode = save.ErrorCode();
    return false;
}

} // namespace torvane::platform
