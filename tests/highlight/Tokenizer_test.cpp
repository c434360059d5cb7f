#include "SchemeBuilder.h"

#include "common/Exceptions.h"
#include "highlight/BuiltinScheme.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::test;

namespace {

using Tokens = std::vector<Token>;

} // namespace

TEST(Tokenizer, EmptySchemeGivesPlainTextOneCharacterAtATime) {
    TTessaryParser p;
    EXPECT_EQ(Tokenize(p, "ab\r"), (Tokens{{0, 1}, {0, 1}, {0, 1}}));
    TStringCursor end("x", 1);
    int32_t length = 7;
    EXPECT_EQ(p.NextToken(nullptr, end, length), 0);
    EXPECT_EQ(length, 0);
}

TEST(Tokenizer, BuiltinSchemeMarksWordsFollowedByASeparator) {
    TTessaryParser p;
    LoadBuiltinPlainTextScheme(p);
    EXPECT_EQ(Tokenize(p, "ab "), (Tokens{{1, 2}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "mov a,#1\r"), (Tokens{{1, 3}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}}));
    // A single character, or a word followed by anything else, is plain text;
    // the rejected word is re-tried from its second character.
    EXPECT_EQ(Tokenize(p, "a b\r"), (Tokens{{0, 1}, {0, 1}, {0, 1}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "ab!"), (Tokens{{0, 1}, {0, 1}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "x1:\r"), (Tokens{{1, 2}, {0, 1}, {0, 1}}));
    // At the end of the text (the last line has no line break) the rule's
    // token ends there, even after one character.
    EXPECT_EQ(Tokenize(p, " loop"), (Tokens{{0, 1}, {1, 4}}));
    EXPECT_EQ(Tokenize(p, " a"), (Tokens{{0, 1}, {1, 1}}));
}

TEST(Tokenizer, LongerKeywordWinsAndKeywordsGoBeforeRules) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "begin", 5, "[^a-z]");
    AddKeyword(t, "beginning", 6, "[^a-z]");
    AddRule(t, 2, "[a-z]", GroupMatcher(t, "[a-z]", true), GroupTerminator(t, {"[^a-z]"}, false));
    EXPECT_EQ(Tokenize(p, "beginning begin beginner"), (Tokens{{6, 9}, {0, 1}, {5, 5}, {0, 1}, {2, 8}}));
}

TEST(Tokenizer, SameKeywordInDisjointStatesAndCaseFolding) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "db", 5, "", States({0}));
    AddKeyword(t, "db", 6, "", States({1}));
    EXPECT_EQ(Tokenize(p, "DB")[0], (Token{5, 2}));
    t.contextState[9] = States({1});
    EXPECT_EQ(Tokenize(p, "dB", 9)[0], (Token{6, 2}));
}

TEST(Tokenizer, HandlerContinuesAKeywordOrHandsItToTheRules) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "0x", 7);
    TTokenHandler& h = t.Handler(7);
    h.body = GroupMatcher(t, "[0-9a-f]");
    h.term = GroupTerminator(t, {"[^0-9a-f]"}, false);
    AddStartRoutineRule(t, 4, 16, "[0-9]");
    EXPECT_EQ(Tokenize(p, "0x1f "), (Tokens{{7, 4}, {0, 1}}));
    // No hex digit after "0x": the handler rejects, the number rule takes "0".
    EXPECT_EQ(Tokenize(p, "0xg"), (Tokens{{4, 1}, {0, 1}, {0, 1}}));
    // The handler's token runs to the end of the text.
    EXPECT_EQ(Tokenize(p, "0xff"), (Tokens{{7, 4}}));
}

TEST(Tokenizer, HandlerWithStartRoutineBody) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "$", 3);
    t.Handler(3).body = RoutineMatcher(10); // identifier
    EXPECT_EQ(Tokenize(p, "$abc+"), (Tokens{{3, 4}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "$1"), (Tokens{{0, 1}, {0, 1}}));
}

TEST(Tokenizer, RuleBodyThatRefusesACharacterRejectsTheToken) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 2, "#", GroupMatcher(t, "[0-9]"), GroupTerminator(t, {"[ \\n]"}, false));
    EXPECT_EQ(Tokenize(p, "#12 "), (Tokens{{2, 3}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "#1a"), (Tokens{{0, 1}, {0, 1}, {0, 1}}));
}

TEST(Tokenizer, RepeatBodyWithoutTerminatorIsOneCharacter) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 2, "@", GroupMatcher(t, "[a-z]", true), TScanTerminator{});
    AddRule(t, 3, "%", GroupMatcher(t, "[a-z]"), TScanTerminator{});
    EXPECT_EQ(Tokenize(p, "@ab"), (Tokens{{2, 1}, {0, 1}, {0, 1}}));
    // Without repeat one body step is taken before the (empty) terminator.
    EXPECT_EQ(Tokenize(p, "%ab"), (Tokens{{3, 2}, {0, 1}}));
}

