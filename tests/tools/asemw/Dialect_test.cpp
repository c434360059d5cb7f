// Table-driven cases of the Intel dialect: data/dialect.txt and
// data/jumps.txt. A case is
//
//   === name
//   source lines of main.asm
//   --- file PATH          (optional, more files beside main.asm)
//   its lines
//   --- includes DIR;DIR   (optional, folders relative to the case's folder)
//   --- bytes              (expected code: "ADDR: XX XX ..." lines, nothing else filled)
//   --- errors             (expected errors: "FILE(LINE): message", FILE a path suffix)
//
// Lines starting with "#" outside sources are comments.

#include "asm51/Assembler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace torvane::asm51;

namespace {

struct Case {
    std::string name, source;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> includes;
    std::map<int64_t, int> bytes;
    bool expectBytes = false;
    std::vector<std::string> errors;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

std::vector<Case> LoadCases(const std::string& file) {
    std::ifstream in(std::string(ASM51_TEST_DATA) + "/" + file);
    std::vector<Case> cases;
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.rfind("=== ", 0) == 0) {
            cases.push_back({});
            cases.back().name = line.substr(4);
            section = "source";
            continue;
        }
        if (cases.empty()) continue;
        Case& c = cases.back();
        if (line.rfind("--- ", 0) == 0) {
            std::istringstream words(line.substr(4));
            words >> section;
            if (section == "file") {
                std::string path;
                words >> path;
                c.files.emplace_back(path, "");
            } else if (section == "includes") {
                std::string list;
                words >> list;
                std::stringstream parts(list);
                for (std::string dir; std::getline(parts, dir, ';');)
                    c.includes.push_back(dir);
            } else if (section == "bytes") {
                c.expectBytes = true;
            }
            continue;
        }
        if (section == "source") {
            c.source += line + "\r\n";
        } else if (section == "file") {
            c.files.back().second += line + "\r\n";
        } else if (section == "bytes" && !line.empty() && line[0] != '#') {
            std::istringstream row(line);
            std::string address;
            row >> address;
            int64_t a = std::stoll(address, nullptr, 16);
            for (std::string b; row >> b;)
                c.bytes[a++] = std::stoi(b, nullptr, 16);
        } else if (section == "errors" && !line.empty() && line[0] != '#') {
            c.errors.push_back(line);
        }
    }
    return cases;
}

class Dialect : public ::testing::TestWithParam<Case> {};

std::string Hex(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02X", v);
    return b;
}

TEST_P(Dialect, AssemblesAsExpected) {
    const Case& c = GetParam();
    const fs::path dir = fs::temp_directory_path() / "torvane_asm51_dialect" / c.name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "main.asm", std::ios::binary) << c.source;
    for (const auto& [path, text] : c.files) {
        fs::create_directories((dir / path).parent_path());
        std::ofstream(dir / path, std::ios::binary) << text;
    }
    AssemblerOptions options;
    for (const auto& inc : c.includes)
        options.includeDirs.push_back((dir / inc).string());
    options.deviceDir = ASM51_DEVICES;
    const Assembly result = AssembleFile((dir / "main.asm").string(), (dir / "main.asm").string(), options);

    std::vector<std::string> errors;
    for (const auto& e : result.errors) {
        std::string file = fs::relative(e.file, dir).generic_string();
        errors.push_back(file + "(" + std::to_string(e.line) + "): " + e.message);
    }
    EXPECT_EQ(errors, c.errors);
    if (c.expectBytes) {
        std::string expected, actual;
        for (const auto& [a, b] : c.bytes)
            expected += Hex(static_cast<int>(a >> 8)) + Hex(static_cast<int>(a & 0xFF)) + ":" + Hex(b) + " ";
        for (int64_t a = 0; a < CodeImage::kSize; ++a)
            if (result.code.Has(a))
                actual += Hex(static_cast<int>(a >> 8)) + Hex(static_cast<int>(a & 0xFF)) + ":" +
                          Hex(result.code.At(a)) + " ";
        EXPECT_EQ(actual, expected);
    }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (char ch : info.param.name)
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Constructs, Dialect, ::testing::ValuesIn(LoadCases("dialect.txt")), CaseName);
INSTANTIATE_TEST_SUITE_P(GenericJumps, Dialect, ::testing::ValuesIn(LoadCases("jumps.txt")), CaseName);

} // namespace
