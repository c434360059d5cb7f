// The document window's editor control as the user drives it: keys and the
// mouse through the widget, Zpět/Znovu with their hints, highlighting from
// the bundled scheme scripts, comment toggling, import, and the find dialog
// over the control. Offscreen, with scripted dialog answers.

#include "ScriptedDialogs.h"
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
using torvane::app::test::ScriptedDialogs;
using torvane::editor::TOffset;

namespace {

const QString kSourceDir = QStringLiteral(TORVANE_SOURCE_DIR);

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString ShownText(const TEditWin* win) {
    return Cp1250ToUnicode(win->sMemo->Store().Text()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

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

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TfrmTorvane> main_;

    QString ProgramDir() const { return dir_->path() + QStringLiteral("/prog/"); }
    QString DataPath(const QString& name) const { return dir_->path() + QLatin1Char('/') + name; }

    TEditWin* NewDocument(int assembler = 0) {
        dialogs_.assembler = assembler;
        main_->actNovy->trigger();
        return main_->ActiveEditWin();
    }

    TEditWin* OpenCopy(const QString& sourcePath) {
        const QString path = DataPath(QFileInfo(sourcePath).fileName());
        QFile::copy(sourcePath, path);
        main_->CreateEditor(path, false, 0);
        return main_->ActiveEditWin();
    }

    static void Type(TEditWin* win, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&win->sMemo->View(), &press);
        }
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
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Scripts")));
        for (const char* script : {"txt.tsc", "asm51.tsc", "AvrAsm.tsc"})
            QVERIFY(QFile::copy(kSourceDir + QStringLiteral("/Scripts/") + QLatin1String(script),
                                ProgramDir() + QStringLiteral("Scripts/") + QLatin1String(script)));
        dialogs_ = ScriptedDialogs();
        main_ = std::make_unique<TfrmTorvane>(dialogs_, ProgramDir());
        main_->resize(900, 700);
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    }

    void cleanup() {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir_.reset();
    }

    void keysAndMouseReachTheControl() {
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("abc\rdef"));
        QCOMPARE(ShownText(win), QStringLiteral("abc\ndef"));
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   2:   4"));

        QTest::keyClick(&win->sMemo->View(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(win->sMemo->SelLength(), 2);
        QCOMPARE(win->sMemo->Control().SelText(), std::string("ef"));
        QVERIFY(main_->actKopirovat->isEnabled());
        QVERIFY(main_->actComment->isEnabled());
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
        QTRY_VERIFY(main_->popEditor->isVisible());
        main_->popEditor->hide();
    }

    void undoTakesWholeRunsAndNamesThem() {
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("abc"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Backspace);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Backspace);
        QCOMPARE(ShownText(win), QStringLiteral("a"));

        main_->actZpet->trigger(); // both deletions at once
        QCOMPARE(ShownText(win), QStringLiteral("abc"));
        QCOMPARE(main_->actZpet->statusTip(), QStringLiteral("Zpět smazat"));
        main_->actZpet->trigger(); // all three typed characters
        QCOMPARE(ShownText(win), QString());
        QCOMPARE(main_->actZpet->statusTip(), QStringLiteral("Zpět psaní textu"));
        QVERIFY(!main_->actZpet->isEnabled());
        QVERIFY(main_->actZnovu->isEnabled());

        main_->actZnovu->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("abc"));
        QCOMPARE(main_->actZnovu->statusTip(), QStringLiteral("Znovu psaní textu"));

