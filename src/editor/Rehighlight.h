#pragma once
// Re-highlighting: keeping the token bytes of the text store up to date
// after edits by running the highlighting parser over the changed lines.
//
// The editor stores no scanner state per line. After an edit it backs up to
// an "anchor" token before the change, restarts the parser there with the
// state that the scheme gives that token, and scans forward line by line
// until a finished line comes out exactly as it was before:
//
//   restart   from the line before the first changed one (or that line when
//             it is the first): a line without token bytes, or one whose
//             first byte is plain text (0) while 0 is an anchor, restarts at
//             its first character with context 0; otherwise walk back from
//             its last character to the nearest character whose token is in
//             the Anchor set (or the start of the text), then on back to the
//             first character of that token's run; the context is that token
//   scan      ResetState(context); NextToken over a cursor, each token's id
//             written over its characters (a token may cross line breaks);
//             a token that opens a container is scanned again from its start
//             and every non-zero id found inside it replaces the container's
//   finish    a line is finished when the scan has passed its last
//             character. New bytes that differ replace the old ones and the
//             line is marked for repaint. The scan stops after a line that
//             came out as before, unless the parser is inside a container or a
//             bound state, the line (or the next one) is still marked for
//             re-highlighting, or the first changed line is not passed yet
//   end       ResetState(context) again
//
// A run can be limited to a number of lines: it then stops early and leaves
// the rest pending, so a huge text can be highlighted in slices while the
// user works.

#include "common/StateSet.h"
#include "editor/EdStream.h"
#include "editor/TextStore.h"
#include "highlight/CharCursor.h"

#include <functional>
#include <vector>

namespace torvane::editor {

// The editor control's view of a highlighting parser. The scheme's parser
// (src/highlight) is bound to it through an adapter.
class TCustomTessaryParser {
public:
    virtual ~TCustomTessaryParser() = default;
    // Scans one token from the cursor, which stands on its first character
    // and length 0; leaves the cursor after the token with length set to the
    // characters consumed. Returns the token id (0 = plain text).
    virtual uint8_t NextToken(TCharCursor& cursor, int32_t& length) = 0;
    // Prepares a scan that starts at a token with id context.
    virtual void ResetState(uint8_t context) = 0;
    // Set while the parser is inside a container for some editor.
    virtual bool Busy() const = 0;
    virtual bool InContainer() const = 0;
    // Token ids at which a re-scan may start.
    virtual const TStateSet& Anchor() const = 0;
    // True when one of the current states is a bound state (a state in which
    // an unchanged line does not prove that the following lines are).
    virtual bool InBoundState() const = 0;
};

// TEdStream seen as the parser's character cursor: the cursor's window is
// the text of one block of the store, so the scanner reads characters
// straight from the store and asks the stream only when it crosses into
// another block or jumps out of the block. The window points into the
// store's text: the store's nodes must not change while the cursor is in
// use (they do not during a re-highlighting run, which only writes token
// bytes).
class TEdStreamCursor final : public TCharCursor {
public:
    explicit TEdStreamCursor(const TTextStore& store) : stream_(store) { Show(); }

private:
    void Show() noexcept {
        const TEdStream::Span span = stream_.CurrentSpan();
        SetSpan(span.begin, span.end, span.at, span.start);
    }
    void Seek(int64_t position) override {
        stream_.SetPosition(static_cast<TOffset>(position));
        Show();
    }
    // The stream still stands in the window's block, so putting it on the
    // window's last character is a subtraction, and its Next finds the next
    // block that has characters.
    void NextSpan() override {
        stream_.SetPosition(static_cast<TOffset>(GetPosition() - 1));
        stream_.Next();
        Show();
    }
    void PreviousSpan() override {
        const int64_t position = GetPosition();
        if (position == 0) return;
        stream_.SetPosition(static_cast<TOffset>(position));
        stream_.Back();
        Show();
    }

    TEdStream stream_;
};

struct TRehighlightResult {
    bool ran = false;          // a run took place
    int32_t linesScanned = 0;  // lines finished by the run
    TLineIndex firstLine = -1; // first and last line whose bytes changed
    TLineIndex lastLine = -1;
    bool pending = false; // stopped by the line limit; more to do
};

class TRehighlighter final : public TTextStoreObserver {
public:
    explicit TRehighlighter(TTextStore& store);
    ~TRehighlighter() override;
    TRehighlighter(const TRehighlighter&) = delete;
    TRehighlighter& operator=(const TRehighlighter&) = delete;

    // The active parser (nullptr: no highlighting).
    void SetParser(TCustomTessaryParser* parser) noexcept { parser_ = parser; }
    TCustomTessaryParser* Parser() const noexcept { return parser_; }
    void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }

    // Notes that a line changed; the next run starts from the earliest one.
    void MarkChanged(TLineIndex line) noexcept;
    // Re-highlights everything from the first line, ignoring the old bytes
    // (after a load, or when the scheme or its styles changed).
    void MarkAll() noexcept;
    TLineIndex PendingLine() const noexcept { return pending_; }

    // Runs when a change is pending. With maxLines > 0 the run stops after
    // that many lines from the first changed one and leaves the rest pending.
    TRehighlightResult Run(int32_t maxLines = 0);

    // Called with (-1, -1, -1) before a run, (id, start, end) for each token
    // when token reporting is on, and (-2, -2, -2) after the run.
    std::function<void(int token, TOffset start, TOffset end)> OnTokenSeen;
    bool reportTokens = false;
    // Lets the user interface work while another editor's scan keeps a
    // shared parser busy; without it a busy parser is not waited for.
    std::function<void()> ProcessMessages;

    // TTextStoreObserver: every edit marks its first line.
    void TextChanged(const TTextChange& change) override;

private:
    struct Restart {
        TOffset offset;
        uint8_t context;
    };
    Restart FindRestart(TLineIndex line) const;

    TTextStore& store_;
    TCustomTessaryParser* parser_ = nullptr;
    bool enabled_ = true;
    TLineIndex pending_ = -1;
    bool full_ = false; // ignore old bytes until the end of the text
};

} // namespace torvane::editor
