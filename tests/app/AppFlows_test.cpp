// The main window's document flows and the document window, driven on the
// offscreen platform with scripted dialog answers.

#include "ScriptedDialogs.h"
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
using torvane::app::test::ScriptedDialogs;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString Msg(const char* text, const QString& name) {
    return FormatCz(text, name);
}

// The document as the user reads it, line breaks as "\n".
QString ShownText(const TEditWin* win) {
    return Cp1250ToUnicode(win->sMemo->Store().Text()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

class AppFlowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TfrmTorvane> main_;

    QString ProgramDir() const { return dir_->path() + QStringLiteral("/prog/"); }
    QString DataPath(const QString& name) const { return dir_->path() + QLatin1Char('/') + name; }

    void StartMain() {
        main_ = std::make_unique<TfrmTorvane>(dialogs_, ProgramDir());
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    }

    QStringList TabTexts() const {
        QStringList texts;
        for (int i = 0; i < main_->tabConSoubory->count(); ++i)
            texts << main_->tabConSoubory->tabText(i);
        return texts;
    }

    QStringList OpenNames() const {
        QStringList names;
        for (const TEditWin* win : main_->EditWindows())
            names << win->FileName;
        return names;
    }

    // Closes a window through its frame, as the user would, and lets Qt free it.
    void CloseWindow(TEditWin* win) {
        main_->SubWindowOf(win)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TEditWin* NewDocument(int assembler = 0) {
        dialogs_.assembler = assembler;
        main_->actNovy->trigger();
        return main_->ActiveEditWin();
    }

    // Types at the end of the text, one key event per character (QTest's
    // own key helpers take Latin-1 only).
    void TypeText(TEditWin* win, const QString& text) {
        const auto end = win->sMemo->Store().TextLength();
        win->sMemo->Control().SetSelection(end, end, true);
        TypeHere(win, text);
    }
    static void TypeHere(TEditWin* win, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&win->sMemo->View(), &press);
        }
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Scripts")));
        for (const torvane::platform::AssemblerFacts& facts : torvane::platform::kAssemblerTable)
            WriteBytes(ProgramDir() + QStringLiteral("Scripts/") + QString::fromUtf8(facts.scriptFile), "");
        dialogs_ = ScriptedDialogs();
        StartMain();
    }

    void cleanup() {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir_.reset();
    }

    void untitledNamesFillTheFirstGap() {
        NewDocument();
        TEditWin* second = NewDocument();
        NewDocument();
        QCOMPARE(OpenNames(), QStringList({"Nový soubor 1", "Nový soubor 2", "Nový soubor 3"}));
        CloseWindow(second);
        QCOMPARE(TabTexts(), QStringList({"Nový soubor 1", "Nový soubor 3"}));

        TEditWin* fresh = NewDocument();
        QCOMPARE(fresh->FileName, QStringLiteral("Nový soubor 2"));
        QCOMPARE(main_->tabConSoubory->tabText(main_->tabConSoubory->currentIndex()), fresh->FileName);
        QVERIFY(IsUntitled(fresh->FileName));
        QVERIFY(!IsUntitled(QStringLiteral("nový soubor 2")));
    }

    void newDocumentWithAssemblerHoldsOnlyItsMarkerLine() {
        TEditWin* win = NewDocument(1);
        QCOMPARE(win->sMemo->LineCount(), 1);
        QCOMPARE(ShownText(win), QStringLiteral(";compiler: asem51"));
        QCOMPARE(win->sMemo->Store().Text(), std::string(";compiler: asem51"));
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::Asem51);
        QVERIFY(main_->mnItmHighlight[1]->isChecked());
        QCOMPARE(main_->GetCompiler(), torvane::platform::Assembler::Asem51);
        QVERIFY(dialogs_.messages.isEmpty());

        // Cancelling the choice creates nothing.
        dialogs_.assembler = std::nullopt;
        main_->actNovy->trigger();
        QCOMPARE(main_->EditWindows().size(), 1);
    }

    void openedFileChoosesHighlightingFromFirstLine() {
        const QString path = DataPath("avr.asm");
        WriteBytes(path, ";COMPILER: AVRasm\r\nldi r16,1\r\n");
        dialogs_.openFiles = {path};
        main_->actOtevrit->trigger();
        TEditWin* win = main_->ActiveEditWin();
        QVERIFY(win);
        QCOMPARE(win->FileName, path);
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::AvrAsm);
        QVERIFY(main_->mnItmHighlight[2]->isChecked());
        QVERIFY(!win->sMemo->Modified());
        QVERIFY(main_->actPrelozit->isEnabled());
        QVERIFY(!main_->actUlozit->isEnabled());
        QVERIFY(main_->windowTitle().contains(path));

        // Opening it again only activates it.
        NewDocument();
        main_->CreateEditor(path, false);
        QCOMPARE(main_->EditWindows().size(), 2);
        QCOMPARE(main_->ActiveEditWin(), win);
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, Msg(text::kAlreadyOpen, path));
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Information);
    }

    void unreadableFileOpensNoDocument() {
        const QString path = DataPath("locked.asm");
        WriteBytes(path, "secret");
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly)) QSKIP("the file stays readable (running as root)");
        main_->CreateEditor(path, false);
        QCOMPARE(dialogs_.messages.size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(main_->EditWindows().isEmpty());
        QCOMPARE(main_->tabConSoubory->count(), 0);
    }

    void namesDifferingInCaseReachTheirOwnWindows() {
        const QString lower = DataPath("case.asm"), upper = DataPath("CASE.asm");
        WriteBytes(lower, "a");
        WriteBytes(upper, "b");
        main_->CreateEditor(lower, false);
        main_->CreateEditor(upper, false);
        QCOMPARE(main_->EditWindows().size(), 2);
        main_->tabConSoubory->setCurrentIndex(0);
        QCOMPARE(main_->ActiveEditWin()->FileName, lower);
        main_->tabConSoubory->setCurrentIndex(1);
        QCOMPARE(main_->ActiveEditWin()->FileName, upper);
        main_->ZobrazOkno(DataPath("Case.ASM"));
        QCOMPARE(main_->ActiveEditWin()->FileName, lower);
    }

    void saveAsRefusesAnOpenNameIgnoringCaseAndAsksBeforeOverwriting() {
        const QString open = DataPath("open.asm"), existing = DataPath("exists.asm");
        WriteBytes(open, "x");
        WriteBytes(existing, "old");
        main_->CreateEditor(open, false);
        TEditWin* win = NewDocument();
        TypeText(win, "mov a,#1");

        dialogs_.saveChoices = {{DataPath("OPEN"), 1}, {existing, 2}, {existing, 1}};
        dialogs_.answers = {mbOK, mbNo, mbYes};
        main_->actUlozit->trigger(); // untitled: the save-as flow

        QCOMPARE(dialogs_.saveDialogs, 1);
        QCOMPARE(dialogs_.messages.size(), 3);
        QCOMPARE(dialogs_.messages[0].text, Msg(text::kNameInUse, DataPath("OPEN.asm")));
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Error);
        QCOMPARE(dialogs_.messages[1].text, Msg(text::kOverwrite, existing));
        QCOMPARE(dialogs_.messages[1].kind, MsgKind::Confirmation);
        QCOMPARE(dialogs_.messages[1].buttons, MsgButtons(mbYes | mbNo));
        QCOMPARE(dialogs_.messages[1].defaultButton, mbNo);

        QCOMPARE(win->FileName, existing);
        QCOMPARE(TabTexts(), QStringList({open, existing}));
        QCOMPARE(ReadBytes(existing), QByteArray("mov a,#1"));
        QVERIFY(!win->sMemo->Modified());
        QVERIFY(main_->actPrelozit->isEnabled());

        // The active document's own name is refused too.
        dialogs_.messages.clear();
        dialogs_.saveChoices = {{existing, 1}};
        main_->actUlozitJako->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, Msg(text::kNameInUse, existing));
    }

    void saveAsAddsTheExtensionOfFilterOneOnly() {
        TEditWin* win = NewDocument();
        TypeText(win, "x");
        dialogs_.saveChoices = {{DataPath("plain"), 1}};
        main_->actUlozitJako->trigger();
        QCOMPARE(win->FileName, DataPath("plain.asm"));

        dialogs_.saveChoices = {{DataPath("other"), 2}};
        main_->actUlozitJako->trigger();
        QCOMPARE(win->FileName, DataPath("other"));
        QCOMPARE(ReadBytes(DataPath("other")), QByteArray("x"));
    }

    void saveFailureKeepsNameTabAndModifiedState() {
        TEditWin* win = NewDocument();
        TypeText(win, "data");
        const QString name = win->FileName;
        const QString target = DataPath("no-such-dir/file.asm");
        dialogs_.saveChoices = {{target, 1}};
        main_->actUlozit->trigger();

        QCOMPARE(dialogs_.messages.size(), 1);
        // The message names the real reason, not a guess.
        QCOMPARE(dialogs_.messages[0].text, SaveFailureText(target, ENOENT, {}));
        QVERIFY(dialogs_.messages[0].text.contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Error);
        QCOMPARE(win->FileName, name);
        QCOMPARE(TabTexts(), QStringList({name}));
        QVERIFY(win->sMemo->Modified());
        QVERIFY(main_->actUlozit->isEnabled());
        QCOMPARE(main_->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));

        // A titled document whose file became a directory fails the same way
        // and keeps the old bytes of nothing.
        const QString path = DataPath("titled.asm");
        WriteBytes(path, "old");
        main_->CreateEditor(path, false);
        TEditWin* titled = main_->ActiveEditWin();
        TypeText(titled, "new");
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        dialogs_.messages.clear();
        main_->actUlozit->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, SaveFailureText(path, EISDIR, {}));
        QVERIFY(dialogs_.messages[0].text.contains(QString::fromUtf8(text::kWhyNotAFile)));
        QVERIFY(titled->sMemo->Modified());
    }

    void exportWritesThePageAndLeavesTheDocumentAsItWas() {
        TEditWin* win = NewDocument();
        TypeText(win, "a<b");
        const QString name = win->FileName;
        const QString page = DataPath("page.html");
        WriteBytes(page, "old");
        dialogs_.saveChoices = {{DataPath("page"), 1}};
        dialogs_.answers = {mbYes};
        main_->actExportHTML->trigger();

        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, Msg(text::kOverwrite, page));
        const QByteArray written = ReadBytes(page);
        QVERIFY(written.startsWith("<HTML><HEAD>\r\n"));
        QVERIFY(written.contains(">\r\na&lt;b\r\n</PRE>"));
        QCOMPARE(win->FileName, name);
        QVERIFY(win->sMemo->Modified());
        QVERIFY(win->sMemo->CanUndo());

        // A file that cannot be made is a Czech message; nothing else changes.
        dialogs_.messages.clear();
        const QString target = DataPath("no-such-dir/x.rtf");
        dialogs_.saveChoices = {{target, 1}};
        main_->actExportRTF->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QVERIFY(dialogs_.messages[0].text.startsWith(Msg(text::kCannotExport, target) + QLatin1Char('\r')));
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Error);
        QVERIFY(!QFile::exists(DataPath("no-such-dir")));
        QVERIFY(win->sMemo->Modified());

        dialogs_.answers = {mbNo}; // not saved
        CloseWindow(win);
        QVERIFY(!main_->actExportHTML->isEnabled());
    }

    void closeAllContinuesAfterARefusedClose() {
        TEditWin* first = NewDocument();
        TEditWin* second = NewDocument();
        NewDocument();
        TypeText(second, "keep me");
        dialogs_.answers = {mbCancel};
        main_->actZavritVse->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, QString::fromUtf8(text::kNotSaved));
        QCOMPARE(dialogs_.messages[0].buttons, MsgButtons(mbYes | mbNo | mbCancel));
        QCOMPARE(dialogs_.messages[0].defaultButton, mbYes);
        QCOMPARE(OpenNames(), QStringList({second->FileName}));
        QCOMPARE(TabTexts(), QStringList({second->FileName}));
        QVERIFY(main_->actZavrit->isEnabled());
        Q_UNUSED(first);
    }

    void closingTheLastDocumentDisablesActionsAndClearsPanels() {
        TEditWin* win = NewDocument();
        QVERIFY(main_->tlbTabs->isVisible());
        QVERIFY(main_->actUlozitJako->isEnabled());
        TypeText(win, "abc");
        win->sMemo->SelectAll();
        QVERIFY(main_->actKopirovat->isEnabled());
        QVERIFY(main_->actZpet->isEnabled());
        QVERIFY(!main_->StatusPanel(0)->text().isEmpty());
        main_->StatusPanel(4)->setText(QStringLiteral("  hint"));

        dialogs_.answers = {mbNo};
        CloseWindow(win);
        QVERIFY(main_->EditWindows().isEmpty());
        QCOMPARE(main_->tabConSoubory->count(), 0);
        QVERIFY(!main_->tlbTabs->isVisible());
        for (QAction* a : {main_->actUlozit, main_->actUlozitJako, main_->actZavrit, main_->actZavritVse,
                           main_->actVlozit, main_->actNajit, main_->actPrelozit, main_->actVybratVse,
                           main_->actKopirovat, main_->actVyjmout, main_->actZpet, main_->actZnovu,
                           main_->actComment, main_->actUnComment, main_->mnItmHighlight[0]})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        for (QAction* a : {main_->actNovy, main_->actOtevrit, main_->actImport, main_->actNastaveni,
                           main_->actKaskada, main_->actOprogramu, main_->actKonec})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        for (int i = 0; i < 5; ++i)
            QVERIFY(main_->StatusPanel(i)->text().isEmpty());
    }

    void closeQueryYesOnUntitledKeepsWindowWhenSaveIsCancelled() {
        TEditWin* win = NewDocument();
        TypeText(win, "unsaved");
        dialogs_.answers = {mbYes};
        CloseWindow(win);
        QCOMPARE(dialogs_.saveDialogs, 1);
        QCOMPARE(main_->EditWindows().size(), 1);

        // Yes with a name saves and closes.
        dialogs_.answers = {mbYes};
        dialogs_.saveChoices = {{DataPath("saved.asm"), 1}};
        CloseWindow(win);
        QVERIFY(main_->EditWindows().isEmpty());
        QCOMPARE(ReadBytes(DataPath("saved.asm")), QByteArray("unsaved"));
    }

    void exitStopsAtTheFirstRefusal() {
        TEditWin* first = NewDocument();
        TEditWin* second = NewDocument();
        TypeText(first, "1");
        TypeText(second, "2");
        dialogs_.answers = {mbNo, mbCancel};
        QVERIFY(!main_->close());
        QCOMPARE(main_->EditWindows().size(), 2);

        dialogs_.answers = {mbNo, mbNo};
        QVERIFY(main_->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(main_->EditWindows().isEmpty());
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
        const QString path = DataPath("twenty.asm");
        QByteArray text;
        for (int i = 1; i <= 20; ++i)
            text += "line " + QByteArray::number(i) + "\r\n";
        text.chop(2);
        WriteBytes(path, text);
        main_->CreateEditor(path, false);
        TEditWin* win = main_->ActiveEditWin();
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
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("  12:   1"));

        // The next change notification (here a caret move) removes the mark.
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Right);
        QCOMPARE(win->ErrorLine, -1);
        QCOMPARE(win->sMemo->MarkedLine(), std::nullopt);
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("  12:   2"));
        QCOMPARE(main_->StatusPanel(1)->text(), QStringLiteral("Ord: # 105   Hex: 69h"));
    }

    void statusPanelsDescribeTheCaret() {
        TEditWin* win = NewDocument();
        TypeText(win, "A");
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   1:   2"));
        QCOMPARE(main_->StatusPanel(1)->text(), QStringLiteral("Ord: #   0   Hex:  0h"));
        QCOMPARE(main_->StatusPanel(2)->text(), QString::fromUtf8(text::kInsertMode));
        QCOMPARE(main_->StatusPanel(3)->text(), QString::fromUtf8(text::kModified));
        QVERIFY(!main_->actPrelozit->isEnabled());
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Return);
        QCOMPARE(main_->StatusPanel(0)->text(), QStringLiteral("   2:   1"));
        QCOMPARE(main_->StatusPanel(1)->text(), QString::fromUtf8(text::kOrdEmptyLine));
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Insert);
        QCOMPARE(main_->StatusPanel(2)->text(), QString::fromUtf8(text::kOverwriteMode));
    }

    void loadAndSaveKeepEveryByte() {
        // LF and CR line ends, code-page letters and a byte the code page
        // leaves undefined all survive; saving writes CR LF.
        const QString path = DataPath("bytes.asm");
        WriteBytes(path, QByteArray("a\xE8\x9A\nb\x81\rc"));
        main_->CreateEditor(path, false);
        TEditWin* win = main_->ActiveEditWin();
        QCOMPARE(ShownText(win), QStringLiteral("ačš\nb\u0081\nc"));
        TypeText(win, QStringLiteral("ř"));
        main_->actUlozit->trigger();
        QVERIFY(dialogs_.messages.isEmpty());
        QCOMPARE(ReadBytes(path), QByteArray("a\xE8\x9A\r\nb\x81\r\nc\xF8"));

        // A character outside the code page is refused, never stored.
        TypeHere(win, QStringLiteral("\u4E2D"));
        QCOMPARE(win->sMemo->Store().Text(), std::string("a\xE8\x9A\rb\x81\rc\xF8"));
    }

    void missingScriptIsReportedAndHighlightingStays() {
        TEditWin* win = NewDocument(1);
        QVERIFY(QFile::remove(ProgramDir() + QStringLiteral("Scripts/AvrAsm.tsc")));
        main_->mnItmHighlight[2]->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text,
                 QStringLiteral("Chybí potřebný skript \"AvrAsm.tsc\"\rZvýraznění textu nebude fungovat."));
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Error);
        QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::AvrAsm);
        QVERIFY(main_->mnItmHighlight[2]->isChecked());
    }

    void recentFilesFollowTheOpenFlow() {
        const QString a = DataPath("a.asm"), b = DataPath("b&c.asm");
        WriteBytes(a, "a");
        WriteBytes(b, "b");
        dialogs_.openFiles = {a, b};
        main_->actOtevrit->trigger();
        QCOMPARE(main_->mnItmHistorie->actions().size(), 2);
        QCOMPARE(main_->mnItmHistorie->actions()[0]->text(), "1  " + QString(b).replace("&", "&&"));
        QCOMPARE(main_->mnItmHistorie->actions()[0]->statusTip(), b);

        // Opening A again (after closing it) moves it to the front.
        CloseWindow(main_->EditWindows()[0]);
        main_->mnItmHistorie->actions()[1]->trigger();
        QCOMPARE(main_->ActiveEditWin()->FileName, a);
        QCOMPARE(main_->mnItmHistorie->actions()[0]->statusTip(), a);
        QCOMPARE(main_->mnItmHistorie->actions()[1]->statusTip(), b);

        // A vanished file is reported and keeps its slot.
        QVERIFY(QFile::remove(b));
        main_->mnItmHistorie->actions()[1]->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, Msg(text::kNoSuchFile, b));
        QCOMPARE(main_->mnItmHistorie->actions().size(), 2);
        // The toolbar's list rebuilds itself when it drops down.
        emit main_->popOtevrit->aboutToShow();
        QCOMPARE(main_->popOtevrit->actions().size(), 2);
    }

    void settingsDialogOkReappliesEditorSettings() {
        TEditWin* win = NewDocument();
        dialogs_.settingsEdit = [](torvane::TMemIniFile& s) { s.WriteInteger("Editor", "FontSize", 17); };
        main_->actNastaveni->trigger();
        QCOMPARE(win->sMemo->View().Appearance().font.size, 17);
        main_->actOprogramu->trigger();
        QCOMPARE(dialogs_.aboutBoxes, 1);
    }

    void buildCommandReachesTheDocumentWindow() {
        // Untitled: refused, the old log stays.
        const QString log = ProgramDir() + QStringLiteral("compiler.log");
        WriteBytes(log, "old");
        NewDocument();
        main_->actPrelozit->setEnabled(true);
        main_->actPrelozit->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, QStringLiteral("Neplatný název souboru!"));
        QVERIFY(QFile::exists(log));

        // No marker and the choice cancelled: only the log goes.
        const QString path = DataPath("plain.asm");
        WriteBytes(path, "nop\r\n");
        main_->CreateEditor(path, false);
        TEditWin* win = main_->ActiveEditWin();
        win->lstBox->addItem(QStringLiteral("earlier"));
        dialogs_.assembler = std::nullopt;
        main_->actPrelozit->trigger();
        QVERIFY(!QFile::exists(log));
        QCOMPARE(win->lstBox->count(), 1);
        QVERIFY(!win->sMemo->Modified());

        // ASEM51 chosen: the marker becomes line 1; without the bridge
        // library beside the program the error names it.
        dialogs_.messages.clear();
        dialogs_.assembler = 1;
        main_->actPrelozit->trigger();
        QCOMPARE(ShownText(win), QStringLiteral(";compiler: asem51\nnop\n"));
        QVERIFY(win->sMemo->Modified());
        QCOMPARE(dialogs_.messages.size(), 1);
        QVERIFY(dialogs_.messages[0].text.contains(QString::fromLatin1(torvane::platform::kBridgeLibrary)));
        QVERIFY(main_->isEnabled());
    }

    void hintsGoToTheLastPanel() {
        QStatusTipEvent tip(main_->actNovy->statusTip());
        QCoreApplication::sendEvent(main_->menuBar(), &tip);
        QCOMPARE(main_->StatusPanel(4)->text(), QStringLiteral("  Vytvoří nový soubor"));
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
        const MsgButton answer = real.MessageDlgCz(main_.get(), QString::fromUtf8(text::kChangedOutside),
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
        const QString ini = ProgramDir() + QString::fromUtf8(text::kSettingsFile);
        main_.reset();
        WriteBytes(ini, "[Window]\r\nWidth=800\r\nHeight=600\r\nMaximized=1\r\n");
        StartMain();
        main_.reset();
        {
            torvane::TMemIniFile file(QFile::encodeName(ini).toStdString());
            QCOMPARE(file.ReadInteger("Window", "Width", 0), 800);
            QVERIFY(file.ReadBool("Window", "Maximized", false));
        }
        WriteBytes(ini, "[Window]\r\nWidth=800\r\nHeight=600\r\nMaximized=0\r\n");
        StartMain();
        main_->resize(900, 650);
        main_.reset();
        torvane::TMemIniFile file(QFile::encodeName(ini).toStdString());
        QCOMPARE(file.ReadInteger("Window", "Width", 0), 900);
        QCOMPARE(file.ReadInteger("Window", "Height", 0), 650);
        QVERIFY(!file.ReadBool("Window", "Maximized", true));
        StartMain(); // for cleanup()
    }
};

QTEST_MAIN(AppFlowsTest)
#include "AppFlows_test.moc"
