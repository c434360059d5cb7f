#include "highlight/Settings.h"
#include "highlight/SettingsRegistry.h"

#include "SchemeBuilder.h"
#include "common/Exceptions.h"

#include <gtest/gtest.h>

using namespace torvane;

namespace {

std::vector<uint8_t> Save(const TTE_Settings& s) {
    TMemoryStream out;
    s.SaveToStream(out);
    return out.Bytes();
}

void Load(TTE_Settings& s, const std::vector<uint8_t>& bytes) {
    TMemoryStream in(bytes);
    s.LoadFromStream(in);
    EXPECT_EQ(in.Position(), in.Size()) << "the reader must consume exactly what the writer wrote";
}

using test::States;

// A model using every section of the stream.
void Populate(TTE_Settings& s) {
    TSettingsValues& v = s.values;
    v.exampleText = "; example\r\n  mov a,#1";
    v.languageName = "8051 assembler";
    v.options = 0x12345;
    v.marginWidth = 8;
    v.gutterColour = 0x00FFFF;
    v.tabColumns[0] = 7;
    v.tabColumns[1] = 15;
    v.fontCharSet = 238;
    v.selTextBackFlag = 1;
    s.SetStyle(1, TTE_Style{fsBold, 0x0000FF, 0xFFFFFF, 0, 1, 0, 1});
    s.SetStyle(200, TTE_Style{fsItalic | fsUnderline, 0x123456, -5, 1, 0, 1, 1});
    v.map[1] = 1;
    v.map[9] = 200;
    v.editable[0] = {"Default", 0};
    v.editable[1] = {"Keyword", 1};
    s.AddUserKeywordTable({States({0}), "[^a-z]", 0, {{"acc", 5}, {"dptr", 5}}});
    s.AddUserKeywordTable({States({3}), "", 1, {{"B", 6}}});
    s.AutoReplace().AddMacro("teh", "", 0, "the");
    s.AutoReplace().SetTriggerText(";\\{Space}");
    s.CodeTemplates().AddMacro("loop", "counted loop", 0, "mov r7,#|\r\nl: djnz r7,l");
    s.CodeTemplates().SetTriggerKey(ShortCut(vk::Space, kscCtrl));
    s.KeyMap().AddKey(vk::F1 + 8, 0, 99);
    s.KeyMap().SetName(99, "Build");
    s.SetGutterFont(TTE_Font{"Arial", 9, 238, 0x808080, fsBold | fsStrikeOut});
}

struct RecordingEditor : TSettingsClient {
    int gutterChanges = 0;
    void GutterFontChanged() override { ++gutterChanges; }
};

struct RecordingStore : TRegistryStore {
    std::string key;
    std::vector<std::pair<std::string, std::string>> strings;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> binaries;
    void OpenKey(const std::string& k) override { key = k; }
    void WriteString(const std::string& n, const std::string& v) override { strings.emplace_back(n, v); }
    void WriteBinary(const std::string& n, const std::vector<uint8_t>& v) override {
        binaries.emplace_back(n, v);
    }
};

} // namespace

TEST(Settings, ResetModelSurvivesSaveAndLoad) {
    TTE_Settings reset;
    EXPECT_EQ(reset.values.languageName, "<Custom language>");
    EXPECT_EQ(reset.values.options, 0x3FFDBF0u);
    EXPECT_EQ(reset.StyleOfToken(77), 0); // no map entries: every token paints in style 0
    std::vector<uint8_t> bytes = Save(reset);
    // Three strings, eleven integers, then one defined style: style 0.
    size_t stylesAt = 4 + 0 + 4 + 17 + 4 + 3 + 11 * 4;
    ASSERT_GT(bytes.size(), stylesAt + 5);
    EXPECT_EQ(bytes[stylesAt], 1);
    EXPECT_EQ(bytes[stylesAt + 4], 0);

    TTE_Settings loaded;
    Populate(loaded);
    Load(loaded, bytes);
    EXPECT_EQ(loaded.values, reset.values);
    EXPECT_EQ(loaded.KeyMap().AllBindings(), TKeyboardActionContoller::Default().AllBindings());
    EXPECT_EQ(loaded.UserTables().Count(), 0);
    EXPECT_TRUE(loaded.AutoReplace().Macros().empty());
    EXPECT_EQ(Save(loaded), bytes);
}

TEST(Settings, FullModelSavesLoadsAndSavesToTheSameBytes) {
    TTE_Settings s;
    Populate(s);
    std::vector<uint8_t> first = Save(s);
    TTE_Settings loaded;
    Load(loaded, first);
    EXPECT_EQ(Save(loaded), first);
    EXPECT_EQ(loaded.values, s.values);
    EXPECT_EQ(loaded.KeyMap().GetName(99), "Build");
    EXPECT_EQ(loaded.CodeTemplates().TriggerKey(), ShortCut(vk::Space, kscCtrl));
    EXPECT_EQ(loaded.UserTables().Count(), 2);

    // The combined user keywords are rebuilt from the loaded tables.
    TKeywords& k = loaded.UserTables().Keywords();
    k.SetCurrentStates(States({0}));
    TStringCursor cursor("DPTR,");
    int32_t length = 0;
    const TWordEntry* e = k.Match(cursor, 0, length);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->value, 5);

    std::unique_ptr<TTE_Base> clone = s.Clone();
    EXPECT_EQ(Save(static_cast<TTE_Settings&>(*clone)), first);
}

