#include "Win32TestUtil.h"

#include "platform/Win32Text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

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
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = fs::temp_directory_path() / "torvane_win32" /
                   (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(dir);
    if (!subfolder.empty()) dir /= PathOf(subfolder);
    fs::create_directories(dir);
    return dir;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace win32_test
