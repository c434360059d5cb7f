// The editor control's geometry, scrolling, dropped-file and settings
// messages, and the selection read as plain text.

#include "editor/Tessary.h"

#include <gtest/gtest.h>

using namespace torvane;
using namespace torvane::editor;

namespace {

struct ViewHost : TessaryHost {
    int settingsApplied = 0;
    void SettingsChanged() override { ++settingsApplied; }
};

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

uintptr_t ScrollCode(uint32_t code, int32_t thumb = 0) {
    return code | (static_cast<uintptr_t>(thumb) << 16);
}

// A control 400 x 100 pixels with a 30-pixel gutter and margin, rows of 10
// and columns of 8 pixels.
void SetGeometry(TCustomTessary& ed) {
    TCaretMetrics metrics;
    metrics.gutterRight = 26;
    metrics.textLeft = 30;
    metrics.rowHeight = 10;
    metrics.charWidth = 8;
    ed.SetMetrics(metrics);
    ed.SetClientSize(400, 100);
}

} // namespace

TEST(TessarySelection, LengthAndTextCountLineBreaksInTheLineStyle) {
    TCustomTessary ed;
    ed.Perform(WM_SETTEXT, 0, Str("ab\r\ncd\r\nef"));
    EXPECT_EQ(ed.SelLength(), 0);
    EXPECT_EQ(ed.SelText(), "");
    ed.Perform(EM_SETSEL, 1, 7); // "b", CR, "cd", CR, "e" as stored
    EXPECT_EQ(ed.SelLength(), 8);
    EXPECT_EQ(ed.SelText(), "b\r\ncd\r\ne");
    ed.Store().SetLineStyle(lsLF);
    EXPECT_EQ(ed.SelLength(), 6);
    EXPECT_EQ(ed.SelText(), "b\rcd\re");
    ed.Store().SetLineStyle(lsCRLF);

    // A break at either edge of the selection counts, one just outside does not.
    ed.Perform(EM_SETSEL, 2, 6);
    EXPECT_EQ(ed.SelLength(), 6);
    ed.Perform(EM_SETSEL, 3, 5);
    EXPECT_EQ(ed.SelLength(), 2);
    ed.Perform(EM_SETSEL, 8, 0); // backwards
    EXPECT_EQ(ed.SelLength(), 10);

    // Writing the length selects stored characters from SelStart.
    ed.Perform(EM_SETSEL, 1, 1);
    ed.SetSelLength(3);
    EXPECT_EQ(ed.SelStoredText(), "b\rc");
    ed.SetSelLength(99);
    EXPECT_EQ(ed.SelEnd(), ed.Store().TextLength());
    ed.SetSelText("X");
    EXPECT_EQ(ed.Store().Text(), "aX");
    ed.Undo();
    EXPECT_EQ(ed.Store().Text(), "ab\rcd\ref");
}

TEST(TessaryGeometry, PosFromCharAndCharFromPos) {
    TCustomTessary ed;
    SetGeometry(ed);
    ed.SetTabDefault(8);
    ed.Perform(WM_SETTEXT, 0, Str("mov\ta,#1\r\nret"));
    int32_t point[2] = {-7, -7};
    ASSERT_EQ(ed.Perform(EM_POSFROMCHAR, 4, reinterpret_cast<intptr_t>(point)), 1); // "a" after the TAB
    EXPECT_EQ(point[0], 30 + 8 * 8);
    EXPECT_EQ(point[1], 0);
    ed.Perform(EM_POSFROMCHAR, 10, reinterpret_cast<intptr_t>(point)); // "e" of "ret"
    EXPECT_EQ(point[0], 30 + 8);
    EXPECT_EQ(point[1], 10);
    EXPECT_EQ(ed.Perform(EM_POSFROMCHAR, 99, reinterpret_cast<intptr_t>(point)), 0);
    EXPECT_EQ(ed.Perform(EM_POSFROMCHAR, -1, reinterpret_cast<intptr_t>(point)), 0);
    EXPECT_EQ(ed.Perform(EM_POSFROMCHAR, 4, 0), 0);

    // Each character's own point leads back to it.
    for (TOffset offset = 0; offset <= ed.Store().TextLength(); ++offset) {
        ed.Perform(EM_POSFROMCHAR, static_cast<uintptr_t>(offset), reinterpret_cast<intptr_t>(point));
        EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, static_cast<uintptr_t>(point[0]), point[1] + 5), offset);
    }
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 30 + 8 * 8 + 5, 5), 5);              // nearer the right edge of "a"
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 300, 12), 12);                       // right of the line end
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 29, 5), -1);                         // gutter and margin
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 40, 25), -1);                        // below the last line
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 400, 5), -1);                        // right of the client area
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 40, static_cast<intptr_t>(-1)), -1); // above it

    // Scrolled: points follow the first visible line and column.
    ed.SetTopLine(1);
    ed.SetLeftColumn(1);
    ed.Perform(EM_POSFROMCHAR, 0, reinterpret_cast<intptr_t>(point));
    EXPECT_EQ(point[0], 30 - 8);
    EXPECT_EQ(point[1], -10);
    EXPECT_EQ(ed.Perform(EM_CHARFROMPOS, 30, 5), 10);
}

