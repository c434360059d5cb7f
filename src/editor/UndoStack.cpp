#include "editor/UndoStack.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>
#include <stdexcept>

namespace torvane::editor {
namespace {

[[noreturn]] void BadState() {
    throw ETessary(LoadStr(msg::SBadUndoStackState));
}

bool SamePosition(const TUndoEntry& a, const TUndoEntry& b) {
    return a.type == utPosition && b.type == utPosition && a.data == b.data && a.extra == b.extra;
}

bool IsMarker(const TUndoEntry& e, int32_t value) {
    return e.type == utMarker && e.value == value;
}

} // namespace

int64_t TUndoEntry::DataSize() const {
    if (type == utText) return text ? static_cast<int64_t>(text->size()) : 0;
    if (type == utStream) return stream ? stream->Size() + static_cast<int64_t>(sizeof(TMemoryStream)) : 0;
    return 0;
}

// ---- TStack --------------------------------------------------------------------

const TStack::Record& TStack::RecordAt(int32_t index) const {
    return records_.at(static_cast<size_t>(index));
}

int64_t TStack::DataSize(const Record& r) const {
    if (r.kind == rkText) return r.c;
    if (r.kind == rkStream) {
        const auto& stream = streams_[static_cast<size_t>(Join(r) - streamBase_)];
        return stream ? stream->Size() + static_cast<int64_t>(sizeof(TMemoryStream)) : 0;
    }
    return 0;
}

TUndoEntry TStack::Header(int32_t index) const {
    const Record& r = RecordAt(index);
    TUndoEntry e;
    e.type = r.type;
    if (r.kind == rkPlain) {
        e.data = r.a;
        e.extra = r.b;
        e.value = r.c;
    }
    return e;
}

std::optional<std::string> TStack::TextAt(int32_t index) const {
    const Record& r = RecordAt(index);
    if (r.kind != rkText) return std::nullopt;
    return arena_.substr(static_cast<size_t>(Join(r) - arenaBase_), static_cast<size_t>(r.c));
}

std::shared_ptr<TMemoryStream> TStack::StreamAt(int32_t index) const {
    const Record& r = RecordAt(index);
    if (r.kind != rkStream) return nullptr;
    return streams_[static_cast<size_t>(Join(r) - streamBase_)];
}

TUndoEntry TStack::At(int32_t index) const {
    TUndoEntry e = Header(index);
    e.text = TextAt(index);
    e.stream = StreamAt(index);
    return e;
}

uint64_t TStack::SerialAt(int32_t index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("undo entry index out of range");
    const int64_t entry = dropped_ + index;
    auto run = std::upper_bound(serialRuns_.begin(), serialRuns_.end(), entry,
                                [](int64_t e, const SerialRun& r) { return e < r.entry; });
    --run; // the runs cover every entry from the first one on
    return run->first + static_cast<uint64_t>(entry - run->entry);
}

void TStack::Push(TUndoEntry entry) {
    // A new change takes away what could have been redone.
    if (static_cast<size_t>(applied_) < records_.size()) DropTop(Count() - applied_);
    Record r;
    r.type = static_cast<uint8_t>(entry.type);
    auto split = [&r](int64_t v) {
        r.a = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
        r.b = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32));
    };
    if (entry.type == utText && entry.text) {
        r.kind = rkText;
        split(arenaBase_ + static_cast<int64_t>(arena_.size()));
        r.c = static_cast<int32_t>(entry.text->size());
        arena_ += *entry.text;
    } else if (entry.type == utText) {
        r.kind = rkNoText;
    } else if (entry.type == utStream) {
        r.kind = rkStream;
        split(streamBase_ + static_cast<int64_t>(streams_.size()));
        streams_.push_back(std::move(entry.stream));
    } else {
        r.a = entry.data;
        r.b = entry.extra;
        r.c = entry.value;
    }
    if (newRun_) {
        serialRuns_.push_back({dropped_ + Count(), nextSerial_});
        newRun_ = false;
    }
    ++nextSerial_;
    records_.push_back(r);
    size_ += 16 + DataSize(r);
    applied_ = Count();
}

int32_t TStack::TakeDown() {
    if (applied_ == 0) throw ETessary(LoadStr(msg::SStackUnderflow));
    return --applied_;
}

int32_t TStack::TakeUp() {
    if (applied_ == Count()) throw ETessary(LoadStr(msg::SStackUnderflow));
    return applied_++;
}

void TStack::Clear() {
    DropBottom(Count());
}

