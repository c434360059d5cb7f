#include "common/Exceptions.h"
#include "editor/TextStore.h"
#include "platform/FileSystem.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#ifndef _WIN32
#include <sys/mount.h>
#endif

using namespace torvane;
using namespace torvane::editor;
namespace fs = std::filesystem;

namespace {

using test_support::ReadFile;
using test_support::WriteFile;

std::vector<std::string> NodeTexts(const TTextStore& s) {
    std::vector<std::string> out;
    for (TLineIndex i = 0; i < s.LineCount(); ++i)
        out.emplace_back(s.NodeText(i));
    return out;
}

// A scratch folder removed with the test.
class TempDir {
public:
    TempDir() {
        path_ = fs::temp_directory_path() / ("torvane-ts-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct Recorder : TTextStoreObserver {
    std::vector<TTextChange> changes;
    void TextChanged(const TTextChange& c) override { changes.push_back(c); }
};

} // namespace

// ---- normalisation -----------------------------------------------------------

struct NormCase {
    const char* name;
    std::string in;
    std::vector<std::string> nodes;
};

class Normalisation : public ::testing::TestWithParam<NormCase> {};

TEST_P(Normalisation, StoresTheExpectedNodes) {
    const NormCase& c = GetParam();
    TTextStore loaded, inserted;
    loaded.SetText(c.in);
    inserted.Insert(0, c.in);
    EXPECT_EQ(NodeTexts(loaded), c.nodes);
    EXPECT_EQ(NodeTexts(inserted), c.nodes);
    EXPECT_EQ(loaded.CheckInvariants(), "");
    EXPECT_EQ(inserted.CheckInvariants(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Normalisation,
    ::testing::Values(NormCase{"CrLf", "a\r\nb", {"a\r", "b"}}, NormCase{"Lf", "a\nb", {"a\r", "b"}},
                      NormCase{"LfCr", "a\n\rb", {"a\r", "b"}}, NormCase{"Cr", "a\rb", {"a\r", "b"}},
                      NormCase{"CrCr", "a\r\rb", {"a\r", "\r", "b"}},
                      NormCase{"LfLf", "a\n\nb", {"a\r", "\r", "b"}},
                      NormCase{"CrLfCr", "a\r\n\rb", {"a\r", "\r", "b"}},
                      NormCase{"ControlBytes", "\x01x\x1b\x7f\t\xff", {".x.\x7f\t\xff"}},
                      NormCase{"NulDoesNotCutTheText", std::string("a\0b\0\r\nc", 7), {"a.b.\r", "c"}},
                      NormCase{"TrailingBreakGivesEmptyLastNode", "a\r\n", {"a\r", ""}},
                      NormCase{"Empty", "", {""}}),
    [](const auto& info) { return info.param.name; });

TEST(TextStore, CrLfAtTheChunkBoundaryStaysOneLineBreak) {
    // Byte 8192 is CR and byte 8193 LF: the pair straddles the first chunk.
    const std::string text = std::string(8191, 'x') + "\r\n" + "y";
    TTextStore loaded, inserted;
    TMemoryStream stream(std::vector<uint8_t>(text.begin(), text.end()));
    loaded.LoadFromStream(stream);
    inserted.Insert(0, text);
    for (TTextStore* s : {&loaded, &inserted}) {
        EXPECT_EQ(s->Text(), std::string(8191, 'x') + "\ry");
        EXPECT_EQ(s->CheckInvariants(), "");
    }
    // The same holds for LF CR, which the plain chunk rule alone would split.
    const std::string lfcr = std::string(8191, 'x') + "\n\r" + "y";
    TTextStore s;
    s.Insert(0, lfcr);
    EXPECT_EQ(s.Text(), std::string(8191, 'x') + "\ry");
}

TEST(TextStore, LongLineIsCutIntoContinuationNodes) {
    TTextStore s;
    s.Insert(0, std::string(5000, 'q'));
    ASSERT_EQ(s.LineCount(), 3);
    EXPECT_EQ(s.Node(0).length, 2047);
    EXPECT_EQ(s.Node(1).length, 2047);
    EXPECT_EQ(s.Node(2).length, 906);
    EXPECT_FALSE(s.Node(0).marks & kMarkContinuation);
    EXPECT_TRUE(s.Node(1).marks & kMarkContinuation);
    EXPECT_TRUE(s.Node(2).marks & kMarkContinuation);
    EXPECT_EQ(s.CheckInvariants(), "");
    // A line break in the middle ends the continuation.
    s.Insert(3000, "\n");
    EXPECT_EQ(s.CheckInvariants(), "");
    EXPECT_EQ(s.LineOfOffset(3001), 2);
    EXPECT_FALSE(s.Node(2).marks & kMarkContinuation);
}

TEST(TextStore, TextLinesCountLineBreaksNotNodes) {
    TTextStore s;
    s.SetText("one\r\n" + std::string(5000, 'q') + "\r\nthree\r\nfour");
    ASSERT_EQ(s.LineCount(), 6); // the long line takes three nodes
    EXPECT_EQ(s.TextLineCount(), 4);
    EXPECT_EQ(s.NodeOfTextLine(0), 0);
    EXPECT_EQ(s.NodeOfTextLine(1), 1);
    EXPECT_EQ(s.NodeOfTextLine(2), 4);
    EXPECT_EQ(s.NodeOfTextLine(3), 5);
    EXPECT_EQ(s.NodeOfTextLine(4), -1);
    EXPECT_EQ(s.NodeOfTextLine(-1), -1);
    for (auto [node, line] : {std::pair{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 3}})
        EXPECT_EQ(s.TextLineOfNode(node), line) << "node " << node;
    EXPECT_EQ(s.LineText(s.NodeOfTextLine(2)), "three");

    // A line typed past a node's width splits after the load as well.
    TTextStore typed;
    typed.SetText("a\r\nb\r\nc");
    EXPECT_EQ(typed.NodeOfTextLine(2), 2);
    typed.Insert(1, std::string(3000, 'x'));
    EXPECT_EQ(typed.LineCount(), 4);
    EXPECT_EQ(typed.NodeOfTextLine(2), 3);
    EXPECT_EQ(typed.TextLineOfNode(3), 2);
}

TEST(TextStore, TabBitFollowsTheText) {
    TTextStore s;
    s.SetText("a\tb\nc");
    EXPECT_TRUE(s.Node(0).HasTab());
    EXPECT_FALSE(s.Node(1).HasTab());
    s.Delete(1, 1);
    EXPECT_FALSE(s.Node(0).HasTab());
    s.Insert(5, "\t");
    EXPECT_TRUE(s.Node(1).HasTab());
}

TEST(TextStore, SettingTheStateThroughANodeKeepsTheTabBit) {
    TTextStore s;
    s.SetText("a\tb\nc");
    s.SetNodeState(s.Node(0), kStateRepaint);
    EXPECT_EQ(s.Node(0).state, kStateRepaint | kStateHasTab);
    s.SetNodeState(s.Node(1), kStateHasTab | kStateRehighlight);
    EXPECT_EQ(s.Node(1).state, kStateRehighlight); // the text of line 1 holds no TAB
}

TEST(TextStore, FirstNewNodeKeepsTheMarksOfTheCutNode) {
    TTextStore s;
    s.SetText("one\ntwo\nthree");
    s.SetBookmarks(1, 0x5);
    s.SetGutterMark(1, 2);
    s.SetNodeState(1, 0);
    s.Insert(s.LineStart(1) + 1, "X\nY");
    EXPECT_EQ(s.LineText(1), "tX");
    EXPECT_EQ(s.Node(1).marks & kMarkBookmarkMask, 0x5);
    EXPECT_EQ(s.Node(1).gutterMark, 2);
    EXPECT_EQ(s.Node(1).state & (kStateRepaint | kStateRehighlight), kStateRepaint | kStateRehighlight);
    EXPECT_EQ(s.LineText(2), "Ywo");
    EXPECT_EQ(s.Node(2).marks, 0);
}

TEST(TextStore, ObserversHearOfEachChunk) {
    TTextStore s;
    Recorder r;
    s.AddObserver(&r);
    s.AddObserver(&r);
    s.Insert(0, std::string(10000, 'a'));
    ASSERT_EQ(r.changes.size(), 2u);
    EXPECT_EQ(r.changes[0].start, 0);
    EXPECT_EQ(r.changes[0].extent, 8192);
    EXPECT_EQ(r.changes[1].start, 8192);
    EXPECT_EQ(r.changes[1].extent, 1808);
    s.Delete(10, 5);
    ASSERT_EQ(r.changes.size(), 3u);
    EXPECT_EQ(r.changes[2].kind, TTextChange::Kind::Deleted);
    EXPECT_EQ(r.changes[2].extent, 5);
    s.RemoveObserver(&r);
    s.Clear();
    EXPECT_EQ(r.changes.size(), 3u);
}

// ---- saving and loading --------------------------------------------------------

TEST(TextStore, LineStylesOnSave) {
    TTextStore s;
    s.SetText("a\nb\r\nc");
    TMemoryStream crlf, cr, lf;
    s.SaveToStream(&crlf, sfTEXT);
    s.SetLineStyle(lsLF);
    s.SaveToStream(&cr, sfTEXT);
    s.SaveToStream(&lf, sfUNIX);
    auto str = [](const TMemoryStream& m) { return std::string(m.Bytes().begin(), m.Bytes().end()); };
    EXPECT_EQ(str(crlf), "a\r\nb\r\nc");
    EXPECT_EQ(str(cr), "a\rb\rc"); // lsLF writes CR alone, as the name does not suggest
    EXPECT_EQ(str(lf), "a\nb\nc");
    EXPECT_THROW(s.SaveToStream(&lf, sfRTF), std::invalid_argument);
    EXPECT_THROW(s.SaveToStream(nullptr), EFileSaveError);
}

TEST(TextStore, FileRoundTripKeepsEveryByteButLineEnds) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
    WriteFile(dir / "in.asm", bytes);
    TTextStore s;
    s.LoadFromFile((dir / "in.asm").string());
    EXPECT_EQ(s.LineCount(), 20001);
    EXPECT_EQ(s.CheckInvariants(), "");
    s.SaveToFile((dir / "out.asm").string());
    std::string expected;
    for (int i = 0; i < 20000; ++i)
        expected += "line " + std::to_string(i) + "\r\n";
    EXPECT_EQ(ReadFile(dir / "out.asm"), expected);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

TEST(TextStore, LoadingAMissingFileOrAFolderFails) {
    TempDir dir;
    TTextStore s;
    s.SetText("keep");
    const std::string missing = (dir / "nope.asm").string();
    try {
        s.LoadFromFile(missing);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "File '" + missing + "' cannot be opened for reading");
    }
    EXPECT_THROW(s.LoadFromFile(dir.path().string()), EFOpenError);
    EXPECT_EQ(s.Text(), "keep");
}

TEST(TextStore, FailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    const fs::path target = dir / "prog.asm";
    WriteFile(target, "old contents\r\n");
    TTextStore s;
    s.SetText("new contents that must not half-replace the old");
    // Something that is not a file stands at the name: refused with the reason.
    fs::create_directory(dir / "folder.asm");
    try {
        s.SaveToFile((dir / "folder.asm").string());
        FAIL();
    } catch (const EFileSaveError& e) {
        EXPECT_EQ(e.Code(), EISDIR);
    }
    EXPECT_TRUE(fs::is_directory(dir / "folder.asm"));

#ifndef _WIN32 // a small tmpfs stands in for a full disk
    // A disk too small for the new text.
    const fs::path small = dir / "small";
    fs::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") == 0) {
        WriteFile(small / "prog.asm", "old contents\r\n");
        TTextStore big;
        big.SetText(std::string(300000, 'x'));
        try {
            big.SaveToFile((small / "prog.asm").string());
            FAIL();
        } catch (const EFileSaveError& e) {
            EXPECT_EQ(e.Code(), ENOSPC);
            EXPECT_NE(std::string(e.what()).find(std::strerror(ENOSPC)), std::string::npos);
        }
        EXPECT_EQ(ReadFile(small / "prog.asm"), "old contents\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(small), fs::directory_iterator()), 1);
        ::umount(small.c_str());
    } else {
        std::cout << "[  NOTE    ] full-disk save not tried: cannot mount a tmpfs here\n";
    }
#endif

    // The folder vanished: nothing can be written, and nothing pretends it was.
    const fs::path gone = dir / "gone" / "prog.asm";
    try {
        s.SaveToFile(gone.string());
        FAIL();
    } catch (const EFileSaveError& e) {
        EXPECT_NE(std::string(e.what()).find(gone.string()), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(gone));
}

namespace {
// Accepts at most `room` bytes per pass, `shortPasses` times, then everything.
class ShortStream : public TStream {
public:
    ShortStream(size_t room, int shortPasses) : room_(room), shortPasses_(shortPasses) {}
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void* b, size_t n) override {
        if (shortPasses_ > 0 && data_.size() + n > room_) {
            --shortPasses_;
            return 0;
        }
        data_.resize(pos_);
        data_.append(static_cast<const char*>(b), n);
        pos_ += n;
        return n;
    }
    int64_t Seek(int64_t off, SeekOrigin o) override {
        pos_ = static_cast<size_t>(o == SeekOrigin::Beginning ? off : static_cast<int64_t>(pos_) + off);
        return static_cast<int64_t>(pos_);
    }
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t) override {}
    std::string data_;

private:
    size_t pos_ = 0, room_;
    int shortPasses_;
};
} // namespace

TEST(TextStore, SaveCheckRetriesShortWritesThreeTimes) {
    TTextStore s;
    s.SetText("0123456789\nabc");
    ShortStream flaky(4, 3);
    s.SaveToStream(&flaky);
    EXPECT_EQ(flaky.data_, "0123456789\r\nabc");
    ShortStream full(4, 4);
    try {
        s.SaveToStream(&full);
        FAIL();
    } catch (const EFileSaveError& e) {
        EXPECT_STREQ(e.what(), "Could not save text to stream");
    }
}

// ---- lookups under random edits ------------------------------------------------

namespace {
// The normalisation rules written out plainly, as the oracle.
std::string Normalise(const std::string& in) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        if (c == '\r' || c == '\n') {
            out += '\r';
            if (i + 1 < in.size() && (in[i + 1] == '\r' || in[i + 1] == '\n') && in[i + 1] != in[i]) ++i;
        } else {
            out += c >= 32 || c == '\t' ? static_cast<char>(c) : '.';
        }
    }
    return out;
}

std::string RandomText(std::mt19937& rng) {
    static const char* const pieces[] = {"mov a,#1", "\r\n", "\n", "\r", "\t", "x", "; comment"};
    std::string s;
    const int kind = static_cast<int>(rng() % 20);
    if (kind == 0) return std::string(rng() % 6000, 'L');  // long line
    if (kind == 1) return std::string(rng() % 3000, '\n'); // many lines
    for (int n = static_cast<int>(rng() % 12); n > 0; --n)
        s += pieces[rng() % 7];
    if (rng() % 10 == 0) s.push_back('\0');
    return s;
}
} // namespace

