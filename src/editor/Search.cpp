#include "editor/Search.h"

#include "common/Messages.h"
#include "editor/EdStream.h"
#include "regex/REParser.h"

#include <algorithm>

namespace torvane::editor {

// The regular-expression engine's view of a TEdStream.
class TEdStreamSource final : public TRECharSource {
public:
    explicit TEdStreamSource(TEdStream& stream) : fStream(stream) {}
    int Peek() const override { return static_cast<unsigned char>(fStream.Peek()); }
    void Next() override { fStream.Next(); }
    void Back() override { fStream.Back(); }
    TREPos Position() const override { return fStream.GetPosition(); }
    void SetPosition(TREPos position) override { fStream.SetPosition(position); }
    bool AtEnd() const override { return fStream.AtEnd(); }

    // Forwards, scans blocks of characters read at once instead of stepping
    // through the cursor one character at a time.
    bool SkipToAnyOf(const std::array<bool, 256>& set, bool forward) override {
        if (!forward) return TRECharSource::SkipToAnyOf(set, forward);
        char buffer[4096];
        for (;;) {
            const TOffset start = fStream.GetPosition();
            const size_t n = fStream.Read(buffer, sizeof buffer);
            for (size_t i = 0; i < n; ++i) {
                if (set[static_cast<unsigned char>(buffer[i])]) {
                    fStream.SetPosition(start + static_cast<TOffset>(i));
                    return true;
                }
            }
            if (n == 0) return false;
        }
    }

private:
    TEdStream& fStream;
};

namespace {

// Characters read at a time by the plain search; windows overlap by the
// length of the search text plus one character on each side, for the
// whole-word test. The first window of a search is small and each next one
// twice as large, so that a find-next whose match lies close by does not
// read a whole large window.
constexpr TOffset kFirstWindow = 1 << 10;
constexpr TOffset kWindow = 1 << 16;

} // namespace

TSearchEngine::TSearchEngine(const TTextStore& store)
    : fStore(store), fStream(std::make_unique<TEdStream>(store)),
      fSource(std::make_unique<TEdStreamSource>(*fStream)), fRegex(std::make_unique<TREParser>()) {
    SetWordTests(DefaultStartsWord, DefaultInWord);
}

TSearchEngine::~TSearchEngine() = default;

bool TSearchEngine::DefaultStartsWord(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool TSearchEngine::DefaultInWord(unsigned char c) noexcept {
    return c == '\'' || c == '-' || (c >= '0' && c <= '9') || DefaultStartsWord(c);
}

void TSearchEngine::SetWordTests(const TCharTest& startsWord, const TCharTest& inWord) {
    for (int c = 0; c < 256; ++c) {
        auto ch = static_cast<unsigned char>(c);
        fWordChar[ch] = (startsWord && startsWord(ch)) || (inWord && inWord(ch));
    }
}

std::string TSearchEngine::NotFoundMessage(std::string_view text) {
    return FormatStr<msg::SSearchNotFound>(std::string(text).c_str());
}

TSearchResult TSearchEngine::Find(std::string_view text, uint32_t flags, TOffset from) {
    from = std::clamp<TOffset>(from, 0, fStore.TextLength());
    return (flags & kSearchRegExp) ? FindPattern(text, flags, from) : FindPlain(text, flags, from);
}

void TSearchEngine::ReadWindow(TOffset start, TOffset end) {
    fWindow.resize(static_cast<size_t>(end - start));
    fStream->SetPosition(start);
    fWindow.resize(fStream->Read(fWindow.data(), fWindow.size()));
}

// The match at fWindow[index] (the window starting at text offset
// windowStart) stands alone: the characters around it are no word characters.
bool TSearchEngine::WholeWordAt(size_t index, size_t length, TOffset windowStart) const noexcept {
    if (windowStart + static_cast<TOffset>(index) > 0 &&
        fWordChar[static_cast<unsigned char>(fWindow[index - 1])])
        return false;
    size_t after = index + length;
    return after >= fWindow.size() || !fWordChar[static_cast<unsigned char>(fWindow[after])];
}

TSearchResult TSearchEngine::FindPlain(std::string_view text, uint32_t flags, TOffset from) {
    fSkip.Prepare(text, (flags & kSearchMatchCase) != 0);
    const auto m = static_cast<TOffset>(fSkip.Length());
    const TOffset length = fStore.TextLength();
    const bool wholeWord = (flags & kSearchWholeWord) != 0;
    if (m == 0 || m > length) return {};

    // Finds the first (or, backwards, the last) acceptable match starting in
    // [lo, hi]; the window holds one character more on each side.
    auto searchStarts = [&](TOffset lo, TOffset hi, bool last) -> TOffset {
        const TOffset windowStart = std::max<TOffset>(lo - 1, 0);
        ReadWindow(windowStart, std::min<TOffset>(length, hi + m + 1));
        TOffset found = -1;
        size_t i = static_cast<size_t>(lo - windowStart);
        for (;;) {
            size_t k = fSkip.FindIn(fWindow.data(), fWindow.size(), i);
            if (k == TSkipTable::npos || windowStart + static_cast<TOffset>(k) > hi) break;
            if (!wholeWord || WholeWordAt(k, static_cast<size_t>(m), windowStart)) {
                found = windowStart + static_cast<TOffset>(k);
                if (!last) break;
            }
            i = k + 1;
        }
        return found;
    };

    if (!(flags & kSearchBackwards)) {
        for (TOffset lo = from, size = kFirstWindow; lo + m <= length;
             lo += size, size = std::min(size * 2, kWindow)) {
            TOffset found = searchStarts(lo, std::min<TOffset>(lo + size - 1, length - m), false);
            if (found >= 0) return {TSearchStatus::Found, found, m};
        }
    } else {
        for (TOffset hi = std::min<TOffset>(from, length - m), size = kFirstWindow; hi >= 0;
             hi -= size, size = std::min(size * 2, kWindow)) {
            TOffset found = searchStarts(std::max<TOffset>(hi - size + 1, 0), hi, true);
            if (found >= 0) return {TSearchStatus::Found, found, m};
        }
    }
    return {};
}

TSearchResult TSearchEngine::FindPattern(std::string_view text, uint32_t flags, TOffset from) {
    fPatternError.clear();
    if (!fRegex->Compile(text)) {
        fPatternError = PatternErrorMessage(*fRegex);
        return {TSearchStatus::PatternError, -1, 0};
    }
    const bool forward = !(flags & kSearchBackwards);
    fSource->SetPosition(from);
    try {
        while (fRegex->Execute(fSource.get(), forward)) {
            const TOffset start = fRegex->Position(0);
            const TOffset end = fRegex->Position(fRegex->SlotCount());
            // An empty match does not count, nor, backwards, a match whose
            // text starts after `from` (^ consumed the line break at it):
            // look on from the next start position.
            if (end > start && (forward || start <= from)) return {TSearchStatus::Found, start, end - start};
            const TOffset attempt = fRegex->AttemptPosition();
            if (forward ? attempt >= fStore.TextLength() : attempt <= 0) break;
            fSource->SetPosition(forward ? attempt + 1 : attempt - 1);
        }
    } catch (const ERegExpError&) {
        fPatternError = PatternErrorMessage(*fRegex);
        return {TSearchStatus::PatternError, -1, 0};
    }
    return {};
}

TSearchResult TSearchEngine::FindNext(std::string_view text, uint32_t flags, TOffset anchor, TOffset caret) {
    const TOffset selStart = std::min(anchor, caret), selEnd = std::max(anchor, caret);
    const bool backwards = (flags & kSearchBackwards) != 0;
    if (backwards ? selStart <= 0 : selEnd >= fStore.TextLength()) return {};
    TOffset from;
    if (selStart == fLastFound)
        from = backwards ? selStart - 1 : selStart + 1;
    else
        from = backwards ? selStart : selEnd;
    TSearchResult result = Find(text, flags, from);
    if (result.Found()) fLastFound = result.start;
    return result;
}

std::string TSearchEngine::ElementText(int n) const {
    if (n < 1 || n >= TREParser::kSlotCount) return {};
    TOffset from = fRegex->Position(n - 1), to = fRegex->Position(n);
    if (from < 0 || to <= from) return {};
    return fStore.GetRange(from, to);
}

std::string TSearchEngine::ReplacementFor(std::string_view replacement, uint32_t flags) const {
    if (!(flags & kSearchRegExp)) return std::string(replacement);
    return ExpandReplacement(replacement, [this](int n) { return ElementText(n); });
}

TSearchStatus TSearchEngine::CollectReplacements(std::string_view text, std::string_view replacement,
                                                 uint32_t flags, TOffset from,
                                                 std::vector<TReplacement>& out) {
    flags &= ~static_cast<uint32_t>(kSearchBackwards);
    TSearchStatus status = TSearchStatus::NotFound;
    for (TOffset at = from; at <= fStore.TextLength();) {
        TSearchResult r = Find(text, flags, at);
        if (r.status == TSearchStatus::PatternError) return r.status;
        if (!r.Found()) break;
        status = TSearchStatus::Found;
        out.push_back({r.start, r.length, ReplacementFor(replacement, flags)});
        at = r.start + r.length;
    }
    return status;
}

TReplaceAllResult TSearchEngine::ReplaceAll(std::string_view text, std::string_view replacement,
                                            uint32_t flags, TOffset from, const TReplaceFn& replace) {
    std::vector<TReplacement> matches;
    TReplaceAllResult result;
    result.status = CollectReplacements(text, replacement, flags, from, matches);
    if (result.status != TSearchStatus::Found) return result;
    TOffset shift = 0;
    for (const TReplacement& m : matches) {
        const TOffset start = m.start + shift;
        const TOffset inserted = replace(start, m.length, m.text);
        shift += inserted - m.length;
        result.lastStart = start;
        ++result.count;
    }
    return result;
}

TSearchEngine::TReplaceFn TSearchEngine::StoreReplacer(TTextStore& store) {
    return [&store](TOffset start, TOffset length, const std::string& text) {
        return store.Replace(start, start + length, text) - start;
    };
}

TTokenText TSearchEngine::GetTokenAt(TOffset offset) const {
    offset = std::clamp<TOffset>(offset, 0, fStore.TextLength());
    const TLineIndex line = fStore.LineOfOffset(offset);
    const auto styles = fStore.NodeStyles(line);
    const std::string_view text = fStore.NodeText(line);
    if (styles.empty() || text.empty()) return {offset, {}};
    const TOffset nodeStart = fStore.LineStart(line);
    size_t at = std::min(static_cast<size_t>(offset - nodeStart), text.size() - 1);
    const uint8_t token = styles[at];
    size_t lo = at, hi = at + 1;
    while (lo > 0 && styles[lo - 1] == token && hi - lo < kMaxTokenLength)
        --lo;
    while (hi < text.size() && styles[hi] == token && hi - lo < kMaxTokenLength)
        ++hi;
    if (text[hi - 1] == '\r') --hi;
    return {nodeStart + static_cast<TOffset>(lo), std::string(text.substr(lo, hi - lo))};
}

} // namespace torvane::editor
