#include "app/Cp1250.h"

#include "editor/Cp1250Table.h"

namespace torvane::app {

QString Cp1250ToUnicode(const std::string& bytes) {
    const std::u16string text = editor::Cp1250ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QChar Cp1250ToUnicode(unsigned char byte) {
    return QChar(editor::Cp1250ToUnicode(byte));
}

std::optional<unsigned char> UnicodeToCp1250(QChar c) {
    return editor::UnicodeToCp1250(c.unicode());
}

bool UnicodeToCp1250(const QString& text, std::string* bytes) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const auto byte = editor::UnicodeToCp1250(c.unicode());
        if (!byte) return false;
        out.push_back(static_cast<char>(*byte));
    }
    *bytes = std::move(out);
    return true;
}

} // namespace torvane::app
