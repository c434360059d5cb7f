#include "highlight/Keywords.h"
#include "highlight/MacroKeywords.h"
#include "highlight/UserKeywords.h"

#include "SchemeBuilder.h"
#include "common/Exceptions.h"

#include <gtest/gtest.h>

using namespace torvane;

namespace {

using test::Group;
using test::States;

struct MatchResult {
    int32_t value = -1; // -1: no match
    int32_t length = 0;
    int64_t end = 0;
};

MatchResult MatchAt(const TKeywords& k, std::string_view text, int64_t pos = 0) {
    TStringCursor cursor(text, pos);
    MatchResult r;
    const TWordEntry* e = k.Match(cursor, k.CaseFlag(), r.length);
    if (e) r.value = e->value;
    r.end = cursor.GetPosition();
    return r;
}

} // namespace

TEST(Keywords, LongestWordThatFitsItsFollowGroupWins) {
    TKeywords k;
    k.SetCurrentStates(States({0}));
    k.AddKeyword("begin", 0, 1, States({0}), Group("[^a-z]"));
    k.AddKeyword("beginning", 0, 2, States({0}), Group("[^a-z]"));
    EXPECT_EQ(MatchAt(k, "beginning ").value, 2);
    EXPECT_EQ(MatchAt(k, "beginning ").length, 9);
    // "beginner": "beginn" is a prefix only, and "begin" is followed by "n",
    // which its follow group refuses.
    EXPECT_EQ(MatchAt(k, "beginner").value, -1);

    TKeywords lenient;
    lenient.SetCurrentStates(States({0}));
    lenient.AddKeyword("begin", 0, 1, States({0}), Group("[a-z]"));
    lenient.AddKeyword("beginning", 0, 2, States({0}), TTE_CharGroup());
    MatchResult r = MatchAt(lenient, "beginner");
    EXPECT_EQ(r.value, 1);
    EXPECT_EQ(r.length, 5);
    EXPECT_EQ(r.end, 5);
}

TEST(Keywords, NoMatchConsumesOneCharacter) {
    TKeywords k;
    k.SetCurrentStates(States({0}));
    k.AddKeyword("mov", 0, 7, States({0}), TTE_CharGroup());
    MatchResult r = MatchAt(k, "xmov", 0);
    EXPECT_EQ(r.value, -1);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(r.end, 1);
    r = MatchAt(k, "xmov", 1);
    EXPECT_EQ(r.value, 7);
    EXPECT_EQ(r.end, 4); // a word at the text end matches
    // A walk that fails after the first character steps one character too,
    // as does a lookup at the text end (which does not move).
    r = MatchAt(k, "mox", 0);
    EXPECT_EQ(r.value, -1);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(r.end, 1);
    r = MatchAt(k, "mov", 3);
    EXPECT_EQ(r.value, -1);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(r.end, 3);
    // A folding table finds a word from its upper-case first letter.
    EXPECT_EQ(MatchAt(k, "MOV").value, 7);
    // An empty table matches nothing and steps on.
    TKeywords empty;
    r = MatchAt(empty, "mov");
    EXPECT_EQ(r.value, -1);
    EXPECT_EQ(r.end, 1);
}

TEST(Keywords, SameWordInDisjointStatesGivesEachStatesToken) {
    TKeywords k;
    k.AddKeyword("db", 0, 10, States({0}), TTE_CharGroup());
    k.AddKeyword("db", 0, 20, States({3, 4}), TTE_CharGroup());
    k.SetCurrentStates(States({0}));
    EXPECT_EQ(MatchAt(k, "db").value, 10);
    k.SetCurrentStates(States({4}));
    EXPECT_EQ(MatchAt(k, "db").value, 20);
    k.SetCurrentStates(States({5}));
    EXPECT_EQ(MatchAt(k, "db").value, -1);
}

TEST(Keywords, DuplicateWithIntersectingStatesIsRefusedAndChangesNothing) {
    TKeywords k;
    k.AddKeyword("nop", 0, 1, States({0, 1}), TTE_CharGroup());
    try {
        k.AddKeyword("NOP", 0, 2, States({1, 2}), TTE_CharGroup());
        FAIL();
    } catch (const EKeywords& e) {
        EXPECT_STREQ(e.what(), "Duplicate keyword - 'nop'");
    }
    k.SetCurrentStates(States({2}));
    EXPECT_EQ(MatchAt(k, "nop").value, -1); // state 2 did not leak into the trie
    EXPECT_EQ(k.Find("nop", 0)->entries.size(), 1u);
}

TEST(Keywords, CaseInsensitiveTablesFoldOnlyAsciiLetters) {
    TKeywords k;
    k.SetCurrentStates(States({0}));
    k.AddKeyword("MoV", 0, 1, States({0}), TTE_CharGroup());
    k.AddKeyword("\xE9t\xE9", 0, 2, States({0}), TTE_CharGroup()); // Latin-2/1252 letters stay as they are
    for (const char* text : {"mov", "MOV", "mOv"})
        EXPECT_EQ(MatchAt(k, text).value, 1) << text;
    EXPECT_EQ(MatchAt(k, "\xE9T\xE9").value, 2);
    EXPECT_EQ(MatchAt(k, "\xC9t\xE9").value, -1);

    TKeywords exact;
    exact.SetCurrentStates(States({0}));
    exact.AddKeyword("MoV", 1, 1, States({0}), TTE_CharGroup());
    EXPECT_EQ(MatchAt(exact, "MoV").value, 1);
    EXPECT_EQ(MatchAt(exact, "mov").value, -1);
}

