#include "editor/LineNode.h"

namespace torvane::editor {

size_t TTextNormalizer::Run(const char* in, size_t count, char* out) noexcept {
    size_t n = 0;
    unsigned char pending = pendingBreak_;
    for (size_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        if (c >= 32 || c == '\t') {
            out[n++] = static_cast<char>(c);
            pending = 0;
        } else if (c == '\r' || c == '\n') {
            // The second byte of a CR LF or LF CR pair belongs to the break
            // already written.
            if (pending != 0 && pending != c) {
                pending = 0;
                continue;
            }
            out[n++] = kLineBreak;
            pending = c;
        } else {
            out[n++] = '.';
            pending = 0;
        }
    }
    pendingBreak_ = pending;
    return n;
}

} // namespace torvane::editor
