// Printing through a recording printer: what lands on which page, where.

#include "editor/PdfSurface.h"
#include "editor/Printing.h"
#include "editor/SurfaceRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace torvane::editor {
namespace {

using Kind = TRecordingSurface::Kind;

// Records the drawing of each page separately.
class TRecordingPrinter final : public TPrinterSurface {
public:
    bool BeginDoc(const std::string& title) override {
        title_ = title;
        pages_.assign(1, {});
        return startOk;
    }
    bool NewPage() override {
        pages_.emplace_back();
        return true;
    }
    bool EndDoc() override {
        ended = true;
        return true;
    }
    std::string ErrorMessage() const override { return "printer is offline"; }

    void FillRect(const TRect& r, TColor c) override { Page().FillRect(r, c); }
    void SetFont(const TFontSpec& f) override {
        measure_.SetFont(f);
        if (!pages_.empty()) Page().SetFont(f);
    }
    TFontMetrics Metrics() override { return measure_.Metrics(); }
    int TextWidth(std::string_view b) override { return measure_.TextWidth(b); }
    void TextRun(const TRect& cell, int x, int y, std::string_view b, TColor f, TColor bk, bool o) override {
        Page().TextRun(cell, x, y, b, f, bk, o);
    }
    void Line(int x1, int y1, int x2, int y2, TColor c, TPenStyle p) override {
        Page().Line(x1, y1, x2, y2, c, p);
    }
    void XorLine(int, int, int, int) override {}
    void DrawImage(const TImageStrip&, int, int, int) override {}

    std::vector<TRecordingSurface::Op> Texts(size_t page) const { return pages_.at(page).OfKind(Kind::Text); }
    std::vector<TRecordingSurface::Op> Lines(size_t page) const { return pages_.at(page).OfKind(Kind::Line); }
    size_t PageCount() const { return pages_.size(); }
    const std::string& Title() const { return title_; }

    bool startOk = true;
    bool ended = false;

private:
    TRecordingSurface& Page() { return pages_.back(); }
    TRecordingSurface measure_;
    std::vector<TRecordingSurface> pages_;
    std::string title_;
};

class PrintingTest : public ::testing::Test {
protected:
    PrintingTest() {
        TRecordingSurface probe;
        TPainter painter(store_, tabs_, styles_, appearance_);
        painter.Measure(probe);
        rh_ = painter.Metrics().rowHeight;
        cw_ = painter.Metrics().charWidth;
        setup_.options = smoPrintLineNos | smoPrintFilename | smoPrintDate | smoPrintPageNos;
        setup_.title = "prog.asm";
        setup_.dateTime = "1.2.2024 - 10:20:30";
    }

    TPrintResult Print(TLineRange lines) {
        return PrintLines(printer_, store_, tabs_, styles_, appearance_, lines, setup_);
    }
    // The texts of a page that start at x, top to bottom.
    std::vector<std::string> TextsAt(size_t page, int x) const {
        std::vector<std::string> out;
        for (const auto& op : printer_.Texts(page))
            if (op.x == x) out.push_back(op.text);
        return out;
    }

    TTextStore store_;
    TTabStops tabs_;
    TStyleTable styles_;
    TAppearance appearance_;
    TPrintSetup setup_;
    TRecordingPrinter printer_;
    int rh_ = 0, cw_ = 0;
};

TEST_F(PrintingTest, PageWithTheDocumentOptionsHasHeaderNumberedLinesAndFooter) {
    store_.SetText("mov a,#1\nret\n");
    const TPrintResult result = Print(PrintedLines(store_, 0, store_.TextLength()));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.pages, 1);
    EXPECT_TRUE(printer_.ended);
    EXPECT_EQ(printer_.Title(), "prog.asm");

    const auto texts = printer_.Texts(0);
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(texts[0].text, "prog.asm");
    EXPECT_EQ(texts[0].x, 0);
    EXPECT_EQ(texts[0].y, 0);
    EXPECT_EQ(texts[1].text, "1.2.2024 - 10:20:30");
    EXPECT_EQ(texts[1].x + static_cast<int>(texts[1].text.size()) * cw_, 2550); // right-aligned
    EXPECT_EQ(texts[1].y, 0);

