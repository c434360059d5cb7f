#pragma once
// Printing the lines of an editor control onto pages.
//
// A page is a rectangle in printer pixels (2550 x 3300 at 300 dpi unless the
// caller says otherwise). The text is measured afresh on the printer's
// surface with a painter of its own, so the control's screen metrics are
// never touched and need no restoring. Top to bottom a page is
//
//   row 0            title (left) and "date - time" (right)  } with the title
//   row 2            a rule across the page                   } or date option
//   row 3 ...        the text; with line numbers each line's first segment
//                    starts with "%6d:" and the text 10 columns to the right
//   bottom - 4 rows  end of the text area                     } with the page
//   bottom - 3 rows  a rule across the page                   } number option
//   bottom - 2.5     "- N -" centred                          }
//
// An OnPrintHeaderFooter handler replaces the header and footer: it draws
// what it likes and leaves the text area's top, right and bottom in the
// rectangle; its TransparentText asks for text without background.
//
// A line wider than the page is cut at the right edge, or, with the print
// wrap option, continued on the next row at the text's left edge with no
// number. A new page starts when the next row would pass the text area.

#include "editor/Painter.h"
#include "editor/Surface.h"
#include "editor/TextStore.h"

#include <functional>
#include <string>

namespace torvane::editor {

// A surface with pages. A failure to start or finish is reported by the
// return value; the message says why.
class TPrinterSurface : public Surface {
public:
    virtual bool BeginDoc(const std::string& title) = 0;
    virtual bool NewPage() = 0;
    virtual bool EndDoc() = 0;
    virtual void AbortDoc() {}
    virtual std::string ErrorMessage() const { return {}; }
};

constexpr TRect kDefaultPageRect{0, 0, 2550, 3300};

struct TPrintSetup {
    uint32_t options = kDefaultOptions; // the smoPrint* bits are read
    bool monoPrint = true;              // black text on white
    std::string title;
    std::string dateTime; // printed as it is: "date - time"
    TRect page = kDefaultPageRect;
    // OnPrintHeaderFooter(canvas, TransparentText, RenderRect), once per page.
    std::function<void(Surface& canvas, bool& transparentText, TRect& renderRect)> onHeaderFooter;
};

struct TPrintResult {
    bool ok = true;
    int pages = 0;
    std::string error; // English, for a log or a CLI; the app words its own
};

// The nodes a selection prints, [first, last]; empty (last < first) when the
// selection is empty at a line start. A line's segments go together.
struct TLineRange {
    TLineIndex first = 0, last = -1;
    bool Empty() const noexcept { return last < first; }
};
TLineRange PrintedLines(const TTextStore& store, TOffset selStart, TOffset selEnd);

// The system's short date and time, "date - time".
std::string ShortDateTime();

TPrintResult PrintLines(TPrinterSurface& printer, TTextStore& store, const TTabStops& tabs,
                        const TStyleSource& styles, const TAppearance& appearance, TLineRange lines,
                        const TPrintSetup& setup);

} // namespace torvane::editor
