// Navigation in the main window, offscreen: go to definition into an include,
// the uses in the message list, the outline panel, and build errors that stay
// on their lines while the text above them changes.

#include "AppTestBed.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/navigation/Navigator.h"
#include "app/navigation/OutlineDock.h"
#include "editor/TextStore.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace torvane::app;
using namespace torvane::app::test;

namespace {

// Puts the caret inside the first occurrence of word on a 1-based line.
void CaretOn(TEditWin* win, int line, const std::string& word) {
    const size_t at = win->sMemo->Store().LineText(line - 1).find(word);
    QVERIFY(at != std::string::npos);
    win->sMemo->SetCaret(line, static_cast<int>(at) + 2);
}

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;

    TNavigator& Nav() { return *bed_.main->navigator; }

private slots:
    void init() {
        QVERIFY(bed_.Prepare(TestScripts::kBundled));
        bed_.StartMain();
    }

    void cleanup() { bed_.Finish(); }

    void definitionInIncludeAndUses() {
        WriteBytes(bed_.DataPath(QStringLiteral("timing.inc")),
                   "; delays\r\nLIMIT EQU 10H\r\nDELAY:  RET\r\n");
        TEditWin* source =
            bed_.Open(QStringLiteral("main.asm"), ";compiler: asem51\r\n$INCLUDE(timing.inc)\r\n"
                                                  "$INCLUDE(gone.inc)\r\nSTART:  LCALL DELAY\r\n"
                                                  "        SJMP START ; not DELAY\r\n");
        QVERIFY(source);

        // The tooltip tells a name's definition and value.
        const auto& store = source->sMemo->Store();
        const QString tip =
            Nav().DefinitionTip(*source, store.LineStart(3) + store.LineText(3).find("DELAY"));
        QVERIFY2(tip.contains(QStringLiteral("timing.inc(3): DELAY:  RET")), qPrintable(tip));

        CaretOn(source, 4, "DELAY");
        Nav().actVyskyty->trigger();
        QStringList items;
        for (int i = 0; i < source->lstBox->count(); ++i)
            items << source->lstBox->item(i)->text();
        QCOMPARE(items.size(), 3);
        QVERIFY2(items[0].startsWith(QStringLiteral("[Navigace] ")) &&
                     items[0].contains(QStringLiteral("gone.inc")),
                 qPrintable(items[0]));
        QCOMPARE(items[1],
                 QStringLiteral("[Výskyt] ") + source->FileName + QStringLiteral("(4): START:  LCALL DELAY"));
        QCOMPARE(items[2], QStringLiteral("[Výskyt] ") + bed_.DataPath(QStringLiteral("timing.inc")) +
                               QStringLiteral("(3): DELAY:  RET"));

        // F12 opens the include with the caret on the label.
        Nav().actDefinice->trigger();
        TEditWin* include = bed_.main->ActiveEditWin();
        QVERIFY(include && include != source);
        QCOMPARE(include->FileName, bed_.DataPath(QStringLiteral("timing.inc")));
        QCOMPARE(include->sMemo->CaretLine(), 3);
        QCOMPARE(include->sMemo->CaretColumn(), 1);

        // A use line in the source's list leads back to the source's line.
        QTest::mouseClick(source->lstBox->viewport(), Qt::LeftButton, {},
                          source->lstBox->visualItemRect(source->lstBox->item(1)).center());
        QTRY_COMPARE(bed_.main->ActiveEditWin(), source);
        QCOMPARE(source->sMemo->CaretLine(), 4);

        // A name defined nowhere is said so in the status bar.
        CaretOn(source, 4, "LCALL");
        Nav().actDefinice->trigger();
        QCOMPARE(bed_.main->ActiveEditWin(), source);
        QCOMPARE(bed_.main->StatusPanel(4)->text(), QStringLiteral("Definice „LCALL“ nebyla nalezena."));
    }

    // A register from the part's definition file, found where the AVR front
    // end finds it when the settings name no include folder.
    void deviceRegisterFoundInTheFrontEndsDeviceFiles() {
        TEditWin* source =
            bed_.Open(QStringLiteral("blink.asm"), ";compiler: avrasm\r\n.include \"m328Pdef.inc\"\r\n"
                                                   "        out PORTB,r16\r\n");
        QVERIFY(source);
        CaretOn(source, 3, "PORTB");
        Nav().actDefinice->trigger();
        TEditWin* device = bed_.main->ActiveEditWin();
        QVERIFY(device && device != source);
        QVERIFY2(device->FileName.endsWith(QStringLiteral("m328Pdef.inc")), qPrintable(device->FileName));
        QVERIFY(device->sMemo->Store().LineText(device->sMemo->CaretLine() - 1).find("PORTB") !=
                std::string::npos);
    }