TEST(Settings, VersionFiftyStreamKeepsTheGutterFont) {
    TTE_Settings writer;
    Populate(writer);
    writer.streamVersion = 50;
    std::vector<uint8_t> old = Save(writer);
    writer.streamVersion = TTE_Settings::kCurrentLayout;
    EXPECT_EQ(Save(writer).size(), old.size() + 4 + 5 + 4 + 1 + 4 + 1);

    TTE_Settings reader;
    const TTE_Font mine{"Consolas", 11, 0, 0x112233, fsItalic};
    reader.SetGutterFont(mine);
    reader.streamVersion = 50;
    Load(reader, old);
    EXPECT_EQ(reader.GutterFont(), mine);
    EXPECT_EQ(reader.values.languageName, "8051 assembler");
}

TEST(Settings, DamagedStreamRaisesAndChangesNothing) {
    TTE_Settings s;
    Populate(s);
    std::vector<uint8_t> good = Save(s);
    TTE_Settings target;
    target.values.rightMargin = 123;
    for (size_t cut : {size_t(0), size_t(10), good.size() / 2, good.size() - 1}) {
        std::vector<uint8_t> bad(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        TMemoryStream in(bad);
        EXPECT_THROW(target.LoadFromStream(in), EStreamError) << cut;
        EXPECT_EQ(target.values.rightMargin, 123);
    }
    // An overlong editable-style name is cut to 25 characters.
    TTE_Settings longName;
    longName.values.editable[0] = {std::string(40, 'n'), 3};
    TTE_Settings back;
    Load(back, Save(longName));
    EXPECT_EQ(back.values.editable[0].name, std::string(25, 'n'));
}

TEST(Settings, AttachedEditorsShareFontsAndHearOfGutterChanges) {
    TTE_Settings s;
    s.SetStyle(4, TTE_Style{fsBold, 0xFF, 0xFFFFFF, 0, 0, 1, 1});
    EXPECT_TRUE(s.HasHotSpots());
    EXPECT_EQ(s.StyleFont(4), nullptr);
    RecordingEditor a, b;
    s.Attach(&a);
    s.Attach(&b);
    ASSERT_NE(s.StyleFont(4), nullptr);
    EXPECT_EQ(s.StyleFont(4)->style, fsBold);
    EXPECT_EQ(s.StyleFont(4)->name, "Courier New");
    EXPECT_EQ(s.StyleFont(5), nullptr); // not defined
    s.SetGutterFont(TTE_Font{"Arial", 8, 1, 0, 0});
    EXPECT_EQ(a.gutterChanges, 1);
    EXPECT_EQ(b.gutterChanges, 1);
    s.Detach(&a);
    EXPECT_NE(s.StyleFont(4), nullptr);
    s.Detach(&b);
    EXPECT_EQ(s.StyleFont(4), nullptr);
    s.SetStyle(4, TTE_Style{});
    EXPECT_FALSE(s.HasHotSpots());
    s.SetStyle(0, TTE_Style{}); // style 0 stays defined: every other style falls back on it
    EXPECT_EQ(s.GetStyle(0).defined, 1);
}

TEST(SettingsRegistry, StyleStringFieldsAndEndMark) {
    TTE_Settings s;
    s.values.tabColumns[0] = 7;
    s.values.tabColumns[1] = 15;
    s.SetStyle(0, TTE_Style{fsBold | fsUnderline, 0, 0xFFFFFF, 1, 1, 0, 1});
    s.SetStyle(2, TTE_Style{fsItalic, 255, -1, 0, 0, 0, 1});
    s.SetGutterFont(TTE_Font{"Arial", 8, 238, clWindowText, 0});
    std::string text = BuildStyleString(s);
    // Each field: "#", tag, "#", the value's length, the value.
    EXPECT_EQ(text.rfind("Quvelt6:#OPT#867099632#GWD#234#GCL#11-2147483633#WRC#10#IDS#11#WRO#3>|:", 0), 0u)
        << text;
    EXPECT_NE(text.find("#TBC#48 16#TBD#14#EFF#312,0,0,16777215,XYBU;2,255,-1,I;#GDF#10#"),
              std::string::npos);
    EXPECT_NE(text.find("#FOC#11#RMG#280#LNN#5Arial#LNS#18#LNC#11-2147483640#LNT#3238"), std::string::npos);
    // A gutter font without style: an empty LNE field right before the end mark.
    EXPECT_EQ(text.substr(text.size() - 11), "#LNE#0#END#");
}

TEST(SettingsRegistry, RefusesWhenDisabledAndWritesBothValuesOtherwise) {
    TTE_Settings s;
    s.values.languageName = "Text";
    RecordingStore store;
    try {
        WriteSettingsToRegistry(s, TRegistryOptions{false, "Software\\Torvane", "TessaryParser1"}, store);
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "Registry interface disabled in: TessaryParser1");
    }
    EXPECT_THROW(WriteSettingsToRegistry(s, TRegistryOptions{true, "", "P"}, store), ETessary);
    EXPECT_TRUE(store.strings.empty());

    WriteSettingsToRegistry(s, TRegistryOptions{true, "Software\\Torvane", "P"}, store);
    EXPECT_EQ(store.key, "Software\\Torvane");
    ASSERT_EQ(store.strings.size(), 1u);
    EXPECT_EQ(store.strings[0].first, "Highlighting - Text");
    ASSERT_EQ(store.binaries.size(), 1u);
    EXPECT_EQ(store.binaries[0].first, "Key Assignments - Text");
    const std::vector<uint8_t>& value = store.binaries[0].second;
    EXPECT_EQ(std::string(value.begin(), value.begin() + 9), "\x08Quvelt6:");
    TKeyboardActionContoller back;
    TMemoryStream in(std::vector<uint8_t>(value.begin() + 9, value.end()));
    back.ReadFromStream(in);
    EXPECT_EQ(back.AllBindings(), TKeyboardActionContoller::Default().AllBindings());
}
