#include "editor/UndoStack.h"

#include "common/Exceptions.h"
#include "common/Messages.h"

#include <algorithm>

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

void TStack::Discard(size_t index) {
    if (onFree_) onFree_(entries_[index]);
    size_ -= 16 + entries_[index].DataSize();
}

void TStack::Push(TUndoEntry entry) {
    // A new change takes away what could have been redone.
    if (static_cast<size_t>(applied_) < entries_.size()) DropTop(Count() - applied_);
    size_ += 16 + entry.DataSize();
    entries_.push_back(std::move(entry));
    serials_.push_back(nextSerial_++);
    applied_ = Count();
}

const TUndoEntry& TStack::TakeDown() {
    if (applied_ == 0) throw ETessary(LoadStr(msg::SStackUnderflow));
    return entries_[static_cast<size_t>(--applied_)];
}

const TUndoEntry& TStack::TakeUp() {
    if (applied_ == Count()) throw ETessary(LoadStr(msg::SStackUnderflow));
    return entries_[static_cast<size_t>(applied_++)];
}

void TStack::Clear() {
    DropBottom(Count());
}

void TStack::DropBottom(int32_t count) {
    count = std::min(count, Count());
    for (int32_t i = 0; i < count; ++i) {
        Discard(0);
        entries_.pop_front();
        serials_.pop_front();
    }
    applied_ = std::max(0, applied_ - count);
}

void TStack::DropTop(int32_t count) {
    count = std::min(count, Count());
    for (int32_t i = 0; i < count; ++i) {
        Discard(entries_.size() - 1);
        entries_.pop_back();
        serials_.pop_back();
    }
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
    if (Count() >= 3 && AppliedCount() == Count() && IsMarker(At(Count() - 1), umGroupBegin) &&
        At(Count() - 1).data == kind) {
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
        while (n < Count() && At(n).type != utMarker)
            ++n;
        DropBottom(std::min(n + 1, Count()));
    }
}

// ---- TUndoStack: undo and redo ------------------------------------------------------

const TUndoEntry& TUndoStack::Expect(const TUndoEntry& e, int32_t type) const {
    if (e.type != type) BadState();
    return e;
}

void TUndoStack::UndoStep(bool& inGroup) {
    const TUndoEntry marker = Expect(TakeDown(), utMarker);
    const int32_t kind = marker.data;
    if (kind >= kFirstGroupKind) {
        const TUndoEntry position = Expect(TakeDown(), utPosition);
        const TUndoEntry closing = Expect(TakeDown(), utMarker);
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
    const TUndoEntry after = Expect(TakeDown(), utPosition);
    Expect(TakeDown(), kind == utText ? utText : utStream);
    const TUndoEntry old = Expect(TakeDown(), utText);
    const TUndoEntry before = Expect(TakeDown(), utPosition);
    const TUndoEntry closing = Expect(TakeDown(), utMarker);
    if (closing.data != kind || closing.value != umTransaction) BadState();
    target_->SetSelection(std::min(before.data, before.extra), std::max(after.data, after.extra));
    target_->ReplaceSelection(old.text.value_or(std::string()));
    target_->SetSelection(before.data, before.extra);
}

void TUndoStack::RedoStep(bool& inGroup) {
    const TUndoEntry marker = Expect(TakeUp(), utMarker);
    const int32_t kind = marker.data;
    if (kind >= kFirstGroupKind) {
        const TUndoEntry position = Expect(TakeUp(), utPosition);
        const TUndoEntry closing = Expect(TakeUp(), utMarker);
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
    const TUndoEntry before = Expect(TakeUp(), utPosition);
    Expect(TakeUp(), utText);
    const TUndoEntry inserted = Expect(TakeUp(), kind == utText ? utText : utStream);
    const TUndoEntry after = Expect(TakeUp(), utPosition);
    const TUndoEntry closing = Expect(TakeUp(), utMarker);
    if (closing.data != kind || closing.value != umTransaction) BadState();
    target_->SetSelection(before.data, before.extra);
    if (kind == utText) {
        target_->ReplaceSelection(inserted.text.value_or(std::string()));
    } else if (inserted.stream) {
        const auto& bytes = inserted.stream->Bytes();
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
            if (IsMarker(At(i), umGroupEnd)) {
                *kind = At(i).data;
                return 1;
            }
        return 0;
    case 8:
        for (int32_t i = inspect_; i < Count(); ++i)
            if (IsMarker(At(i), umGroupBegin)) {
                *kind = At(i).data;
                return 1;
            }
        return 0;
    case 16: {
        int32_t i = inspect_ - 1;
        while (i >= 0 && !IsMarker(At(i), umGroupEnd))
            --i;
        if (i < 0) return kInspectNoGroup;
        const int32_t k = At(i).data;
        for (;;) {
            // Down to the lowest entry of this group's begin triple.
            while (i >= 0 && !(IsMarker(At(i), umGroupBegin) && At(i).data == k))
                --i;
            if (i < 2) break;
            i -= 2;
            // A run of the same kind continues when the group below ends
            // where this one began.
            if (!merge || i < 3 || !IsMarker(At(i - 1), umGroupEnd) || At(i - 1).data != k ||
                !SamePosition(At(i - 2), At(i + 1)))
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
        while (i < Count() && !IsMarker(At(i), umGroupBegin))
            ++i;
        if (i >= Count()) return kInspectNoGroup;
        const int32_t k = At(i).data;
        for (;;) {
            // Up to the highest entry of this group's end triple.
            while (i < Count() && !(IsMarker(At(i), umGroupEnd) && At(i).data == k))
                ++i;
            if (i + 2 >= Count()) {
                i = Count() - 1;
                break;
            }
            i += 2;
            if (!merge || i + 3 >= Count() || !IsMarker(At(i + 1), umGroupBegin) || At(i + 1).data != k ||
                !SamePosition(At(i - 1), At(i + 2)))
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
