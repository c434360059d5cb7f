// Every reader of a file that the user named or that was found on disk, with
// Windows-1250 names holding blanks and Czech letters: each must reach the
// file by its letters, not by the system code page's reading of its bytes.

#include "assemble/BuildCommand.h"
#include "common/Exceptions.h"
#include "common/IniFile.h"
#include "highlight/Parser.h"
#include "scheme/SchemeCompiler.h"
#include "scheme/ScriptLexer.h"
#include "support/Win32Names.h"
#include "symbols/SymbolTable.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace win32_test;

namespace {

class Win32Readers : public ::testing::Test {
protected:
    // "Příklady s mezerou\"
    const std::string folder_ = NameOf(ScratchDir("P\xF8\xEDklady s mezerou")) + "\\";

    std::string Put(const std::string& name, std::string_view bytes) const {
        WriteFile(PathOf(folder_ + name), bytes);
        return folder_ + name;
    }
};

TEST_F(Win32Readers, SettingsAndBuildLog) {
    // "Nastavení.ini", "překlad.log"
    const std::string ini = Put("Nastaven\xED.ini", "[ASEM51]\r\nPath=C:\\asm\r\n");
    TMemIniFile settings(ini);
    EXPECT_EQ(settings.ReadString("ASEM51", "Path", ""), "C:\\asm");
    settings.WriteString("ASEM51", "Lib", "x");
    ASSERT_TRUE(settings.UpdateFile());
    EXPECT_EQ(TMemIniFile(ini).ReadString("ASEM51", "Lib", ""), "x");

    std::vector<std::string> lines;
    ASSERT_TRUE(build::LoadLines(Put("p\xF8"
                                     "eklad.log",
                                     "a\r\nb\n"),
                                 lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
}

TEST_F(Win32Readers, SchemeIncludesBesideTheScriptAndInItsFolder) {
    // "žlutý koníček.tsc"
    const std::string included = "\x9Elut\xFD kon\xED\xE8"
                                 "ek.tsc";
    Put(included, "case\r\n");
    scheme::TTES_Compiler lexer("#include <" + included + ">\r\n#include \"" + included + "\"\r\nname",
                                folder_);
    EXPECT_EQ(lexer.NextToken(), scheme::tkCase);
    EXPECT_EQ(lexer.NextToken(), scheme::tkCase);
    EXPECT_EQ(lexer.NextToken(), scheme::tkName);

    // The folder of a script file named by the user is its include folder.
    Put(included, "");
    TTessaryParser parser;
    EXPECT_NO_THROW(
        scheme::CompileSchemeText(parser, "#include <" + included + ">\r\n", folder_ + "hlavn\xED.tsc"));
}

TEST_F(Win32Readers, ProjectScanFollowsIncludesBesideTheSourceAndInIncludeFolders) {
    // "časování.inc" beside "hlavní program.asm", "společné\registry.inc"
    const std::string timing = Put("\xE8"
                                   "asov\xE1n\xED.inc",
                                   "DELAY EQU 5\n");
    fs::create_directories(PathOf(folder_ + "spole\xE8n\xE9"));
    const std::string registers = Put("spole\xE8n\xE9\\registry.inc", "PORT EQU 90H\n");
    const std::string text = "$INCLUDE(\xE8"
                             "asov\xE1n\xED.inc)\n$INCLUDE(registry.inc)\n";
    symbols::TDiskFiles disk;
    const symbols::TSymbolTable table = symbols::ScanProject(
        {symbols::TDialect::Asm51, folder_ + "hlavn\xED program.asm", text, {folder_ + "spole\xE8n\xE9"}},
        disk);
    EXPECT_TRUE(table.problems.empty());
    ASSERT_NE(table.Find("DELAY"), nullptr);
    ASSERT_NE(table.Find("PORT"), nullptr);
    EXPECT_EQ(table.files, (std::vector<std::string>{folder_ + "hlavn\xED program.asm", timing, registers}));
}

} // namespace
