#include "highlight/KeyMap.h"

#include "common/Exceptions.h"

#include <gtest/gtest.h>

using namespace torvane;
using KeyResult = TKeyboardActionContoller::KeyResult;

namespace {

struct Press {
    KeyResult result;
    int32_t command;
    bool extend;
};

Press Key(TKeyboardActionContoller& map, TShortCut key) {
    Press p{};
    p.result = map.HandleKey(key, p.command, p.extend);
    return p;
}

std::unique_ptr<TKeyboardActionContoller> DefaultCopy() {
    auto map = std::make_unique<TKeyboardActionContoller>();
    map->Assign(TKeyboardActionContoller::Default());
    return map;
}

} // namespace

TEST(KeyMap, SecondKeyOfASequenceIgnoresItsModifiers) {
    auto map = DefaultCopy();
    EXPECT_EQ(Key(*map, ShortCut('K', kscCtrl)).result, KeyResult::Pending);
    EXPECT_EQ(Key(*map, vk::Control).result, KeyResult::NotHandled); // a held Ctrl repeating
    Press p = Key(*map, ShortCut('I', kscCtrl));
    EXPECT_EQ(p.result, KeyResult::Command);
    EXPECT_EQ(p.command, acBlockIndent);
    EXPECT_EQ(map->GetName(p.command), "Indent selected block");

    Key(*map, ShortCut('Q', kscCtrl));
    p = Key(*map, '7');
    EXPECT_EQ(p.command, acGotoBookmark0 + 7);
}

TEST(KeyMap, UnfinishedSequenceSwallowsTheNextKeyAndStartsOver) {
    auto map = DefaultCopy();
    Key(*map, ShortCut('K', kscCtrl));
    Press p = Key(*map, 'X');
    EXPECT_EQ(p.result, KeyResult::Swallowed); // nothing runs, and X is not typed
    EXPECT_EQ(p.command, acNone);
    // Back at the top level: X types, Ctrl+X cuts.
    EXPECT_EQ(Key(*map, 'X').result, KeyResult::NotHandled);
    EXPECT_EQ(Key(*map, ShortCut('X', kscCtrl)).command, acCut);
}

TEST(KeyMap, ShiftExtendsMovesButStaysPartOfOtherKeys) {
    auto map = DefaultCopy();
    Press p = Key(*map, ShortCut(vk::Down, kscShift));
    EXPECT_EQ(p.command, acLineDown);
    EXPECT_TRUE(p.extend);
    p = Key(*map, ShortCut(vk::Left, kscShift | kscCtrl));
    EXPECT_EQ(p.command, acWordLeft);
    EXPECT_TRUE(p.extend);
    p = Key(*map, ShortCut(vk::Back, kscShift));
    EXPECT_EQ(p.command, acDeleteCharBefore);
    EXPECT_FALSE(Key(*map, vk::Down).extend);
    EXPECT_EQ(Key(*map, ShortCut('Z', kscShift)).result, KeyResult::NotHandled); // types "Z"
    EXPECT_EQ(Key(*map, ShortCut('Z', kscShift | kscCtrl)).command, acRedo);
}

TEST(KeyMap, HandlerMayChangeTheCommand) {
    auto map = DefaultCopy();
    map->OnKeyboardAction = [](int32_t& code, bool) {
        if (code == acUndo) code = acRedo;
    };
    EXPECT_EQ(Key(*map, ShortCut('Z', kscCtrl)).command, acRedo);
}

TEST(KeyMap, ConflictingBindingsNameBothCommandsAndChangeNothing) {
    auto map = DefaultCopy();
    std::vector<TKeyboardActionContoller::Binding> before = map->AllBindings();
    try {
        map->AddKey(ShortCut('K', kscCtrl), 0, acUndo);
        FAIL();
    } catch (const EAmbigiousKeyPair& e) {
        EXPECT_STREQ(e.what(),
                     "Duplicate key sequence definition for\r\n\"Undo\" and \"Indent selected block\"");
    }
    try {
        map->AddKey(ShortCut('K', kscCtrl), ShortCut('P', kscCtrl), acRedo);
        FAIL();
    } catch (const EAmbigiousKeyPair& e) {
        EXPECT_STREQ(e.what(), "Duplicate key sequence definition for\r\n\"Redo\" and \"Print selection\"");
    }
    // A key bound alone cannot start a sequence.
    EXPECT_THROW(map->AddKey(ShortCut('Y', kscCtrl), 'A', acUndo), EAmbigiousKeyPair);
    EXPECT_THROW(map->AddKey(vk::Left, 0, acUndo), EAmbigiousKeyPair);
    // A second key made of modifiers only is no second key: it binds Ctrl+K alone.
    EXPECT_THROW(map->AddKey(ShortCut('K', kscCtrl), kscShift, acUndo), EAmbigiousKeyPair);
    EXPECT_EQ(map->AllBindings(), before);
}

