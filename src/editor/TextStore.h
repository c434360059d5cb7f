#pragma once
// TTextStore: the text of an editor control, as a sequence of line nodes.
//
// Model. The stored text is 8-bit characters in which every line break is a
// single CR (see LineNode.h for normalisation). It is cut into nodes: a node
// ends after each CR and, inside a longer line, after kMaxNodeLength (2047)
// characters; a node that continues the line of the node before it carries
// kMarkContinuation in its marks. There is always at least one node, and the
// last node never ends with CR: a text that ends with a line break has an
// empty last node, so every offset 0..TextLength() and every line the user
// can put the caret on has a node. Offsets are 0-based character offsets in
// the stored text; lines are addressed by node index.
//
// Layout. Nodes are kept in blocks of up to kBlockNodes consecutive nodes;
// a block holds the node records, the nodes' characters back to back, and,
// once any token bytes are set, one token byte per character. An index over
// the blocks (LineNodeIndex.h) finds the block of a line index or offset in
// O(log blocks), so a lookup anywhere in a huge file costs O(log blocks +
// kBlockNodes) instead of a walk over the list, and an edit updates the
// index in O(log blocks).
//
// Files. Loading reads 8192-byte blocks; a CR at the end of a full block is
// carried into the next block so that CR LF is never split. Saving writes
// each CR as CR LF (sfTEXT with lsCRLF), CR (sfTEXT with lsLF) or LF
// (sfUNIX); the last line never gets a line end added. SaveToFile writes a
// temporary file beside the target and renames it over the target, so a
// failed save leaves the old file as it was.
//
// The store owns the undo log of its controls (UndoStack.h) and the
// bookmarks of its text (Bookmarks.h).
//
// Observers (the controls that show the store) are told of every change;
// the store never calls view code directly.

#include "common/Stream.h"
#include "editor/LineNode.h"
#include "editor/LineNodeIndex.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::editor {

class TBookmarks;
class TEdStream;
class TUndoStack;

enum TSaveFormat : uint8_t { sfTEXT = 0, sfRTF = 1, sfHTML = 2, sfUNIX = 3 };
enum TSelLineStyle : uint8_t { lsCRLF = 0, lsLF = 1 };

// What a stored CR becomes in plain-text output.
enum class TLineEnd : uint8_t { CRLF, CR, LF };

// Writes a file through a temporary file beside it and a rename, so the old
// file keeps its bytes unless the new one is complete; on any failure raises
// EFileSaveError "Cannot save file ..." and leaves no temporary file.
void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write);

struct TTextChange {
    // Rewrapped: lines were cut into other segments, the text is the same
    // (extent 0; lineDelta tells how the node count changed).
    enum class Kind : uint8_t { Inserted, Deleted, Reloaded, Rewrapped };
    Kind kind;
    TOffset start;        // offset where the change happened
    TOffset extent;       // characters inserted or deleted (the new length for Reloaded)
    TLineIndex firstLine; // first node that was rebuilt
    int32_t lineDelta;    // change of the line count
};

class TTextStoreObserver {
public:
    virtual ~TTextStoreObserver() = default;
    virtual void TextChanged(const TTextChange& change) = 0;
    // The bookmarks or the gutter mark of a node changed (its text did not).
    virtual void MarksChanged(TLineIndex /*line*/) {}
};

class TTextStore {
public:
    // Size limits of a block; a block is split when it outgrows them.
    static constexpr int kBlockNodes = 128;
    static constexpr int kBlockChars = 16384;
    // Insertion chunk and file read block sizes.
    static constexpr int kChunkSize = 8192;

    TTextStore();
    ~TTextStore();
    TTextStore(const TTextStore&) = delete;
    TTextStore& operator=(const TTextStore&) = delete;

    // ---- whole text -------------------------------------------------------
    TOffset TextLength() const noexcept { return textLength_; }
    TLineIndex LineCount() const noexcept { return lineCount_; }
    // Length of the longest node seen since the last load or clear (at least 1).
    int32_t WidestLine() const noexcept { return widestLine_; }

    // The stored characters (line breaks as single CR).
    std::string Text() const;
    // Replaces the whole text with bytes (any line ends), like a load.
    void SetText(std::string_view bytes);
    // The whole text as SaveToStream writes it.
    std::string PlainText(TLineEnd lineEnd = TLineEnd::CRLF) const;
    // Stored characters of [start, end), clamped to the text.
    std::string GetRange(TOffset start, TOffset end) const;
    // Empties the text (one empty node).
    void Clear();

