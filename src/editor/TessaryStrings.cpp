#include "editor/TessaryStrings.h"

#include <cstring>

namespace torvane::editor {
namespace {
constexpr size_t kLineBuffer = 4096;
}

int32_t TTessaryStrings::Count() const {
    const auto n = static_cast<int32_t>(Send(EM_GETLINECOUNT));
    return n == 1 && Send(WM_GETTEXTLENGTH) == 0 ? 0 : n;
}

std::string TTessaryStrings::Get(int32_t index) const {
    std::string buffer(kLineBuffer, '\0');
    const uint16_t size = kLineBuffer;
    std::memcpy(buffer.data(), &size, sizeof size);
    const intptr_t n =
        Send(EM_GETLINE, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(buffer.data()));
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

void TTessaryStrings::ReplaceRange(TOffset start, TOffset end, const std::string& text) {
    Send(EM_SETSEL, static_cast<uintptr_t>(start), end);
    Send(EM_REPLACESEL, 0, reinterpret_cast<intptr_t>(text.c_str()));
}

void TTessaryStrings::Put(int32_t index, std::string_view text) {
    const auto start = static_cast<TOffset>(Send(EM_LINEINDEX, static_cast<uintptr_t>(index)));
    if (start < 0) return;
    const auto length = static_cast<TOffset>(Send(EM_LINELENGTH, static_cast<uintptr_t>(start)));
    ReplaceRange(start, start + length, std::string(text));
}

void TTessaryStrings::Insert(int32_t index, std::string_view text) {
    if (index < 0) return;
    const auto lines = static_cast<int32_t>(Send(EM_GETLINECOUNT));
    if (index < lines) {
        const auto start = static_cast<TOffset>(Send(EM_LINEINDEX, static_cast<uintptr_t>(index)));
        ReplaceRange(start, start, std::string(text) + "\r\n");
        return;
    }
    const auto end = static_cast<TOffset>(Send(WM_GETTEXTLENGTH));
    const auto lastStart = static_cast<TOffset>(Send(EM_LINEINDEX, static_cast<uintptr_t>(lines - 1)));
    const bool lastEmpty = lastStart == end;
    if (lastEmpty && text.empty()) return;
    ReplaceRange(end, end, lastEmpty ? std::string(text) : "\r\n" + std::string(text));
}

void TTessaryStrings::Delete(int32_t index) {
    const auto lines = static_cast<int32_t>(Send(EM_GETLINECOUNT));
    if (index < 0 || index >= lines) return;
    const auto start = static_cast<TOffset>(Send(EM_LINEINDEX, static_cast<uintptr_t>(index)));
    const auto end = index + 1 < lines
                         ? static_cast<TOffset>(Send(EM_LINEINDEX, static_cast<uintptr_t>(index + 1)))
                         : static_cast<TOffset>(Send(WM_GETTEXTLENGTH));
    ReplaceRange(start, end, std::string());
}

void TTessaryStrings::Clear() {
    Send(WM_SETTEXT, 0, 0);
}

void TTessaryStrings::AddStrings(const std::vector<std::string>& lines) {
    TMemoryStream stream;
    for (const std::string& line : lines) {
        stream.WriteBuffer(line.data(), line.size());
        stream.WriteBuffer("\r\n", 2);
    }
    stream.SetPosition(0);
    Send(TEM_INSERTSTREAM, 0, reinterpret_cast<intptr_t>(&stream));
}

std::string TTessaryStrings::Text() const {
    // Room for every line break doubling to CR LF, and the NUL.
    const auto stored = static_cast<size_t>(Send(WM_GETTEXTLENGTH));
    std::string buffer(2 * stored + 1, '\0');
    const intptr_t n = Send(WM_GETTEXT, buffer.size(), reinterpret_cast<intptr_t>(buffer.data()));
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

void TTessaryStrings::SetText(std::string_view text) {
    // Compared in stored form, so a text that differs only in its line
    // ends does not reload (and does not lose the undo log).
    std::string normalized(text.size(), '\0');
    TTextNormalizer normalizer;
    normalized.resize(normalizer.Run(text.data(), text.size(), normalized.data()));
    if (normalized == control_.Store().Text()) return;
    // Through a stream rather than WM_SETTEXT, whose NUL-terminated text
    // would end at the first NUL byte.
    TMemoryStream stream(std::vector<uint8_t>(text.begin(), text.end()));
    control_.LoadFromStream(stream);
}

void TTessaryStrings::BeginUpdate() {
    if (updates_++ == 0) Send(TEM_PAINTLOCK, kSet, 1);
}

void TTessaryStrings::EndUpdate() {
    if (updates_ > 0 && --updates_ == 0) Send(TEM_PAINTLOCK, kSet, 0);
}

} // namespace torvane::editor
