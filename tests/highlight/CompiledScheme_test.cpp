#include "SchemeBuilder.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "compressor/Compressor.h"
#include "highlight/BuiltinScheme.h"
#include "highlight/CompiledScheme.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::test;

namespace {

// A scheme that uses every table: keywords, handlers, global and state
// rules with range lists, effects with stack bits and a container,
// ContextState entries, user keyword tables and the three sets.
void BuildRichScheme(TTessaryParser& p) {
    p.Reset();
    TParserTables& t = p.Tables();
    AddKeyword(t, "mov", 5, "[^a-z0-9_]");
    AddKeyword(t, "movx", 6, "[^a-z0-9_]");
    AddKeyword(t, "0x", 7);
    AddKeyword(t, "end", 8, "", States({1, 2}));
    TTokenHandler& h = t.Handler(7);
    h.body = GroupMatcher(t, "[0-9a-fA-F]", true);
    h.term = GroupTerminator(t, {"[^0-9a-fA-F]"}, false);
    TTokenHandler& h2 = t.Handler(8);
    h2.body = RoutineMatcher(1);
    h2.term = RoutineTerminator(9, true, true);

    AddRule(t, 2, "[a-zA-Z_]", GroupMatcher(t, "[a-zA-Z0-9_]", true),
            GroupTerminator(t, {"[^a-zA-Z0-9_]"}, false));
    AddRule(t, 3, "'", GroupMatcher(t, "[^'\\n]", true), GroupTerminator(t, {"'"}, true));
    AddStartRoutineRule(t, 4, 11, "[0-9.]");
    AddRule(t, 9, ";", RoutineMatcher(2), TScanTerminator{}, States({0, 1}));
    TTokenRule& inState = AddRule(t, 10, "[a-z]", GroupMatcher(t, "[a-z]", true),
                                  GroupTerminator(t, {"[^a-z]", "\\n", "x", "[+-]"}, true), States({1}), 1);
    AddRule(t, 11, "}", GroupMatcher(t, "x"), TScanTerminator{}, States({2}), 2);
    t.StateTable(1).ranges.push_back(TRangeEntry{0x41, 0x5A, inState});

    TTokenEffect& open = t.EnsureEffect(12, States({0}));
    open.add = States({1});
    open.keep = 0;
    open.stack = kPushBefore;
    TTokenEffect& close = t.EnsureEffect(13, States({1}));
    close.stack = kPopAfter;
    TTokenEffect& box = t.EnsureEffect(14, States({0}));
    box.container = 1;
    box.add = States({2});
    box.remove = States({0});
    box.keep = 0;

    t.contextState[3] = States({4});
    t.contextState[10] = States({1});
    t.anchor = States({0, 3});
    t.boundStates = States({1});
    t.startState = States({0});
    t.customRoutines = true;
    t.FinishLoad();

    TUserKeywordTable table;
    table.states = States({0});
    table.followGroup = "[^a-z]";
    table.words = {{"acc", 20}, {"dptr", 21}};
    p.Settings().AddUserKeywordTable(table);
    p.Settings().values.languageName = "Rich";
}

std::vector<uint8_t> WithVersion(std::vector<uint8_t> bytes, uint16_t version) {
    bytes[0] = static_cast<uint8_t>(version);
    bytes[1] = static_cast<uint8_t>(version >> 8);
    return bytes;
}

// A compiled stream around a payload written by hand.
std::vector<uint8_t> StreamAround(const std::vector<uint8_t>& payloadBytes, uint16_t version) {
    TMemoryStream out, payload(payloadBytes);
    stream_io::WriteU16(out, version);
    stream_io::WriteI32(out, static_cast<int32_t>(payloadBytes.size()));
    TCompressor c;
    c.SetInputStream(&payload);
    c.SetOutputStream(&out);
    c.Compress();
    return out.Bytes();
}

bool IsReset(const TTessaryParser& p) {
    TTessaryParser fresh;
    return p.Tables().SameContent(fresh.Tables()) && p.Settings().values == fresh.Settings().values;
}

} // namespace

TEST(CompiledScheme, ResetModelRoundTripsToItself) {
    TTessaryParser a, b;
    b.Tables().anchor = States({7}); // something the load must overwrite
    Load(b, Save(a));
    EXPECT_TRUE(b.Tables().SameContent(a.Tables()));
    EXPECT_EQ(b.Settings().values, a.Settings().values);
    EXPECT_TRUE(b.Tables().noStateTables);
}