    // ---- lines and nodes --------------------------------------------------
    // Out-of-range indexes raise std::out_of_range.
    std::string LineText(TLineIndex line) const;      // without the trailing CR
    std::string_view NodeText(TLineIndex line) const; // with it; valid until the next change
    const TLineNode& Node(TLineIndex line) const;
    TOffset LineStart(TLineIndex line) const;
    // Node that holds offset (clamped to 0..TextLength()); the text end
    // belongs to the last node.
    TLineIndex LineOfOffset(TOffset offset) const;
    // Text lines end at a line break; one longer than kMaxNodeLength spans
    // a node and its continuation nodes. Line numbers from outside the
    // control (an assembler's messages, the symbol scanner) count text lines.
    int32_t TextLineCount() const;
    // The first node of 0-based text line `line`; -1 past the last one.
    TLineIndex NodeOfTextLine(int32_t line) const;
    // The 0-based text line a node belongs to.
    int32_t TextLineOfNode(TLineIndex node) const;
    // Token bytes of a node (one per character), empty when none are set.
    std::span<const uint8_t> NodeStyles(TLineIndex line) const;
    // Sets the token bytes of a node; bytes.size() must equal the node length.
    void SetNodeStyles(TLineIndex line, std::span<const uint8_t> bytes);

    // Attribute setters. SetBookmarks changes bits 0..9 of the marks only;
    // it and SetGutterMark tell the observers when a mark changes.
    void SetNodeState(TLineIndex line, uint32_t state);
    // The same for a node already in hand (one of this store's nodes, from
    // Node() and unchanged in layout since), without looking the line up.
    void SetNodeState(const TLineNode& node, uint32_t state);
    void SetBookmarks(TLineIndex line, uint16_t bits);
    void SetGutterMark(TLineIndex line, uint16_t mark);
    void SetHighlight(TLineIndex line, int32_t highlight, int32_t highlight2);

    // ---- editing ----------------------------------------------------------
    // Inserts bytes (normalised, in chunks of kChunkSize) at offset; returns
    // the offset just after the inserted text. Observers hear of each chunk.
    TOffset Insert(TOffset at, std::string_view bytes);
    // Removes [start, start + length), clamped to the text.
    void Delete(TOffset start, TOffset length);
    // Delete of [start, end) then Insert at start; returns the end of the insert.
    TOffset Replace(TOffset start, TOffset end, std::string_view bytes);

    // ---- word wrap ----------------------------------------------------------
    // Gives the segment lengths of a line (its characters with its CR); they
    // must add up to the line's length, each at most kMaxNodeLength.
    using TSegmentCutter = std::function<void(std::string_view line, std::vector<int32_t>& lengths)>;
    // Cuts every line that has a node in first..last anew into the segments
    // cut gives. The text, its token bytes and the attributes of each line's
    // first node stay; observers hear one Rewrapped change.
    void Rewrap(TLineIndex first, TLineIndex last, const TSegmentCutter& cut);

    // ---- streams and files ------------------------------------------------
    TSelLineStyle LineStyle() const noexcept { return lineStyle_; }
    void SetLineStyle(TSelLineStyle style) noexcept { lineStyle_ = style; }
    // sfTEXT follows the line style, sfUNIX writes LF; sfRTF and sfHTML are
    // the export writers' business and raise std::invalid_argument here.
    TLineEnd LineEndOf(TSaveFormat format) const;

    // Replaces the text with the stream's remaining bytes. Out of memory is
    // raised as ETessary "Not enough memory for operation"; the store then
    // holds what was read up to the failure.
    void LoadFromStream(TStream& stream);
    // Raises EFOpenError "File '%s' cannot be opened for reading" when the
    // file cannot be opened.
    void LoadFromFile(const std::string& fileName);

    // Writes the whole text. A null stream raises EFileSaveError "Bad
    // TStream instance"; a stream that keeps taking fewer bytes than the text
    // holds raises EFileSaveError "Could not save text to stream".
    void SaveToStream(TStream* stream, TSaveFormat format = sfTEXT) const;
    // Writes [start, end) of the text with the given line ends (no save check).
    void WriteRange(TStream& stream, TOffset start, TOffset end, TLineEnd lineEnd) const;
    // Saves through a temporary file beside fileName; on any failure raises
    // EFileSaveError and fileName keeps its old contents.
    void SaveToFile(const std::string& fileName, TSaveFormat format = sfTEXT);

    // ---- undo log ---------------------------------------------------------
    // The log that records changes made through the controls; null when
    // detached. The store owns the log it was created with; a log attached
    // in its place stays its caller's. Loading and saving clear the log.
    TUndoStack* UndoLog() const noexcept { return undo_; }
    void AttachUndoLog(TUndoStack* log) noexcept { undo_ = log; }
    TUndoStack* OwnUndoLog() const noexcept { return ownUndo_.get(); }

