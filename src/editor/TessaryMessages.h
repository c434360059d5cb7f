#pragma once
// Message numbers of the editor control's programmatic interface:
// TCustomTessary::Perform(msg, wParam, lParam). The standard edit-control
// messages keep their usual numbers; the control's own start at 0x0C00.
// Pointers travel in lParam (or wParam) as integers.
//
// For the control's own messages that can get and set, wParam bit 0 (kSet)
// selects "set" and bit 1 (kNoRepaint) suppresses the repaint.

#include <cstdint>

namespace torvane::editor {

enum : uint32_t {
    WM_SETTEXT = 12,       // lParam: const char* NUL-terminated, or 0 for an empty text
    WM_GETTEXT = 13,       // wParam: buffer size, lParam: char*; result: characters written
    WM_GETTEXTLENGTH = 14, // stored length (a line break counts once)
    WM_GETDLGCODE = 135,
    EM_GETSEL = 176,     // wParam, lParam: int32_t* anchor, caret (either may be 0)
    EM_SETSEL = 177,     // wParam: start, lParam: end; (0, -1) selects all
    EM_LINESCROLL = 182, // wParam: columns, lParam: lines
    EM_SCROLLCARET = 183,
    EM_GETMODIFY = 184,
    EM_SETMODIFY = 185,    // wParam 0: the text counts as unmodified
    EM_GETLINECOUNT = 186, // at least 1
    EM_LINEINDEX = 187,    // wParam: line, -1 = the caret's; result: offset or -1
    EM_LINELENGTH = 193,   // wParam: offset, -1 = the caret's; result: node length without CR
    EM_REPLACESEL = 194,   // lParam: const char* NUL-terminated
    EM_GETLINE = 196,      // wParam: line, lParam: buffer whose first 16-bit word gives its size
    EM_CANUNDO = 198,
    EM_UNDO = 199,
    EM_LINEFROMCHAR = 201, // wParam: offset, -1 = the caret's
    EM_EMPTYUNDOBUFFER = 205,
    EM_GETFIRSTVISIBLELINE = 206,
    EM_POSFROMCHAR = 214, // wParam: offset, lParam: int32_t[2] (x, y) receiving the client point; result 1,
                          // or 0 for an offset outside the text
    EM_CHARFROMPOS =
        215, // wParam: x, lParam: y (client coordinates, signed); result: offset, -1 outside the text area
    WM_HSCROLL = 276,   // wParam: low 16 bits a SB_* code, the bits above it the thumb position
    WM_VSCROLL = 277,   // as WM_HSCROLL; pages are the visible lines (columns)
    WM_DROPFILES = 563, // wParam: const TDroppedFiles* (Tessary.h)
    WM_CUT = 768,
    WM_COPY = 769,
    WM_PASTE = 770,
    WM_CLEAR = 771, // deletes the selection
    WM_UNDO = 772,
    EM_CANPASTE = 1074,
};

// WM_HSCROLL and WM_VSCROLL codes.
enum : uint32_t {
    SB_LINEUP = 0, // SB_LINELEFT for WM_HSCROLL
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};

// WM_GETDLGCODE result bits.
enum : uint32_t { DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTCHARS = 0x80 };

enum : uint32_t {
    TEM_SELECTION = 0x0C00,      // lParam: int32_t[2] (anchor, caret); set: anchor -1 selects all
    TEM_OPTIONS = 0x0C01,        // set: lParam = options word; get: result
    TEM_REPLACESEL = 0x0C02,     // lParam: const char* NUL-terminated
    TEM_PAINTLOCK = 0x0C05,      // set: lParam != 0 locks, 0 unlocks; get: locked
    TEM_INSERTSTREAM = 0x0C06,   // lParam: TStream*, its remaining bytes go in at the caret
    TEM_WRITESELECTION = 0x0C07, // lParam: TStream*; wParam: kCopy* bits
    TEM_MODIFIED = 0x0C08,       // set: lParam 0 clears the log
    TEM_TOPLINE = 0x0C09,        // set: lParam = line; get: result
    TEM_LEFTCOLUMN = 0x0C0A,     // set: lParam = column; get: result
    TEM_SEARCH = 0x0C0B,         // wParam: search flags, lParam: const char*; result: match start or -1
    TEM_REPLACEDIALOG = 0x0C0C,  // wParam: search flags; opens the control's replace dialog
    TEM_COPYSELECTION = 0x0C0D,  // lParam: char* or 0 to measure; wParam: kCopy* bits; result: bytes
    TEM_CANREDO = 0x0C0E,
    TEM_REDO = 0x0C0F,
    TEM_BLOCKINDENT = 0x0C10,     // wParam: count (0 = IndentStep); lParam bit 0: TABs allowed
    TEM_BLOCKUNINDENT = 0x0C11,   // wParam: count (0 = IndentStep)
    TEM_REAPPLYSETTINGS = 0x0C12, // the host re-applies font and settings (after a scheme or style change)
    TEM_SETTOKENS = 0x0C13,       // lParam: const uint8_t*; wParam: 0 or int32_t[2] (first, last line)
    TEM_GETTOKENS = 0x0C14,       // lParam: uint8_t*; wParam as for TEM_SETTOKENS
    TEM_UNDOLOG = 0x0C15,         // set: lParam = TUndoStack* (0 stops recording); get: result
    TEM_TEXTSTORE = 0x0C18,       // lParam: std::shared_ptr<TTextStore>*; wParam 0 get, 1 show that store
    TEM_REHIGHLIGHTFROM =
        0x0C21,           // set: lParam = node the next re-highlighting starts from; get: result (-1: none)
    TEM_VERSION = 0x0C40, // result: const char* "<TTessary>:" and the version
};

// wParam bits of the control's own messages.
enum : uintptr_t { kSet = 1, kNoRepaint = 2 };

// wParam bits of TEM_WRITESELECTION and TEM_COPYSELECTION.
enum : uintptr_t { kCopyCRLF = 1, kCopyRTF = 2, kCopyHTML = 4, kCopyLF = 8 };

} // namespace torvane::editor
