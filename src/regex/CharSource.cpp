#include "regex/CharSource.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace torvane {

TStringCharSource::TStringCharSource(std::string_view text, TREPos position) : fText(text) {
    if (text.size() > static_cast<size_t>(std::numeric_limits<TREPos>::max()))
        throw std::length_error("text too long for a character source");
    fLength = static_cast<TREPos>(text.size());
    SetPosition(position);
}

bool TRECharSource::SkipToAnyOf(const std::array<bool, 256>& set, bool forward) {
    if (forward) {
        while (!AtEnd()) {
            if (set[static_cast<size_t>(Peek())]) return true;
            Next();
        }
        return false;
    }
    for (;;) {
        if (!AtEnd() && set[static_cast<size_t>(Peek())]) return true;
        if (Position() == 0) return false;
        Back();
    }
}

void TStringCharSource::SetPosition(TREPos position) {
    fPos = std::clamp<TREPos>(position, 0, fLength);
}

std::string ToStoredLineBreaks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            // A CR LF or LF CR pair is one line break.
            char other = c == '\r' ? '\n' : '\r';
            if (i + 1 < text.size() && text[i + 1] == other) ++i;
            out.push_back('\r');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace torvane
