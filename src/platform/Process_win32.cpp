#include "platform/Process.h"

#include "platform/Win32Text.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace torvane::platform {

int CurrentProcessId() {
    return static_cast<int>(::GetCurrentProcessId());
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(win32::Narrow(wide[i], std::wcslen(wide[i])));
    ::LocalFree(wide);
    return arguments;
}

int WatchTerminationSignals() {
    return -1;
}

int TakeTerminationSignal(int) {
    return 0;
}

} // namespace torvane::platform
