#include "Win32Names.h"

#include "platform/Win32Text.h"

namespace win32_test {

using torvane::platform::win32::Narrow;
using torvane::platform::win32::Wide;

std::string NameOf(const fs::path& path) {
    return Narrow(path.wstring());
}

fs::path PathOf(const std::string& name) {
    return fs::path(Wide(name));
}

fs::path ScratchDir(const std::string& subfolder) {
    fs::path dir = test_support::ScratchDir("torvane_win32");
    if (subfolder.empty()) return dir;
    dir /= PathOf(subfolder);
    fs::create_directories(dir);
    return dir;
}

} // namespace win32_test