TEST(CompiledScheme, RichModelSavesLoadsAndSavesIdentically) {
    TTessaryParser a, b;
    BuildRichScheme(a);
    const std::vector<uint8_t> first = Save(a);
    Load(b, first);
    EXPECT_TRUE(b.Tables().SameContent(a.Tables()));
    EXPECT_EQ(b.Settings().UserTables().Count(), 1);
    EXPECT_EQ(Save(b), first);
    EXPECT_EQ(b.Tables().stateTableSet, States({1, 2}));
    EXPECT_EQ(b.Tables().StateTable(1).ranges.size(), 1u);
    EXPECT_TRUE(b.Tables().customRoutines);
}

TEST(CompiledScheme, ContextStateEqualToStartstateLoadsEmptyAndBecomesStableAfterOneRound) {
    TTessaryParser a, b, c;
    BuildRichScheme(a);
    a.FinishCompile(); // every empty entry becomes Startstate, as after a compile
    Load(b, Save(a));
    EXPECT_TRUE(b.Tables().contextState[0].Empty());
    EXPECT_EQ(b.Tables().contextState[3], States({4}));
    // The empty entry stands for Startstate when a scan restarts there.
    b.ResetState(0);
    EXPECT_EQ(b.CurrentStates(), States({0}));
    b.ResetState(3);
    EXPECT_EQ(b.CurrentStates(), States({4}));
    // Empty entries differ from Startstate and are written as empty from now on.
    const std::vector<uint8_t> second = Save(b);
    Load(c, second);
    EXPECT_EQ(Save(c), second);
}

TEST(CompiledScheme, EqualGroupsShareOneIndexAfterLoading) {
    TTessaryParser a, b;
    TParserTables& t = a.Tables();
    AddRule(t, 1, "a", GroupMatcher(t, "[xyz]"), GroupTerminator(t, {"[x-z]"}, false));
    AddRule(t, 2, "b", GroupMatcher(t, "[0-9]"), GroupTerminator(t, {"[zyx]"}, false));
    Load(b, Save(a));
    const TParserTables& l = b.Tables();
    EXPECT_EQ(l.globalRules['a']->body.group, l.globalRules['a']->term.groups[0]);
    EXPECT_EQ(l.globalRules['a']->body.group, l.globalRules['b']->term.groups[0]);
    EXPECT_NE(l.globalRules['a']->body.group, l.globalRules['b']->body.group);
}

TEST(CompiledScheme, StateTableRangeListOnlySurvivesWithRules) {
    TTessaryParser a, b;
    TParserTables& t = a.Tables();
    TTokenRule rule;
    rule.token = 3;
    t.StateTable(4).ranges.push_back(TRangeEntry{1, 2, rule}); // a table with ranges but no rules
    t.FinishLoad();
    Load(b, Save(a));
    ASSERT_TRUE(b.Tables().stateTables[4]);
    EXPECT_TRUE(b.Tables().stateTables[4]->ranges.empty());
    EXPECT_TRUE(b.Tables().stateTableSet.Contains(4));
}

TEST(CompiledScheme, OldVersionRaisesWhileLoadingAForm) {
    TTessaryParser a, b;
    BuildRichScheme(a);
    b.BeginFormLoad();
    try {
        Load(b, WithVersion(Save(a), 49));
        FAIL() << "a version-49 stream must raise while the form loads";
    } catch (const ETessaryParserError& e) {
        EXPECT_STREQ(e.what(), "TessaryParser1: KVR file saved by different version of TTessaryParser.\n\r"
                               "Recompile script to update KVR file.\n\r"
                               "Expected version was 51 read version was 49");
    }
    EXPECT_TRUE(IsReset(b));
}

TEST(CompiledScheme, OldVersionAtRunTimeReportsAndLeavesTheParserEmpty) {
    TTessaryParser a, b, c;
    BuildRichScheme(a);
    BuildRichScheme(b);
    int encountered = -1, expected = -1;
    b.OnParserVersionError = [&](TTessaryParser&, uint16_t got, uint16_t want) {
        encountered = got;
        expected = want;
    };
    Load(b, WithVersion(Save(a), 49));
    EXPECT_EQ(encountered, 49);
    EXPECT_EQ(expected, 51);
    EXPECT_TRUE(IsReset(b));
    EXPECT_EQ(Tokenize(b, "mov"), (std::vector<Token>{{0, 1}, {0, 1}, {0, 1}}));

    std::string shown;
    c.name = "prsAsm";
    c.OnShowMessage = [&](const std::string& text) { shown = text; };
    Load(c, WithVersion(Save(a), 52)); // a newer layout is not guessed at either
    EXPECT_EQ(shown, FormatStr<msg::SParserVersion>("prsAsm", 51, 52));
    EXPECT_TRUE(IsReset(c));
}

