// Build messages come from the assembler's output. Whatever a message holds,
// parsing it must not crash, and a line it reports must be the decimal
// number written just before the first "):" of an "[Error]" message.
//
// Input: the document name, a newline, then the message (bytes shown through
// the Windows-1250 table, as the message list shows the log).

#include "app/AppLogic.h"
#include "app/Cp1250.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString all = torvane::app::Cp1250ToUnicode(std::string(reinterpret_cast<const char*>(data), size));
    const qsizetype newline = all.indexOf(QLatin1Char('\n'));
    const QString name = newline < 0 ? QString() : all.left(newline);
    const QString item = newline < 0 ? all : all.mid(newline + 1);

    const torvane::app::ErrorItemTarget target = torvane::app::ParseErrorItem(item, name);
    if (target.kind == torvane::app::ErrorItemTarget::Line) {
        if (target.line < 0 || !item.startsWith(QStringLiteral("[Error]"))) std::abort();
        const qsizetype close = item.indexOf(QStringLiteral("):"));
        if (close < 0 || !item.left(close).endsWith(QString::number(target.line))) std::abort();
    }
    return 0;
}
