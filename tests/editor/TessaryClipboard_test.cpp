// Copy, cut and paste of the editor control through its host: the formats
// copy offers, read-only, and the choice and trimming of pasted HTML.

#include "editor/Tessary.h"
#include "editor/TessaryClipboard.h"
#include "editor/TessaryCommands.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::editor;

namespace {

struct ClipboardHost : TessaryHost {
    std::optional<std::string> text, html;
    std::optional<TClipboardData> copied;
    std::optional<std::string> ClipboardText() override { return text; }
    std::optional<std::string> ClipboardHtml() override { return html; }
    void SetClipboard(const TClipboardData& data) override { copied = data; }
};

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

const char* const kBrowserHtml = "Version:0.9\r\nStartHTML:71\r\n<html><body>\r\n<!--StartFragment-->"
                                 "<b>mov</b> a,#1<!--EndFragment-->\r\n</body></html>";

} // namespace

TEST(TessaryClipboard, CopyOffersTextAndRtfAsTheFormatsSay) {
    ClipboardHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("a{b}\r\nc"));
    ed.Perform(EM_SETSEL, 1, 6);
    EXPECT_EQ(ed.Perform(WM_COPY), 1);
    ASSERT_TRUE(host.copied);
    EXPECT_EQ(host.copied->text, "{b}\r\nc");
    ASSERT_TRUE(host.copied->rtf);
    EXPECT_NE(host.copied->rtf->find("\\{b\\}\\line \r\nc\r\n}}"), std::string::npos);

    ed.ClipCopyFormats = smTEXT;
    ed.Perform(WM_COPY);
    EXPECT_FALSE(host.copied->rtf);
    ed.ClipCopyFormats = smRTF;
    ed.Perform(WM_COPY);
    EXPECT_FALSE(host.copied->text);
    EXPECT_TRUE(host.copied->rtf);
}

TEST(TessaryClipboard, ReadOnlyCopiesButNeitherCutsNorPastes) {
    ClipboardHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("keep"));
    ed.SetReadOnly(true);
    ed.Perform(EM_SETSEL, 0, 2);
    host.text = "x";
    EXPECT_EQ(ed.Perform(WM_CUT), 0);
    EXPECT_FALSE(host.copied);
    EXPECT_EQ(ed.Perform(WM_PASTE), 0);
    EXPECT_EQ(ed.Store().Text(), "keep");
    EXPECT_EQ(ed.Perform(WM_COPY), 1);
    EXPECT_EQ(host.copied->text, "ke");

    ed.SetReadOnly(false);
    EXPECT_EQ(ed.Perform(WM_CUT), 1);
    EXPECT_EQ(ed.Store().Text(), "ep");
}

TEST(TessaryClipboard, PasteTakesTextUnlessTheHandlerChoosesHtml) {
    ClipboardHost host;
    TCustomTessary ed(&host);
    ed.Perform(WM_SETTEXT, 0, Str("[]"));
    ed.Perform(EM_SETSEL, 1, 1);
    host.text = "plain";
    host.html = kBrowserHtml;
    TSourceTypes seen = 0;
    ed.OnDataDrop = [&](TCustomTessary&, TSourceTypes& sources) { seen = sources; };
    ed.Perform(WM_PASTE);
    EXPECT_EQ(seen, stTextAvailable | stHTMLAvailable | stText);
    EXPECT_EQ(ed.Store().Text(), "[plain]");

    // The handler asks for the HTML: only the fragment's markup goes in, as
    // one undo step.
    ed.Perform(EM_SETSEL, 1, 6);
    ed.OnDataDrop = [](TCustomTessary&, TSourceTypes& sources) {
        sources = (sources & ~stText) | stHTML | stHTMLCutHead | stHTMLFragment;
    };
    ed.Perform(WM_PASTE);
    EXPECT_EQ(ed.Store().Text(), "[<b>mov</b> a,#1]");
    ed.Undo();
    EXPECT_EQ(ed.Store().Text(), "[plain]");

    // HTML alone is taken trimmed to its fragment by default; nothing at all
    // on the clipboard changes nothing.
    ed.OnDataDrop = nullptr;
    host.text.reset();
    ed.Perform(EM_SETSEL, 0, 7);
    EXPECT_EQ(ed.Perform(WM_PASTE), 1);
    EXPECT_EQ(ed.Store().Text(), "<b>mov</b> a,#1");
    host.html.reset();
    EXPECT_EQ(ed.Perform(WM_PASTE), 0);
}

TEST(TessaryClipboard, HtmlTrimming) {
    const std::string html = kBrowserHtml;
    EXPECT_EQ(TrimHtml(html, 0), html);
    EXPECT_EQ(TrimHtml(html, stHTMLCutHead), html.substr(html.find('<')));
    EXPECT_EQ(TrimHtml(html, stHTMLCutHead | stHTMLFragment), "<b>mov</b> a,#1");
    // Markers out of order or missing leave the cut text whole.
    EXPECT_EQ(TrimHtml("x<!--EndFragment-->a<!--StartFragment-->", stHTMLFragment),
              "<!--EndFragment-->a<!--StartFragment-->");
    EXPECT_EQ(TrimHtml("<p><!--StartFragment-->a", stHTMLFragment), "<p><!--StartFragment-->a");
    EXPECT_EQ(TrimHtml("no tags", stHTMLCutHead), "");
}
