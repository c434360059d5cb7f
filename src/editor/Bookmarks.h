#pragma once
// Bookmarks of a text store: ten numbered ones and any number of named ones.
// The store owns them (TTextStore::Bookmarks()), so controls sharing a store
// share its bookmarks; a change of a gutter image reaches every control that
// shows the store as the store's MarksChanged notification.
//
// Numbered bookmark n (0..9) is bit n of the marks word of the node that
// carries it, so the painter shows it as gutter image n; a line carries at
// most one, always on its first node when the line is wrapped or split.
// Beside the bit, each bookmark remembers the 1-based character column at
// which it was set and the span of its line as offsets. The span is what
// lets a bookmark follow its text through edits: the store hands a cut
// node's marks to the first of the nodes that replace it, which after an
// insertion at a line start is the inserted text, not the old line. After
// every change the bookmarks are moved with their text and the marks
// rewritten:
//
//   insertion at p          a line starting at or after p moves down with
//                           its text
//   deletion of [p, q)      a line lying wholly inside it is gone and so is
//                           its bookmark; a line whose start was deleted
//                           joins the line before it and takes its bookmark
//                           along, unless that line has one of its own
//   reload                  all bookmarks are dropped
//
// Named bookmarks (TCustomBookmarks) mark a character offset; they are kept
// in ascending offset order. An insertion at p moves every bookmark at p or
// later; a deletion of [p, p + n) removes those inside it (raising
// OnCustomBookmarkFree) and moves those after it back.

#include "editor/TextStore.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torvane::editor {

class TCustomBookmarks {
public:
    struct Entry {
        std::string name;
        TOffset offset;
    };

    // Adds a bookmark, or moves the one of that name.
    void Add(const std::string& name, TOffset offset);
    std::optional<TOffset> Find(const std::string& name) const;
    // Removes one bookmark; returns whether it existed (raises the free event).
    bool Remove(const std::string& name);
    // Removes all, raising the free event for each.
    void Clear();
    const std::vector<Entry>& Entries() const noexcept { return entries_; }

    void Inserted(TOffset at, TOffset count);
    void Deleted(TOffset at, TOffset count);

    std::function<void(const std::string& bmName)> OnCustomBookmarkFree;

private:
    std::vector<Entry> entries_; // ascending offsets; equal offsets in order of adding
};

class TBookmarks final : public TTextStoreObserver {
public:
    static constexpr int kCount = 10;

    explicit TBookmarks(TTextStore& store);
    ~TBookmarks() override;
    TBookmarks(const TBookmarks&) = delete;
    TBookmarks& operator=(const TBookmarks&) = delete;

    // Toggles bookmark n on the line of caret (commands 20..29). n above 9
    // raises ETessary "Bookmark index range error".
    void SetBookmark(int n, TOffset caret);
    // Where GotoBookmark puts the caret and the top line, or nothing when
    // bookmark n is not set (commands 30..39); n above 9 raises as above.
    struct GotoTarget {
        TOffset caret;
        TLineIndex topLine;
    };
    std::optional<GotoTarget> GotoBookmark(int n, int visibleLines) const;

    // The line carrying bookmark n, or -1.
    TLineIndex LineOf(int n) const;
    // The 1-based column stored for n, 0 when not set.
    uint16_t Column(int n) const;
    void ClearAll();

    TCustomBookmarks& Named() noexcept { return named_; }
    const TCustomBookmarks& Named() const noexcept { return named_; }

    std::function<void(int index)> OnBookmarkSet;

    void TextChanged(const TTextChange& change) override;

private:
    struct Numbered {
        bool set = false;
        uint16_t column = 0; // 1-based
        TOffset lineStart = 0;
        TOffset lineEnd = 0; // after the line's break, or the text end
    };
    static void CheckIndex(int n);
    // The first node of the line that holds offset.
    TLineIndex FirstSegment(TLineIndex line) const;
    // Offsets of the whole line (all its nodes) starting at first.
    TOffset LineEndFrom(TLineIndex first) const;
    // Writes the bookmark bits of the given nodes and of every set bookmark's
    // line from the tracked spans.
    // joined[n]: bookmark n's line lost its start and joined the line before.
    void Apply(TLineIndex touched, const std::array<bool, kCount>& joined);
    void SetBits(TLineIndex line, uint16_t bits);

    TTextStore& store_;
    std::array<Numbered, kCount> numbered_{};
    TCustomBookmarks named_;
};

} // namespace torvane::editor
