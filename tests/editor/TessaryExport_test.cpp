// The RTF and HTML writers: whole documents byte for byte, the character
// escapes, the colour table, ranges, and the control's messages and files
// that reach them.

#include "common/Exceptions.h"
#include "editor/Tessary.h"
#include "editor/TessaryExport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace torvane;
using namespace torvane::editor;

namespace {

constexpr TColor kRed = RgbColor(255, 0, 0);
constexpr TColor kNavy = RgbColor(0, 0, 128);
constexpr TColor kYellow = RgbColor(255, 255, 0);

// Token 1: style 1, bold red on the default background; token 2: style 2,
// italic in the default colours; token 3: style 3, undefined but used,
// underlined navy on yellow.
TStyleTable Styles() {
    TStyleTable t;
    t.SetStyle(1, {fsBold, kRed, 0, false, true, true});
    t.SetStyle(2, {fsItalic, 0, 0, true, true, true});
    t.SetStyle(3, {fsUnderline, kNavy, kYellow, false, false, false});
    for (uint8_t token = 1; token <= 3; ++token)
        t.MapToken(token, token);
    return t;
}

TExportLook Look(const TStyleSource* styles) {
    TExportLook look;
    look.styles = styles;
    look.font = {"Courier New", 10, 0};
    look.date = "1.2.2024 10:20:30";
    return look;
}

// A store holding text, with token bytes per stored character ('0'..'9'
// in tokens) when tokens is not empty.
void Fill(TTextStore& store, std::string_view text, std::string_view tokens = {}) {
    store.SetText(text);
    if (tokens.empty()) return;
    size_t at = 0;
    for (TLineIndex line = 0; line < store.LineCount(); ++line) {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < store.NodeText(line).size(); ++i)
            bytes.push_back(static_cast<uint8_t>(tokens.at(at++) - '0'));
        store.SetNodeStyles(line, bytes);
    }
}