void TStack::DropRecord(bool top) {
    const int32_t index = top ? Count() - 1 : 0;
    const Record& r = RecordAt(index);
    if (onFree_) onFree_(At(index));
    size_ -= 16 + DataSize(r);
    if (r.kind == rkText) {
        if (top) {
            arena_.resize(arena_.size() - static_cast<size_t>(r.c));
        } else {
            // Dropped bytes are let go of in bulk, once they are the larger part.
            const int64_t end = Join(r) + r.c;
            if (end - arenaBase_ > static_cast<int64_t>(arena_.size()) / 2) {
                arena_.erase(0, static_cast<size_t>(end - arenaBase_));
                arenaBase_ = end;
            }
        }
    } else if (r.kind == rkStream) {
        if (top) {
            streams_.pop_back();
        } else {
            streams_.pop_front();
            ++streamBase_;
        }
    }
    if (top) {
        records_.pop_back();
        // The next push gets a serial that the dropped entry never had.
        while (!serialRuns_.empty() && serialRuns_.back().entry >= dropped_ + Count())
            serialRuns_.pop_back();
        newRun_ = true;
    } else {
        records_.pop_front();
        ++dropped_;
        while (serialRuns_.size() > 1 && serialRuns_[1].entry <= dropped_)
            serialRuns_.pop_front();
    }
}

void TStack::DropBottom(int32_t count) {
    count = std::min(count, Count());
    for (int32_t i = 0; i < count; ++i)
        DropRecord(false);
    applied_ = std::max(0, applied_ - count);
    if (records_.empty()) {
        arenaBase_ += static_cast<int64_t>(arena_.size());
        arena_.clear();
        arena_.shrink_to_fit();
        serialRuns_.clear();
        newRun_ = true;
    }
}

void TStack::DropTop(int32_t count) {
    count = std::min(count, Count());
    for (int32_t i = 0; i < count; ++i)
        DropRecord(true);
    applied_ = std::min(applied_, Count());
}

// ---- TUndoStack: writing -----------------------------------------------------------

void TUndoStack::Clear() {
    TStack::Clear();
    savedCount_ = -1;
    savedTop_ = 0;
    inspect_ = 0;
    groupOpen_ = false;
    transactionOpen_ = false;
}

void TUndoStack::Fail(int messageId) {
    Clear();
    if (target_) target_->Beep();
    throw ETessary(LoadStr(messageId));
}

void TUndoStack::PushMarker(int32_t kind, int32_t value) {
    TUndoEntry e;
    e.type = utMarker;
    e.data = kind;
    e.value = value;
    Push(std::move(e));
}

void TUndoStack::PushPosition(TOffset anchor, TOffset caret) {
    TUndoEntry e;
    e.type = utPosition;
    e.data = anchor;
    e.extra = caret;
    Push(std::move(e));
}

void TUndoStack::PushText(std::optional<std::string> text) {
    TUndoEntry e;
    e.type = utText;
    e.text = std::move(text);
    Push(std::move(e));
}

void TUndoStack::BeginTransaction(std::string_view oldText, int32_t kind) {
    if (!recording_ || !target_) return;
    if (transactionOpen_) Fail(msg::SBadTransactionLog);
    target_->GetSelection(&beforeAnchor_, &beforeCaret_);
    oldText_.assign(oldText);
    transactionKind_ = kind;
    transactionOpen_ = true;
}

void TUndoStack::EndTransaction(std::string_view newText) {
    if (!recording_ || !target_) return;
    if (!transactionOpen_ || transactionKind_ != utText) Fail(msg::SBadTransactionLog);
    TOffset anchor = 0, caret = 0;
    target_->GetSelection(&anchor, &caret);
    PushMarker(utText, umTransaction);
    PushPosition(beforeAnchor_, beforeCaret_);
    PushText(std::move(oldText_));
    PushText(std::string(newText));
    PushPosition(anchor, caret);
    PushMarker(utText, umTransaction);
    transactionOpen_ = false;
    Trim();
}

void TUndoStack::EndStreamTransaction(std::shared_ptr<TMemoryStream> inserted) {
    if (!recording_ || !target_) return;
    if (!transactionOpen_ || transactionKind_ != utStream) Fail(msg::SBadTransactionLog);
    TOffset anchor = 0, caret = 0;
    target_->GetSelection(&anchor, &caret);
    PushMarker(utStream, umTransaction);
    PushPosition(beforeAnchor_, beforeCaret_);
    PushText(std::move(oldText_));
    TUndoEntry e;
    e.type = utStream;
    e.stream = std::move(inserted);
    Push(std::move(e));
    PushPosition(anchor, caret);
    PushMarker(utStream, umTransaction);
    transactionOpen_ = false;
    Trim();
}

void TUndoStack::BeginGroup(int32_t kind) {
    if (!recording_ || !target_ || busy_ || groupOpen_) return;
    TOffset anchor = 0, caret = 0;
    target_->GetSelection(&anchor, &caret);
    PushMarker(kind, umGroupBegin);
    PushPosition(anchor, caret);
    PushMarker(kind, umGroupBegin);
    groupOpen_ = true;
    groupKind_ = kind;
}

