#include "editor/Printing.h"

#include "common/TimeText.h"
#include "editor/LineLayout.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace torvane::editor {
namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kWhite = 0xFFFFFF;
constexpr int kLineNumberColumns = 10;

// One page after another: the header and footer, then rows until the text
// area is full.
class TPageWriter {
public:
    TPageWriter(TPrinterSurface& printer, TPainter& painter, const TAppearance& appearance,
                const TPrintSetup& setup)
        : printer_(printer), painter_(painter), appearance_(appearance), setup_(setup),
          rowHeight_(painter.Metrics().rowHeight), charWidth_(painter.Metrics().charWidth) {}

    int Pages() const noexcept { return pages_; }
    bool Transparent() const noexcept { return transparent_; }
    int TextLeft() const noexcept { return textLeft_; }
    int Right() const noexcept { return area_.right; }
    int Columns() const noexcept { return std::max(1, (area_.right - textLeft_) / charWidth_); }

    // The top of the next row, starting a page when the row would not fit.
    // False when the printer refuses a new page.
    bool NextRow(int& y) {
        if (pages_ == 0 || rowTop_ + rowHeight_ > area_.bottom) {
            if (pages_ > 0 && !printer_.NewPage()) return false;
            StartPage();
        }
        y = rowTop_;
        rowTop_ += rowHeight_;
        return true;
    }

private:
    bool Has(uint32_t option) const noexcept { return (setup_.options & option) != 0; }

    void StartPage() {
        ++pages_;
        const TRect& page = setup_.page;
        area_ = page;
        if (setup_.onHeaderFooter) {
            TRect render = page;
            setup_.onHeaderFooter(printer_, transparent_, render);
            area_ = {page.left, render.top, render.right, render.bottom};
        } else {
            DrawHeaderFooter();
        }
        textLeft_ = area_.left + (Has(smoPrintLineNos) ? kLineNumberColumns * charWidth_ : 0);
        // A text area too small for one row still gets one, so that every
        // line is printed and the job ends.
        if (area_.bottom - area_.top < rowHeight_) area_.bottom = area_.top + rowHeight_;
        rowTop_ = area_.top;
    }

    void DrawHeaderFooter() {
        const TRect& page = setup_.page;
        const int rh = rowHeight_;
        printer_.SetFont({appearance_.font.name, appearance_.font.size, 0});
        if (Has(smoPrintFilename) || Has(smoPrintDate)) {
            const TRect row{page.left, page.top, page.right, page.top + rh};
            if (Has(smoPrintFilename))
                printer_.TextRun(row, page.left, page.top, setup_.title, kBlack, kWhite, false);
            if (Has(smoPrintDate)) {
                const int x = page.right - printer_.TextWidth(setup_.dateTime);
                printer_.TextRun(row, x, page.top, setup_.dateTime, kBlack, kWhite, false);
            }
            printer_.Line(page.left, page.top + 2 * rh, page.right, page.top + 2 * rh, kBlack,
                          TPenStyle::Solid);
            area_.top = page.top + 3 * rh;
        }
        if (Has(smoPrintPageNos)) {
            char number[32];
            std::snprintf(number, sizeof number, "- %d -", pages_);
            const int top = page.bottom - (5 * rh) / 2;
            const int x = page.left + (page.Width() - printer_.TextWidth(number)) / 2;
            printer_.TextRun({page.left, top, page.right, top + rh}, x, top, number, kBlack, kWhite, false);
            printer_.Line(page.left, page.bottom - 3 * rh, page.right, page.bottom - 3 * rh, kBlack,
                          TPenStyle::Solid);
            area_.bottom = page.bottom - 4 * rh;
        }
    }

    TPrinterSurface& printer_;
    TPainter& painter_;
    const TAppearance& appearance_;
    const TPrintSetup& setup_;
    const int rowHeight_;
    const int charWidth_;
    int pages_ = 0;
    TRect area_;
    int textLeft_ = 0;
    int rowTop_ = 0;
    bool transparent_ = false;
};

// 1-based number of the line that node starts (continuations do not count).
int LineNumberOf(const TTextStore& store, TLineIndex node) {
    int number = 0;
    for (TLineIndex i = 0; i <= node; ++i)
        if (!store.Node(i).IsContinuation()) ++number;
    return number;
}

} // namespace

