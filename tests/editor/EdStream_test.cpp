#include "common/Exceptions.h"
#include "editor/EdStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace torvane;
using namespace torvane::editor;

namespace {
// Enough lines for several blocks, with long and empty lines among them.
std::string SampleText() {
    std::string s;
    for (int i = 0; i < 700; ++i) {
        s += "l" + std::to_string(i);
        if (i % 97 == 0) s += std::string(3000, 'w');
        s += i % 5 ? "\r" : "\r\r";
    }
    return s + "end";
}
} // namespace

TEST(EdStream, WalksForwardAndBackAcrossNodesAndBlocks) {
    TTextStore store;
    store.SetText(SampleText());
    const std::string text = store.Text();
    TEdStream es(store);
    std::string forward;
    while (!es.AtEnd()) {
        forward += es.Peek();
        es.Next();
    }
    EXPECT_EQ(forward, text);
    EXPECT_EQ(es.Peek(), 0);
    es.Next(); // stays at the end
    EXPECT_EQ(es.GetPosition(), store.TextLength());
    std::string backward;
    while (es.GetPosition() > 0) {
        es.Back();
        backward.insert(backward.begin(), es.Peek());
        ASSERT_EQ(store.LineOfOffset(es.GetPosition()), es.Line());
    }
    EXPECT_EQ(backward, text);
    es.Back();
    EXPECT_EQ(es.GetPosition(), 0);
}

TEST(EdStream, ReadSeekAndPlace) {
    TTextStore store;
    store.SetText(SampleText());
    const std::string text = store.Text();
    TEdStream es(store);
    EXPECT_EQ(es.Size(), store.TextLength());
    es.Seek(100, SeekOrigin::Beginning);
    std::string buf(20000, '\0');
    ASSERT_EQ(es.Read(buf.data(), buf.size()), buf.size());
    EXPECT_EQ(buf, text.substr(100, 20000));
    EXPECT_EQ(es.GetPosition(), 20100);
    EXPECT_EQ(es.Seek(-3, SeekOrigin::End), store.TextLength() - 3);
    char tail[10];
    EXPECT_EQ(es.Read(tail, sizeof tail), 3u);
    EXPECT_EQ(std::string(tail, 3), "end");

    es.Place(5, 1);
    EXPECT_EQ(es.GetPosition(), store.LineStart(5) + 1);
    EXPECT_EQ(es.Peek(), store.NodeText(5)[1]);
    // The end of a node is the start of the next one.
    es.Place(5, store.Node(5).length);
    EXPECT_EQ(es.Line(), 6);
    EXPECT_EQ(es.NodeOffset(), 0);
    EXPECT_EQ(es.Peek(), store.NodeText(6)[0]);

    try {
        es.Write("x", 1);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Cannot write to a read-only stream");
    }
}

TEST(EdStream, JumpsAnywhereReadTheRightCharacter) {
    TTextStore store;
    store.SetText(SampleText());
    const std::string text = store.Text();
    TEdStream es(store);
    std::mt19937 rng(7);
    for (int k = 0; k < 5000; ++k) {
        // Mostly short hops, as a scanner makes, now and then far away.
        const TOffset target = k % 10 == 0 ? static_cast<TOffset>(rng() % (text.size() + 1))
                                           : es.GetPosition() + static_cast<TOffset>(rng() % 200) - 100;
        es.SetPosition(target);
        const TOffset at = std::clamp<TOffset>(target, 0, store.TextLength());
        ASSERT_EQ(es.GetPosition(), at);
        ASSERT_EQ(es.AtEnd(), at == store.TextLength());
        ASSERT_EQ(es.Peek(), at < store.TextLength() ? text[static_cast<size_t>(at)] : 0) << at;
        ASSERT_EQ(es.Line(), store.LineOfOffset(at));
    }
}

TEST(EdStream, FindsItsOffsetAgainAfterTheStoreChanged) {
    TTextStore store;
    store.SetText(SampleText());
    TEdStream es(store);
    es.SetPosition(20000);
    store.Insert(0, "new first line\r");
    EXPECT_EQ(es.GetPosition(), 20000);
    EXPECT_EQ(es.Peek(), store.Text()[20000]);
    es.Next();
    EXPECT_EQ(es.Peek(), store.Text()[20001]);
    es.Back();
    es.Back();
    EXPECT_EQ(es.Peek(), store.Text()[19999]);

    // The text shrinks below the cursor: it reads as the end.
    store.Delete(100, store.TextLength());
    EXPECT_TRUE(es.AtEnd());
    EXPECT_EQ(es.Peek(), 0);
    es.Back();
    EXPECT_EQ(es.GetPosition(), 99);
    EXPECT_EQ(es.Peek(), store.Text()[99]);
    char buf[8];
    es.SetPosition(96);
    store.Insert(0, "ab");
    EXPECT_EQ(es.Read(buf, sizeof buf), 6u);
    EXPECT_EQ(std::string(buf, 6), store.Text().substr(96));
}
