#include "app/dialogs/AboutBox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QThread>
#include <QUrl>

namespace torvane::app {
namespace {

constexpr const char* kYellow = "color: #ffff00;";

QLabel* MakeLabel(const QString& text, QWidget* parent, const QString& style) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(style);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

} // namespace

TfrmOprog::TfrmOprog(const QImage& logo, QWidget* owner)
    : QDialog(owner, Qt::FramelessWindowHint | Qt::Dialog) {
    setObjectName("frmOprog");
    setWindowTitle("O programu");
    openUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    ImgLogo = new QLabel(this);
    ImgLogo->setObjectName("ImgLogo");
    if (!logo.isNull()) {
        ImgLogo->setPixmap(QPixmap::fromImage(logo));
        ImgLogo->setFixedSize(logo.size());
    } else {
        // Without the picture the labels still need a dark field to be read on.
        ImgLogo->setMinimumSize(400, 220);
        ImgLogo->setStyleSheet("background-color: #142040;");
    }
    grid->addWidget(ImgLogo, 0, 0);

    auto* overlay = new QWidget(this);
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    overlay->setAttribute(Qt::WA_TranslucentBackground);
    auto* column = new QGridLayout(overlay);
    column->setContentsMargins(16, 12, 16, 12);
    QLabel* name = MakeLabel("Torvane", overlay, QString(kYellow) + "font-size: 24pt; font-weight: bold;");
    name->setObjectName("lblNazev");
    lblVer = MakeLabel("Verze: 1.0.0 beta", overlay, kYellow);
    lblVer->setObjectName("lblVer");
    lblEmail = MakeLabel(QString("E-Mail: ") + kEmail, overlay, kYellow);
    lblEmail->setObjectName("lblEmail");
    lblEmail->setToolTip(QString("mailto:") + kEmail);
    lblWeb = MakeLabel(QString("WWW: ") + kWeb, overlay, kYellow);
    lblWeb->setObjectName("lblWeb");
    lblWeb->setToolTip(kWeb);
    for (QLabel* link : {lblEmail, lblWeb}) {
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
    }
    column->addWidget(name, 0, 0);
    column->addWidget(lblVer, 1, 0);
    column->setRowStretch(2, 1);
    column->addWidget(lblEmail, 3, 0);
    column->addWidget(lblWeb, 4, 0);
    grid->addWidget(overlay, 0, 0);
    overlay->installEventFilter(this);
    ImgLogo->installEventFilter(this);
    overlay->setMouseTracking(true);
    adjustSize();
    if (owner) move(owner->geometry().center() - rect().center());
}

void TfrmOprog::SetLinkHover(QLabel* label, bool hover) {
    label->setStyleSheet(hover ? "color: #ff0000; text-decoration: underline;" : kYellow);
}

bool TfrmOprog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblEmail || watched == lblWeb) {
        auto* label = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::Enter) {
            SetLinkHover(label, true);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            openUrl(label == lblEmail ? QString("mailto:") + kEmail : QString(kWeb));
            return true;
        }
        return false;
    }
    // Anything else under the mouse is the picture.
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        SetLinkHover(lblEmail, false);
        SetLinkHover(lblWeb, false);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return false;
}

void TfrmOprog::keyPressEvent(QKeyEvent*) {
    accept();
}

void TfrmOprog::ShowAsSplash(int ms) {
    setEnabled(false);
    setModal(false);
    show();
    repaint();
    QApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(10);
    }
    hide();
}

} // namespace torvane::app
