#include "editor/Rehighlight.h"

#include <algorithm>

namespace torvane::editor {
namespace {

// The new token bytes of the lines not finished yet: byte i stands for
// offset start + i. Tokens are written one after another and lines are
// taken from the front, so the bytes live in one array with a read head;
// the array is emptied whenever the head catches up, and only grows (zero
// filled) when a write reaches past its end.
class TTokenBuffer {
public:
    size_t Size() const noexcept { return used_ - head_; }
    // Sets bytes [from, to) to id; bytes between the end and from become 0.
    void Fill(size_t from, size_t to, uint8_t id) {
        const size_t start = head_ + from, end = head_ + to;
        Grow(end);
        if (start > used_) std::fill(At(used_), At(start), 0);
        std::fill(At(start), At(end), id);
        used_ = std::max(used_, end);
    }
    // Extends the buffer with zero bytes up to size.
    void Reach(size_t size) {
        const size_t end = head_ + size;
        if (end <= used_) return;
        Grow(end);
        std::fill(At(used_), At(end), 0);
        used_ = end;
    }
    std::span<const uint8_t> Front(size_t length) const noexcept { return {bytes_.data() + head_, length}; }
    uint8_t* Data() noexcept { return bytes_.data() + head_; }
    void DropFront(size_t length) noexcept {
        head_ += length;
        if (head_ == used_) {
            head_ = used_ = 0;
        } else if (head_ > kCompactAt && head_ > used_ / 2) {
            // A token running over many lines keeps the buffer from
            // emptying; the finished part is let go of now and then.
            bytes_.erase(bytes_.begin(), At(head_));
            used_ -= head_;
            head_ = 0;
        }
    }

private:
    static constexpr size_t kCompactAt = 1 << 16;
    std::vector<uint8_t>::iterator At(size_t index) noexcept {
        return bytes_.begin() + static_cast<ptrdiff_t>(index);
    }
    void Grow(size_t size) {
        if (size > bytes_.size()) bytes_.resize(std::max(size, bytes_.size() * 2));
    }

