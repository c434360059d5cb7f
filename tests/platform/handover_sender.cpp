// A second start of the program, reduced to its hand-over: it must find the
// lock taken, then hand its first argument to the running instance.
// Exit codes: 0 handed over, 1 the lock was free, 2 the hand-over failed.

#include "platform/SingleInstance.h"

#include <string>

int main(int argc, char** argv) {
    using torvane::platform::CopyDataRecord;
    using torvane::platform::SingleInstance;
    SingleInstance instance;
    if (instance.Acquire()) return 1;
    const std::string name = argc > 1 ? argv[1] : "";
    CopyDataRecord record;
    record.bytes.assign(name.begin(), name.end());
    record.bytes.push_back(0);
    return SingleInstance::Send(record, 10000) ? 0 : 2;
}
