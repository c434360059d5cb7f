#pragma once
// The undo log of a text store.
//
// TStack is a list of entries with a cursor: entries up to the cursor are
// applied (undoable), entries above it can be redone. TUndoStack writes the
// entries of transactions and groups and walks them backwards (undo) and
// forwards (redo) against a TUndoTarget (the control).
//
// Entry types (value, data, extra are 32-bit words):
//   type | name     | data / extra / payload                 | value                       | bytes counted
//   0    | position | anchor / caret                         | 0                           | 0
//   1    | text     | payload: a text, or none               | 0                           | text length
//   4    | stream   | payload: the inserted bytes            | 0                           | stream size +
//   stream object 5    | marker   | data: group or transaction kind        | 2 group begin, 3 group end, | 0
//        |          |                                        | 0 transaction boundary      |
// The size of the log is the sum over all entries of 16 + bytes counted.
//
// A transaction of kind 1 (text) or 4 (stream) is six entries, oldest first:
//   marker(kind, 0), position before, text: old, text or stream: new,
//   position after, marker(kind, 0).
// A group (kinds 13 and up) brackets the transactions of one editing
// operation: marker(kind, 2), position, marker(kind, 2) ... marker(kind, 3),
// position, marker(kind, 3).
//
// Failures: a transaction begun twice or ended without its begin clears the
// log and raises ETessary "Bad transaction log entry" (the target beeps).
// During undo and redo, an entry out of place ("Bad do/undo stack state")
// or a missing one ("Stack underflow") clears the log and beeps instead of
// reaching the caller; the text stays as it was at that moment.

#include "common/Stream.h"
#include "editor/LineNode.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace torvane::editor {

enum TUndoEntryType : int32_t { utPosition = 0, utText = 1, utStream = 4, utMarker = 5 };
enum TUndoMarker : int32_t { umTransaction = 0, umGroupBegin = 2, umGroupEnd = 3 };

// Group kinds of the editing operations (transaction kinds are below 13).
enum TUndoGroupKind : int32_t {
    ugDragDrop = 13,
    ugTyping = 14,
    ugDeleteChar = 15,
    ugPaste = 16,
    ugCut = 17,
    ugTemplate = 18,
    ugIndent = 19,
    ugUnindent = 20,
    ugDeletePrevWord = 21,
    ugDeleteNextWord = 22,
    ugReplace = 23,
    ugReplaceSelection = 24,
};
constexpr int32_t kFirstGroupKind = 13;

// One entry as it is written and read back.
struct TUndoEntry {
    int32_t value = 0;
    int32_t type = utPosition;
    int32_t data = 0;
    int32_t extra = 0;
    std::optional<std::string> text;       // utText
    std::shared_ptr<TMemoryStream> stream; // utStream

    int64_t DataSize() const;
};

// Storage. Typing writes twelve entries per character, so an entry is kept
// as one 16-byte record: positions and markers keep their three words;
// a text entry keeps where its bytes lie in a shared byte arena and their
// length; a stream entry keeps the number of its stream in a list of
// streams. Texts and streams are written and dropped in entry order (new
// ones on top, old ones from the bottom), so the arena and the list are
// queues and a record finds its payload by a running number. A text or
// stream entry keeps no data, extra or value (they read back as 0). The
// serial numbers of the entries are stored as runs: they only jump where
// entries were dropped from the top.
class TStack {
public:
    using FreeHandler = std::function<void(const TUndoEntry&)>;

    TStack() = default;
    TStack(const TStack&) = delete;
    TStack& operator=(const TStack&) = delete;
    virtual ~TStack() = default;

    // Appends an entry; redo entries above the cursor are discarded first.
    void Push(TUndoEntry entry);
    // The entry at the cursor; the cursor moves down. Raises "Stack underflow"
    // when nothing is applied. Returns the entry's index.
    int32_t TakeDown();
    // The entry above the cursor; the cursor moves up. Raises "Stack
    // underflow" at the top. Returns the entry's index.
    int32_t TakeUp();
    // Discards every entry.
    virtual void Clear();

    int64_t Size() const noexcept { return size_; }
    int32_t Count() const noexcept { return static_cast<int32_t>(records_.size()); }
    int32_t AppliedCount() const noexcept { return applied_; }
    // The whole entry at index (a copy, text and stream included).
    TUndoEntry At(int32_t index) const;
    // The entry's type, value, data and extra, without its text or stream.
    TUndoEntry Header(int32_t index) const;
    // The text of a text entry (std::nullopt for "none" and for other types).
    std::optional<std::string> TextAt(int32_t index) const;
    std::shared_ptr<TMemoryStream> StreamAt(int32_t index) const;
    // Serial number of the entry at index; serials are never reused.
    uint64_t SerialAt(int32_t index) const;
    void SetOnFree(FreeHandler handler) { onFree_ = std::move(handler); }

protected:
    // Removes entries from the bottom, or from the top (which must not be
    // above the cursor).
    void DropBottom(int32_t count);
    void DropTop(int32_t count);

private:
    enum RecordKind : uint8_t { rkPlain, rkNoText, rkText, rkStream };
    struct Record {
        // Plain: data, extra, value. Text: the arena position (low and high
        // word) and the length. Stream: the stream number (low and high word).
        int32_t a = 0, b = 0, c = 0;
        uint8_t type = 0;
        uint8_t kind = rkPlain;
        uint16_t unused = 0;
    };
    static_assert(sizeof(Record) == 16);
    // A run of entries whose serials count up from first: from the entry
    // with position `entry` (counted from the first entry ever pushed).
    struct SerialRun {
        int64_t entry;
        uint64_t first;
    };