TEST(TextStore, RandomEditsAgreeWithAStringModel) {
    std::mt19937 rng(20261208);
    TTextStore s;
    std::string model;
    for (int step = 0; step < 3000; ++step) {
        const TOffset len = static_cast<TOffset>(model.size());
        if (rng() % 3 != 0 || len == 0) {
            const TOffset at = static_cast<TOffset>(rng() % (len + 1));
            const std::string text = RandomText(rng);
            const TOffset end = s.Insert(at, text);
            const std::string norm = Normalise(text);
            model.insert(static_cast<size_t>(at), norm);
            ASSERT_EQ(end, at + static_cast<TOffset>(norm.size()));
        } else {
            const TOffset at = static_cast<TOffset>(rng() % len);
            const TOffset n =
                static_cast<TOffset>(rng() % (rng() % 8 == 0 ? len : std::min<TOffset>(len, 50)) + 1);
            s.Delete(at, n);
            model.erase(static_cast<size_t>(at), static_cast<size_t>(n));
        }
        ASSERT_EQ(s.TextLength(), static_cast<TOffset>(model.size())) << "step " << step;
        if (step % 50 == 0 || s.LineCount() < 50) {
            ASSERT_EQ(s.CheckInvariants(), "") << "step " << step;
            ASSERT_EQ(s.Text(), model) << "step " << step;
            const TLineIndex physical =
                static_cast<TLineIndex>(std::count(model.begin(), model.end(), '\r')) + 1;
            TLineIndex starts = 0;
            for (TLineIndex i = 0; i < s.LineCount(); ++i)
                starts += !(s.Node(i).marks & kMarkContinuation);
            ASSERT_EQ(starts, physical);
        }
        for (int probe = 0; probe < 5; ++probe) {
            const TOffset o = static_cast<TOffset>(rng() % (model.size() + 1));
            const TLineIndex line = s.LineOfOffset(o);
            const TOffset start = s.LineStart(line);
            ASSERT_LE(start, o);
            if (line < s.LineCount() - 1) {
                ASSERT_LT(o, start + s.Node(line).length);
            }
            ASSERT_EQ(s.GetRange(start, start + s.Node(line).length), std::string(s.NodeText(line)));
        }
    }
    EXPECT_GT(s.LineCount(), TTextStore::kBlockNodes * 4) << "the walk should have spread over many blocks";
}

