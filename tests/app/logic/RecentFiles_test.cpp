#include "app/logic/RecentFiles.h"
#include "common/IniFile.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::app;

namespace {
std::vector<std::string> Paths(const TMemIniFile& ini) {
    std::vector<std::string> out;
    for (const auto& e : HistoryEntries(ini))
        out.push_back(e.path);
    return out;
}
} // namespace

TEST(RecentFiles, ReopeningMovesToTheFrontAndOthersKeepTheirOrder) {
    TMemIniFile ini("");
    AddToHistory(ini, "/a.asm");
    AddToHistory(ini, "/b.asm");
    AddToHistory(ini, "/c.asm");
    AddToHistory(ini, "/a.asm");
    EXPECT_EQ(Paths(ini), (std::vector<std::string>{"/a.asm", "/c.asm", "/b.asm"}));
    auto entries = HistoryEntries(ini);
    EXPECT_EQ(entries[0].caption, "1  /a.asm");
    EXPECT_EQ(entries[2].slot, 3);
}

TEST(RecentFiles, TenFilesKeepTheLastNineAndCaseMatters) {
    TMemIniFile ini("");
    for (int i = 0; i < 10; ++i)
        AddToHistory(ini, "/f" + std::to_string(i));
    auto paths = Paths(ini);
    ASSERT_EQ(paths.size(), 9u);
    EXPECT_EQ(paths.front(), "/f9");
    EXPECT_EQ(paths.back(), "/f1");
    AddToHistory(ini, "/F9");
    EXPECT_EQ(Paths(ini)[0], "/F9");
    EXPECT_EQ(Paths(ini)[1], "/f9");
}

TEST(RecentFiles, EmptySlotsAreSkippedInTheMenuAndCopiedWhenShifting) {
    TMemIniFile ini("");
    ini.SetText("[History]\n1=/x\n3=/y\n");
    EXPECT_EQ(Paths(ini), (std::vector<std::string>{"/x", "/y"}));
    AddToHistory(ini, "/y");
    EXPECT_EQ(ini.ReadString("History", "1", ""), "/y");
    EXPECT_EQ(ini.ReadString("History", "2", ""), "/x");
    EXPECT_EQ(ini.ReadString("History", "3", "?"), "");
}