    static int64_t Join(const Record& r) noexcept {
        return static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(r.a)) |
                                    (static_cast<uint64_t>(static_cast<uint32_t>(r.b)) << 32));
    }
    const Record& RecordAt(int32_t index) const;
    int64_t DataSize(const Record& r) const;
    // Frees the payload of the record on top or at the bottom.
    void DropRecord(bool top);

    std::deque<Record> records_;
    int64_t dropped_ = 0;   // entries dropped from the bottom so far
    std::string arena_;     // text bytes of the entries, oldest first
    int64_t arenaBase_ = 0; // arena position of arena_[0]
    std::deque<std::shared_ptr<TMemoryStream>> streams_;
    int64_t streamBase_ = 0; // number of streams_.front()
    std::deque<SerialRun> serialRuns_;
    bool newRun_ = true; // the next push starts a serial run
    uint64_t nextSerial_ = 1;
    int64_t size_ = 0;
    int32_t applied_ = 0;
    FreeHandler onFree_;
};

// What undo and redo act on: the control's selection and text.
class TUndoTarget {
public:
    virtual ~TUndoTarget() = default;
    virtual void GetSelection(TOffset* anchor, TOffset* caret) = 0;
    virtual void SetSelection(TOffset anchor, TOffset caret) = 0;
    // Replaces the selection (stored characters or raw bytes) and leaves the
    // caret after the inserted text. Must not record into the log.
    virtual void ReplaceSelection(std::string_view text) = 0;
    virtual void Beep() = 0;
};

class TUndoStack : public TStack {
public:
    // Result codes of Inspect.
    static constexpr int kInspectReset = 8000;
    static constexpr int kInspectUnknown = 8001;
    static constexpr int kInspectNoGroup = 8002;
    static constexpr int kInspectMerge = 0x1000000;

    explicit TUndoStack(TUndoTarget* target = nullptr) : target_(target) {}
    void SetTarget(TUndoTarget* target) noexcept { target_ = target; }
    TUndoTarget* Target() const noexcept { return target_; }

    bool Recording() const noexcept { return recording_; }
    void SetRecording(bool on) noexcept { recording_ = on; }
    bool Busy() const noexcept { return busy_; }
    int64_t SizeLimit() const noexcept { return sizeLimit_; }
    void SetSizeLimit(int64_t limit) noexcept { sizeLimit_ = limit; }

    void Clear() override;

    // Transactions. Begin records the target's selection and the old text;
    // End writes the six entries and trims the log.
    void BeginTransaction(std::string_view oldText, int32_t kind = utText);
    void EndTransaction(std::string_view newText);
    void EndStreamTransaction(std::shared_ptr<TMemoryStream> inserted);
    bool TransactionOpen() const noexcept { return transactionOpen_; }

    void BeginGroup(int32_t kind);
    void EndGroup(int32_t kind);
    int32_t OpenGroupKind() const noexcept { return groupOpen_ ? groupKind_ : 0; }

    // Direct line records (block indent and un-indent).
    void RecordInsertion(TOffset at, std::string_view inserted);
    void RecordRemoval(TOffset at, std::string_view removed);

    bool CanUndo() const noexcept { return AppliedCount() > 0; }
    bool CanRedo() const noexcept { return AppliedCount() < Count(); }
    // One step: a whole group, or one transaction outside groups. Failures
    // clear the log and beep.
    void Undo();
    void Redo();
    // Steps until the applied count reaches target (from Inspect).
    void UndoTo(int32_t target);
    void RedoTo(int32_t target);

    // The application's view of the log: code 1 resets the inspection
    // cursor (8000); 4 / 8 ask for an undo / redo step (1 with *kind, or 0);
    // 16 / 32 step over the next group (kind in *kind, the applied count
    // after the step in *target), merging directly following groups of the
    // same kind when kInspectMerge is added (8002 when there is none);
    // anything else gives 8001.
    int Inspect(int code, int32_t* kind, int32_t* target);

    // The Modified rule; MarkSaved remembers the present state as saved.
    bool Modified() const;
    void MarkSaved();

private:
    void Fail(int messageId);
    void PushMarker(int32_t kind, int32_t value);
    void PushPosition(TOffset anchor, TOffset caret);
    void PushText(std::optional<std::string> text);
    void Trim();
    void UndoStep(bool& inGroup);
    void RedoStep(bool& inGroup);
    // Checks the type of the entry at index (BadState otherwise); returns index.
    int32_t Expect(int32_t index, int32_t type) const;
    void Finish();

    TUndoTarget* target_;
    bool recording_ = true;
    bool busy_ = false; // an undo or redo is running
    int64_t sizeLimit_ = -1;
    bool groupOpen_ = false;
    int32_t groupKind_ = 0;
    bool transactionOpen_ = false;
    int32_t transactionKind_ = 0;
    TOffset beforeAnchor_ = 0, beforeCaret_ = 0;
    std::string oldText_;
    int32_t inspect_ = 0; // inspection cursor, as an applied count
    int32_t savedCount_ = -1;
    uint64_t savedTop_ = 0; // 0 = never saved
};

} // namespace torvane::editor