// Lookups run in patterns (line after line, backwards, a block further on,
// anywhere) and between edits; every answer must match the line starts
// computed from the text itself.
TEST(TextStore, LookupsInEveryOrderAgreeWithTheLineStartsOfTheText) {
    std::mt19937 rng(51);
    std::string model;
    for (int i = 0; i < 3000; ++i)
        model += std::string(rng() % 60, static_cast<char>('a' + i % 26)) + '\r';
    TTextStore s;
    s.SetText(model);
    for (int round = 0; round < 60; ++round) {
        std::vector<TOffset> starts{0};
        for (size_t i = 0; i < model.size(); ++i)
            if (model[i] == '\r') starts.push_back(static_cast<TOffset>(i + 1));
        const TLineIndex lines = static_cast<TLineIndex>(starts.size());
        ASSERT_EQ(s.LineCount(), lines);
        auto check = [&](TLineIndex line) {
            ASSERT_EQ(s.LineStart(line), starts[static_cast<size_t>(line)]) << "round " << round;
            const TOffset end = line + 1 < lines ? starts[static_cast<size_t>(line) + 1] : s.TextLength() + 1;
            for (TOffset o = starts[static_cast<size_t>(line)]; o < end; ++o)
                ASSERT_EQ(s.LineOfOffset(o), line) << "offset " << o << " round " << round;
        };
        const TLineIndex from = static_cast<TLineIndex>(rng() % static_cast<uint32_t>(lines));
        switch (round % 4) {
        case 0:
            for (TLineIndex l = from; l < std::min(lines, from + 400); ++l)
                check(l);
            break;
        case 1:
            for (TLineIndex l = from; l >= std::max(0, from - 400); --l)
                check(l);
            break;
        case 2:
            for (TLineIndex l = from % 7; l < lines;
                 l += TTextStore::kBlockNodes - 1 + static_cast<int>(rng() % 3))
                check(l);
            break;
        default:
            for (int k = 0; k < 200; ++k)
                check(static_cast<TLineIndex>(rng() % static_cast<uint32_t>(lines)));
        }
        // An edit between rounds: the next lookups must not trust the old layout.
        const TOffset at = static_cast<TOffset>(rng() % (model.size() + 1));
        if (round % 3 == 2 && model.size() > 500) {
            const TOffset n = static_cast<TOffset>(rng() % 400 + 1);
            s.Delete(at, n);
            model.erase(static_cast<size_t>(at), static_cast<size_t>(n));
        } else {
            const std::string text = std::string(rng() % 40, 'n') + "\r" + std::string(rng() % 5, 'm');
            s.Insert(at, text);
            model.insert(static_cast<size_t>(at), text);
        }
        ASSERT_EQ(s.Text(), model);
    }
}