void TUndoStack::EndGroup(int32_t kind) {
    if (!recording_ || !target_ || !groupOpen_ || kind != groupKind_) return;
    groupOpen_ = false;
    // A group in which nothing changed would be an undo step that does nothing.
    if (Count() >= 3 && AppliedCount() == Count() && IsMarker(Header(Count() - 1), umGroupBegin) &&
        Header(Count() - 1).data == kind) {
        DropTop(3);
        return;
    }
    TOffset anchor = 0, caret = 0;
    target_->GetSelection(&anchor, &caret);
    PushMarker(kind, umGroupEnd);
    PushPosition(anchor, caret);
    PushMarker(kind, umGroupEnd);
}

void TUndoStack::RecordInsertion(TOffset at, std::string_view inserted) {
    if (!recording_) return;
    const TOffset end = at + static_cast<TOffset>(inserted.size());
    PushMarker(utText, umTransaction);
    PushPosition(at, at);
    PushText(std::nullopt);
    PushText(std::string(inserted));
    PushPosition(end, end);
    PushMarker(utText, umTransaction);
    Trim();
}

void TUndoStack::RecordRemoval(TOffset at, std::string_view removed) {
    if (!recording_) return;
    PushMarker(utText, umTransaction);
    PushPosition(at, at + static_cast<TOffset>(removed.size()));
    PushText(std::string(removed));
    PushText(std::nullopt);
    PushPosition(at, at);
    PushMarker(utText, umTransaction);
    Trim();
}

void TUndoStack::Trim() {
    // Whole units from the bottom: a unit runs from its first marker up to
    // and including the next marker.
    while (sizeLimit_ >= 0 && Size() > sizeLimit_ && Count() > 0) {
        int32_t n = 1;
        while (n < Count() && Header(n).type != utMarker)
            ++n;
        DropBottom(std::min(n + 1, Count()));
    }
}

// ---- TUndoStack: undo and redo ------------------------------------------------------

int32_t TUndoStack::Expect(int32_t index, int32_t type) const {
    if (Header(index).type != type) BadState();
    return index;
}

void TUndoStack::UndoStep(bool& inGroup) {
    const TUndoEntry marker = Header(Expect(TakeDown(), utMarker));
    const int32_t kind = marker.data;
    if (kind >= kFirstGroupKind) {
        const TUndoEntry position = Header(Expect(TakeDown(), utPosition));
        const TUndoEntry closing = Header(Expect(TakeDown(), utMarker));
        if (closing.data != kind || closing.value != marker.value) BadState();
        if (marker.value == umGroupEnd) {
            inGroup = true;
        } else if (marker.value == umGroupBegin) {
            target_->SetSelection(position.data, position.extra);
            inGroup = false;
        } else {
            BadState();
        }
        return;
    }
    if (marker.value != umTransaction || (kind != utText && kind != utStream)) BadState();
    const TUndoEntry after = Header(Expect(TakeDown(), utPosition));
    Expect(TakeDown(), kind == utText ? utText : utStream);
    const int32_t old = Expect(TakeDown(), utText);
    const TUndoEntry before = Header(Expect(TakeDown(), utPosition));
    const TUndoEntry closing = Header(Expect(TakeDown(), utMarker));
    if (closing.data != kind || closing.value != umTransaction) BadState();
    target_->SetSelection(std::min(before.data, before.extra), std::max(after.data, after.extra));
    target_->ReplaceSelection(TextAt(old).value_or(std::string()));
    target_->SetSelection(before.data, before.extra);
}

