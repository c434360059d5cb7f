#pragma once
// TfrmOprog: the about box. Borderless, centred on its owner: the logo with
// the program's name, version and two contact links in yellow over it. A key
// press or a click on the picture closes it. The same window is the splash
// shown at start-up.

#include <QDialog>

#include <functional>

class QLabel;

namespace torvane::app {

class TfrmOprog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kEmail = "torvane@example.org";
    static constexpr const char* kWeb = "https://torvane.example.org/";

    // logo: the picture to show; a null image shows the labels only.
    explicit TfrmOprog(const QImage& logo, QWidget* owner = nullptr);

    // Opens a link with the desktop's default handler; tests replace it.
    std::function<void(const QString& url)> openUrl;

    QLabel* lblVer = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblWeb = nullptr;
    QLabel* ImgLogo = nullptr;

    // Shows the box non-modal and disabled, painted at once, for `ms`
    // milliseconds; the caller frees it afterwards.
    void ShowAsSplash(int ms);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetLinkHover(QLabel* label, bool hover);
};

} // namespace torvane::app
