#include "scheme/WordStore.h"

#include <gtest/gtest.h>

#include <cstring>

using torvane::scheme::TWordStore;

namespace {

size_t MatchIn(const TWordStore& store, const char* text, int& code) {
    return store.Match(text, std::strlen(text), code);
}

} // namespace

TEST(WordStore, KeysIgnoreCaseAndKeepTheirLatestTextOrCode) {
    TWordStore store;
    store.AddText("clBlue", "16711680");
    store.AddText("CLBLUE", "255"); // the same key: replaces the text
    store.AddCode("abc", 7);
    ASSERT_NE(store.Text("Clblue"), nullptr);
    EXPECT_EQ(*store.Text("clblue"), "255");
    EXPECT_EQ(store.Code("ABC"), 7);
    EXPECT_EQ(store.Code("clBlue"), TWordStore::kNoCode);
    EXPECT_EQ(store.Text("abc"), nullptr);

    // Prefixes and extensions of keys are not keys.
    EXPECT_FALSE(store.Contains("ab"));
    EXPECT_FALSE(store.Contains("abcd"));
    EXPECT_FALSE(store.Contains(""));
    store.AddCode("ab", 3);
    EXPECT_TRUE(store.Contains("AB"));
    EXPECT_EQ(store.Code("abc"), 7);
}

TEST(WordStore, MatchTakesTheLongestKeyThatEndsAtAWordBoundary) {
    TWordStore store;
    store.AddCode("is", 78);
    store.AddCode("=", 25);
    store.AddCode("%%handler", 26);
    store.AddCode("%%handlers", 126);
    int code = 0;
    EXPECT_EQ(MatchIn(store, "isx", code), 0u);
    EXPECT_EQ(code, TWordStore::kNoCode);
    EXPECT_EQ(MatchIn(store, "IS x", code), 2u);
    EXPECT_EQ(code, 78);
    EXPECT_EQ(MatchIn(store, "=x", code), 1u); // '=' is no word character
    EXPECT_EQ(code, 25);
    EXPECT_EQ(MatchIn(store, "%%Handlers(", code), 10u);
    EXPECT_EQ(code, 126);
    EXPECT_EQ(MatchIn(store, "%%handler ", code), 9u);
    EXPECT_EQ(code, 26);
    EXPECT_EQ(MatchIn(store, "%%handlersx", code), 0u);
    EXPECT_EQ(MatchIn(store, "is", code), 2u); // the end of the text is a boundary
}
