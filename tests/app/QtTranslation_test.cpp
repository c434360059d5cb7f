// Qt's own dialogs speak Czech once the program has loaded Qt's translation.

#include "app/QtTranslation.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>

class QtTranslationTest : public QObject {
    Q_OBJECT

private slots:
    void standardFileDialogButtonsReadInCzech() {
        QVERIFY2(torvane::app::InstallQtTranslation(*qApp), "Qt's Czech translation is not installed");

        QFileDialog dialog(nullptr, QStringLiteral("Otevřít"), QDir::tempPath());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QPushButton* open = buttons->button(QDialogButtonBox::Open);
        QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
        QVERIFY(open && cancel);
        QCOMPARE(open->text(), QString::fromUtf8("&Otevřít"));
        QCOMPARE(cancel->text(), QString::fromUtf8("Zrušit"));
    }
};

QTEST_MAIN(QtTranslationTest)
#include "QtTranslation_test.moc"
