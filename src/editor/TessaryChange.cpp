// The change report of TCustomTessary: batches and OnChange. The rules are
// told at the head of Tessary.h.

#include "editor/Tessary.h"

namespace torvane::editor {

TCustomTessary::ChangeState TCustomTessary::CurrentChangeState() const noexcept {
    ChangeState s;
    s.anchor = anchor_;
    s.caret = caret_;
    s.beyond = CaretBeyondEnd();
    s.virtualColumn = s.beyond ? virtualColumn_ : 0;
    s.insertMode = insertMode_;
    s.options = options_;
    return s;
}

void TCustomTessary::NotifyChange() {
    // Locked painting holds the report back; the unlock's batch gives it.
    if (paintLock_) return;
    const ChangeState now = CurrentChangeState();
    uint32_t flags = pendingFlags_;
    if (now.caret != notified_.caret || now.beyond != notified_.beyond ||
        now.virtualColumn != notified_.virtualColumn)
        flags |= cfCaret;
    if (std::min(now.anchor, now.caret) != std::min(notified_.anchor, notified_.caret) ||
        std::max(now.anchor, now.caret) != std::max(notified_.anchor, notified_.caret))
        flags |= cfSelection;
    if (now.insertMode != notified_.insertMode) flags |= cfInsertMode;
    if (now.options != notified_.options) flags |= cfOptions;
    // Taken before anyone hears of it: a handler that changes the control
    // again is reported by its own batch, with only what it changed.
    notified_ = now;
    pendingFlags_ = 0;
    if (!flags) return;
    if (host_) host_->Changed(flags);
    if (OnChange) OnChange(flags);
}

} // namespace torvane::editor
