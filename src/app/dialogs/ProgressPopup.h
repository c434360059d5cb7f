#pragma once
// TfrmDialog: the borderless notice shown over the main window while a long
// operation runs. While it is shown the main window is disabled; closing it
// enables the main window again. When it loses activation while visible and
// enabled it takes the focus back, so it stays in front.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace torvane::app {

class TfrmDialog : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDialog(QWidget* mainWindow);

    void ZobrazText(const QString& text);
    void ZobrazProgress(const QString& text, int minimum, int maximum);
    // Hides the popup and enables the main window.
    void Zavrit();

    QLabel* lblText = nullptr;
    QProgressBar* pgBar = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowOver(int height);
    QWidget* mainWindow_;
};

} // namespace torvane::app
