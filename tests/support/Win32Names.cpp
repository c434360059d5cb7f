#include "Win32Names.h"

namespace win32_test {

fs::path ScratchDir(const std::string& subfolder) {
    fs::path dir = test_support::ScratchDir("torvane_win32");
    if (subfolder.empty()) return dir;
    dir /= PathOf(subfolder);
    fs::create_directories(dir);
    return dir;
}

} // namespace win32_test