std::string Rtf(const TTextStore& store, const TExportLook& look, TOffset start = 0, TOffset end = -1) {
    TMemoryStream out;
    WriteRtf(out, store, start, end < 0 ? store.TextLength() : end, look);
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

std::string Html(const TTextStore& store, const TExportLook& look, TOffset start = 0, TOffset end = -1,
                 std::string_view title = "a.asm") {
    TMemoryStream out;
    WriteHtml(out, store, start, end < 0 ? store.TextLength() : end, look, title);
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

// What HTML writes between its header and its closing line.
std::string HtmlBody(const std::string& page) {
    const std::string open = "<PRE><FONT FACE=\"Courier New\">\r\n";
    const size_t from = page.find(open) + open.size();
    return page.substr(from, page.rfind("</PRE>") - from);
}

std::string RtfBody(const std::string& doc) {
    const std::string open = "\\cf0\\cb1 ";
    const size_t from = doc.find(open) + open.size();
    return doc.substr(from, doc.size() - 2 - from);
}

} // namespace

TEST(ExportRtf, WholeDocument) {
    const TStyleTable styles = Styles();
    TTextStore store;
    // "mov" bold red, " a" plain, ";c" italic, next line untokenised-looking
    // plain, then an underlined navy-on-yellow word and bold red again.
    Fill(store, "mov a;c\rab x",
         "1110022"
         "0"
         "3301");
    EXPECT_EQ(Rtf(store, Look(&styles)),
              "{\\rtf1\\ansi\\ansicpg1250 \\deff1{\\fonttbl {\\f1 \\fnil Courier New;}}\r\n"
              "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;}\r\n"
              "{\\f1\\fs20\\cf0\\cb1 "
              "\\b1 \\cf2 mov\\b0 \\cf0  a\\i1 ;c\\i0 \\line \r\n"
              "\\ul1 \\cf0 \\cb1 ab\\ul0 \\cf0 \\cb1  \\b1 \\cf2 x\r\n"
              "}}");
}

TEST(ExportRtf, EscapesEveryCharacterThatMeansSomethingToRtf) {
    TTextStore store;
    // The store holds no other control characters than TAB and CR.
    Fill(store, "{a}\\b'c\td\x7f\x80\xe8\xff");
    EXPECT_EQ(RtfBody(Rtf(store, Look(nullptr))), "\\{a\\}\\\\b\\'27c\\tab d\x7f\\'80\\'e8\\'ff\r\n");
    // The font name cannot close the font table early either.
    TExportLook look = Look(nullptr);
    look.font.name = "Odd}Font";
    EXPECT_NE(Rtf(store, look).find("\\fnil Odd\\}Font;}}"), std::string::npos);
}

TEST(ExportRtf, ColourTableHoldsEachColourOnceAndAtMost256) {
    TStyleTable styles;
    // Two styles with the same colours as style 0 and as each other add nothing.
    styles.SetStyle(1, {0, kRed, kYellow, false, false, true});
    styles.SetStyle(2, {0, kRed, kYellow, false, false, true});
    styles.SetStyle(3, {0, 0, 0xFFFFFF, false, false, true});
    styles.MapToken(1, 1);
    styles.MapToken(2, 2);
    TTextStore store;
    Fill(store, "ab", "12");
    std::string doc = Rtf(store, Look(&styles));
    EXPECT_NE(doc.find("{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;"
                       "\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\r\n"),
              std::string::npos);
    EXPECT_EQ(RtfBody(doc), "\\cf2 \\cb3 ab\r\n");

    // 255 styles with two new colours each overflow the table: a colour that
    // found no place is written as the default entries.
    TStyleTable many;
    for (int s = 1; s < 256; ++s) {
        many.SetStyle(static_cast<uint8_t>(s), {0, RgbColor(s, 1, 0), RgbColor(s, 2, 0), false, false, true});
        many.MapToken(static_cast<uint8_t>(s), static_cast<uint8_t>(s));
    }
    store.SetNodeStyles(0, std::vector<uint8_t>{1, 200});
    doc = Rtf(store, Look(&many));
    const std::string table =
        doc.substr(doc.find("{\\colortbl"), doc.find("}\r\n{\\f1") - doc.find("{\\colortbl"));
    size_t entries = 0;
    for (size_t at = table.find(';'); at != std::string::npos; at = table.find(';', at + 1))
        ++entries;
    EXPECT_EQ(entries, 256u);
    EXPECT_EQ(RtfBody(doc), "\\cf2 \\cb3 a\\cf0 \\cb1 b\r\n");
}

TEST(ExportHtml, WholePage) {
    const TStyleTable styles = Styles();
    TTextStore store;
    Fill(store, "mov a;c\rab x",
         "1110022"
         "0"
         "3301");
    EXPECT_EQ(Html(store, Look(&styles)),
              "<HTML><HEAD>\r\n"
              "<META NAME=\"Generator\" CONTENT=\"TCustomTessary - torvane@example.org\">\r\n"
              "<TITLE>a.asm</TITLE>\r\n"
              "<META NAME=\"Date\" CONTENT=\"1.2.2024 10:20:30\">\r\n"
              "</HEAD>\r\n"
              "<BODY TEXT=\"#000000\" BGCOLOR=\"#ffffff\">\r\n"
              "<PRE><FONT FACE=\"Courier New\">\r\n"
              "</FONT><FONT COLOR=\"#ff0000\"><B>mov</FONT><FONT COLOR=\"#000000\"></B> a<I>;c</I>\r\n"
              "</FONT><FONT COLOR=\"#000080\"><U>ab</FONT><FONT COLOR=\"#000000\"></U> "
              "</FONT><FONT COLOR=\"#ff0000\"><B>x\r\n"
              "</PRE></FONT></BODY></HTML>\r\n");
}

TEST(ExportHtml, EscapesAndDropsCharacters) {
    TTextStore store;
    Fill(store, std::string("a\tb\xa0\"<x>&lt;\x7f") + "\xe8\x9a\x81\rz");
    // Windows-1250 bytes become their characters: 0xE8 c caron, 0x9A s caron;
    // an undefined byte keeps its number.
    EXPECT_EQ(HtmlBody(Html(store, Look(nullptr))),
              "a&nbsp;b&nbsp;&quot;&lt;x&gt;&amp;lt;\x7f&#269;&#353;&#129;\r\nz\r\n");
    // A title from a file name cannot break out of its element.
    EXPECT_NE(Html(store, Look(nullptr), 0, -1, "</TITLE><b>").find("<TITLE>&lt;/TITLE&gt;&lt;b&gt;</TITLE>"),
              std::string::npos);
}

TEST(ExportHtml, LongLinesAreWrittenWholeAndOnce) {
    TTextStore store;
    const std::string line300(300, 'x');
    Fill(store, line300 + "\r" + line300);
    EXPECT_EQ(HtmlBody(Html(store, Look(nullptr))), line300 + "\r\n" + line300 + "\r\n");
    // A line longer than a store node is still one line of the page.
    const std::string huge(3 * kMaxNodeLength + 5, 'y');
    Fill(store, huge + "\rq");
    ASSERT_GT(store.LineCount(), 2);
    EXPECT_EQ(HtmlBody(Html(store, Look(nullptr))), huge + "\r\nq\r\n");
}

TEST(ExportRanges, PartialLinesAndARangeEndingAtALineStart) {
    const TStyleTable styles = Styles();
    TTextStore store;
    Fill(store, "mov a\rnop\rret",
         "11100"
         "0"
         "2220"
         "111");
    // "v a" CR "n": the run state starts over in the middle of a token.
    EXPECT_EQ(RtfBody(Rtf(store, Look(&styles), 2, 7)), "\\b1 \\cf2 v\\b0 \\cf0  a\\line \r\n\\i1 n\r\n");
    // A range that ends just after a line break writes no empty line after it.
    EXPECT_EQ(HtmlBody(Html(store, Look(nullptr), 6, 10)), "nop\r\n");
    EXPECT_EQ(HtmlBody(Html(store, Look(nullptr), 3, 3)), "\r\n");
}

TEST(ExportControl, MessagesAndSaveFormatsReachTheWriters) {
    const TStyleTable styles = Styles();
    TCustomTessary ed;
    Fill(ed.Store(), "x{y}\rz",
         "111"
         "1"
         "0"
         "2");
    ed.SetExportLook(Look(&styles));
    ed.Perform(EM_SETSEL, 1, 4);

    const intptr_t length = ed.Perform(TEM_COPYSELECTION, kCopyRTF, 0);
    std::string copied(static_cast<size_t>(length) + 1, '?');
    EXPECT_EQ(ed.Perform(TEM_COPYSELECTION, kCopyRTF, reinterpret_cast<intptr_t>(copied.data())), length);
    EXPECT_EQ(copied.back(), '\0');
    copied.pop_back();
    EXPECT_EQ(RtfBody(copied), "\\b1 \\cf2 \\{y\\}\r\n");

    TMemoryStream html;
    EXPECT_GT(ed.Perform(TEM_WRITESELECTION, kCopyHTML, reinterpret_cast<intptr_t>(&html)), 0);
    EXPECT_EQ(HtmlBody(std::string(html.Bytes().begin(), html.Bytes().end())),
              "</FONT><FONT COLOR=\"#ff0000\"><B>{y}\r\n");

    ed.SetSaveFormat(sfHTML);
    TMemoryStream whole;
    ed.SaveToStream(&whole);
    EXPECT_NE(std::string(whole.Bytes().begin(), whole.Bytes().end())
                  .find("<B>x{y}</FONT><FONT COLOR=\"#000000\"></B>\r\n<I>z\r\n"),
              std::string::npos);
}

TEST(ExportControl, ExportToFileKeepsTheDocumentAndTheOldFileOnFailure) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "torvane_export_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>("abc"));
    ed.Perform(EM_SETSEL, 3, 3);
    ed.Perform(EM_REPLACESEL, 0, reinterpret_cast<intptr_t>("d"));
    ASSERT_TRUE(ed.Modified());

    const std::string target = (dir / "out.rtf").string();
    ed.ExportToFile(target, sfRTF);
    std::stringstream written;
    {
        // Closed before the folder is removed: Windows keeps an open file.
        std::ifstream in(target, std::ios::binary);
        written << in.rdbuf();
    }
    EXPECT_EQ(RtfBody(written.str()), "abcd\r\n");
    EXPECT_TRUE(ed.Modified());
    EXPECT_TRUE(ed.CanUndo());

    // A target in a folder that does not exist fails with the save message
    // and leaves nothing behind.
    const std::string missing = (dir / "no" / "out.html").string();
    EXPECT_THROW(ed.ExportToFile(missing, sfHTML), EFileSaveError);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
    std::filesystem::remove_all(dir);
}
