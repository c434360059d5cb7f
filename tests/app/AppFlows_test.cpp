// The main window's document flows and the document window, driven on the
// offscreen platform with scripted dialog answers.

#include "AppTestBed.h"
#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "common/IniFile.h"
#include "editor/TextStore.h"
#include "platform/Names.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace torvane::app;
using namespace torvane::app::test;

namespace {

QString Msg(const char* text, const QString& name) {
    return FormatCz(text, name);
}

} // namespace

class AppFlowsTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;

    void StartMain() { bed_.StartMain(std::nullopt); }

    QStringList TabTexts() const {
        QStringList texts;
        for (int i = 0; i < bed_.main->tabConSoubory->count(); ++i)
            texts << bed_.main->tabConSoubory->tabText(i);
        return texts;
    }

    QStringList OpenNames() const {
        QStringList names;
        for (const TEditWin* win : bed_.main->EditWindows())
            names << win->FileName;
        return names;
    }

    // Closes a window through its frame, as the user would, and lets Qt free it.
    void CloseWindow(TEditWin* win) {
        bed_.main->SubWindowOf(win)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TEditWin* NewDocument(int assembler = 0) {
        bed_.dialogs.assembler = assembler;
        bed_.main->actNovy->trigger();
        return bed_.main->ActiveEditWin();
    }

private slots:
    void init() {
        QVERIFY(bed_.Prepare(TestScripts::kEmpty));
        StartMain();
    }

    void cleanup() { bed_.Finish(); }

    void untitledNamesFillTheFirstGap() {
        NewDocument();
        TEditWin* second = NewDocument();
        NewDocument();
        QCOMPARE(OpenNames(), QStringList({"Nový soubor 1", "Nový soubor 2", "Nový soubor 3"}));
        CloseWindow(second);
        QCOMPARE(TabTexts(), QStringList({"Nový soubor 1", "Nový soubor 3"}));

        TEditWin* fresh = NewDocument();
        QCOMPARE(fresh->FileName, QStringLiteral("Nový soubor 2"));
        QCOMPARE(bed_.main->tabConSoubory->tabText(bed_.main->tabConSoubory->currentIndex()),
                 fresh->FileName);
        QVERIFY(IsUntitled(fresh->FileName));
        QVERIFY(!IsUntitled(QStringLiteral("nový soubor 2")));
    }

    void newDocumentWithAssemblerHoldsOnlyItsMarkerLine() {
        TEditWin* win = NewDocument(1);
        QCOMPARE(win->sMemo->LineCount(), 1);
        QCOMPARE(ShownText(win), QStringLiteral(";compiler: asem51"));
        QCOMPARE(win->sMemo->Store().Text(), std::string(";compiler: asem51"));
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::Asem51);
        QVERIFY(bed_.main->mnItmHighlight[1]->isChecked());
        QCOMPARE(bed_.main->GetCompiler(), torvane::platform::Assembler::Asem51);
        QVERIFY(bed_.dialogs.messages.isEmpty());

        // Cancelling the choice creates nothing.
        bed_.dialogs.assembler = std::nullopt;
        bed_.main->actNovy->trigger();
        QCOMPARE(bed_.main->EditWindows().size(), 1);
    }

    void openedFileChoosesHighlightingFromFirstLine() {
        const QString path = bed_.DataPath("avr.asm");
        WriteBytes(path, ";COMPILER: AVRasm\r\nldi r16,1\r\n");
        bed_.dialogs.openFiles = {path};
        bed_.main->actOtevrit->trigger();
        TEditWin* win = bed_.main->ActiveEditWin();
        QVERIFY(win);
        QCOMPARE(win->FileName, path);
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::AvrAsm);
        QVERIFY(bed_.main->mnItmHighlight[2]->isChecked());
        QVERIFY(!win->sMemo->Modified());
        QVERIFY(bed_.main->actPrelozit->isEnabled());
        QVERIFY(!bed_.main->actUlozit->isEnabled());
        QVERIFY(bed_.main->windowTitle().contains(path));

        // Opening it again only activates it.
        NewDocument();
        bed_.main->CreateEditor(path, false);
        QCOMPARE(bed_.main->EditWindows().size(), 2);
        QCOMPARE(bed_.main->ActiveEditWin(), win);
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, Msg(text::kAlreadyOpen, path));
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Information);
    }

    void unreadableFileOpensNoDocument() {
        const QString path = bed_.DataPath("locked.asm");
        WriteBytes(path, "secret");
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly)) QSKIP("the file stays readable (running as root)");
        bed_.main->CreateEditor(path, false);
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(bed_.main->EditWindows().isEmpty());
        QCOMPARE(bed_.main->tabConSoubory->count(), 0);
    }

    void namesDifferingInCaseReachTheirOwnWindows() {
        const QString lower = bed_.DataPath("case.asm"), upper = bed_.DataPath("CASE.asm");
        WriteBytes(lower, "a");
        WriteBytes(upper, "b");
        bed_.main->CreateEditor(lower, false);
        bed_.main->CreateEditor(upper, false);
        QCOMPARE(bed_.main->EditWindows().size(), 2);
        bed_.main->tabConSoubory->setCurrentIndex(0);
        QCOMPARE(bed_.main->ActiveEditWin()->FileName, lower);
        bed_.main->tabConSoubory->setCurrentIndex(1);
        QCOMPARE(bed_.main->ActiveEditWin()->FileName, upper);
        bed_.main->ZobrazOkno(bed_.DataPath("Case.ASM"));
        QCOMPARE(bed_.main->ActiveEditWin()->FileName, lower);
    }

    void saveAsRefusesAnOpenNameIgnoringCaseAndAsksBeforeOverwriting() {
        const QString open = bed_.DataPath("open.asm"), existing = bed_.DataPath("exists.asm");
        WriteBytes(open, "x");
        WriteBytes(existing, "old");
        bed_.main->CreateEditor(open, false);
        TEditWin* win = NewDocument();
        TypeAtEnd(win, "mov a,#1");

        bed_.dialogs.saveChoices = {{bed_.DataPath("OPEN"), 1}, {existing, 2}, {existing, 1}};
        bed_.dialogs.answers = {mbOK, mbNo, mbYes};
        bed_.main->actUlozit->trigger(); // untitled: the save-as flow

        QCOMPARE(bed_.dialogs.saveDialogs, 1);
        QCOMPARE(bed_.dialogs.messages.size(), 3);
        QCOMPARE(bed_.dialogs.messages[0].text, Msg(text::kNameInUse, bed_.DataPath("OPEN.asm")));
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Error);
        QCOMPARE(bed_.dialogs.messages[1].text, Msg(text::kOverwrite, existing));
        QCOMPARE(bed_.dialogs.messages[1].kind, MsgKind::Confirmation);
        QCOMPARE(bed_.dialogs.messages[1].buttons, MsgButtons(mbYes | mbNo));
        QCOMPARE(bed_.dialogs.messages[1].defaultButton, mbNo);

        QCOMPARE(win->FileName, existing);
        QCOMPARE(TabTexts(), QStringList({open, existing}));
        QCOMPARE(ReadBytes(existing), QByteArray("mov a,#1"));
        QVERIFY(!win->sMemo->Modified());
        QVERIFY(bed_.main->actPrelozit->isEnabled());

        // The active document's own name is refused too.
        bed_.dialogs.messages.clear();
        bed_.dialogs.saveChoices = {{existing, 1}};
        bed_.main->actUlozitJako->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, Msg(text::kNameInUse, existing));
    }

    void saveAsAddsTheExtensionOfFilterOneOnly() {
        TEditWin* win = NewDocument();
        TypeAtEnd(win, "x");
        bed_.dialogs.saveChoices = {{bed_.DataPath("plain"), 1}};
        bed_.main->actUlozitJako->trigger();
        QCOMPARE(win->FileName, bed_.DataPath("plain.asm"));

        bed_.dialogs.saveChoices = {{bed_.DataPath("other"), 2}};
        bed_.main->actUlozitJako->trigger();
        QCOMPARE(win->FileName, bed_.DataPath("other"));
        QCOMPARE(ReadBytes(bed_.DataPath("other")), QByteArray("x"));
    }

    void saveFailureKeepsNameTabAndModifiedState() {
        TEditWin* win = NewDocument();
        TypeAtEnd(win, "data");
        const QString name = win->FileName;
        const QString target = bed_.DataPath("no-such-dir/file.asm");
        bed_.dialogs.saveChoices = {{target, 1}};
        bed_.main->actUlozit->trigger();

        QCOMPARE(bed_.dialogs.messages.size(), 1);
        // The message names the real reason, not a guess.
        QCOMPARE(bed_.dialogs.messages[0].text, SaveFailureText(target, ENOENT, {}));
        QVERIFY(bed_.dialogs.messages[0].text.contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Error);
        QCOMPARE(win->FileName, name);
        QCOMPARE(TabTexts(), QStringList({name}));
        QVERIFY(win->sMemo->Modified());
        QVERIFY(bed_.main->actUlozit->isEnabled());
        QCOMPARE(bed_.main->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));

        // A titled document whose file became a directory fails the same way
        // and keeps the old bytes of nothing.
        const QString path = bed_.DataPath("titled.asm");
        WriteBytes(path, "old");
        bed_.main->CreateEditor(path, false);
        TEditWin* titled = bed_.main->ActiveEditWin();
        TypeAtEnd(titled, "new");
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        bed_.dialogs.messages.clear();
        bed_.main->actUlozit->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, SaveFailureText(path, EISDIR, {}));
        QVERIFY(bed_.dialogs.messages[0].text.contains(QString::fromUtf8(text::kWhyNotAFile)));
        QVERIFY(titled->sMemo->Modified());
    }

    void exportWritesThePageAndLeavesTheDocumentAsItWas() {
        TEditWin* win = NewDocument();
        TypeAtEnd(win, "a<b");
        const QString name = win->FileName;
        const QString page = bed_.DataPath("page.html");
        WriteBytes(page, "old");
        bed_.dialogs.saveChoices = {{bed_.DataPath("page"), 1}};
        bed_.dialogs.answers = {mbYes};
        bed_.main->actExportHTML->trigger();

        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, Msg(text::kOverwrite, page));
        const QByteArray written = ReadBytes(page);
        QVERIFY(written.startsWith("<HTML><HEAD>\r\n"));
        QVERIFY(written.contains(">\r\na&lt;b\r\n</PRE>"));
        QCOMPARE(win->FileName, name);
        QVERIFY(win->sMemo->Modified());
        QVERIFY(win->sMemo->CanUndo());

        // A file that cannot be made is a Czech message; nothing else changes.
        bed_.dialogs.messages.clear();
        const QString target = bed_.DataPath("no-such-dir/x.rtf");
        bed_.dialogs.saveChoices = {{target, 1}};
        bed_.main->actExportRTF->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QVERIFY(
            bed_.dialogs.messages[0].text.startsWith(Msg(text::kCannotExport, target) + QLatin1Char('\r')));
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Error);
        QVERIFY(!QFile::exists(bed_.DataPath("no-such-dir")));
        QVERIFY(win->sMemo->Modified());

        bed_.dialogs.answers = {mbNo}; // not saved
        CloseWindow(win);
        QVERIFY(!bed_.main->actExportHTML->isEnabled());
    }

    void closeAllContinuesAfterARefusedClose() {
        TEditWin* first = NewDocument();
        TEditWin* second = NewDocument();
        NewDocument();
        TypeAtEnd(second, "keep me");
        bed_.dialogs.answers = {mbCancel};
        bed_.main->actZavritVse->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, QString::fromUtf8(text::kNotSaved));
        QCOMPARE(bed_.dialogs.messages[0].buttons, MsgButtons(mbYes | mbNo | mbCancel));
        QCOMPARE(bed_.dialogs.messages[0].defaultButton, mbYes);
        QCOMPARE(OpenNames(), QStringList({second->FileName}));
        QCOMPARE(TabTexts(), QStringList({second->FileName}));
        QVERIFY(bed_.main->actZavrit->isEnabled());
        Q_UNUSED(first);
    }

    void closingTheLastDocumentDisablesActionsAndClearsPanels() {
        TEditWin* win = NewDocument();
        QVERIFY(bed_.main->tlbTabs->isVisible());
        QVERIFY(bed_.main->actUlozitJako->isEnabled());
        TypeAtEnd(win, "abc");
        win->sMemo->SelectAll();
        QVERIFY(bed_.main->actKopirovat->isEnabled());
        QVERIFY(bed_.main->actZpet->isEnabled());
        QVERIFY(!bed_.main->StatusPanel(0)->text().isEmpty());
        bed_.main->StatusPanel(4)->setText(QStringLiteral("  hint"));

        bed_.dialogs.answers = {mbNo};
        CloseWindow(win);
        QVERIFY(bed_.main->EditWindows().isEmpty());
        QCOMPARE(bed_.main->tabConSoubory->count(), 0);
        QVERIFY(!bed_.main->tlbTabs->isVisible());
        for (QAction* a :
             {bed_.main->actUlozit, bed_.main->actUlozitJako, bed_.main->actZavrit, bed_.main->actZavritVse,
              bed_.main->actVlozit, bed_.main->actNajit, bed_.main->actPrelozit, bed_.main->actVybratVse,
              bed_.main->actKopirovat, bed_.main->actVyjmout, bed_.main->actZpet, bed_.main->actZnovu,
              bed_.main->actComment, bed_.main->actUnComment, bed_.main->mnItmHighlight[0]})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        for (QAction* a :
             {bed_.main->actNovy, bed_.main->actOtevrit, bed_.main->actImport, bed_.main->actNastaveni,
              bed_.main->actKaskada, bed_.main->actOprogramu, bed_.main->actKonec})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        for (int i = 0; i < 5; ++i)
            QVERIFY(bed_.main->StatusPanel(i)->text().isEmpty());
    }

    void closeQueryYesOnUntitledKeepsWindowWhenSaveIsCancelled() {
        TEditWin* win = NewDocument();
        TypeAtEnd(win, "unsaved");
        bed_.dialogs.answers = {mbYes};
        CloseWindow(win);
        QCOMPARE(bed_.dialogs.saveDialogs, 1);
        QCOMPARE(bed_.main->EditWindows().size(), 1);

        // Yes with a name saves and closes.
        bed_.dialogs.answers = {mbYes};
        bed_.dialogs.saveChoices = {{bed_.DataPath("saved.asm"), 1}};
        CloseWindow(win);
        QVERIFY(bed_.main->EditWindows().isEmpty());
        QCOMPARE(ReadBytes(bed_.DataPath("saved.asm")), QByteArray("unsaved"));
    }

    void exitStopsAtTheFirstRefusal() {
        TEditWin* first = NewDocument();
        TEditWin* second = NewDocument();
        TypeAtEnd(first, "1");
        TypeAtEnd(second, "2");
        bed_.dialogs.answers = {mbNo, mbCancel};
        QVERIFY(!bed_.main->close());
        QCOMPARE(bed_.main->EditWindows().size(), 2);

        bed_.dialogs.answers = {mbNo, mbNo};
        QVERIFY(bed_.main->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(bed_.main->EditWindows().isEmpty());
    }

    void errorItemParsing_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("line");
        const QString doc = QStringLiteral("/src/Prog.asm");
        Q_UNUSED(doc);
        QTest::newRow("jump, case ignored")
            << "[Error] /SRC/PROG.ASM(12): bad operand" << int(ErrorItemTarget::Line) << 12;
        QTest::newRow("not an error")
            << QStringLiteral("Soubor nelze přeložit:") << int(ErrorItemTarget::NotAnError) << 0;
        QTest::newRow("warning") << "[Warning] /src/Prog.asm(3): x" << int(ErrorItemTarget::NotAnError) << 0;
        QTest::newRow("other file") << "[Error] /src/inc.asm(3): x" << int(ErrorItemTarget::OtherFile) << 0;
        QTest::newRow("no number") << "[Error] /src/Prog.asm(): x" << int(ErrorItemTarget::NoLine) << 0;
        QTest::newRow("no closing") << "[Error] /src/Prog.asm(12) x" << int(ErrorItemTarget::NoLine) << 0;
        QTest::newRow("overflow") << "[Error] /src/Prog.asm(99999999999): x" << int(ErrorItemTarget::NoLine)
                                  << 0;
        QTest::newRow("first ): wins")
            << "[Error] /src/Prog.asm(7): see (8): x" << int(ErrorItemTarget::Line) << 7;
        QTest::newRow("digits reach the start") << "[Error]12): x" << int(ErrorItemTarget::OtherFile) << 0;
        QTest::newRow("bare prefix") << "[Error]" << int(ErrorItemTarget::NoLine) << 0;
    }

    void errorItemParsing() {
        QFETCH(QString, item);
        QFETCH(int, kind);
        QFETCH(int, line);
        const ErrorItemTarget target = ParseErrorItem(item, QStringLiteral("/src/Prog.asm"));
        QCOMPARE(int(target.kind), kind);
        QCOMPARE(target.line, line);
    }

    void messageClickJumpsToTheLineAndMarksIt() {
        const QString path = bed_.DataPath("twenty.asm");
        QByteArray text;
        for (int i = 1; i <= 20; ++i)
            text += "line " + QByteArray::number(i) + "\r\n";
        text.chop(2);
        WriteBytes(path, text);
        bed_.main->CreateEditor(path, false);
        TEditWin* win = bed_.main->ActiveEditWin();
        QCOMPARE(win->sMemo->LineCount(), 20);
        win->resize(600, 300);
        win->sMemo->SetCaret(2, 3);

        win->lstBox->addItems({QStringLiteral("Soubor nelze přeložit:"),
                               "[Error] " + path.toUpper() + "(12): bad", "[Error] " + path + "(20): last",
                               "[Error] /other.asm(3): x"});
        win->lstBoxClick(win->lstBox->item(0));
        QCOMPARE(win->sMemo->CaretLine(), 2);
        win->lstBoxClick(win->lstBox->item(3));
        QCOMPARE(win->sMemo->CaretLine(), 2);
        QCOMPARE(win->ErrorLine, -1);
        win->lstBoxClick(win->lstBox->item(2)); // the line count itself is out of reach
        QCOMPARE(win->sMemo->CaretLine(), 2);

        win->lstBoxClick(win->lstBox->item(1));
        QCOMPARE(win->sMemo->CaretLine(), 12);
        QCOMPARE(win->sMemo->CaretColumn(), 1);
        QCOMPARE(win->sMemo->TopLine(), 7);
        QCOMPARE(win->ErrorLine, 12);
        QCOMPARE(win->sMemo->MarkedLine(), std::optional<int>(12));
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("  12:   1"));

        // The next change notification (here a caret move) removes the mark.
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        QCOMPARE(win->ErrorLine, -1);
        QCOMPARE(win->sMemo->MarkedLine(), std::nullopt);
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("  12:   2"));
        QCOMPARE(bed_.main->StatusPanel(1)->text(), QStringLiteral("Ord: # 105   Hex: 69h"));
    }

    void statusPanelsDescribeTheCaret() {
        TEditWin* win = NewDocument();
        TypeAtEnd(win, "A");
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   1:   2"));
        QCOMPARE(bed_.main->StatusPanel(1)->text(), QStringLiteral("Ord: #   0   Hex:  0h"));
        QCOMPARE(bed_.main->StatusPanel(2)->text(), QString::fromUtf8(text::kInsertMode));
        QCOMPARE(bed_.main->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));
        QVERIFY(!bed_.main->actPrelozit->isEnabled());
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Return);
        QCOMPARE(bed_.main->StatusPanel(0)->text(), QStringLiteral("   2:   1"));
        QCOMPARE(bed_.main->StatusPanel(1)->text(), QString::fromUtf8(text::kOrdEmptyLine));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Insert);
        QCOMPARE(bed_.main->StatusPanel(2)->text(), QString::fromUtf8(text::kOverwriteMode));
    }

    void loadAndSaveKeepEveryByte() {
        // LF and CR line ends, code-page letters and a byte the code page
        // leaves undefined all survive; saving writes CR LF.
        const QString path = bed_.DataPath("bytes.asm");
        WriteBytes(path, QByteArray("a\xE8\x9A\nb\x81\rc"));
        bed_.main->CreateEditor(path, false);
        TEditWin* win = bed_.main->ActiveEditWin();
        QCOMPARE(ShownText(win), QStringLiteral("ačš\nb\u0081\nc"));
        TypeAtEnd(win, QStringLiteral("ř"));
        bed_.main->actUlozit->trigger();
        QVERIFY(bed_.dialogs.messages.isEmpty());
        QCOMPARE(ReadBytes(path), QByteArray("a\xE8\x9A\r\nb\x81\r\nc\xF8"));

        // A character outside the code page is refused, never stored.
        TypeAtCaret(win, QStringLiteral("\u4E2D"));
        QCOMPARE(win->sMemo->Store().Text(), std::string("a\xE8\x9A\rb\x81\rc\xF8"));
    }

    void missingScriptIsReportedAndHighlightingStays() {
        TEditWin* win = NewDocument(1);
        QVERIFY(QFile::remove(bed_.ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc")));
        bed_.main->mnItmHighlight[2]->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text,
                 QStringLiteral("Chybí potřebný skript \"AvrAsm.tsc\"\rZvýraznění textu nebude fungovat."));
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Error);
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::AvrAsm);
        QVERIFY(bed_.main->mnItmHighlight[2]->isChecked());
    }

    void recentFilesFollowTheOpenFlow() {
        const QString a = bed_.DataPath("a.asm"), b = bed_.DataPath("b&c.asm");
        WriteBytes(a, "a");
        WriteBytes(b, "b");
        bed_.dialogs.openFiles = {a, b};
        bed_.main->actOtevrit->trigger();
        QCOMPARE(bed_.main->mnItmHistorie->actions().size(), 2);
        QCOMPARE(bed_.main->mnItmHistorie->actions()[0]->text(), "1  " + QString(b).replace("&", "&&"));
        QCOMPARE(bed_.main->mnItmHistorie->actions()[0]->statusTip(), b);

        // Opening A again (after closing it) moves it to the front.
        CloseWindow(bed_.main->EditWindows()[0]);
        bed_.main->mnItmHistorie->actions()[1]->trigger();
        QCOMPARE(bed_.main->ActiveEditWin()->FileName, a);
        QCOMPARE(bed_.main->mnItmHistorie->actions()[0]->statusTip(), a);
        QCOMPARE(bed_.main->mnItmHistorie->actions()[1]->statusTip(), b);

        // A vanished file is reported and keeps its slot.
        QVERIFY(QFile::remove(b));
        bed_.main->mnItmHistorie->actions()[1]->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, Msg(text::kNoSuchFile, b));
        QCOMPARE(bed_.main->mnItmHistorie->actions().size(), 2);
        // The toolbar's list rebuilds itself when it drops down.
        emit bed_.main->popOtevrit->aboutToShow();
        QCOMPARE(bed_.main->popOtevrit->actions().size(), 2);
    }

    void settingsDialogOkReappliesEditorSettings() {
        TEditWin* win = NewDocument();
        bed_.dialogs.settingsEdit = [](torvane::TMemIniFile& s) { s.WriteInteger("Editor", "FontSize", 17); };
        bed_.main->actNastaveni->trigger();
        QCOMPARE(win->sMemo->View().Appearance().font.size, 17);
        bed_.main->actOprogramu->trigger();
        QCOMPARE(bed_.dialogs.aboutBoxes, 1);
    }

    void buildCommandReachesTheDocumentWindow() {
        // Untitled: refused, the old log stays.
        const QString log = bed_.ProgramDir() + QStringLiteral("compiler.log");
        WriteBytes(log, "old");
        NewDocument();
        bed_.main->actPrelozit->setEnabled(true);
        bed_.main->actPrelozit->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, QStringLiteral("Neplatný název souboru!"));
        QVERIFY(QFile::exists(log));

        // No marker and the choice cancelled: only the log goes.
        const QString path = bed_.DataPath("plain.asm");
        WriteBytes(path, "nop\r\n");
        bed_.main->CreateEditor(path, false);
        TEditWin* win = bed_.main->ActiveEditWin();
        win->lstBox->addItem(QStringLiteral("earlier"));
        bed_.dialogs.assembler = std::nullopt;
        bed_.main->actPrelozit->trigger();
        QVERIFY(!QFile::exists(log));
        QCOMPARE(win->lstBox->count(), 1);
        QVERIFY(!win->sMemo->Modified());

        // ASEM51 chosen: the marker becomes line 1; without the bridge
        // library beside the program the error names it.
        bed_.dialogs.messages.clear();
        bed_.dialogs.assembler = 1;
        bed_.main->actPrelozit->trigger();
        QCOMPARE(ShownText(win), QStringLiteral(";compiler: asem51\nnop\n"));
        QVERIFY(win->sMemo->Modified());
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QVERIFY(
            bed_.dialogs.messages[0].text.contains(QString::fromLatin1(torvane::platform::kBridgeLibrary)));
        QVERIFY(bed_.main->isEnabled());
    }

    void hintsGoToTheLastPanel() {
        QStatusTipEvent tip(bed_.main->actNovy->statusTip());
        QCoreApplication::sendEvent(bed_.main->menuBar(), &tip);
        QCOMPARE(bed_.main->StatusPanel(4)->text(), QStringLiteral("  Vytvoří nový soubor"));
    }

    void messageBoxHasCzechTitleCaptionsAndDefault() {
        // The real box: inspect it while it is open, then answer it.
        QtAppDialogs real;
        QStringList captions;
        QString title, defaultCaption, text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            for (QAbstractButton* b : box->buttons())
                captions << b->text();
            defaultCaption = box->defaultButton() ? box->defaultButton()->text() : QString();
            box->button(QMessageBox::No)->click();
        });
        const MsgButton answer = real.MessageDlgCz(bed_.main.get(), QString::fromUtf8(text::kChangedOutside),
                                                   MsgKind::Confirmation, mbYes | mbNo | mbCancel, 0, mbNo);
        QCOMPARE(answer, mbNo);
        QCOMPARE(title, QStringLiteral("Potvrzení"));
        QVERIFY(text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
        captions.sort();
        QCOMPARE(captions, QStringList({"&Ano", "&Ne", "S&torno"}));
        QCOMPARE(defaultCaption, QStringLiteral("&Ne"));
        QCOMPARE(CzechTitle(MsgKind::Error), QStringLiteral("Chyba"));
        QCOMPARE(CzechButtonCaption(mbHelp), QStringLiteral("Ná&pověda"));
    }

    void windowSizeIsWrittenOnlyWhenNotMaximised() {
        const QString ini = bed_.ProgramDir() + QString::fromUtf8(text::kSettingsFile);
        bed_.main.reset();
        WriteBytes(ini, "[Window]\r\nWidth=800\r\nHeight=600\r\nMaximized=1\r\n");
        StartMain();
        bed_.main.reset();
        {
            torvane::TMemIniFile file(QFile::encodeName(ini).toStdString());
            QCOMPARE(file.ReadInteger("Window", "Width", 0), 800);
            QVERIFY(file.ReadBool("Window", "Maximized", false));
        }
        WriteBytes(ini, "[Window]\r\nWidth=800\r\nHeight=600\r\nMaximized=0\r\n");
        StartMain();
        bed_.main->resize(900, 650);
        bed_.main.reset();
        torvane::TMemIniFile file(QFile::encodeName(ini).toStdString());
        QCOMPARE(file.ReadInteger("Window", "Width", 0), 900);
        QCOMPARE(file.ReadInteger("Window", "Height", 0), 650);
        QVERIFY(!file.ReadBool("Window", "Maximized", true));
        StartMain(); // for cleanup()
    }
};

QTEST_MAIN(AppFlowsTest)
#include "AppFlows_test.moc"