TEST(Tokenizer, OpenStringKeepsItsIdToTheEndAndIncludedTerminatorBelongsToIt) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 3, "\"", GroupMatcher(t, "[^\"]", true), GroupTerminator(t, {"\""}, true));
    EXPECT_EQ(Tokenize(p, "\"ab\"c"), (Tokens{{3, 4}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "x\"ab\rcd"), (Tokens{{0, 1}, {3, 6}}));
    EXPECT_EQ(Tokenize(p, "\"\""), (Tokens{{3, 2}}));
}

TEST(Tokenizer, MultiGroupTerminatorWithIncludeAndLookOnly) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    // A comment "/*...*/" whose terminator is the two characters "*" "/".
    AddRule(t, 4, "/", GroupMatcher(t, "*"), GroupTerminator(t, {"*", "/"}, true));
    t.globalRules['/'] = nullptr;
    TTokenRule& c = t.NewRule();
    c.start.group = Intern(t, "/");
    c.states = States({0});
    c.body = GroupMatcher(t, "[^\\0]", true); // anything but character 0
    c.term = GroupTerminator(t, {"*", "/"}, true);
    c.token = 4;
    t.EnterRule(c, '/');
    EXPECT_EQ(Tokenize(p, "/* a */b"), (Tokens{{4, 7}, {0, 1}}));
    c.term.include = 0;
    EXPECT_EQ(Tokenize(p, "/* a */b")[0], (Token{4, 5}));
}

TEST(Tokenizer, TokenOutsideItsValidStatesYieldsItsFirstCharacterAsPlainText) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 2, "[a-z]", GroupMatcher(t, "[a-z]", true), GroupTerminator(t, {"[^a-z]"}, false));
    t.effects[2]->validIn = States({3});
    EXPECT_EQ(Tokenize(p, "abc "), (Tokens{{0, 1}, {0, 1}, {0, 1}, {0, 1}}));
}

TEST(Tokenizer, PushPopAndStackUnderflow) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "(", 10, "", States({0, 1}));
    AddKeyword(t, ")", 11, "", States({0, 1}));
    TTokenEffect& open = *t.effects[10];
    open.stack = kPushBefore;
    open.add = States({1});
    open.remove = States({0});
    open.keep = 0;
    t.effects[11]->stack = kPopBefore;
    // "x" is a keyword only in state 1.
    AddKeyword(t, "x", 12, "", States({1}));

    EXPECT_EQ(Tokenize(p, "x(x(x))x"),
              (Tokens{{0, 1}, {10, 1}, {12, 1}, {10, 1}, {12, 1}, {11, 1}, {11, 1}, {0, 1}}));
    EXPECT_EQ(p.CurrentStates(), States({0}));

    TStringCursor cursor(")");
    p.ResetState(0);
    int32_t length = 0;
    try {
        p.NextToken(nullptr, cursor, length);
        FAIL() << "a pop from an empty stack must raise";
    } catch (const ETessary& e) {
        EXPECT_STREQ(e.what(), "Stack underflow");
    }
    EXPECT_EQ(cursor.GetPosition(), 1);
}

TEST(Tokenizer, StateTableReplacesTheGlobalTableWhileItsStateIsCurrent) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 2, "[a-z]", GroupMatcher(t, "[a-z]", true), GroupTerminator(t, {"[^a-z]"}, false));
    AddKeyword(t, "<", 20);
    AddKeyword(t, ">", 21, "", States({0, 5}));
    TTokenEffect& enter = *t.effects[20];
    enter.add = States({5});
    enter.remove = States({0});
    enter.keep = 0;
    TTokenEffect& leave = *t.effects[21];
    leave.add = States({0});
    leave.remove = States({5});
    leave.keep = 0;
    // In state 5 only digits are tokens; letters have no rule there.
    AddRule(t, 3, "[0-9]", GroupMatcher(t, "[0-9]", true), GroupTerminator(t, {"[^0-9]"}, false), States({5}),
            5);
    EXPECT_EQ(Tokenize(p, "ab<ab12>ab"), (Tokens{{2, 2}, {20, 1}, {0, 1}, {0, 1}, {3, 2}, {21, 1}, {2, 2}}));
}

TEST(Tokenizer, ContainerTextIsScannedAgainForInnerTokens) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    // A "{...}" block is a container scanned in state 2 (and not 0, where the
    // block itself would be found again), in which "@word" is a token.
    AddRule(t, 30, "{", GroupMatcher(t, "[^}]", true), GroupTerminator(t, {"}"}, true));
    TTokenEffect& box = *t.effects[30];
    box.container = 1;
    box.add = States({2});
    box.remove = States({0});
    box.keep = 0;
    AddRule(t, 31, "@", GroupMatcher(t, "[a-z]", true), GroupTerminator(t, {"[^a-z]"}, false), States({2}));
    EXPECT_EQ(CharacterIds(p, "a{b @cd e}@x"),
              (std::vector<int>{0, 30, 30, 30, 31, 31, 31, 30, 30, 30, 0, 0}));
    EXPECT_FALSE(p.Busy());
    EXPECT_EQ(p.CurrentStates(), States({0})); // the states from before the container
}

