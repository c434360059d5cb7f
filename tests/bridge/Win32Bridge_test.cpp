// Pelorin.dll as the program uses it: loaded by path, the export looked up
// by name and called with Windows-1250 paths that hold blanks, running a
// scripted asemw.exe.

#include "bridge/CommandLine.h"
#include "bridge/Export.h"
#include "platform/DynamicLibrary.h"
#include "support/Win32Names.h"

#include <gtest/gtest.h>

#include <regex>

using namespace torvane;
using namespace win32_test;

namespace {

struct DllCall {
    // "Překlad č. 1" and "Knihovny ěšč" in Windows-1250.
    fs::path dir = ScratchDir("P\xF8\x65klad \xE8. 1");
    fs::path source = dir / "prog.asm";
    fs::path log = dir / "compiler.log";
    fs::path asmPath = dir / PathOf("n\xE1stroje s mezerou") / "asemw.exe";
    fs::path lib = dir / PathOf("Knihovny \xEC\x9A\xE8");
    platform::DynamicLibrary library;
    PelorinExport asem51 = nullptr;

    DllCall() {
        fs::create_directories(asmPath.parent_path());
        fs::create_directories(lib);
        fs::copy_file(FAKE_ASEMW, asmPath);
        WriteFile(source, "nop\n");
        if (library.Load(PELORIN_DLL)) asem51 = reinterpret_cast<PelorinExport>(library.Symbol("ASEM51"));
    }
    uint8_t Run(const std::string& script) {
        WriteFile(dir / "fake.script", script);
        const std::string libList = NameOf(lib) + "\\;";
        return asem51(NameOf(source).c_str(), NameOf(log).c_str(), NameOf(asmPath).c_str(), libList.c_str(),
                      0);
    }
    std::string Log() const {
        return std::regex_replace(ReadFile(log), std::regex("^\\([^)]*\\)"), "(T)",
                                  std::regex_constants::format_first_only);
    }
};

} // namespace

TEST(Win32Bridge, ScriptedAssemblerThroughTheDll) {
    DllCall c;
    ASSERT_NE(c.asem51, nullptr) << c.library.ErrorText();

    EXPECT_EQ(c.Run("out asemw\\nBANNER 1.0\\n\\nno errors\\n\n"), 1);
    EXPECT_EQ(c.Log(), "(T) BANNER 1.0\r\n\r\nSoubor byl úspěšně přeložen\r\n");

    // A failing run logs the command line the assembler received, byte for
    // byte, as an error line (it holds a colon).
    EXPECT_EQ(c.Run("out asemw\\nBANNER\\nthird\\n\ncmdline\nexit 1\n"), 0);
    const std::string expectedLine =
        bridge::Asem51CommandLine(NameOf(c.asmPath), NameOf(c.source), NameOf(c.lib) + "\\;");
    EXPECT_EQ(c.Log(),
              "(T) BANNER\r\n\r\nSoubor nelze přeložit:\r\n[Error] CMDLINE=" + expectedLine + "\r\n");
}

TEST(Win32Bridge, FailedCallReturns255AfterWritingTheLog) {
    DllCall c;
    ASSERT_NE(c.asem51, nullptr) << c.library.ErrorText();
    EXPECT_EQ(c.Run("out only\\nthree\\nlines\\n\n"), 255);
    EXPECT_EQ(c.Log(), "(T) three\r\n\r\n");
}

TEST(Win32Bridge, MissingLibraryAndSymbolAreReported) {
    platform::DynamicLibrary library;
    EXPECT_FALSE(library.Load(NameOf(ScratchDir() / "Pelorin.dll")));
    EXPECT_FALSE(library.ErrorText().empty());
    ASSERT_TRUE(library.Load(PELORIN_DLL));
    EXPECT_EQ(library.Symbol("CallBridge"), nullptr);
    EXPECT_NE(library.Symbol("AVRASM"), nullptr);
}
