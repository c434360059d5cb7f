#pragma once
// The line node record and the normalisation of incoming text.
//
// Stored text: 8-bit characters in which every line break is one CR (13).
// A node holds at most kMaxNodeLength characters; a node that ends with CR
// ends a line, and a node that follows one without CR continues that line
// (marks bit kMarkContinuation). The node's characters live in the block
// that holds the node (see TextStore.h), not in the record, so a line costs
// its characters plus this 16-byte record.
//
// Normalisation (every insertion and every load):
//   TAB (9) and 32..255   unchanged
//   CR LF, LF CR          one CR
//   CR, LF                one CR
//   any other byte < 32   "." (46) -- NUL included; it never ends the text
// The normaliser keeps the last line-break byte between calls, so a CR LF
// or LF CR pair split across two chunks still gives a single line break.

#include <cstddef>
#include <cstdint>

namespace torvane::editor {

using TOffset = int32_t;    // character offset into the stored text
using TLineIndex = int32_t; // 0-based node index

constexpr char kLineBreak = '\r';
constexpr int kMaxNodeLength = 2047;

// State flags of a node.
enum : uint32_t {
    kStateRepaint = 0x1,     // must be repainted
    kStateRehighlight = 0x2, // must be re-highlighted
    kStateHasTab = 0x4,      // text contains a TAB
};

// Marks word of a node: bits 0..9 are numbered bookmarks 0..9.
enum : uint16_t {
    kMarkBookmarkMask = 0x03FF,
    kMarkContinuation = 0x1000, // continues the line of the previous node
};

struct TLineNode {
    uint16_t length = 0; // characters of the node, its trailing CR included
    uint16_t marks = 0;
    uint16_t gutterMark = 0; // 0 = none, else one bit: that bit's gutter image
    uint16_t state = kStateRepaint | kStateRehighlight;
    int32_t highlight = -1; // -1 = none
    int32_t highlight2 = -1;

    bool IsContinuation() const noexcept { return (marks & kMarkContinuation) != 0; }
    bool HasTab() const noexcept { return (state & kStateHasTab) != 0; }
};
static_assert(sizeof(TLineNode) == 16, "a line costs its text plus this record; keep it small");

class TTextNormalizer {
public:
    // Normalises count bytes of in into out (room for count bytes; the
    // output is never longer than the input). Returns the output length.
    size_t Run(const char* in, size_t count, char* out) noexcept;
    // Forget a pending line-break byte (the next text starts afresh).
    void Reset() noexcept { pendingBreak_ = 0; }

private:
    unsigned char pendingBreak_ = 0; // CR or LF just turned into a break, 0 = none
};

} // namespace torvane::editor