        // Nothing left to undo and a kind without a name keep the hint.
        main_->actZnovu->trigger();
        main_->actZnovu->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("a"));
        QCOMPARE(main_->actZnovu->statusTip(), QStringLiteral("Znovu smazat"));
        Select(win, 0, 1);
        main_->actComment->trigger();
        main_->actZpet->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("a"));
        QCOMPARE(main_->actZpet->statusTip(), QStringLiteral("Zpět psaní textu"));
    }

    void statusPanelsShowTheCharacterAtTheCaret() {
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("A\tč"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Home);
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   1:   1"));
        QCOMPARE(main_->StatusPanel(1)->text(), QStringLiteral("Ord: #  65   Hex: 41h"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        // The TAB reaches the first tab column (15); "č" is byte 0xE8.
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   1:  15"));
        QCOMPARE(main_->StatusPanel(1)->text(), QStringLiteral("Ord: # 232   Hex: E8h"));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Insert);
        QCOMPARE(main_->StatusPanel(2)->text(), QString::fromUtf8(text::kOverwriteMode));
        QCOMPARE(main_->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));
    }

    void caretPanelShowsEveryDigitOfAHugeLineNumber() {
        TEditWin* win = NewDocument();
        win->sMemo->Store().SetText(std::string(5'460'309, '\r'));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_End, Qt::ControlModifier);
        QLabel* panel = main_->StatusPanel(0);
        QCOMPARE(panel->text(), QStringLiteral("5460310:   1"));
        QTRY_VERIFY(panel->contentsRect().width() >= panel->fontMetrics().horizontalAdvance(panel->text()));
        // The panel keeps its width back at the top: the bar does not jump.
        const int wide = panel->width();
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(panel->text(), QStringLiteral("   1:   1"));
        QCOMPARE(panel->width(), wide);
    }

    void anOpened8051SourceIsHighlighted() {
        TEditWin* win = OpenCopy(kSourceDir + QStringLiteral("/examples/blink51.asm"));
        QCOMPARE(win->HighlightIndex, 1);
        QVERIFY(dialogs_.messages.isEmpty());
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   1:   1"));
        QCOMPARE(main_->StatusPanel(1)->text(), QStringLiteral("Ord: #  59   Hex: 3Bh"));
        const uint8_t mnemonic = TokenOf(win, 3, "CPL");
        QVERIFY(mnemonic != 0);
        const uint8_t style = win->sMemoParser.Settings().StyleOfToken(mnemonic);
        QVERIFY(style != 0);
        QVERIFY(win->sMemoParser.Settings().GetStyle(style).defined);

        // Typing re-highlights the edited line.
        Select(win, win->sMemo->Store().LineStart(6), win->sMemo->Store().LineStart(6));
        Type(win, QStringLiteral("\tNOP"));
        QCOMPARE(TokenOf(win, 6, "NOP"), mnemonic);
        // So does a message to the control, with no key after it.
        win->sMemo->Control().Perform(torvane::editor::EM_REPLACESEL, 0,
                                      reinterpret_cast<intptr_t>("\tRET\r"));
        QCOMPARE(TokenOf(win, 6, "RET"), mnemonic);
    }

    void missingAvrScriptKeepsTheHighlighting() {
        TEditWin* win = OpenCopy(kSourceDir + QStringLiteral("/examples/blink51.asm"));
        const auto before = std::vector<uint8_t>(win->sMemo->Store().NodeStyles(3).begin(),
                                                 win->sMemo->Store().NodeStyles(3).end());
        QVERIFY(QFile::remove(ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc")));
        main_->mnItmHighlight[2]->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text,
                 QStringLiteral("Chybí potřebný skript \"AvrAsm.tsc\"\rZvýraznění textu nebude fungovat."));
        const auto after = win->sMemo->Store().NodeStyles(3);
        QCOMPARE(std::vector<uint8_t>(after.begin(), after.end()), before);
    }

    void aScriptErrorNamesItsPositionAndKeepsTheSelectionStart() {
        WriteBytes(ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc"), "%%Words\n'a' '' 300\n");
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("abc"));
        Select(win, 1, 3);
        main_->mnItmHighlight[2]->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        const QString message = dialogs_.messages[0].text;
        QVERIFY2(message.startsWith(QStringLiteral("Chyba ve skriptu \"AvrAsm.tsc\" (řádek 2 sloupec ")),
                 qPrintable(message));
        QVERIFY(message.endsWith(QStringLiteral(").\rZvýraznění textu nebude fungovat.")));
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(1));
        QCOMPARE(win->sMemo->SelLength(), 0);
    }

    void aSchemeThatFailsWhileScanningStopsHighlightingOnly() {
        // Compiles, but pops an empty state stack at the first word.
        WriteBytes(ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc"),
                   "%%Tokens\n 1 '[a-z]' '[a-z]' '[^a-z]' _discard_\n%%States\n 1 pop ( )\n");
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("abc def"));
        main_->mnItmHighlight[2]->trigger();
        QVERIFY(dialogs_.messages.isEmpty());
        Type(win, QStringLiteral(" x"));
        QCOMPARE(ShownText(win), QStringLiteral("abc def x"));
        // Choosing a working scheme highlights again.
        main_->mnItmHighlight[1]->trigger();
        Select(win, 0, 0);
        Type(win, QStringLiteral("\tMOV A,B\r"));
        QVERIFY(TokenOf(win, 0, "MOV") != 0);
    }

    void commentCommandsWorkOnWholeLinesInOneStep() {
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("one\rtwo\r;three\rfour\r\r;;six"));
        const QString original = ShownText(win);
        // From the middle of line 1 to the middle of line 3.
        Select(win, 1, 10);
        main_->actComment->trigger();
        QCOMPARE(ShownText(win), QStringLiteral(";one\n;two\n;three\nfour\n\n;;six"));
        main_->actZpet->trigger();
        QCOMPARE(ShownText(win), original);

        // A selection ending at a line start leaves that line out; one ";" goes.
        const auto& store = win->sMemo->Store();
        Select(win, store.LineStart(2), store.LineStart(3));
        main_->actUnComment->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("one\ntwo\nthree\nfour\n\n;;six"));
        Select(win, store.LineStart(3), store.TextLength());
        main_->actUnComment->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("one\ntwo\nthree\nfour\n\n;six"));
    }

    void importLaysOutEveryLineIntoANewDocument() {
        const QString path = DataPath("old.s");
        WriteBytes(path, "START:   MOV A , B;x\r\n    \r\n  ; note\r\n");
        dialogs_.importFile = path;
        main_->actImport->trigger();
        TEditWin* win = main_->ActiveEditWin();
        QCOMPARE(win->FileName, QStringLiteral("Nový soubor 1"));
        QCOMPARE(ShownText(win), QStringLiteral("START:\tMOV\tA,B\t;x\n\n\t\t\t; note"));
        QCOMPARE(win->HighlightIndex, 0);
        QVERIFY(!main_->frmDialog->isVisible());

        WriteBytes(DataPath("empty.s"), "");
        dialogs_.importFile = DataPath("empty.s");
        main_->actImport->trigger();
        QCOMPARE(ShownText(main_->ActiveEditWin()), QString());
        QVERIFY(dialogs_.errorBoxes.isEmpty());

        dialogs_.importFile = DataPath("missing.s");
        main_->actImport->trigger();
        QCOMPARE(dialogs_.errorBoxes,
                 QStringList({"Chyba při otevírání souboru \"" + DataPath("missing.s") + "\""}));
        QCOMPARE(main_->EditWindows().size(), 3);
        QVERIFY(dialogs_.messages.isEmpty());

        // A line longer than the store keeps in one node stays one line.
        const std::string longLine = "DB\t" + std::string(3000, '1') + " ; " + std::string(40, 'c');
        WriteBytes(DataPath("long.s"), QByteArray::fromStdString(longLine + "\r\nNOP\r\n"));
        dialogs_.importFile = DataPath("long.s");
        main_->actImport->trigger();
        QCOMPARE(ShownText(main_->ActiveEditWin()),
                 QString::fromStdString(PrevodRadku(longLine) + "\n" + PrevodRadku("NOP")));
    }

    void findProposesTheWordAtTheCaretAndSearches() {
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("mov a,b\rmov c,d"));
        Select(win, 9, 9); // inside the second "mov"
        QString proposed;
        main_->frmNajit->run = [&](TfrmNajit& dialog) {
            proposed = dialog.cbHledat->currentText();
            dialog.cbHledat->setEditText(QStringLiteral("MOV"));
            dialog.chkOdZacatku->setChecked(true);
            return int(QDialog::Accepted);
        };
        QTest::keyClick(main_.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(proposed, QStringLiteral("mov"));
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(0));
        QCOMPARE(win->sMemo->SelLength(), 3);

        main_->actNajitDalsi->trigger();
        QCOMPARE(win->sMemo->Control().SelStart(), TOffset(8));
        QVERIFY(dialogs_.messages.isEmpty());
        main_->actNajitDalsi->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, QStringLiteral("\"MOV\" nenalezeno ..."));
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Information);
    }

    void replaceAllGoesThroughTheControl() {
        TEditWin* win = NewDocument();
        Type(win, QStringLiteral("a a a"));
        Select(win, 0, 0);
        main_->frmNajit->run = [](TfrmNajit& dialog) {
            dialog.cbHledat->setEditText(QStringLiteral("a"));
            dialog.cbNahradit->setEditText(QStringLiteral("bb"));
            dialog.chkPotvrzovat->setChecked(false);
            return TfrmNajit::ResultAll;
        };
        main_->actNahradit->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("bb bb bb"));
        QVERIFY(win->sMemo->Modified());
        QCOMPARE(main_->StatusPanel(0)->text(),
                 QString::asprintf("%4d:%4d", win->sMemo->CaretLine(), win->sMemo->CaretColumn()));
    }

    // The status bar and the undo commands follow a change sent to the
    // control as a message, with no further call.
    void messagesToTheControlReachTheStatusBar() {
        TEditWin* win = NewDocument();
        torvane::editor::TCustomTessary& control = win->sMemo->Control();
        control.Perform(torvane::editor::EM_REPLACESEL, 0, reinterpret_cast<intptr_t>("nop\rret"));
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   2:   4"));
        QCOMPARE(main_->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));
        QVERIFY(main_->actZpet->isEnabled());
        QVERIFY(main_->actUlozit->isEnabled());
        control.Perform(torvane::editor::EM_UNDO);
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   1:   1"));
        QVERIFY(main_->StatusPanel(3)->text().isEmpty());
        QVERIFY(!main_->actZpet->isEnabled());
        QVERIFY(main_->actZnovu->isEnabled());
        control.SetInsertMode(false);
        QCOMPARE(main_->StatusPanel(2)->text(), QString::fromUtf8(text::kOverwriteMode));
    }

    // The document window leaves dropped files to the main window, which
    // opens them as documents wherever they land.
    void filesDroppedOnAnEditorOpenAsDocuments() {
        TEditWin* target = NewDocument();
        const QString a = DataPath(QStringLiteral("blink.asm")), b = DataPath(QStringLiteral("regs.inc"));
        WriteBytes(a, ";compiler: asem51\r\nsetb p1.0\r\n");
        WriteBytes(b, "led equ p1.0\r\n");
        QVERIFY(QDir().mkpath(DataPath(QStringLiteral("folder"))));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(DataPath(QStringLiteral("folder"))),
                      QUrl::fromLocalFile(b)});
        // The document window's editor leaves files to its frame: a drop of
        // files anywhere on the window reaches the main window, which opens them.
        QVERIFY(!(target->sMemo->Control().Options() & torvane::smoProcessDroppedFiles));
        QObject* frame = main_.get();
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

        QTRY_COMPARE(main_->EditWindows().size(), 3);
        QCOMPARE(main_->ActiveEditWin()->FileName, b);
        QCOMPARE(ShownText(main_->ActiveEditWin()), QStringLiteral("led equ p1.0\n"));
        QCOMPARE(main_->EditWindows()[1]->FileName, a);
        QCOMPARE(main_->EditWindows()[1]->HighlightIndex, 1);
        QCOMPARE(ShownText(target), QString());
        QCOMPARE(main_->mnItmHistorie->actions().size(), 2);
        QCOMPARE(main_->mnItmHistorie->actions()[0]->statusTip(), b);
        QCOMPARE(main_->mnItmHistorie->actions()[1]->statusTip(), a);
    }
};

QTEST_MAIN(EditorFlowsTest)
#include "EditorFlows_test.moc"