TEST(TessaryScrolling, LinePageThumbAndEnds) {
    ViewHost host;
    TCustomTessary ed(&host);
    ed.SetClientSize(ed.Metrics().textLeft + 40 * ed.Metrics().charWidth, 10 * ed.Metrics().rowHeight);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::string(static_cast<size_t>(i), 'x') + "\n";
    ed.Perform(WM_SETTEXT, 0, Str(text.c_str())); // 101 lines, the widest 99 columns

    const struct {
        uint32_t code;
        int32_t thumb, top;
    } vertical[] = {
        {SB_LINEUP, 0, 0},     {SB_LINEDOWN, 0, 1}, {SB_PAGEDOWN, 0, 11},
        {SB_PAGEUP, 0, 1},     {SB_PAGEUP, 0, 0},   {SB_THUMBTRACK, 70, 70},
        {SB_ENDSCROLL, 0, 70}, {SB_BOTTOM, 0, 91},  {SB_THUMBPOSITION, 500, 100},
        {SB_TOP, 0, 0},
    };
    for (const auto& step : vertical) {
        ed.Perform(WM_VSCROLL, ScrollCode(step.code, step.thumb));
        EXPECT_EQ(ed.Perform(EM_GETFIRSTVISIBLELINE), step.top) << "code " << step.code;
    }
    EXPECT_EQ(ed.LeftColumn(), 0);

    ed.Perform(WM_HSCROLL, ScrollCode(SB_LINEDOWN));
    EXPECT_EQ(ed.LeftColumn(), 1);
    ed.Perform(WM_HSCROLL, ScrollCode(SB_PAGEDOWN));
    EXPECT_EQ(ed.LeftColumn(), 41);
    ed.Perform(WM_HSCROLL, ScrollCode(SB_BOTTOM));
    EXPECT_EQ(ed.LeftColumn(), ed.Store().WidestLine() - 40);
    ed.Perform(WM_HSCROLL, ScrollCode(SB_THUMBTRACK, 5));
    EXPECT_EQ(ed.LeftColumn(), 5);
    ed.Perform(WM_HSCROLL, ScrollCode(SB_PAGEUP));
    EXPECT_EQ(ed.LeftColumn(), 0);
    EXPECT_EQ(ed.TopLine(), 0);
}

TEST(TessaryDrop, FilesReachTheHandlerWithTheDropPoint) {
    TCustomTessary ed;
    SetGeometry(ed);
    std::vector<std::string> got;
    TCustomTessary::TPoint at{-5, -5};
    int calls = 0;
    const TDroppedFiles drop{{"a.asm", "/tmp/b c.inc"}, 50, 60};

    // Without the handler, or without the option, nothing happens.
    ed.SetOptions(ed.Options() | smoProcessDroppedFiles);
    EXPECT_EQ(ed.Perform(WM_DROPFILES, reinterpret_cast<uintptr_t>(&drop)), 0);
    ed.OnFilesDropped = [&](TCustomTessary& sender, const std::vector<std::string>& files,
                            TCustomTessary::TPoint point) {
        EXPECT_EQ(&sender, &ed);
        got = files;
        at = point;
        ++calls;
    };
    ed.SetOptions(ed.Options() & ~uint32_t{smoProcessDroppedFiles});
    EXPECT_EQ(ed.Perform(WM_DROPFILES, reinterpret_cast<uintptr_t>(&drop)), 0);
    EXPECT_EQ(calls, 0);

    ed.SetOptions(ed.Options() | smoProcessDroppedFiles);
    EXPECT_EQ(ed.Perform(WM_DROPFILES, reinterpret_cast<uintptr_t>(&drop)), 1);
    EXPECT_EQ(got, drop.names);
    EXPECT_EQ(at, (TCustomTessary::TPoint{50, 60}));

    // The gutter is inside the client area; past its size is not.
    for (const auto& [x, y, inside] :
         {std::tuple{0, 0, true}, {399, 99, true}, {400, 10, false}, {10, 100, false}, {-1, 10, false}}) {
        const TDroppedFiles edge{{"x"}, x, y};
        ed.Perform(WM_DROPFILES, reinterpret_cast<uintptr_t>(&edge));
        const TCustomTessary::TPoint expected =
            inside ? TCustomTessary::TPoint{x, y} : TCustomTessary::TPoint{-1, -1};
        EXPECT_EQ(at, expected) << x << "," << y;
    }
    EXPECT_EQ(ed.Perform(WM_DROPFILES, 0), 0);
}

TEST(TessarySettings, ReapplyGoesToTheHostAndTheRehighlightStartIsKept) {
    ViewHost host;
    TCustomTessary ed(&host);
    EXPECT_EQ(ed.Perform(TEM_REAPPLYSETTINGS), 1);
    EXPECT_EQ(host.settingsApplied, 1);
    TCustomTessary hostless;
    EXPECT_EQ(hostless.Perform(TEM_REAPPLYSETTINGS), 1);

    EXPECT_EQ(ed.Perform(TEM_REHIGHLIGHTFROM), -1);
    ed.Perform(TEM_REHIGHLIGHTFROM, kSet, 12);
    EXPECT_EQ(ed.RehighlightFrom(), 12);
    EXPECT_EQ(ed.Perform(TEM_REHIGHLIGHTFROM), 12);
    ed.Perform(TEM_REHIGHLIGHTFROM, kSet, -3);
    EXPECT_EQ(ed.RehighlightFrom(), -1);
}
