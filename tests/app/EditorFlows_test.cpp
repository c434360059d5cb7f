// The document window's editor control as the user drives it: keys and the
// mouse through the widget, Zpět/Znovu with their hints, highlighting from
// the bundled scheme scripts, comment toggling, import, and the find dialog
// over the control. Offscreen, with scripted dialog answers.

#include "AppTestBed.h"
#include "app/AppTexts.h"
#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/dialogs/FindDialog.h"
#include "app/dialogs/ProgressPopup.h"
#include "app/logic/ImportLayout.h"
#include "editor/TextStore.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace torvane::app;
using namespace torvane::app::test;
using torvane::editor::TOffset;

namespace {

// The token byte of the first character of word in a line.
uint8_t TokenOf(TEditWin* win, int line, const std::string& word) {
    const std::string text = win->sMemo->Store().LineText(line);
    const size_t at = text.find(word);
    const auto tokens = win->sMemo->Store().NodeStyles(line);
    if (at == std::string::npos || at >= tokens.size()) return 0;
    return tokens[at];
}

} // namespace

class EditorFlowsTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;

    TEditWin* NewDocument(int assembler = 0) {
        bed_.dialogs.assembler = assembler;
        bed_.main->actNovy->trigger();
        return bed_.main->ActiveEditWin();
    }

    TEditWin* OpenCopy(const QString& sourcePath) {
        const QString path = bed_.DataPath(QFileInfo(sourcePath).fileName());
        QFile::copy(sourcePath, path);
        bed_.main->CreateEditor(path, false);
        return bed_.main->ActiveEditWin();
    }

    static void Select(TEditWin* win, TOffset anchor, TOffset caret) {
        win->sMemo->Control().SetSelection(anchor, caret, true);
    }

    QPoint PointOf(TEditWin* win, TOffset offset) {
        const auto p = win->sMemo->View().Painter().PointOfOffset(win->sMemo->Control().ViewState(), offset);
        return {p.x + 1, p.y + win->sMemo->View().Painter().Metrics().rowHeight / 2};
    }