TEST(Keywords, SiblingsStaySortedWhateverTheInsertionOrder) {
    TKeywords k;
    k.SetCurrentStates(States({0}));
    int v = 0;
    for (const char* w : {"orl", "anl", "add", "addc", "ajmp", "acall", "xrl", "ani", "a"})
        k.AddKeyword(w, 0, ++v, States({0}), TTE_CharGroup());
    std::vector<std::string> order;
    k.ForEachEntry([&](const std::string& word, const TWordEntry&) { order.push_back(word); });
    EXPECT_EQ(order,
              (std::vector<std::string>{"a", "acall", "add", "addc", "ajmp", "ani", "anl", "orl", "xrl"}));
    EXPECT_EQ(MatchAt(k, "addc a").value, 4);
    EXPECT_EQ(MatchAt(k, "ani").value, 8);
}

TEST(SyntaxKeywords, StreamKeepsInsertionOrderAndReadsBackToTheSameBytes) {
    TSyntaxKeywords k;
    k.AddKeyword("org", 0, 3, States({0}), Group("[\\s\\t\\n]"));
    k.AddKeyword("end", 0, 3, States({0}), TTE_CharGroup());
    k.AddKeyword("db", 0, 4, States({1}), Group("[^a-z0-9_]"));
    TMemoryStream first;
    k.SaveToStream(first);

    TSyntaxKeywords loaded;
    first.SetPosition(0);
    loaded.LoadFromStream(first);
    EXPECT_EQ(first.Position(), first.Size());
    TMemoryStream second;
    loaded.SaveToStream(second);
    EXPECT_EQ(first.Bytes(), second.Bytes());
    // Words as given: org, end, db.
    EXPECT_EQ(first.Bytes()[8], 3);
    EXPECT_EQ(std::string(first.Bytes().begin() + 9, first.Bytes().begin() + 12), "org");
    // Equal follow groups re-intern to one index.
    EXPECT_EQ(loaded.Groups().Count(), 3); // empty (also end's), org's, db's
}

TEST(SyntaxKeywords, EmptyTableIsCountZeroAndEndMark) {
    TSyntaxKeywords k;
    TMemoryStream s;
    k.SaveToStream(s);
    EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    s.SetPosition(0);
    k.LoadFromStream(s);
    EXPECT_EQ(s.Position(), 9);
    EXPECT_TRUE(k.IsEmpty());
}

TEST(SyntaxKeywords, DuplicateInStreamRaisesAndOverlongWordsAreRefusedEarly) {
    TSyntaxKeywords k;
    k.AddKeyword("x", 0, 1, States({0}), TTE_CharGroup());
    TMemoryStream s;
    k.SaveToStream(s);
    // Patch the count and append the same entry again before the end mark.
    std::vector<uint8_t> bytes = s.Bytes();
    bytes.pop_back();
    std::vector<uint8_t> entry(bytes.begin() + 8, bytes.end());
    bytes.insert(bytes.end(), entry.begin(), entry.end());
    bytes.push_back(0);
    TMemoryStream damaged(bytes);
    TSyntaxKeywords loaded;
    EXPECT_THROW(loaded.LoadFromStream(damaged), EKeywords);

    EXPECT_THROW(k.AddKeyword(std::string(256, 'w'), 0, 1, States({5}), TTE_CharGroup()), EKeywords);
    EXPECT_EQ(k.WordCount(), 1);
}

TEST(UserKeywordTables, OverlappingStatesMustBeEqual) {
    TUserKeywordTables t;
    t.Add({States({1, 2}), "", 0, {{"push", 5}}});
    try {
        t.Add({States({2, 3}), "", 0, {{"pop", 6}}});
        FAIL();
    } catch (const EKeywords& e) {
        EXPECT_STREQ(e.what(), "Ambigious key table state definition");
    }
    t.Add({States({1, 2}), "", 0, {{"pop", 6}}}); // equal states: replaces
    ASSERT_EQ(t.Count(), 1);
    t.Add({TStateSet(), "[\\s]", 1, {{"Call", 7}}}); // empty states mean {0}
    ASSERT_EQ(t.Count(), 2);
    EXPECT_TRUE(t.Tables()[1]->states == States({0}));

    TKeywords& k = t.Keywords();
    k.SetCurrentStates(States({2}));
    EXPECT_EQ(MatchAt(k, "pop").value, 6);
    EXPECT_EQ(MatchAt(k, "push").value, -1);
    k.SetCurrentStates(States({0}));
    EXPECT_EQ(MatchAt(k, "Call x").value, 7);
    EXPECT_EQ(MatchAt(k, "Call,").value, -1); // follow group is a space only
}

