#pragma once
// The program's QApplication. Every event goes through notify(); an exception
// that a handler or slot lets out is caught there, reported, and the event
// counts as not handled, so the program and its open documents live on
// instead of being aborted with the user's unsaved work.

#include <QApplication>

#include <functional>

namespace torvane::app {

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    // Shows the report of an escaped exception (a Czech message box by
    // default); tests replace it.
    std::function<void(const QString& message)> report;

    bool notify(QObject* receiver, QEvent* event) override;

    // The text the user is shown for an exception's own message.
    static QString ReportText(const QString& what);

private:
    void Report(const QString& what);
    bool reporting_ = false;
};

} // namespace torvane::app
