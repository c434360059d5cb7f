// The editor options dialog on its own: a page that refuses keeps the
// dialog open and the caller's settings untouched; key removal; Výchozí.

#include "app/dialogs/EditorOptionsDialog.h"
#include "app/dialogs/KeysPage.h"
#include "app/dialogs/PrintTabsPages.h"
#include "highlight/BuiltinScheme.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

using namespace torvane;
using namespace torvane::app;

class EditorOptionsDialogTest : public QObject {
    Q_OBJECT

    TTessaryParser parser;

private slots:
    void initTestCase() { LoadBuiltinPlainTextScheme(parser); }

    void tabColumnsAreCheckedBeforeAnythingIsCopied() {
        QString error;
        QCOMPARE(*TTabsPage::ParseColumns(QStringLiteral(" 15 21,60 "), error),
                 (std::vector<int>{14, 20, 59}));
        QVERIFY(TTabsPage::ParseColumns(QString(), error)->empty());
        for (const char* bad : {"15 10", "15 15", "0", "-3", "abc", "2000"}) {
            QVERIFY2(!TTabsPage::ParseColumns(QLatin1String(bad), error), bad);
            QVERIFY(!error.isEmpty());
        }
        QStringList many;
        for (int i = 1; i <= 33; ++i)
            many << QString::number(i);
        QVERIFY(!TTabsPage::ParseColumns(many.join(QLatin1Char(' ')), error));

        TTE_Settings target;
        target.Assign(parser.Settings());
        const auto before = target.values;
        TEditorOptionsDialog dialog(parser, target, ppAllPages, nullptr);
        dialog.tabsPage->spnTabDefault->setValue(6);
        dialog.tabsPage->edtColumns->setText(QStringLiteral("9 5"));
        dialog.accept();
        QVERIFY(dialog.result() != QDialog::Accepted);
        QVERIFY(!dialog.lblError->text().isEmpty());
        QVERIFY(target.values == before);

        dialog.tabsPage->edtColumns->setText(QStringLiteral("5 9"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(target.values.tabDefault, 6);
        QCOMPARE(target.values.tabColumns[0], 4);
        QCOMPARE(target.values.tabColumns[1], 8);
        QCOMPARE(target.values.tabColumns[2], -1);
    }

    void removingABindingKeepsTheOthersAndDefaultsBringItBack() {
        TTE_Settings target, defaults;
        target.Assign(parser.Settings());
        defaults.Assign(parser.Settings());
        TEditorOptionsDialog dialog(parser, target, ppKeys, &defaults);
        TKeysPage& keys = *dialog.keysPage;
        const auto all = dialog.Working().KeyMap().AllBindings();
        QVERIFY(keys.SelectCommand(acCopy));
        keys.treeCommands->setCurrentItem(keys.treeCommands->currentItem()->child(0));
        keys.btnRemove->click();
        const auto left = dialog.Working().KeyMap().AllBindings();
        QCOMPARE(left.size() + 1, all.size());
        QVERIFY(std::none_of(left.begin(), left.end(), [](const auto& b) { return b.code == acCopy; }));
        // Two-key bindings survive the rebuild.
        QVERIFY(std::any_of(left.begin(), left.end(), [](const auto& b) { return b.code == acBlockIndent; }));

        dialog.btnDefaults->click();
        QVERIFY(dialog.Working().KeyMap().AllBindings() == all);
        dialog.reject();
        QVERIFY(target.KeyMap().AllBindings() == all);
    }
};

QTEST_MAIN(EditorOptionsDialogTest)
#include "EditorOptionsDialog_test.moc"