TEST(CompiledScheme, Version50StreamKeepsTheGutterFont) {
    TTessaryParser source;
    BuildRichScheme(source);
    TMemoryStream payload;
    source.Settings().streamVersion = 50;
    TTE_Font font = source.Settings().GutterFont();
    font.name = "Never written";
    source.Settings().SetGutterFont(font);
    source.Settings().SaveToStream(payload);
    source.Settings().streamVersion = TTE_Settings::kCurrentLayout;
    WriteSchemeTables(payload, source.Tables());

    TTessaryParser b;
    Load(b, StreamAround(payload.Bytes(), 50));
    EXPECT_TRUE(b.Tables().SameContent(source.Tables()));
    EXPECT_EQ(b.Settings().values.languageName, "Rich");
    EXPECT_EQ(b.Settings().GutterFont(), TTessaryParser().Settings().GutterFont());
    EXPECT_EQ(b.Settings().streamVersion, TTE_Settings::kCurrentLayout);
}

TEST(CompiledScheme, DamagedStreamsRaiseWithTheComponentNameAndLeaveTheParserEmpty) {
    TTessaryParser a;
    BuildRichScheme(a);
    const std::vector<uint8_t> good = Save(a);
    TTessaryParser b;
    b.name = "prs";
    for (size_t cut : {size_t{0}, size_t{1}, size_t{5}, size_t{9}, good.size() / 2, good.size() - 1}) {
        BuildRichScheme(b);
        std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        try {
            Load(b, bytes);
            FAIL() << "a stream cut at " << cut << " loaded";
        } catch (const ETessary& e) {
            EXPECT_EQ(std::string(e.what()).rfind("prs: ", 0), 0u) << e.what();
        }
        EXPECT_TRUE(IsReset(b)) << cut;
    }
}

TEST(CompiledScheme, TerminatorWithMoreThanFourGroupsIsRejected) {
    TTessaryParser a;
    TMemoryStream payload;
    a.Settings().SaveToStream(payload);
    a.Tables().keywords->SaveToStream(payload);
    stream_io::WriteI32(payload, 1); // one handler
    stream_io::WriteU8(payload, 1);  // for token 1
    stream_io::WriteU8(payload, 0);  // body: repeat
    TTE_CharGroup().SaveToStream(payload);
    stream_io::WriteU8(payload, 0); // not a routine
    stream_io::WriteU8(payload, 0); // terminator: include
    stream_io::WriteU8(payload, 0); // not a routine
    stream_io::WriteU8(payload, 5); // five groups
    TTessaryParser b;
    try {
        Load(b, StreamAround(payload.Bytes(), 51));
        FAIL();
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "TessaryParser1: Invalid terminator group count (5)");
    }
}

TEST(CompiledScheme, AssignCopiesTheScheme) {
    TTessaryParser a, b;
    BuildRichScheme(a);
    b.Assign(a);
    EXPECT_TRUE(b.Tables().SameContent(a.Tables()));
    EXPECT_EQ(b.Settings().values, a.Settings().values);
}

TEST(BuiltinScheme, HoldsThePlainTextScheme) {
    TTessaryParser p;
    Load(p, BuiltinPlainTextStream());
    const TSettingsValues& v = p.Settings().values;
    EXPECT_EQ(v.languageName, "Text");
    EXPECT_EQ(v.marginWidth, 8);
    EXPECT_EQ(v.gutterColour, 0x00FFFF);
    EXPECT_EQ(v.selTextBack, 0xFF0000);
    EXPECT_EQ(v.fontCharSet, 238);
    EXPECT_EQ(v.map[1], 1);
    EXPECT_EQ(v.editable[0].name, "Default");
    EXPECT_EQ(p.Settings().GutterFont().colour, static_cast<int32_t>(0x80000008u));
    EXPECT_EQ(std::count(v.exampleText.begin(), v.exampleText.end(), '\r'), 4);

    const TParserTables& t = p.Tables();
    int entered = 0;
    for (int c = 0; c < 256; ++c)
        entered += t.globalRules[c] != nullptr;
    EXPECT_EQ(entered, 64);
    EXPECT_TRUE(t.globalRules['^'] && t.globalRules['_'] && !t.globalRules['-']);
    EXPECT_EQ(t.keywords->WordCount(), 0);
    ASSERT_TRUE(t.effects[1]);
    EXPECT_EQ(t.effects[1]->validIn, States({0}));
    EXPECT_EQ(t.effects[1]->keep, 1);
    EXPECT_TRUE(t.noStateTables);
    EXPECT_FALSE(t.customRoutines);
    // Saved again it is the same stream.
    EXPECT_EQ(Save(p), BuiltinPlainTextStream());
}
