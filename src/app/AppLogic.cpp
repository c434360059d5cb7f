#include "app/AppLogic.h"

#include "app/AppTexts.h"
#include "highlight/TabStops.h"
#include "platform/SafeSave.h"

#include <QDir>

#include <QFileInfo>

#include <array>
#include <cstring>
#include <limits>

namespace torvane::app {
namespace {} // namespace

QString FormatCz(const char* text, const QString& fileName) {
    return QString::fromUtf8(text).replace(QStringLiteral("%0:s"), fileName);
}

QString SaveFailureText(const QString& fileName, int errorCode, const QString& detail) {
    QString why;
    switch (platform::ClassifySaveError(errorCode)) {
    case platform::SaveFailure::AccessDenied:
        why = QString::fromUtf8(text::kWhyAccess);
        break;
    case platform::SaveFailure::DiskFull:
        why = QString::fromUtf8(text::kWhyDiskFull);
        break;
    case platform::SaveFailure::ReadOnlyFileSystem:
        why = QString::fromUtf8(text::kWhyReadOnlyFs);
        break;
    case platform::SaveFailure::NotAFile:
        why = QString::fromUtf8(text::kWhyNotAFile);
        break;
    case platform::SaveFailure::None:
    case platform::SaveFailure::Other:
        why = QString::fromUtf8(text::kWhyOther)
                  .arg(errorCode != 0 ? QString::fromLocal8Bit(std::strerror(errorCode)) : detail);
        break;
    }
    return FormatCz(text::kCannotSave, fileName) + QLatin1Char('\r') + why + QLatin1Char('\r') +
           QString::fromUtf8(text::kOldFileKept);
}

QString AbsoluteName(const QString& fileName, const QString& base) {
    if (fileName.isEmpty() || IsUntitled(fileName)) return fileName;
    const QDir dir(base.isEmpty() ? QDir::currentPath() : base);
    return QDir::cleanPath(dir.absoluteFilePath(fileName));
}

bool ValidTabColumns(const QString& columns) {
    try {
        TTabStops().SetColumns(columns.toStdString());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool IsUntitled(const QString& fileName) {
    return fileName.startsWith(QString::fromUtf8(platform::kUntitledPrefix), Qt::CaseSensitive);
}

QString UntitledName(const QStringList& openNames) {
    const QString prefix = QString::fromUtf8(platform::kUntitledPrefix) + QLatin1Char(' ');
    // At most openNames.size() numbers are taken, so one of 1..size+1 is free.
    for (int n = 1;; ++n) {
        QString name = prefix + QString::number(n);
        if (!openNames.contains(name, Qt::CaseSensitive)) return name;
    }
}

QString WithDefaultExtension(const QString& fileName, int filterIndex, const QString& extension) {
    if (filterIndex != 1) return fileName;
    // Like the classic dialogs: any dot in the last path component counts as
    // an extension, so "name." is kept as typed.
    if (QFileInfo(fileName).fileName().contains(QLatin1Char('.'))) return fileName;
    return fileName + extension;
}

QString QtFileFilter(const char* pipeFilter) {
    const QStringList parts = QString::fromUtf8(pipeFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (label.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))
                        ? label
                        : label + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

ErrorItemTarget ParseErrorItem(const QString& item, const QString& documentName) {
    ErrorItemTarget target;
    if (!item.startsWith(QStringLiteral("[Error]"))) return target;

    target.kind = ErrorItemTarget::NoLine;
    const qsizetype close = item.indexOf(QStringLiteral("):"));
    if (close < 0) return target;
    // Walk back over the digits before "):"; the first non-digit is the "("
    // that ends the file name.
    qsizetype stop = close - 1;
    while (stop >= 0 && item[stop] >= QLatin1Char('0') && item[stop] <= QLatin1Char('9'))
        --stop;
    const QString digits = item.mid(stop + 1, close - stop - 1);
    if (digits.isEmpty()) return target;
    long long line = 0;
    for (QChar c : digits) {
        line = line * 10 + (c.unicode() - '0');
        if (line > std::numeric_limits<int>::max()) return target;
    }

    // The name runs from after "[Error] " up to the stop position; when the
    // digits reach back into the prefix there is no name.
    constexpr qsizetype kNameStart = 8;
    if (stop < 0) stop = kNameStart;
    const QString name = stop > kNameStart ? item.mid(kNameStart, stop - kNameStart) : QString();
    if (name.toLower() != documentName.toLower()) {
        target.kind = ErrorItemTarget::OtherFile;
        return target;
    }
    target.kind = ErrorItemTarget::Line;
    target.line = static_cast<int>(line);
    return target;
}

std::optional<QString> UndoKindName(int kind) {
    static constexpr std::array<const char*, 6> kNames{"drag/drop", "psaní textu", "smazat",
                                                       "vložit",    "vyjmout",     "template"};
    constexpr int kFirst = 13;
    if (kind < kFirst || kind >= kFirst + static_cast<int>(kNames.size())) return std::nullopt;
    return QString::fromUtf8(kNames[static_cast<size_t>(kind - kFirst)]);
}

} // namespace torvane::app
