#pragma once
// The Windows-1250 (Central European) code page in Qt terms: documents are
// 8-bit bytes, shown and accepted through the table of editor/Cp1250Table.h.

#include <QString>

#include <optional>
#include <string>

namespace torvane::app {

QString Cp1250ToUnicode(const std::string& bytes);
QChar Cp1250ToUnicode(unsigned char byte);
// The byte of a character, or nothing when the code page lacks it.
std::optional<unsigned char> UnicodeToCp1250(QChar c);
// All characters or nothing: false when one of them has no byte.
bool UnicodeToCp1250(const QString& text, std::string* bytes);

} // namespace torvane::app