    std::vector<uint8_t> bytes_;
    size_t head_ = 0, used_ = 0;
};

} // namespace

TRehighlighter::TRehighlighter(TTextStore& store) : store_(store) {
    store_.AddObserver(this);
}

TRehighlighter::~TRehighlighter() {
    store_.RemoveObserver(this);
}

void TRehighlighter::MarkChanged(TLineIndex line) noexcept {
    line = std::max<TLineIndex>(line, 0);
    if (pending_ < 0 || line < pending_) pending_ = line;
}

void TRehighlighter::MarkAll() noexcept {
    pending_ = 0;
    full_ = true;
}

void TRehighlighter::TextChanged(const TTextChange& change) {
    if (change.kind == TTextChange::Kind::Reloaded)
        MarkAll();
    else
        MarkChanged(change.firstLine);
}

TRehighlighter::Restart TRehighlighter::FindRestart(TLineIndex line) const {
    const TOffset start = store_.LineStart(line);
    std::span<const uint8_t> styles = store_.NodeStyles(line);
    if (styles.empty()) return {start, 0};
    const TStateSet& anchor = parser_->Anchor();
    if (anchor.Contains(0) && styles[0] == 0) return {start, 0};

    // Back from the line's last character to the nearest anchor token; lines
    // without token bytes read as plain text.
    TLineIndex at = line;
    TOffset atStart = start;
    int32_t index = static_cast<int32_t>(styles.size()) - 1;
    auto tokenAt = [&]() -> uint8_t { return styles.empty() ? 0 : styles[static_cast<size_t>(index)]; };
    auto stepBack = [&]() -> bool {
        while (index == 0 || store_.Node(at).length == 0) {
            if (at == 0) return false;
            --at;
            styles = store_.NodeStyles(at);
            atStart = store_.LineStart(at);
            index = store_.Node(at).length;
            if (index > 0) break;
        }
        --index;
        return true;
    };
    while (!anchor.Contains(tokenAt()))
        if (!stepBack()) return {0, 0};
    const uint8_t id = tokenAt();
    // On back to the first character of that token's run.
    for (;;) {
        const TLineIndex keepLine = at;
        const TOffset keepStart = atStart;
        const int32_t keepIndex = index;
        const std::span<const uint8_t> keepStyles = styles;
        if (!stepBack() || tokenAt() != id) {
            at = keepLine;
            atStart = keepStart;
            index = keepIndex;
            styles = keepStyles;
            break;
        }
    }
    return {atStart + index, id};
}

TRehighlightResult TRehighlighter::Run(int32_t maxLines) {
    TRehighlightResult result;
    if (!enabled_ || !parser_ || pending_ < 0) return result;
    const TLineIndex lineCount = store_.LineCount();
    const TOffset textLength = store_.TextLength();
    const TLineIndex firstChanged = std::min(pending_, lineCount - 1);
    if (ProcessMessages)
        while (parser_->Busy())
            ProcessMessages();

    result.ran = true;
    if (OnTokenSeen) OnTokenSeen(-1, -1, -1);
    const Restart restart = firstChanged == 0 ? Restart{0, 0} : FindRestart(firstChanged - 1);
    parser_->ResetState(restart.context);

    TEdStreamCursor cursor(store_);
    cursor.SetPosition(restart.offset);

    // The new token bytes of the lines not finished yet, from bufferStart on.
    // Nodes keep their place during the run (only their bytes and states
    // change), so the node of the line being finished is held by pointer.
    TLineIndex line = store_.LineOfOffset(restart.offset);
    const TLineNode* node = &store_.Node(line);
    TOffset lineStart = store_.LineStart(line);
    TOffset lineEnd = lineStart + node->length;
    TOffset bufferStart = lineStart;
    TTokenBuffer ids;
    {
        const std::span<const uint8_t> old = store_.NodeStyles(line);
        const size_t keep = static_cast<size_t>(restart.offset - lineStart);
        ids.Reach(keep);
        if (old.size() >= keep) std::copy_n(old.begin(), keep, ids.Data());
    }
    auto write = [&](TOffset from, TOffset to, uint8_t id, bool keepUnderZero) {
        to = std::min(to, textLength);
        from = std::max(from, bufferStart);
        if (to <= from) return;
        if (keepUnderZero && id == 0)
            ids.Reach(static_cast<size_t>(to - bufferStart));
        else
            ids.Fill(static_cast<size_t>(from - bufferStart), static_cast<size_t>(to - bufferStart), id);
    };
    auto report = [&](uint8_t id, TOffset from, TOffset to) {
        if (OnTokenSeen && reportTokens) OnTokenSeen(id, from, to);
    };

    bool stop = false;
    int32_t slice = 0; // lines finished from the first changed one on
    // Finishes every line that the scan has passed; sets stop when the scan
    // may end.
    auto finishLines = [&](TOffset position) {
        while (
            !stop && line < lineCount &&
            (lineEnd < position || (lineEnd == position && lineEnd > lineStart) || position >= textLength)) {
            const size_t length = static_cast<size_t>(lineEnd - lineStart);
            ids.Reach(length);
            const std::span<const uint8_t> fresh = ids.Front(length);
            const uint16_t oldState = node->state;
            bool same = false;
            if (!full_) {
                const std::span<const uint8_t> old = store_.NodeStyles(line);
                same = old.size() == length && std::equal(old.begin(), old.end(), fresh.begin());
            }
            uint32_t state = oldState & ~uint32_t{kStateRehighlight};
            if (!same && length > 0) {
                store_.SetNodeStyles(line, fresh);
                state |= kStateRepaint;
                if (result.firstLine < 0) result.firstLine = line;
                result.lastLine = line;
            }
            if (state != oldState) store_.SetNodeState(*node, state);
            ++result.linesScanned;

            const TLineNode* next = line + 1 < lineCount ? &store_.Node(line + 1) : nullptr;
            const bool nextMarked = next && (next->state & kStateRehighlight) != 0;
            if (same && !parser_->InContainer() && !parser_->InBoundState() && line >= firstChanged &&
                (oldState & kStateRehighlight) == 0 && !nextMarked) {
                stop = true;
            } else if (maxLines > 0 && line >= firstChanged && ++slice >= maxLines && line + 1 < lineCount) {
                stop = true;
                result.pending = true;
            }
            ids.DropFront(length);
            bufferStart = lineEnd;
            ++line;
            lineStart = lineEnd;
            if (next) {
                node = next;
                lineEnd = lineStart + node->length;
            }
        }
    };
    // Scans one token from the cursor; an empty token still consumes one
    // character so that the scan always moves on.
    auto scanToken = [&](TOffset& from, TOffset& to) -> uint8_t {
        from = static_cast<TOffset>(cursor.GetPosition());
        int32_t length = 0;
        const uint8_t id = parser_->NextToken(cursor, length);
        to = static_cast<TOffset>(cursor.GetPosition());
        if (to <= from) {
            to = from + 1;
            cursor.SetPosition(to);
        }
        return id;
    };

    while (!stop) {
        if (cursor.AtEnd()) {
            finishLines(textLength);
            break;
        }
        TOffset from = 0, to = 0;
        const uint8_t id = scanToken(from, to);
        write(from, to, id, false);
        report(id, from, to);
        if (parser_->InContainer()) {
            // Scan the container's text again: what is found inside shows
            // with its own id, the rest keeps the container's.
            const TOffset containerEnd = to;
            cursor.SetPosition(from);
            while (parser_->InContainer() && !cursor.AtEnd()) {
                TOffset innerFrom = 0, innerTo = 0;
                const uint8_t inner = scanToken(innerFrom, innerTo);
                write(innerFrom, std::min(innerTo, containerEnd), inner, true);
                if (inner != 0) report(inner, innerFrom, innerTo);
            }
        }
        finishLines(static_cast<TOffset>(cursor.GetPosition()));
    }

    parser_->ResetState(restart.context);
    if (result.pending) {
        pending_ = line;
    } else {
        pending_ = -1;
        full_ = false;
    }
    if (OnTokenSeen) OnTokenSeen(-2, -2, -2);
    return result;
}

} // namespace torvane::editor
