#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace test_support {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path ScratchDir(const std::string& area) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "outside-a-test";
    if (info) name = std::string(info->test_suite_name()) + "." + info->name();
    // Parameterised cases carry '/' in their names.
    for (char& c : name)
        if (c == '/') c = '_';
    fs::path dir = fs::temp_directory_path() / area / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

} // namespace test_support