TEST(Tokenizer, BusyIsSetWhileAContainerIsOpen) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 30, "{", GroupMatcher(t, "[^}]", true), GroupTerminator(t, {"}"}, true));
    t.effects[30]->container = 1;
    TStringCursor cursor("{ab}c");
    p.ResetState(0);
    int32_t length = 0;
    EXPECT_EQ(p.NextToken(nullptr, cursor, length), 30);
    EXPECT_TRUE(p.Busy());
    cursor.SetPosition(0);
    for (int i = 0; i < 4; ++i)
        p.NextToken(nullptr, cursor, length);
    EXPECT_FALSE(p.Busy());
}

TEST(Tokenizer, UserKeywordTablesComeAfterSchemeKeywordsAndIgnoreValidIn) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "acc", 5, "[^a-z]");
    AddRule(t, 2, "[a-z]", GroupMatcher(t, "[a-z]", true), GroupTerminator(t, {"[^a-z]"}, false));
    t.EnsureEffect(21, States({0})).validIn = States({7});
    TUserKeywordTable table;
    table.states = States({0});
    table.followGroup = "[^a-z]";
    table.words = {{"acc", 20}, {"dptr", 21}};
    p.Settings().AddUserKeywordTable(table);
    EXPECT_EQ(Tokenize(p, "acc dptr r"), (Tokens{{5, 3}, {0, 1}, {21, 4}, {0, 1}, {2, 1}}));
    // The user tables follow the scheme's case flag, not their own.
    EXPECT_EQ(Tokenize(p, "DPTR")[0], (Token{21, 4}));
    p.Tables().caseFlag = 1;
    EXPECT_EQ(Tokenize(p, "DPTR")[0], (Token{0, 1}));
}

TEST(Tokenizer, CustomRoutineDecidesTheTokenId) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddRule(t, 2, "$", RoutineMatcher(42, true), TScanTerminator{});
    t.EnsureEffect(9, States({0}));
    t.customRoutines = true;
    EXPECT_FALSE(p.CanHighlight());
    // Unassigned: no match, so "$" is plain text.
    EXPECT_EQ(Tokenize(p, "$ab"), (Tokens{{0, 1}, {0, 1}, {0, 1}}));
    int seenId = -1;
    p.OnCustomParse = [&](TTessaryParser&, int32_t id, TCharCursor& c, int32_t& length, int32_t& value) {
        seenId = id;
        while (!c.AtEnd() && c.Peek() != ' ') {
            c.Next();
            ++length;
        }
        value = 9;
        return true;
    };
    EXPECT_TRUE(p.CanHighlight());
    EXPECT_EQ(Tokenize(p, "$ab c"), (Tokens{{9, 3}, {0, 1}, {0, 1}}));
    EXPECT_EQ(seenId, 42);
}

TEST(Tokenizer, StartRoutineRulesScanFromTheFirstCharacter) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddStartRoutineRule(t, 2, 10, "[A-Za-z_]");
    AddStartRoutineRule(t, 3, 11, "[.0-9]");
    AddStartRoutineRule(t, 4, 12, "'");
    EXPECT_EQ(Tokenize(p, "_a1 3.5e+2 'it''s'."), (Tokens{{2, 3}, {0, 1}, {3, 6}, {0, 1}, {4, 7}, {0, 1}}));
    // "." is a start character of the number routine but no number.
    EXPECT_EQ(Tokenize(p, ".5"), (Tokens{{0, 1}, {3, 1}}));
}

TEST(Tokenizer, RestartsWithTheContextStateOfTheAnchorToken) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    AddKeyword(t, "x", 12, "", States({1}));
    t.contextState[7] = States({1});
    t.startState = States({0});
    EXPECT_EQ(Tokenize(p, "x", 7), (Tokens{{12, 1}}));
    EXPECT_EQ(Tokenize(p, "x", 8), (Tokens{{0, 1}}));
}

TEST(Tokenizer, BodyStepWithoutProgressEndsTheToken) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    // Rest-of-line never fails at a line start and may consume nothing; a
    // terminator that never matches must not make the scan spin.
    AddRule(t, 6, "*", RoutineMatcher(2), GroupTerminator(t, {"\\0"}, false));
    EXPECT_EQ(Tokenize(p, "*\rab"), (Tokens{{6, 1}, {0, 1}, {0, 1}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "*ab\r"), (Tokens{{6, 3}, {0, 1}}));
    EXPECT_EQ(Tokenize(p, "a*b"), (Tokens{{0, 1}, {0, 1}, {0, 1}}));
}

TEST(Tokenizer, InvalidGroupIndexRaises) {
    TTessaryParser p;
    TParserTables& t = p.Tables();
    TTokenRule& rule = AddRule(t, 2, "a", GroupMatcher(t, "b"), TScanTerminator{});
    rule.body.group = 999;
    TStringCursor cursor("ab");
    p.ResetState(0);
    int32_t length = 0;
    EXPECT_THROW(p.NextToken(nullptr, cursor, length), ETessary);
}