    void outlineListsFiltersFollowsAndJumps() {
        TEditWin* win =
            bed_.Open(QStringLiteral("outline.asm"), "START:  NOP\r\nLIMIT   EQU 5\r\nWAIT    MACRO\r\n"
                                                     "        ENDM\r\nDELAY:  RET\r\n");
        QTreeWidget* list = Nav().Outline()->List();
        QTRY_COMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("LIMIT"));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("konstanta"));
        QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("makro"));

        Nav().Outline()->Filter()->setText(QStringLiteral("del"));
        int shown = 0;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            shown += list->topLevelItem(i)->isHidden() ? 0 : 1;
        QCOMPARE(shown, 1);
        Nav().Outline()->Filter()->clear();

        emit list->itemClicked(list->topLevelItem(3), 0);
        QCOMPARE(win->sMemo->CaretLine(), 5);

        // A new label appears once typing has paused.
        win->sMemo->SetCaret(1, 1);
        win->sMemo->Control().ReplaceSel("NEW:\r");
        QCOMPARE(list->topLevelItemCount(), 4);
        QTRY_COMPARE(list->topLevelItemCount(), 5);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("NEW"));
        QCOMPARE(list->topLevelItem(4)->text(2), QStringLiteral("6"));
    }

    void errorsFollowTheText() {
        QByteArray text;
        for (int i = 1; i <= 12; ++i)
            text += "        NOP ; line " + QByteArray::number(i) + "\r\n";
        TEditWin* win = bed_.Open(QStringLiteral("errors.asm"), text);
        // What a build leaves in the list: an error in this file, one elsewhere.
        win->lstBox->clear();
        win->lstBox->addItems(
            {QStringLiteral("[Error] ") + win->FileName + QStringLiteral("(6): bad operand"),
             QStringLiteral("[Error] other.inc(2): elsewhere"), QStringLiteral("1 error")});
        QCOMPARE(Nav().ErrorCountLabel()->text(), QStringLiteral("Chyby: 1"));

        win->sMemo->SetCaret(1, 1);
        win->sMemo->Control().ReplaceSel("\r\r\r\r\r");
        win->sMemo->SetCaret(1, 1);
        Nav().actDalsiChyba->trigger();
        QCOMPARE(win->sMemo->CaretLine(), 11);
        QCOMPARE(win->sMemo->Store().LineText(10), std::string("        NOP ; line 6"));
        QTRY_COMPARE(win->sMemo->Store().Node(10).gutterMark, uint16_t{1u << 13});
        QCOMPARE(win->sMemo->Store().Node(5).gutterMark, uint16_t{0});

        // Shift+F8 wraps round; a click on the message goes where the error is now.
        win->sMemo->SetCaret(12, 1);
        Nav().actPredchoziChyba->trigger();
        QCOMPARE(win->sMemo->CaretLine(), 11);
        win->sMemo->SetCaret(1, 1);
        win->lstBoxClick(win->lstBox->item(0));
        QCOMPARE(win->sMemo->CaretLine(), 11);

        // The next build clears them.
        win->lstBox->clear();
        QCOMPARE(Nav().ErrorCountLabel()->text(), QString());
        QTRY_COMPARE(win->sMemo->Store().Node(10).gutterMark, uint16_t{0});
        Nav().actDalsiChyba->trigger();
        QCOMPARE(bed_.main->StatusPanel(4)->text(), QStringLiteral("Žádné chyby."));
    }

    // A data line wider than a node (the control keeps it in several nodes)
    // does not shift the lines that build messages and symbols name.
    void linesAfterAVeryLongLineAreTheFilesLines() {
        QByteArray table = "TABLE:  DB 0";
        while (table.size() < 5000)
            table += ",0";
        const QByteArray text = ";compiler: asem51\r\n" + table +
                                "\r\nTARGET: NOP\r\n        LJMP TARGET ; x\r\n"
                                "        NOP\r\n";
        TEditWin* win = bed_.Open(QStringLiteral("long.asm"), text);
        QVERIFY(win);
        const auto& store = win->sMemo->Store();
        QCOMPARE(store.LineCount(), 8); // the table takes three nodes
        QCOMPARE(win->sMemo->TextLineCount(), 6);

        // F12 on the use in file line 4 goes to the label in file line 3.
        const auto useNode = store.NodeOfTextLine(3);
        win->sMemo->Control().SetSelection(store.LineStart(useNode) + 15, store.LineStart(useNode) + 15,
                                           true);
        Nav().actDefinice->trigger();
        QCOMPARE(store.LineText(win->sMemo->CaretLine() - 1), std::string("TARGET: NOP"));

        // A build error on file line 4: the message, F8 and the mark find it.
        win->lstBox->clear();
        win->lstBox->addItems({QStringLiteral("[Error] ") + win->FileName + QStringLiteral("(4): bad")});
        win->sMemo->SetCaret(1, 1);
        win->lstBoxClick(win->lstBox->item(0));
        QCOMPARE(store.LineText(win->sMemo->CaretLine() - 1), std::string("        LJMP TARGET ; x"));
        QCOMPARE(win->sMemo->MarkedLine(), std::optional<int>(4));
        win->sMemo->SetCaret(1, 1);
        Nav().actDalsiChyba->trigger();
        QCOMPARE(store.LineText(win->sMemo->CaretLine() - 1), std::string("        LJMP TARGET ; x"));

        // A column past the first node lands in the right continuation node.
        win->sMemo->SetCaret(2, 3000);
        QCOMPARE(win->sMemo->Control().Caret(), store.LineStart(1) + 2999);
    }
};

QTEST_MAIN(NavigationTest)
#include "Navigation_test.moc"
