#include "BridgeTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace bridge_test {

fs::path ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = fs::temp_directory_path() / "torvane_bridge" /
                   (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(dir);
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

void WriteScript(const fs::path& dir, const std::string& script) {
    WriteFile(dir / "fake.script", script);
}

} // namespace bridge_test