    // The rule two rows down, the footer's rule three rows above the bottom,
    // both across the page.
    const auto rules = printer_.Lines(0);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].y, 2 * rh_);
    EXPECT_EQ(rules[1].y, 3300 - 3 * rh_);
    for (const auto& rule : rules) {
        EXPECT_EQ(rule.x, 0);
        EXPECT_EQ(rule.x2, 2550);
        EXPECT_EQ(rule.y2, rule.y);
    }

    // Numbered lines from three rows down, the text ten columns in; the
    // empty last line after the final line break is not printed.
    EXPECT_EQ(TextsAt(0, 0), (std::vector<std::string>{"prog.asm", "     1:", "     2:"}));
    EXPECT_EQ(TextsAt(0, 10 * cw_), (std::vector<std::string>{"mov a,#1", "ret"}));
    for (const auto& op : printer_.Texts(0))
        if (op.text == "     1:") {
            EXPECT_EQ(op.y, 3 * rh_);
        }

    const auto footer =
        std::find_if(texts.begin(), texts.end(), [](const auto& op) { return op.text == "- 1 -"; });
    ASSERT_NE(footer, texts.end());
    EXPECT_EQ(footer->y, 3300 - (5 * rh_) / 2);
    EXPECT_EQ(footer->x, (2550 - 5 * cw_) / 2);
    EXPECT_EQ(footer->fore, 0x000000u); // mono: black on white
}

TEST_F(PrintingTest, SelectionPicksTheLinesItTouches) {
    store_.SetText("one\ntwo\nthree\n");
    // An empty selection inside line 2 prints that line alone.
    EXPECT_EQ(PrintedLines(store_, 5, 5).first, 1);
    EXPECT_EQ(PrintedLines(store_, 5, 5).last, 1);
    // At the start of a line it prints nothing, and no job is started.
    EXPECT_TRUE(PrintedLines(store_, 4, 4).Empty());
    const TPrintResult none = Print(PrintedLines(store_, 4, 4));
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.pages, 0);
    EXPECT_FALSE(printer_.ended);
    // A selection ending at a line start leaves that line out.
    EXPECT_EQ(PrintedLines(store_, 1, 8).last, 1);

    ASSERT_TRUE(Print(PrintedLines(store_, 5, 5)).ok);
    EXPECT_EQ(TextsAt(0, 10 * cw_), (std::vector<std::string>{"two"}));
    EXPECT_EQ(TextsAt(0, 0), (std::vector<std::string>{"prog.asm", "     2:"}));
}

TEST_F(PrintingTest, LongDocumentBreaksIntoPagesWhereTheTextAreaEnds) {
    std::string text;
    for (int i = 1; i <= 100; ++i)
        text += "line " + std::to_string(i) + "\n";
    store_.SetText(text);
    // Header 3 rows, footer 4 rows, room for 10 text rows and a little more.
    setup_.page = {0, 0, 2550, (3 + 10 + 4) * rh_ + rh_ / 2};
    const TPrintResult result = Print({0, 99});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.pages, 10);
    EXPECT_EQ(printer_.PageCount(), 10u);
    for (size_t page = 0; page < 10; ++page) {
        const auto lines = TextsAt(page, 10 * cw_);
        ASSERT_EQ(lines.size(), 10u) << "page " << page;
        EXPECT_EQ(lines.front(), "line " + std::to_string(page * 10 + 1));
        const auto texts = printer_.Texts(page);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const auto& op) {
            return op.text == "- " + std::to_string(page + 1) + " -";
        }));
        for (const auto& op : texts)
            if (op.x == 10 * cw_) {
                EXPECT_LE(op.y + rh_, setup_.page.bottom - 4 * rh_);
            }
    }
}

TEST_F(PrintingTest, PrintWrapContinuesAtTheTextEdgeWithoutANumber) {
    setup_.page = {0, 0, 10 * cw_ + 8 * cw_, 3300}; // eight text columns
    store_.SetText("abcdefghijklmnopqrst\nxy");
    setup_.options |= smoPrintWrap;
    ASSERT_TRUE(Print({0, 1}).ok);
    EXPECT_EQ(TextsAt(0, 10 * cw_), (std::vector<std::string>{"abcdefgh", "ijklmnop", "qrst", "xy"}));
    EXPECT_EQ(TextsAt(0, 0), (std::vector<std::string>{"prog.asm", "     1:", "     2:"}));

    // Without the option the line is cut at the page's edge.
    TRecordingPrinter cut;
    setup_.options &= ~uint32_t{smoPrintWrap};
    ASSERT_TRUE(PrintLines(cut, store_, tabs_, styles_, appearance_, {0, 1}, setup_).ok);
    std::vector<std::string> texts;
    for (const auto& op : cut.Texts(0))
        if (op.x == 10 * cw_) texts.push_back(op.text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "abcdefgh");
}

