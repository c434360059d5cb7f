#include "app/GuardedApplication.h"

#include "app/AppTexts.h"
#include "app/Dialogs.h"

#include <QMessageBox>

#include <cstdio>
#include <exception>

namespace torvane::app {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    report = [](const QString& message) {
        QMessageBox box(QMessageBox::Critical, CzechTitle(MsgKind::Error), message, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    };
}

QString GuardedApplication::ReportText(const QString& what) {
    return QString::fromUtf8(text::kInternalError).arg(what);
}

void GuardedApplication::Report(const QString& what) {
    std::fprintf(stderr, "torvane: %s\n", what.toLocal8Bit().constData());
    // A fault while the report itself is on screen must not stack up boxes.
    if (reporting_ || !report) return;
    reporting_ = true;
    try {
        report(ReportText(what));
    } catch (...) {
    }
    reporting_ = false;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Report(QStringLiteral("?"));
    }
    return false;
}

} // namespace torvane::app
