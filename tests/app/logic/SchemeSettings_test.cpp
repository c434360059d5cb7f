// The user's stored settings of a scheme: what is stored reads back, and a
// form that does not read back completely changes nothing.

#include "app/logic/SchemeSettings.h"
#include "common/IniFile.h"
#include "common/Stream.h"
#include "highlight/Settings.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::app;

namespace {

std::vector<uint8_t> StreamOf(const TTE_Settings& settings) {
    TMemoryStream stream;
    settings.SaveToStream(stream);
    return stream.Bytes();
}

struct SchemeSettingsTest : ::testing::Test {
    TMemIniFile ini{""};
    TTE_Settings compiled, edited;
    void SetUp() override {
        compiled.values.languageName = "8051 Assembler";
        edited.Assign(compiled);
        TTE_Style comment;
        comment.foreground = 0x00FF00;
        comment.fontStyle = fsItalic;
        comment.defined = 1;
        edited.SetStyle(9, comment);
        edited.CodeTemplates().AddMacro("clr2", "clear", 0, "CLR A\rCLR C");
    }
};

} // namespace

TEST_F(SchemeSettingsTest, StoredSettingsReadBackOverTheCompiledScheme) {
    TTE_Settings loaded;
    loaded.Assign(compiled);
    EXPECT_EQ(LoadSchemeSettings(ini, loaded), StoredSettings::None);
    EXPECT_EQ(StreamOf(loaded), StreamOf(compiled));

    StoreSchemeSettings(ini, "8051 Assembler", edited);
    EXPECT_EQ(LoadSchemeSettings(ini, loaded), StoredSettings::Applied);
    EXPECT_EQ(StreamOf(loaded), StreamOf(edited));

    // Another scheme has its own section.
    TTE_Settings other;
    other.values.languageName = "AVR Assembler";
    EXPECT_EQ(LoadSchemeSettings(ini, other), StoredSettings::None);

    DropSchemeSettings(ini, "8051 Assembler");
    EXPECT_FALSE(ini.SectionExists(SchemeSection("8051 Assembler")));
    loaded.Assign(compiled);
    EXPECT_EQ(LoadSchemeSettings(ini, loaded), StoredSettings::None);
}

TEST_F(SchemeSettingsTest, AFormThatDoesNotReadBackChangesNothing) {
    StoreSchemeSettings(ini, "8051 Assembler", edited);
    const std::string section = SchemeSection("8051 Assembler");
    const std::string good = ini.ReadString(section, "Settings", "");
    ASSERT_FALSE(good.empty());

    struct Case {
        const char* what;
        int format;
        std::string hex;
    };
    TTE_Settings otherLanguage;
    otherLanguage.values.languageName = "AVR Assembler";
    TMemoryStream foreign;
    otherLanguage.SaveToStream(foreign);
    std::string foreignHex;
    for (uint8_t b : foreign.Bytes()) {
        static const char* digits = "0123456789ABCDEF";
        foreignHex += digits[b >> 4];
        foreignHex += digits[b & 15];
    }
    const Case cases[] = {
        {"truncated", 51, good.substr(0, good.size() / 2)},
        {"bytes left over", 51, good + "00"},
        {"odd digit count", 51, good + "0"},
        {"not hex", 51, "Z" + good.substr(1)},
        {"empty", 51, ""},
        {"older format", 50, good},
        {"another language's form", 51, foreignHex},
    };
    for (const Case& c : cases) {
        ini.WriteInteger(section, "Format", c.format);
        ini.WriteString(section, "Settings", c.hex);
        TTE_Settings loaded;
        loaded.Assign(compiled);
        EXPECT_EQ(LoadSchemeSettings(ini, loaded), StoredSettings::Unreadable) << c.what;
        EXPECT_EQ(StreamOf(loaded), StreamOf(compiled)) << c.what;
    }
}

TEST(SchemeSettings, SectionNameCannotBreakTheFile) {
    TMemIniFile ini{""};
    TTE_Settings s;
    s.values.languageName = "odd]\nname";
    StoreSchemeSettings(ini, s.values.languageName, s);
    WriteMonoPrint(ini, s.values.languageName, false);
    TMemIniFile reread{""};
    reread.SetText(ini.GetText());
    TTE_Settings loaded;
    loaded.values.languageName = s.values.languageName;
    EXPECT_EQ(LoadSchemeSettings(reread, loaded), StoredSettings::Applied);
    EXPECT_FALSE(ReadMonoPrint(reread, s.values.languageName));
    EXPECT_TRUE(ReadMonoPrint(reread, "never stored"));
}