TEST_F(PrintingTest, HeaderFooterHandlerSetsTheTextAreaAndTransparency) {
    store_.SetText("a\nb\nc\n");
    int calls = 0;
    setup_.onHeaderFooter = [&](Surface& canvas, bool& transparent, TRect& rect) {
        ++calls;
        canvas.TextRun(rect, 0, 0, "custom", 0, 0xFFFFFF, false);
        transparent = true;
        rect.top = 5 * rh_;
        rect.bottom = rect.top + 2 * rh_; // two rows per page
    };
    const TPrintResult result = Print({0, 2});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.pages, 2);
    EXPECT_EQ(calls, 2);
    const auto texts = printer_.Texts(0);
    EXPECT_EQ(texts.front().text, "custom"); // the handler's, not the built-in header
    for (const auto& op : texts) {
        if (op.text == "a") {
            EXPECT_EQ(op.y, 5 * rh_);
            EXPECT_FALSE(op.opaque);
        }
        EXPECT_NE(op.text, "prog.asm");
    }
}

TEST_F(PrintingTest, FailuresAreReportedAndPrintNothing) {
    store_.SetText("a");
    printer_.startOk = false;
    TPrintResult result = Print({0, 0});
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "printer is offline");
    EXPECT_FALSE(printer_.ended);

    setup_.page = {0, 0, 0, 0};
    printer_.startOk = true;
    result = Print({0, 0});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(printer_.ended);
}

TEST(PdfSurfaceTest, WritesAPdfAndKeepsTheOldFileWhenTheFolderIsGone) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("torvane_pdf_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "out.pdf").string();
    TTextStore store;
    store.SetText("p\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD (k\xF9\xF2)\n");
    TTabStops tabs;
    TStyleTable styles;
    TAppearance appearance;
    TPrintSetup setup;
    setup.title = "t.asm";
    TPdfSurface pdf(file);
    ASSERT_TRUE(PrintLines(pdf, store, tabs, styles, appearance, {0, 0}, setup).ok);
    std::string bytes;
    {
        // Closed before the folder is removed: Windows deletes no open file.
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_EQ(bytes.rfind("%PDF-1.4", 0), 0u);
    EXPECT_NE(bytes.find("/Ecaron"), std::string::npos);
    EXPECT_NE(bytes.find("(p\\370\\355li\\232 \\236lu\\235ou\\350k\\375 \\(k\\371\\362\\))"),
              std::string::npos);
    EXPECT_NE(bytes.find("%%EOF"), std::string::npos);

    TPdfSurface nowhere((dir / "missing" / "out.pdf").string());
    const TPrintResult failed = PrintLines(nowhere, store, tabs, styles, appearance, {0, 0}, setup);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("Cannot write"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(PdfSurfaceTest, UnderlineAndStrikeOutAreBarsInTheTextColour) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("torvane_pdf_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "bars.pdf").string();
    auto barsIn = [&](uint8_t style) {
        TPdfSurface pdf(file);
        EXPECT_TRUE(pdf.BeginDoc("bars"));
        pdf.SetFont({"Courier New", 10, style});
        pdf.TextRun({0, 0, 600, 50}, 100, 100, "abc", RgbColor(255, 0, 0), RgbColor(255, 255, 255), false);
        EXPECT_TRUE(pdf.EndDoc());
        std::ifstream in(file, std::ios::binary);
        const std::string bytes(std::istreambuf_iterator<char>(in), {});
        // A red filled rectangle starting at the run's x, as wide as its cells.
        const std::string width = std::to_string(3 * pdf.Metrics().averageCharWidth);
        size_t count = 0;
        for (size_t at = bytes.find("1.00 0.00 0.00 rg 100 "); at != std::string::npos;
             at = bytes.find("1.00 0.00 0.00 rg 100 ", at + 1))
            if (bytes.find(" " + width + " ", at) < bytes.find("re f", at)) ++count;
        return count;
    };
    EXPECT_EQ(barsIn(0), 0u);
    EXPECT_EQ(barsIn(fsUnderline), 1u);
    EXPECT_EQ(barsIn(fsUnderline | fsStrikeOut | fsBold), 2u);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace torvane::editor