TEST(UserKeywordTables, FailedAddLeavesTablesIntact) {
    TUserKeywordTables t;
    t.Add({States({0}), "", 0, {{"a", 1}}});
    EXPECT_THROW(t.Add({States({1}), "", 0, {{"b", 1}, {"B", 2}}}), EKeywords); // duplicate inside
    EXPECT_THROW(t.Add({States({2}), "[z-a]", 0, {{"c", 1}}}), ETessary);       // bad specifier
    EXPECT_EQ(t.Count(), 1);
    for (int s = 1; s < TUserKeywordTables::kMaxTables; ++s)
        t.Add({States({s}), "", 0, {{"w", s}}});
    EXPECT_THROW(t.Add({States({100}), "", 0, {{"w", 1}}}), EKeywords);
    EXPECT_EQ(t.Count(), TUserKeywordTables::kMaxTables);
}

TEST(MacroKeywords, WordBeforeTheCaretIsFoundBackwards) {
    TCodeTemplates m;
    m.AddMacro("Loop", "counted loop", 0, "mov r7,#|\r\nloop: djnz r7,loop\n");
    m.AddMacro("op", "short", 0, "x");
    ASSERT_EQ(m.Macros().size(), 2u);
    EXPECT_EQ(m.Macros()[0].name, "loop");
    EXPECT_EQ(m.Macros()[0].expansion, "mov r7,#|\rloop: djnz r7,loop\r");

    std::string text = "  LOOP";
    TStringCursor cursor(text, 6);
    int32_t length = 0;
    const TMacro* hit = m.MatchBefore(cursor, length);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->name, "loop"); // the longest word ending at the caret
    EXPECT_EQ(length, 4);
    EXPECT_EQ(cursor.GetPosition(), 2);

    TStringCursor inside(text, 5);
    EXPECT_EQ(m.MatchBefore(inside, length), nullptr);
    EXPECT_EQ(inside.GetPosition(), 5);
    TStringCursor atStart(text, 0);
    EXPECT_EQ(m.MatchBefore(atStart, length), nullptr);

    m.AddMacro("LOOP", "replaced", 0, "y");
    EXPECT_EQ(m.Macros().size(), 2u);
    EXPECT_EQ(m.FindMacro("loop")->expansion, "y");
}

TEST(MacroKeywords, TriggerTextKeysAndErrors) {
    TAutoReplace a;
    EXPECT_TRUE(a.IsTriggerKey(ShortCut(0xBA)));           // ;
    EXPECT_TRUE(a.IsTriggerKey(ShortCut(0xBA, kscShift))); // :
    EXPECT_TRUE(a.IsTriggerKey(ShortCut('9', kscShift)));  // (
    EXPECT_TRUE(a.IsTriggerKey(ShortCut(vk::Space)));
    EXPECT_TRUE(a.IsTriggerKey(ShortCut(vk::Return)));
    EXPECT_FALSE(a.IsTriggerKey(ShortCut('A')));
    EXPECT_FALSE(a.IsTriggerKey(ShortCut(vk::Space, kscCtrl)));
    a.enabled = false;
    EXPECT_FALSE(a.IsTriggerKey(ShortCut(vk::Space)));

    try {
        a.SetTriggerText("ab\\{Return");
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "Bad key specifier");
    }
    EXPECT_EQ(a.TriggerText(), TAutoReplace::kDefaultTriggerText);
    EXPECT_THROW(a.SetTriggerText("\\{NoSuchKey}"), ETessary);
    EXPECT_EQ(ParseTriggerText("\\n\\r\\s\\t\\;A"), (std::set<int>{9, 13, 32, 0xBA, 'A' + kTriggerShift}));
}

TEST(MacroKeywords, StreamFormRoundTrips) {
    TAutoReplace a;
    a.AddMacro("teh", "", 0, "the");
    a.AddMacro("adn", "and", 0, "and\r\n");
    a.SetTriggerKey(ShortCut(vk::Space, kscCtrl | kscShift));
    a.SetTriggerText(";\\{Tab}");
    TMemoryStream first;
    a.SaveToStream(first);

    TAutoReplace b;
    first.SetPosition(0);
    b.LoadFromStream(first);
    EXPECT_EQ(first.Position(), first.Size());
    EXPECT_EQ(b.Macros().size(), 2u);
    EXPECT_EQ(b.TriggerKey(), ShortCut(vk::Space, kscCtrl | kscShift));
    EXPECT_EQ(b.TriggerText(), ";\\{Tab}");
    TMemoryStream second;
    b.SaveToStream(second);
    EXPECT_EQ(first.Bytes(), second.Bytes());

    // A code-template stream has no trigger text; the shortcut is stored as text.
    TCodeTemplates t;
    TMemoryStream ts;
    t.SaveToStream(ts);
    EXPECT_EQ(ts.Bytes(),
              (std::vector<uint8_t>{0, 0, 0, 0, 6, 0, 0, 0, 'C', 't', 'r', 'l', '+', 'J', 1, 0, 0, 0}));
}
