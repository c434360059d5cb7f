#pragma once
// The editor's options word (`Options`): one bit per option. The settings
// object stores it; the control, its commands and its painter read it.

#include <cstdint>

namespace torvane {

enum : uint32_t {
    smoLineNumbers = 0x1,
    smoSyntaxHighlight = 0x10,
    smoPrintWrap = 0x20,
    smoPrintLineNos = 0x40,
    smoPrintFilename = 0x80,
    smoPrintDate = 0x100,
    smoPrintPageNos = 0x200,
    smoWordWrap = 0x400,
    smoAutoIndent = 0x800,
    smoTabToColumn = 0x1000,
    smoWrapOverride = 0x2000,
    smoWordSelect = 0x4000,
    smoShowRMargin = 0x8000,
    smoShowGutter = 0x10000,
    smoShowWrapColumn = 0x20000,
    smoTitleAsFilename = 0x40000,
    smoProcessDroppedFiles = 0x80000,
    smoBlockOverwriteCursor = 0x100000,
    smoShowWrapGlyph = 0x200000,
    smoColumnTrack = 0x400000,
    smoUseTAB = 0x800000,
    smoSmartFill = 0x1000000,
    smoOLEDragSource = 0x2000000,
    smoShowAllChars = 0x4000000,
    smoCaretAfterEOL = 0x8000000,
};

// The options of a freshly reset settings object: everything but word wrap,
// wrap override, show-all-characters, caret-after-end and line numbers.
constexpr uint32_t kDefaultOptions = 0x3FFDBF0;

} // namespace torvane