TLineRange PrintedLines(const TTextStore& store, TOffset selStart, TOffset selEnd) {
    if (selEnd < selStart) std::swap(selStart, selEnd);
    TLineIndex first = store.LineOfOffset(selStart);
    while (first > 0 && store.Node(first).IsContinuation())
        --first;
    TLineIndex last = store.LineOfOffset(selEnd);
    if (selEnd == store.LineStart(last) && !store.Node(last).IsContinuation()) --last;
    while (last + 1 < store.LineCount() && store.Node(last + 1).IsContinuation())
        ++last;
    return {first, last};
}

std::string ShortDateTime() {
    const std::tm local = LocalTimeOf(std::time(nullptr));
    return FormatTime("%x", local) + " - " + FormatTime("%X", local);
}

TPrintResult PrintLines(TPrinterSurface& printer, TTextStore& store, const TTabStops& tabs,
                        const TStyleSource& styles, const TAppearance& appearance, TLineRange lines,
                        const TPrintSetup& setup) {
    TPrintResult result;
    if (setup.page.Empty()) {
        result.ok = false;
        result.error = "The page has no printable area.";
        return result;
    }
    lines.first = std::max<TLineIndex>(lines.first, 0);
    lines.last = std::min<TLineIndex>(lines.last, store.LineCount() - 1);
    if (lines.Empty()) return result;

    TPainter painter(store, tabs, styles, appearance);
    painter.Measure(printer);
    if (!printer.BeginDoc(setup.title)) {
        result.ok = false;
        result.error = printer.ErrorMessage();
        return result;
    }

    TPageWriter pages(printer, painter, appearance, setup);
    TLineLayout layout;
    const int rh = painter.Metrics().rowHeight;
    const int cw = painter.Metrics().charWidth;
    const bool wrap = (setup.options & smoPrintWrap) != 0;
    const bool numbers = (setup.options & smoPrintLineNos) != 0;
    int number = LineNumberOf(store, lines.first) - 1;
    bool failed = false;

    for (TLineIndex line = lines.first; line <= lines.last && !failed; ++line) {
        const TLineNode node = store.Node(line);
        if (!node.IsContinuation()) ++number;
        layout.Build(store.NodeText(line), store.NodeStyles(line), node.HasTab(), tabs);
        const auto tokens = layout.Tokens();
        int32_t column = 0;
        bool firstRow = true;
        do {
            int y = 0;
            if (!pages.NextRow(y)) {
                failed = true;
                break;
            }
            const bool transparent = pages.Transparent();
            if (numbers && firstRow && !node.IsContinuation()) {
                char text[32];
                std::snprintf(text, sizeof text, "%6d:", number);
                printer.SetFont({appearance.font.name, appearance.font.size, 0});
                printer.TextRun({setup.page.left, y, pages.TextLeft(), y + rh}, setup.page.left, y, text,
                                kBlack, kWhite, !transparent);
            }
            const int32_t rowEnd =
                wrap ? std::min(layout.Columns(), column + pages.Columns()) : layout.Columns();
            const int32_t visibleEnd = std::min(rowEnd, column + pages.Columns());
            for (int32_t c = column; c < visibleEnd;) {
                const uint8_t style =
                    tokens.empty() ? 0 : styles.StyleOfToken(tokens[static_cast<size_t>(c)]);
                int32_t end = c + 1;
                while (end < visibleEnd &&
                       (tokens.empty() ? 0 : styles.StyleOfToken(tokens[static_cast<size_t>(end)])) == style)
                    ++end;
                const TStyleRecord r = painter.ResolvedStyle(style);
                printer.SetFont({appearance.font.name, appearance.font.size, r.fontStyle});
                const int x = pages.TextLeft() + (c - column) * cw;
                const int right = std::min(pages.Right(), pages.TextLeft() + (end - column) * cw);
                printer.TextRun({x, y, right, y + rh}, x, y,
                                layout.Display().substr(static_cast<size_t>(c), static_cast<size_t>(end - c)),
                                setup.monoPrint ? kBlack : r.foreground,
                                setup.monoPrint ? kWhite : r.background, !transparent);
                c = end;
            }
            column = rowEnd;
            firstRow = false;
        } while (wrap && column < layout.Columns());
    }

    if (failed) {
        result.ok = false;
        result.error = printer.ErrorMessage();
        printer.AbortDoc();
    } else if (!printer.EndDoc()) {
        result.ok = false;
        result.error = printer.ErrorMessage();
    }
    result.pages = pages.Pages();
    return result;
}

} // namespace torvane::editor