TEST(KeyMap, FindKeysVisitsEveryBindingOfACommand) {
    TKeyboardActionContoller map;
    map.SetName(acUndo, "Undo");
    map.AddKey(ShortCut('Z', kscCtrl), 0, acUndo);
    map.AddKey(ShortCut(vk::Back, kscAlt), 0, acUndo);
    map.AddKey(ShortCut('K', kscCtrl), 'Z', acUndo);
    std::vector<std::pair<TShortCut, TShortCut>> found;
    for (auto keys = map.FindKeys(acUndo); keys.first; keys = map.FindNextKeys(acUndo))
        found.push_back(keys);
    EXPECT_EQ(found, (std::vector<std::pair<TShortCut, TShortCut>>{{ShortCut('Z', kscCtrl), 0},
                                                                   {ShortCut(vk::Back, kscAlt), 0},
                                                                   {ShortCut('K', kscCtrl), 'Z'}}));
    EXPECT_EQ(map.FindKeys(acRedo), (std::pair<TShortCut, TShortCut>{0, 0}));
    EXPECT_EQ(map.GetName(acRedo), "");
}

TEST(KeyMap, DefaultMapWritesAndReadsBackUnchanged) {
    const TKeyboardActionContoller& def = TKeyboardActionContoller::Default();
    EXPECT_EQ(def.Names().size(), 48u);
    EXPECT_EQ(def.AllBindings().size(), 48u);
    EXPECT_EQ(def.GetName(acScrollDown), "Scroll display down one line");

    TMemoryStream first;
    def.WriteToStream(first);
    TKeyboardActionContoller read;
    first.SetPosition(0);
    read.ReadFromStream(first);
    EXPECT_EQ(first.Position(), first.Size());
    EXPECT_EQ(read.AllBindings(), def.AllBindings());
    EXPECT_EQ(read.Names(), def.Names());
    TMemoryStream second;
    read.WriteToStream(second);
    EXPECT_EQ(first.Bytes(), second.Bytes());

    // A two-key binding is written as its parent's key and its own.
    TKeyboardActionContoller one;
    one.AddKey(ShortCut('K', kscCtrl), ShortCut('B', kscCtrl), 3);
    TMemoryStream s;
    one.WriteToStream(s);
    EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0, 0, 0, 'K', 0x40, 'B', 0, 3, 0, 0, 0}));
}

TEST(KeyMap, DamagedStreamLeavesTheMapAsItWas) {
    auto map = DefaultCopy();
    TMemoryStream s;
    map->WriteToStream(s);
    s.SetSize(s.Size() - 3);
    s.SetPosition(0);
    EXPECT_THROW(map->ReadFromStream(s), EStreamError);
    EXPECT_EQ(map->AllBindings(), TKeyboardActionContoller::Default().AllBindings());
}

TEST(ShortCutText, ConvertsBothWays) {
    EXPECT_EQ(ShortCutToText(ShortCut('J', kscCtrl)), "Ctrl+J");
    EXPECT_EQ(ShortCutToText(ShortCut(vk::F1 + 4, kscShift | kscCtrl | kscAlt)), "Shift+Ctrl+Alt+F5");
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(TextToShortCut("ctrl+pgdn"), ShortCut(vk::Next, kscCtrl));
    EXPECT_EQ(TextToShortCut("Alt+Del"), ShortCut(vk::Delete, kscAlt));
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Hyper+J"), 0);
    EXPECT_EQ(KeyNameToCode("PageDown"), vk::Next);
    EXPECT_EQ(KeyNameToCode("f12"), 123);
    EXPECT_EQ(KeyNameToCode("escape"), -1);
}
