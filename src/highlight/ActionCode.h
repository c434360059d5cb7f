#pragma once
// The editing commands of the editor control, numbered as key maps store
// them. Their display names are string-table entries
// msg::SCommandNameFirst + code.

#include <cstdint>

namespace torvane {

enum ActionCode : int32_t {
    acNone = -1,
    acCursorLeft = 0,
    acCursorRight = 1,
    acLineStart = 2,
    acLineEnd = 3,
    acLineUp = 4,
    acLineDown = 5,
    acPageUp = 6,
    acPageDown = 7,
    acWordLeft = 8,
    acWordRight = 9,
    acDocumentStart = 10,
    acDocumentEnd = 11,
    acCut = 12,
    acCopy = 13,
    acPaste = 14,
    acDeleteChar = 15,
    acDeleteCharBefore = 16,
    acBlockIndent = 17,
    acBlockUnindent = 18,
    acToggleInsert = 19,
    acSetBookmark0 = 20,  // .. acSetBookmark0 + 9
    acGotoBookmark0 = 30, // .. acGotoBookmark0 + 9
    acDeleteLine = 40,
    acUndo = 41,
    acRedo = 42,
    acDeleteWordBefore = 43,
    acPrintSelection = 44,
    acDeleteWordAfter = 45,
    acScrollUp = 46,
    acScrollDown = 47,
    kActionCodeCount = 48,
};

} // namespace torvane
