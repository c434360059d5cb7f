#include "app/dialogs/ProgressPopup.h"

#include "common/Messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

namespace torvane::app {

TfrmDialog::TfrmDialog(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), mainWindow_(mainWindow) {
    setObjectName("frmDialog");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    lblText = new QLabel(this);
    lblText->setObjectName("lblText");
    lblText->setAlignment(Qt::AlignCenter);
    lblText->setWordWrap(true);
    pgBar = new QProgressBar(this);
    pgBar->setObjectName("pgBar");
    pgBar->setRange(0, 100);
    layout->addWidget(lblText);
    layout->addWidget(pgBar);
    btnPrerusit = new QPushButton(QString::fromUtf8(LoadStr(msg::SBuildCancel)), this);
    btnPrerusit->setObjectName("btnPrerusit");
    btnPrerusit->hide();
    layout->addWidget(btnPrerusit, 0, Qt::AlignHCenter);
    connect(btnPrerusit, &QPushButton::clicked, this, [this] {
        btnPrerusit->setEnabled(false);
        emit Prerusit();
    });
    setFixedWidth(320);
}

void TfrmDialog::ShowOver(int height) {
    if (mainWindow_) mainWindow_->setEnabled(false);
    setFixedHeight(height);
    if (mainWindow_) {
        // Kept above the main window by the window system, as its child was.
        winId();
        if (QWindow* owner = mainWindow_->window()->windowHandle()) windowHandle()->setTransientParent(owner);
    }
    if (mainWindow_) move(mainWindow_->geometry().center() - QPoint(width() / 2, height / 2));
    show();
    raise();
    repaint();
    if (mainWindow_) mainWindow_->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmDialog::ZobrazText(const QString& text, bool cancellable) {
    lblText->setText(text);
    pgBar->hide();
    btnPrerusit->setVisible(cancellable);
    btnPrerusit->setEnabled(cancellable);
    ShowOver(cancellable ? 100 : 65);
}

void TfrmDialog::ZobrazProgress(const QString& text, int minimum, int maximum) {
    lblText->setText(text);
    pgBar->setRange(minimum, maximum);
    pgBar->setValue(minimum);
    pgBar->show();
    btnPrerusit->hide();
    ShowOver(90);
}

void TfrmDialog::Zavrit() {
    close();
}

void TfrmDialog::closeEvent(QCloseEvent* event) {
    if (mainWindow_) mainWindow_->setEnabled(true);
    event->accept();
}

void TfrmDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().toolTipBase());
    QPen pen(palette().toolTipText().color());
    pen.setWidth(3);
    p.setPen(pen);
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void TfrmDialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() && isEnabled()) {
        activateWindow();
        setFocus();
    }
    QWidget::changeEvent(event);
}

} // namespace torvane::app