    // ---- bookmarks --------------------------------------------------------
    // The numbered and named bookmarks of the text. They belong to the text,
    // not to a control, so every control showing the store sees the same
    // ones. Made on first use: a store nobody marks pays nothing per edit.
    TBookmarks& Bookmarks();

    // ---- observers --------------------------------------------------------
    void AddObserver(TTextStoreObserver* observer); // added once however often called
    void RemoveObserver(TTextStoreObserver* observer);

    // Changes whenever nodes are added, removed or change length, so that a
    // cursor can tell whether its place in the blocks still holds.
    uint64_t LayoutVersion() const noexcept { return layoutVersion_; }

    // Checks every invariant of the node list (for tests); returns an empty
    // string when all hold, else a description of the first broken one.
    std::string CheckInvariants() const;

private:
    friend class TEdStream;

    struct Block {
        std::vector<TLineNode> nodes;
        std::string text;            // the nodes' characters back to back
        std::vector<uint8_t> styles; // empty, or one token byte per character of text
    };
    // A node found by line or offset.
    struct Where {
        size_t block;
        int index;        // node index inside the block
        TLineIndex line;  // node index in the store
        TOffset start;    // offset of the node's first character
        size_t textStart; // index of its first character in the block's text
    };

    Where FindLine(TLineIndex line) const;
    bool HasNoContinuations() const noexcept;
    Where FindOffset(TOffset offset) const;
    // Lookups come in runs near one another (a scan line by line, a lookup
    // of the line just found, the cursor's neighbours); the last node found
    // lets the next lookup in the same block or the one after it skip the
    // index. Every change of the node layout forgets it.
    struct Hint {
        Where where;
        TLineIndex blockLine; // first line of where.block
        TOffset blockOffset;  // first offset of where.block
        bool valid = false;
    };
    // Moves a Where inside its block to node index `to`.
    void WalkInBlock(Where& w, int to) const noexcept;
    // The hint's block or the one after it when it holds line (or offset);
    // false when neither does.
    bool HintedLine(TLineIndex line, Where& w) const noexcept;
    bool HintedOffset(TOffset offset, Where& w) const noexcept;
    void Remember(const Where& w, TLineIndex blockLine, TOffset blockOffset) const noexcept;
    void LayoutChanged() noexcept {
        hint_.valid = false;
        ++layoutVersion_;
    }
    // Tells the index the current counts of a block.
    void SyncBlock(size_t block);
    // Re-reads the counts of every block (after a load).
    void RebuildIndex();

    // Replaces nodes [from.line, from.line + count) with the text laid out
    // into new nodes; the first new node keeps the attributes of `inherit`.
    // reachesEnd: the replaced nodes include the last node.
    // segments: the new nodes' lengths (empty: cut at CR and after
    // kMaxNodeLength); styles: their token bytes (empty: none, or zeros);
    // rehighlight false clears the new nodes' re-highlight bit.
    void ReplaceNodes(const Where& from, int count, std::string_view text, const TLineNode& inherit,
                      bool reachesEnd, std::span<const int32_t> segments = {},
                      std::span<const uint8_t> styles = {}, bool rehighlight = true);
    void SplitBlock(size_t block);
    void MergeSmallBlock(size_t block);
    TOffset InsertChunk(TOffset at, std::string_view normalized);
    void DeleteRange(TOffset start, TOffset end);
    void Notify(const TTextChange& change) const;
    void NotifyMarks(TLineIndex line) const;

    // Load: appends normalised characters to the end of the text.
    void AppendNormalized(const char* chars, size_t count);
    void StartNode(uint16_t marks);
    // Replaces the text with what the reader yields; returns the bytes read.
    int64_t LoadFrom(TStream& stream);
    void ResetToEmpty();

    std::vector<std::unique_ptr<Block>> blocks_;
    TLineNodeIndex index_; // in step with blocks_
    mutable Hint hint_;
    uint64_t layoutVersion_ = 0;

    TOffset textLength_ = 0;
    TLineIndex lineCount_ = 0;
    int32_t widestLine_ = 1;
    TSelLineStyle lineStyle_ = lsCRLF;
    std::vector<TTextStoreObserver*> observers_;
    std::unique_ptr<TUndoStack> ownUndo_;
    TUndoStack* undo_ = nullptr;
    // After observers_: it leaves the list before the list goes.
    std::unique_ptr<TBookmarks> bookmarks_;
};

} // namespace torvane::editor
