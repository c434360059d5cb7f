#include "support/TestFiles.h"
#include "symbols/SymbolTable.h"
#include "symbols/Symbols.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace torvane::symbols {
namespace {

using test_support::ReadFile;

// One definition as "line kind name=value", the form the tables below use.
std::vector<std::string> Definitions(TDialect dialect, std::string_view text) {
    std::vector<std::string> out;
    TLineSink sink;
    sink.symbol = [&](int32_t line, TLineSymbol&& s) {
        out.push_back(std::to_string(line) + ' ' + std::string(KindName(s.kind)) + ' ' + s.name +
                      (s.value.empty() ? "" : "=" + s.value));
    };
    sink.include = [&](int32_t line, TLineInclude&& inc) {
        out.push_back(std::to_string(line) + " include " + inc.name);
    };
    ScanText(dialect, text, sink);
    return out;
}

TEST(SymbolScanner, Asm51Definitions) {
    const std::string text = "$MOD52 $NOLIST\n"
                             "$include (reg.inc) ; controls may be lower case\n"
                             "START:  CPL P1.0 ; LOOP: in a comment is none\n"
                             "  inner : DJNZ R6,inner\n"
                             "LIMIT   EQU  10H ; ten\n"
                             "Count   set  Count+1\n"
                             "BUF     DATA 30H\n"
                             "IB      IDATA 80H\n"
                             "XB      XDATA 1000H\n"
                             "LED     BIT  P1.0\n"
                             "VEC     CODE 0003H\n"
                             "WAIT    MACRO N\n"
                             "        ENDM\n"
                             "PROG    SEGMENT CODE\n"
                             "ISR     PROC\n"
                             "ISR     ENDP\n"
                             "        MOV A,#'X:' ; quoted\n"
                             "        DB  \"EQU\", 0\n"
                             "1BAD:   NOP\n";
    EXPECT_EQ(
        Definitions(TDialect::Asm51, text),
        (std::vector<std::string>{"0 device MOD52", "1 include reg.inc", "2 label START", "3 label inner",
                                  "4 equ LIMIT=10H", "5 set Count=Count+1", "6 data BUF=30H",
                                  "7 idata IB=80H", "8 xdata XB=1000H", "9 bit LED=P1.0", "10 code VEC=0003H",
                                  "11 macro WAIT=N", "13 segment PROG=CODE", "14 proc ISR"}));
}

TEST(SymbolScanner, AvrDefinitions) {
    const std::string text = ".include \"m328Pdef.inc\"\r\n"
                             "#include <macros.inc>\r\n"
                             ".DEVICE ATmega328P\r\n"
                             ".equ  BAUD = 9600 ; serial\r\n"
                             ".set  n=n+1\r\n"
                             ".def  temp = r16 // alias\r\n"
                             ".macro blink\r\n"
                             ".endm\r\n"
                             "#define F_CPU 16000000\r\n"
                             "reset: ldi temp, 0\r\n"
                             "  .equ   NOVALUE\r\n"
                             "loop:\r\n";
    EXPECT_EQ(
        Definitions(TDialect::Avr, text),
        (std::vector<std::string>{"0 include m328Pdef.inc", "1 include macros.inc", "2 device ATmega328P",
                                  "3 equ BAUD=9600", "4 set n=n+1", "5 def temp=r16", "6 macro blink",
                                  "8 equ F_CPU=16000000", "9 label reset", "11 label loop"}));
}

TEST(SymbolScanner, BundledExamples) {
    const std::string dir = std::string(TORVANE_SOURCE_DIR) + "/examples/";
    EXPECT_EQ(Definitions(TDialect::Asm51, ReadFile(dir + "blink51.asm")),
              (std::vector<std::string>{"3 label START", "7 label DELAY", "8 label OUTER", "9 label INNER"}));
    const std::vector<std::string> avr = Definitions(TDialect::Avr, ReadFile(dir + "blink328p.asm"));
    EXPECT_EQ(avr, (std::vector<std::string>{"2 include m328Pdef.inc", "8 label reset", "13 label loop",
                                             "17 label delay", "18 label outer", "19 label inner"}));
}

TEST(SymbolScanner, UsesSkipCommentsQuotesAndLongerNames) {
    const std::string text = "DELAY: MOV R7,#1 ; DELAY again\n"
                             "  LCALL delay\n"
                             "  DB 'DELAY', DELAY2, XDELAY, 0DELAYH\n"
                             "\tCALL DELAY+1 // DELAY\r\n"
                             "  AJMP DELAY";
    std::vector<std::pair<int, int>> found;
    FindUses(text, "Delay",
             [&](int32_t line, int32_t column, std::string_view) { found.emplace_back(line, column); });
    EXPECT_EQ(found, (std::vector<std::pair<int, int>>{{0, 0}, {1, 8}, {3, 6}, {4, 7}}));

    EXPECT_EQ(WordAt("  LCALL DELAY ; X", 10), "DELAY");
    EXPECT_EQ(WordAt("  LCALL DELAY", 13), "DELAY"); // just after the word
    EXPECT_EQ(WordAt("  LCALL DELAY ; X", 16), "");  // in the comment
    EXPECT_EQ(WordAt("  DB 'ABC'", 7), "");
}

TEST(SymbolScanner, GarbageNeverMakesHugeRecords) {
    std::string text(1 << 20, 'A');
    text += ": EQU ";
    text += std::string(1 << 20, 'B');
    text += "\nX EQU ";
    text += std::string(1 << 20, '1');
    text.push_back('\0');
    text += "\x01\xff\n$INCLUDE(";
    const std::vector<std::string> defs = Definitions(TDialect::Asm51, text);
    ASSERT_EQ(defs.size(), 1u); // the label is too long to be a name
    EXPECT_EQ(defs[0].size(), std::string("1 equ X=").size() + 256);
}

// Files in memory, with a count of reads, for the include rules. They are
// named with "/"; the scan joins names with the system's own separator.
class MemoryFiles : public TSourceFiles {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, int> reads;
    std::string Identity(const std::string& path) override { return Slashed(path); }
    std::optional<uint64_t> FileSize(const std::string& path) override {
        const auto it = files.find(Slashed(path));
        if (it == files.end()) return std::nullopt;
        return it->second.size();
    }
    bool Read(const std::string& path, std::string& bytes) override {
        ++reads[Slashed(path)];
        bytes = files.at(Slashed(path));
        return true;
    }

private:
    static std::string Slashed(const std::string& path) {
        return std::filesystem::path(path).generic_string();
    }
};

std::string ProblemKinds(const TSymbolTable& table) {
    std::string out;
    for (const TScanProblem& p : table.problems)
        out += std::to_string(static_cast<int>(p.kind)) + ":" + p.include + "@" + std::to_string(p.file) +
               ":" + std::to_string(p.line) + " ";
    return out;
}

TEST(ProjectScan, FixtureWithNestedIncludesCycleAndMissing) {
    const std::string dir = std::string(TORVANE_TEST_DATA) + "/symbols/proj51/";
    const std::string text = ReadFile(dir + "main.asm");
    TDiskFiles disk;
    const TSymbolTable table = ScanProject({TDialect::Asm51, dir + "main.asm", text, {dir + "inc"}}, disk);

    ASSERT_EQ(table.files.size(), 3u);
    const TSymbol* delay = table.Find("delay");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(std::filesystem::path(table.files[static_cast<size_t>(delay->file)]).generic_string(),
              dir + "inc/timing.inc");
    EXPECT_EQ(delay->line, 1);
    ASSERT_NE(table.Find("COUNT"), nullptr);
    EXPECT_EQ(table.Find("COUNT")->value, "30H");
    EXPECT_EQ(table.Find("MOD51"), nullptr); // a device is no place to go to

    // The cycle timing -> defs is reported where it closes; the missing file
    // named twice is reported once.
    using Kind = TScanProblem::Kind;
    ASSERT_EQ(table.problems.size(), 2u) << ProblemKinds(table);
    EXPECT_EQ(table.problems[0].kind, Kind::Cycle);
    EXPECT_EQ(table.problems[0].include, "defs.inc");
    EXPECT_EQ(table.problems[1].kind, Kind::Missing);
    EXPECT_EQ(table.problems[1].line, 6);

    const std::vector<TUse> uses = FindProjectUses(table, text, "DELAY", disk);
    ASSERT_EQ(uses.size(), 2u);
    EXPECT_EQ(uses[0].file, 0);
    EXPECT_EQ(uses[0].line, 3);
    EXPECT_EQ(uses[0].text, "START:  LCALL DELAY");
    EXPECT_EQ(uses[1].file, delay->file);
}

TEST(ProjectScan, AvrIncludeFolderAndSelfCycle) {
    const std::string dir = std::string(TORVANE_TEST_DATA) + "/symbols/projavr/";
    TDiskFiles disk;
    const std::string text = ReadFile(dir + "main.asm");
    const TSymbolTable table = ScanProject({TDialect::Avr, dir + "main.asm", text, {dir + "lib/"}}, disk);
    ASSERT_NE(table.Find("SPL"), nullptr);
    EXPECT_EQ(table.Find("spl")->value, "0x3D");
    ASSERT_NE(table.Find("pause"), nullptr);
    EXPECT_EQ(table.Find("pause")->kind, TSymbolKind::Macro);
    ASSERT_EQ(table.problems.size(), 1u) << ProblemKinds(table);
    EXPECT_EQ(table.problems[0].kind, TScanProblem::Kind::Cycle);
}

TEST(ProjectScan, SearchOrderLimitsAndRepeatedIncludes) {
    MemoryFiles mem;
    mem.files["/src/a.inc"] = "A1 EQU 1\n";
    mem.files["/lib/a.inc"] = "A2 EQU 2\n";
    mem.files["/lib/b.inc"] = "B EQU 3\n$INCLUDE(c.inc)\n";
    mem.files["/lib2/c.inc"] = "C EQU 4\n";
    mem.files["/lib/big.inc"] = std::string(100, ';');
    const std::string text = "$INCLUDE(a.inc)\n$INCLUDE(b.inc)\n$INCLUDE(b.inc)\n$INCLUDE(big.inc)\n"
                             "$INCLUDE(big.inc)\n";
    TScanLimits limits;
    limits.maxIncludeBytes = 50;
    const TSymbolTable table =
        ScanProject({TDialect::Asm51, "/src/main.asm", text, {"/lib", "/lib2/"}}, mem, limits);

    ASSERT_NE(table.Find("A1"), nullptr); // the source's folder comes first
    EXPECT_EQ(table.Find("A2"), nullptr);
    ASSERT_NE(table.Find("C"), nullptr); // nested includes search the same folders
    EXPECT_EQ(mem.reads["/lib/b.inc"], 1);
    EXPECT_EQ(mem.reads.count("/lib/big.inc"), 0u);
    ASSERT_EQ(table.problems.size(), 1u) << ProblemKinds(table);
    EXPECT_EQ(table.problems[0].kind, TScanProblem::Kind::TooLarge);

    // A chain deeper than the limit stops there.
    MemoryFiles chain;
    for (int i = 0; i < 10; ++i)
        chain.files["/d/f" + std::to_string(i) + ".inc"] = "$INCLUDE(f" + std::to_string(i + 1) + ".inc)\n";
    chain.files["/d/f10.inc"] = "END_OF_CHAIN:\n";
    limits.maxDepth = 5;
    const TSymbolTable deep =
        ScanProject({TDialect::Asm51, "/d/main.asm", "$INCLUDE(f0.inc)", {}}, chain, limits);
    EXPECT_EQ(deep.Find("END_OF_CHAIN"), nullptr);
    ASSERT_EQ(deep.problems.size(), 1u);
    EXPECT_EQ(deep.problems[0].kind, TScanProblem::Kind::TooDeep);
}

TEST(ProjectScan, UntitledSourceAndBackslashNames) {
    MemoryFiles mem;
    mem.files["/lib/sub/r.inc"] = "R EQU 1\n";
    const TSymbolTable table = ScanProject({TDialect::Asm51, "", "$INCLUDE(sub\\r.inc)\n", {"/lib"}}, mem);
    EXPECT_NE(table.Find("R"), nullptr);
    EXPECT_TRUE(table.problems.empty());
}

} // namespace
} // namespace torvane::symbols
