#include "BridgeTestUtil.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace bridge_test {

fs::path ScratchDir() {
    return test_support::ScratchDir("torvane_bridge");
}

bool ProcessIsGone(int pid) {
#ifdef _WIN32
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return true;
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
#else
    return ::kill(pid, 0) != 0;
#endif
}

void WriteScript(const fs::path& dir, const std::string& script) {
    WriteFile(dir / "fake.script", script);
}

} // namespace bridge_test
