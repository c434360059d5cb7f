#pragma once
// TfrmDialog: the borderless notice shown over the main window while a long
// operation runs. While it is shown the main window is disabled; closing it
// enables the main window again. When it loses activation while visible and
// enabled it takes the focus back, so it stays in front.
//
// It is a top-level window of its own (not a child of the main window), so
// disabling the main window leaves it enabled and its "Přerušit" button,
// shown when the operation can be stopped, still answers.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace torvane::app {

class TfrmDialog : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDialog(QWidget* mainWindow);

    // With `cancellable` the "Přerušit" button is shown; pressing it emits
    // Prerusit() (once) and leaves the popup up until the operation ends.
    void ZobrazText(const QString& text, bool cancellable = false);
    void ZobrazProgress(const QString& text, int minimum, int maximum);
    // Hides the popup and enables the main window.
    void Zavrit();

    QLabel* lblText = nullptr;
    QProgressBar* pgBar = nullptr;
    QPushButton* btnPrerusit = nullptr;

signals:
    void Prerusit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowOver(int height);
    QWidget* mainWindow_;
};

} // namespace torvane::app