private slots:
    void init() {
        QVERIFY(bed_.Prepare(TestScripts::kBundled));
        bed_.StartMain();
    }

    void cleanup() { bed_.Finish(); }

    void keysAndMouseReachTheControl() {
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("abc\rdef"));
        QCOMPARE(ShownText(win), QStringLiteral("abc\ndef"));
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   2:   4"));

        QTest::keyClick(&win->sMemo->View(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(win->sMemo->SelLength(), 2);
        QCOMPARE(win->sMemo->Control().SelText(), std::string("ef"));
        QVERIFY(bed_.main->actKopirovat->isEnabled());
        QVERIFY(bed_.main->actComment->isEnabled());
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(win->sMemo->Control().SelStoredText(), std::string("bc\rdef"));

        // The control's own Ctrl+Z undoes one typed character.
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ShownText(win), QStringLiteral("abc\nde"));

        // A press on "b" and a drag to the second line's "e" select between.
        QWidget* viewport = win->sMemo->View().viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, PointOf(win, 1));
        QMouseEvent move(QEvent::MouseMove, PointOf(win, 5), viewport->mapToGlobal(PointOf(win, 5)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, PointOf(win, 5));
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(1));
        QCOMPARE(win->sMemo->Control().SelEnd(), TOffset(5));

        // A right click opens the main window's editor menu.
        QContextMenuEvent menu(QContextMenuEvent::Mouse, PointOf(win, 2),
                               viewport->mapToGlobal(PointOf(win, 2)));
        QCoreApplication::sendEvent(viewport, &menu);
        QTRY_VERIFY(bed_.main->popEditor->isVisible());
        bed_.main->popEditor->hide();
    }

    void undoTakesWholeRunsAndNamesThem() {
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("abc"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Backspace);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Backspace);
        QCOMPARE(ShownText(win), QStringLiteral("a"));

        bed_.main->actZpet->trigger(); // both deletions at once
        QCOMPARE(ShownText(win), QStringLiteral("abc"));
        QCOMPARE(bed_.main->actZpet->statusTip(), QStringLiteral("Zpět smazat"));
        bed_.main->actZpet->trigger(); // all three typed characters
        QCOMPARE(ShownText(win), QString());
        QCOMPARE(bed_.main->actZpet->statusTip(), QStringLiteral("Zpět psaní textu"));
        QVERIFY(!bed_.main->actZpet->isEnabled());
        QVERIFY(bed_.main->actZnovu->isEnabled());

        bed_.main->actZnovu->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("abc"));
        QCOMPARE(bed_.main->actZnovu->statusTip(), QStringLiteral("Znovu psaní textu"));

        // Nothing left to undo and a kind without a name keep the hint.
        bed_.main->actZnovu->trigger();
        bed_.main->actZnovu->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("a"));
        QCOMPARE(bed_.main->actZnovu->statusTip(), QStringLiteral("Znovu smazat"));
        Select(win, 0, 1);
        bed_.main->actComment->trigger();
        bed_.main->actZpet->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("a"));
        QCOMPARE(bed_.main->actZpet->statusTip(), QStringLiteral("Zpět psaní textu"));
    }

    void statusPanelsShowTheCharacterAtTheCaret() {
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("A\tč"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Home);
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   1:   1"));
        QCOMPARE(bed_.main->StatusPanel(1)->text(), QStringLiteral("Ord: #  65   Hex: 41h"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        // The TAB reaches the first tab column (15); "č" is byte 0xE8.
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   1:  15"));
        QCOMPARE(bed_.main->StatusPanel(1)->text(), QStringLiteral("Ord: # 232   Hex: E8h"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Insert);
        QCOMPARE(bed_.main->StatusPanel(2)->text(), QString::fromUtf8(text::kOverwriteMode));
        QCOMPARE(bed_.main->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));
    }

    void caretPanelShowsEveryDigitOfAHugeLineNumber() {
        TEditWin* win = NewDocument();
        win->sMemo->Store().SetText(std::string(5'460'309, '\r'));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_End, Qt::ControlModifier);
        QLabel* panel = bed_.main->StatusPanel(0);
        QCOMPARE(panel->text(), QStringLiteral("5460310:   1"));
        QTRY_VERIFY(panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(panel->text()));
        // The panel keeps its width back at the top: the bar does not jump.
        const int wide = panel->width();
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(panel->text(), QStringLiteral("   1:   1"));
        QCOMPARE(panel->width(), wide);
    }

    void anOpened8051SourceIsHighlighted() {
        TEditWin* win = OpenCopy(QStringLiteral(TORVANE_SOURCE_DIR "/examples/blink51.asm"));
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::Asem51);
        QVERIFY(bed_.dialogs.messages.isEmpty());
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   1:   1"));
        QCOMPARE(bed_.main->StatusPanel(1)->text(), QStringLiteral("Ord: #  59   Hex: 3Bh"));
        const uint8_t mnemonic = TokenOf(win, 3, "CPL");
        QVERIFY(mnemonic != 0);
        const uint8_t style = win->sMemoParser.Settings().StyleOfToken(mnemonic);
        QVERIFY(style != 0);
        QVERIFY(win->sMemoParser.Settings().GetStyle(style).defined);

        // Typing re-highlights the edited line.
        Select(win, win->sMemo->Store().LineStart(6), win->sMemo->Store().LineStart(6));
        TypeAtCaret(win, QStringLiteral("\tNOP"));
        QCOMPARE(TokenOf(win, 6, "NOP"), mnemonic);
        // So does a message to the control, with no key after it.
        win->sMemo->Control().Perform(torvane::editor::EM_REPLACESEL, 0,
                                      reinterpret_cast<intptr_t>("\tRET\r"));
        QCOMPARE(TokenOf(win, 6, "RET"), mnemonic);
    }

    void missingAvrScriptKeepsTheHighlighting() {
        TEditWin* win = OpenCopy(QStringLiteral(TORVANE_SOURCE_DIR "/examples/blink51.asm"));
        const auto before = std::vector<uint8_t>(win->sMemo->Store().NodeStyles(3).begin(),
                                                 win->sMemo->Store().NodeStyles(3).end());
        QVERIFY(QFile::remove(bed_.ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc")));
        bed_.main->mnItmHighlight[2]->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text,
                 QStringLiteral("Chybí potřebný skript \"AvrAsm.tsc\"\rZvýraznění textu nebude fungovat."));
        const auto after = win->sMemo->Store().NodeStyles(3);
        QCOMPARE(std::vector<uint8_t>(after.begin(), after.end()), before);
    }

    void aScriptErrorNamesItsPositionAndKeepsTheSelectionStart() {
        WriteBytes(bed_.ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc"), "%%Words\n'a' '' 300\n");
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("abc"));
        Select(win, 1, 3);
        bed_.main->mnItmHighlight[2]->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        const QString message = bed_.dialogs.messages[0].text;
        QVERIFY2(message.startsWith(QStringLiteral("Chyba ve skriptu \"AvrAsm.tsc\" (řádek 2 sloupec ")),
                 qPrintable(message));
        QVERIFY(message.endsWith(QStringLiteral(").\rZvýraznění textu nebude fungovat.")));
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(1));
        QCOMPARE(win->sMemo->SelLength(), 0);
    }

    void aSchemeThatFailsWhileScanningStopsHighlightingOnly() {
        // Compiles, but pops an empty state stack at the first word.
        WriteBytes(bed_.ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc"),
                   "%%Tokens\n 1 '[a-z]' '[a-z]' '[^a-z]' _discard_\n%%States\n 1 pop ( )\n");
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("abc def"));
        bed_.main->mnItmHighlight[2]->trigger();
        QVERIFY(bed_.dialogs.messages.isEmpty());
        TypeAtCaret(win, QStringLiteral(" x"));
        QCOMPARE(ShownText(win), QStringLiteral("abc def x"));
        // Choosing a working scheme highlights again.
        bed_.main->mnItmHighlight[1]->trigger();
        Select(win, 0, 0);
        TypeAtCaret(win, QStringLiteral("\tMOV A,B\r"));
        QVERIFY(TokenOf(win, 0, "MOV") != 0);
    }

    void commentCommandsWorkOnWholeLinesInOneStep() {
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("one\rtwo\r;three\rfour\r\r;;six"));
        const QString original = ShownText(win);
        // From the middle of line 1 to the middle of line 3.
        Select(win, 1, 10);
        bed_.main->actComment->trigger();
        QCOMPARE(ShownText(win), QStringLiteral(";one\n;two\n;three\nfour\n\n;;six"));
        bed_.main->actZpet->trigger();
        QCOMPARE(ShownText(win), original);

        // A selection ending at a line start leaves that line out; one ";" goes.
        const auto& store = win->sMemo->Store();
        Select(win, store.LineStart(2), store.LineStart(3));
        bed_.main->actUnComment->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("one\ntwo\nthree\nfour\n\n;;six"));
        Select(win, store.LineStart(3), store.TextLength());
        bed_.main->actUnComment->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("one\ntwo\nthree\nfour\n\n;six"));
    }

    void importLaysOutEveryLineIntoANewDocument() {
        const QString path = bed_.DataPath("old.s");
        WriteBytes(path, "START:   MOV A , B;x\r\n    \r\n  ; note\r\n");
        bed_.dialogs.importFile = path;
        bed_.main->actImport->trigger();
        TEditWin* win = bed_.main->ActiveEditWin();
        QCOMPARE(win->FileName, QStringLiteral("Nový soubor 1"));
        QCOMPARE(ShownText(win), QStringLiteral("START:\tMOV\tA,B\t;x\n\n\t\t\t; note"));
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::None);
        QVERIFY(!bed_.main->frmDialog->isVisible());

        WriteBytes(bed_.DataPath("empty.s"), "");
        bed_.dialogs.importFile = bed_.DataPath("empty.s");
        bed_.main->actImport->trigger();
        QCOMPARE(ShownText(bed_.main->ActiveEditWin()), QString());
        QVERIFY(bed_.dialogs.errorBoxes.isEmpty());

        bed_.dialogs.importFile = bed_.DataPath("missing.s");
        bed_.main->actImport->trigger();
        QCOMPARE(bed_.dialogs.errorBoxes,
                 QStringList({"Chyba při otevírání souboru \"" + bed_.DataPath("missing.s") + "\""}));
        QCOMPARE(bed_.main->EditWindows().size(), 3);
        QVERIFY(bed_.dialogs.messages.isEmpty());

        // A line longer than the store keeps in one node stays one line.
        const std::string longLine = "DB\t" + std::string(3000, '1') + " ; " + std::string(40, 'c');
        WriteBytes(bed_.DataPath("long.s"), QByteArray::fromStdString(longLine + "\r\nNOP\r\n"));
        bed_.dialogs.importFile = bed_.DataPath("long.s");
        bed_.main->actImport->trigger();
        QCOMPARE(ShownText(bed_.main->ActiveEditWin()),
                 QString::fromStdString(PrevodRadku(longLine) + "\n" + PrevodRadku("NOP")));
    }

    void findProposesTheWordAtTheCaretAndSearches() {
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("mov a,b\rmov c,d"));
        Select(win, 9, 9); // inside the second "mov"
        QString proposed;
        bed_.main->frmNajit->run = [&](TfrmNajit& dialog) {
            proposed = dialog.cbHledat->currentText();
            dialog.cbHledat->setEditText(QStringLiteral("MOV"));
            dialog.chkOdZacatku->setChecked(true);
            return int(QDialog::Accepted);
        };
        QTest::keyClick(bed_.main.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(proposed, QStringLiteral("mov"));
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(0));
        QCOMPARE(win->sMemo->SelLength(), 3);

        bed_.main->actNajitDalsi->trigger();
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(8));
        QVERIFY(bed_.dialogs.messages.isEmpty());
        bed_.main->actNajitDalsi->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, QStringLiteral("\"MOV\" nenalezeno ..."));
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Information);
    }

    void replaceAllGoesThroughTheControl() {
        TEditWin* win = NewDocument();
        TypeAtCaret(win, QStringLiteral("a a a"));
        Select(win, 0, 0);
        bed_.main->frmNajit->run = [](TfrmNajit& dialog) {
            dialog.cbHledat->setEditText(QStringLiteral("a"));
            dialog.cbNahradit->setEditText(QStringLiteral("bb"));
            dialog.chkPotvrzovat->setChecked(false);
            return TfrmNajit::ResultAll;
        };
        bed_.main->actNahradit->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("bb bb bb"));
        QVERIFY(win->sMemo->Modified());
        QCOMPARE(bed_.main->StatusPanel(0)->text(),
                 QString::asprintf("%4d:%4d", win->sMemo->CaretLine(), win->sMemo->CaretColumn()));
    }

    // The status bar and the undo commands follow a change sent to the
    // control as a message, with no further call.
    void messagesToTheControlReachTheStatusBar() {
        TEditWin* win = NewDocument();
        torvane::editor::TCustomTessary& control = win->sMemo->Control();
        control.Perform(torvane::editor::EM_REPLACESEL, 0, reinterpret_cast<intptr_t>("nop\rret"));
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   2:   4"));
        QCOMPARE(bed_.main->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));
        QVERIFY(bed_.main->actZpet->isEnabled());
        QVERIFY(bed_.main->actUlozit->isEnabled());
        control.Perform(torvane::editor::EM_UNDO);
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   1:   1"));
        QVERIFY(bed_.main->StatusPanel(3)->text().isEmpty());
        QVERIFY(!bed_.main->actZpet->isEnabled());
        QVERIFY(bed_.main->actZnovu->isEnabled());
        control.SetInsertMode(false);
        QCOMPARE(bed_.main->StatusPanel(2)->text(), QString::fromUtf8(text::kOverwriteMode));
    }

    // The document window leaves dropped files to the main window, which
    // opens them as documents wherever they land.
    void filesDroppedOnAnEditorOpenAsDocuments() {
        TEditWin* target = NewDocument();
        const QString a = bed_.DataPath(QStringLiteral("blink.asm")),
                      b = bed_.DataPath(QStringLiteral("regs.inc"));
        WriteBytes(a, ";compiler: asem51\r\nsetb p1.0\r\n");
        WriteBytes(b, "led equ p1.0\r\n");
        QVERIFY(QDir().mkpath(bed_.DataPath(QStringLiteral("folder"))));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(bed_.DataPath(QStringLiteral("folder"))),
                      QUrl::fromLocalFile(b)});
        // The document window's editor leaves files to its frame: a drop of
        // files anywhere on the window reaches the main window, which opens them.
        QVERIFY(!(target->sMemo->Control().Options() & torvane::smoProcessDroppedFiles));
        QObject* frame = bed_.main.get();
        QDragEnterEvent enter(QPoint(40, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setAccepted(false);
        frame->event(&enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPoint(40, 10), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        frame->event(&drop);
        // Never a move: the file manager keeps its files.
        QCOMPARE(drop.dropAction(), Qt::CopyAction);

        QTRY_COMPARE(bed_.main->EditWindows().size(), 3);
        QCOMPARE(bed_.main->ActiveEditWin()->FileName, b);
        QCOMPARE(ShownText(bed_.main->ActiveEditWin()), QStringLiteral("led equ p1.0\n"));
        QCOMPARE(bed_.main->EditWindows()[1]->FileName, a);
        QCOMPARE(bed_.main->EditWindows()[1]->HighlightAssembler, torvane::platform::Assembler::Asem51);
        QCOMPARE(ShownText(target), QString());
        QCOMPARE(bed_.main->mnItmHistorie->actions().size(), 2);
        QCOMPARE(bed_.main->mnItmHistorie->actions()[0]->statusTip(), b);
        QCOMPARE(bed_.main->mnItmHistorie->actions()[1]->statusTip(), a);
    }
};

QTEST_MAIN(EditorFlowsTest)
#include "EditorFlows_test.moc"