void TUndoStack::RedoStep(bool& inGroup) {
    const TUndoEntry marker = Header(Expect(TakeUp(), utMarker));
    const int32_t kind = marker.data;
    if (kind >= kFirstGroupKind) {
        const TUndoEntry position = Header(Expect(TakeUp(), utPosition));
        const TUndoEntry closing = Header(Expect(TakeUp(), utMarker));
        if (closing.data != kind || closing.value != marker.value) BadState();
        if (marker.value == umGroupBegin) {
            inGroup = true;
        } else if (marker.value == umGroupEnd) {
            target_->SetSelection(position.data, position.extra);
            inGroup = false;
        } else {
            BadState();
        }
        return;
    }
    if (marker.value != umTransaction || (kind != utText && kind != utStream)) BadState();
    const TUndoEntry before = Header(Expect(TakeUp(), utPosition));
    Expect(TakeUp(), utText);
    const int32_t inserted = Expect(TakeUp(), kind == utText ? utText : utStream);
    const TUndoEntry after = Header(Expect(TakeUp(), utPosition));
    const TUndoEntry closing = Header(Expect(TakeUp(), utMarker));
    if (closing.data != kind || closing.value != umTransaction) BadState();
    target_->SetSelection(before.data, before.extra);
    if (kind == utText) {
        target_->ReplaceSelection(TextAt(inserted).value_or(std::string()));
    } else if (const std::shared_ptr<TMemoryStream> stream = StreamAt(inserted)) {
        const auto& bytes = stream->Bytes();
        target_->ReplaceSelection(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    target_->SetSelection(after.data, after.extra);
}

void TUndoStack::Undo() {
    if (!target_ || busy_ || !CanUndo()) return;
    busy_ = true;
    const bool wasRecording = recording_;
    recording_ = false;
    try {
        bool inGroup = false;
        do {
            UndoStep(inGroup);
        } while (inGroup);
    } catch (const std::exception&) {
        Clear();
        target_->Beep();
    }
    recording_ = wasRecording;
    busy_ = false;
}

void TUndoStack::Redo() {
    if (!target_ || busy_ || !CanRedo()) return;
    busy_ = true;
    const bool wasRecording = recording_;
    recording_ = false;
    try {
        bool inGroup = false;
        do {
            RedoStep(inGroup);
        } while (inGroup);
    } catch (const std::exception&) {
        Clear();
        target_->Beep();
    }
    recording_ = wasRecording;
    busy_ = false;
}

void TUndoStack::UndoTo(int32_t target) {
    while (AppliedCount() > target && CanUndo())
        Undo();
}

void TUndoStack::RedoTo(int32_t target) {
    while (AppliedCount() < target && CanRedo())
        Redo();
}

// ---- TUndoStack: inspection and the Modified rule -------------------------------------

int TUndoStack::Inspect(int code, int32_t* kind, int32_t* target) {
    inspect_ = std::clamp(inspect_, 0, Count());
    const bool merge = (code & kInspectMerge) != 0;
    switch (code & ~kInspectMerge) {
    case 1:
        inspect_ = AppliedCount();
        return kInspectReset;
    case 4:
        for (int32_t i = inspect_ - 1; i >= 0; --i)
            if (IsMarker(Header(i), umGroupEnd)) {
                *kind = Header(i).data;
                return 1;
            }
        return 0;
    case 8:
        for (int32_t i = inspect_; i < Count(); ++i)
            if (IsMarker(Header(i), umGroupBegin)) {
                *kind = Header(i).data;
                return 1;
            }
        return 0;
    case 16: {
        int32_t i = inspect_ - 1;
        while (i >= 0 && !IsMarker(Header(i), umGroupEnd))
            --i;
        if (i < 0) return kInspectNoGroup;
        const int32_t k = Header(i).data;
        for (;;) {
            // Down to the lowest entry of this group's begin triple.
            while (i >= 0 && !(IsMarker(Header(i), umGroupBegin) && Header(i).data == k))
                --i;
            if (i < 2) break;
            i -= 2;
            // A run of the same kind continues when the group below ends
            // where this one began.
            if (!merge || i < 3 || !IsMarker(Header(i - 1), umGroupEnd) || Header(i - 1).data != k ||
                !SamePosition(Header(i - 2), Header(i + 1)))
                break;
            --i;
        }
        inspect_ = std::max(i, 0);
        *kind = k;
        *target = inspect_;
        return 1;
    }
    case 32: {
        int32_t i = inspect_;
        while (i < Count() && !IsMarker(Header(i), umGroupBegin))
            ++i;
        if (i >= Count()) return kInspectNoGroup;
        const int32_t k = Header(i).data;
        for (;;) {
            // Up to the highest entry of this group's end triple.
            while (i < Count() && !(IsMarker(Header(i), umGroupEnd) && Header(i).data == k))
                ++i;
            if (i + 2 >= Count()) {
                i = Count() - 1;
                break;
            }
            i += 2;
            if (!merge || i + 3 >= Count() || !IsMarker(Header(i + 1), umGroupBegin) ||
                Header(i + 1).data != k || !SamePosition(Header(i - 1), Header(i + 2)))
                break;
            ++i;
        }
        inspect_ = i + 1;
        *kind = k;
        *target = inspect_;
        return 1;
    }
    default:
        return kInspectUnknown;
    }
}

bool TUndoStack::Modified() const {
    if (savedCount_ == -1) return AppliedCount() > 0;
    if (AppliedCount() != savedCount_) return true;
    return AppliedCount() != 0 && SerialAt(AppliedCount() - 1) != savedTop_;
}

void TUndoStack::MarkSaved() {
    savedCount_ = AppliedCount();
    savedTop_ = AppliedCount() > 0 ? SerialAt(AppliedCount() - 1) : 0;
}

} // namespace torvane::editor
