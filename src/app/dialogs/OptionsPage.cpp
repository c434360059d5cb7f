#include "app/dialogs/OptionsPage.h"

#include "editor/Cp1250Table.h"

namespace torvane::app {

QString OptionsText(std::string_view bytes) {
    const std::u16string text = editor::Cp1250ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string OptionsBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text)
        bytes += static_cast<char>(editor::UnicodeToCp1250(c.unicode()).value_or('?'));
    return bytes;
}

} // namespace torvane::app
