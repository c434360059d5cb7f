// Printing from the document window (Tisk, Ctrl+P and the editor's print
// command) where the system has no printer, and the word-wrap switch of the
// Úpravy menu. Offscreen, with scripted dialog answers.

#include "ScriptedDialogs.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "editor/qt/QtPrinting.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace torvane::app;
using torvane::app::test::ScriptedDialogs;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
}

} // namespace

class PrintWrapTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TfrmTorvane> main_;

    QString DataPath(const QString& name) const { return dir_->path() + QLatin1Char('/') + name; }

    TEditWin* Open(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return nullptr;
        f.write(bytes);
        f.close();
        main_->CreateEditor(path, false);
        return main_->ActiveEditWin();
    }

private slots:
    void init() {
        if (torvane::editor::qt::HasDefaultPrinter())
            QSKIP("a printer is set up here; the PDF fallback is not used");
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir().mkpath(DataPath(QStringLiteral("prog"))));
        dialogs_ = ScriptedDialogs();
        main_ = std::make_unique<TfrmTorvane>(dialogs_, DataPath(QStringLiteral("prog/")));
        main_->resize(900, 700);
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    }

    void cleanup() {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir_.reset();
    }

    void tiskWithoutPrinterWritesThePdfBesideTheDocument() {
        const QString source = DataPath(QStringLiteral("prog.asm"));
        TEditWin* win = Open(source, "first line\r\nsecond line\r\nthird line\r\n");
        QVERIFY(win);
        QCOMPARE(main_->actTisk->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        win->sMemo->Control().SetSelection(13, 15, true);

        dialogs_.messages.clear();
        main_->actTisk->trigger();
        const QString pdf = DataPath(QStringLiteral("prog.pdf"));
        const QByteArray bytes = ReadAll(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.contains("(     1:)") && bytes.contains("(     3:)") && !bytes.contains("(     4:)"));
        QVERIFY(bytes.contains("third"));
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Information);
        QVERIFY(dialogs_.messages[0].text.contains(pdf));
        // The document is as it was.
        QCOMPARE(win->sMemo->Control().Anchor(), 13);
        QCOMPARE(win->sMemo->Control().Caret(), 15);
        QVERIFY(!win->sMemo->Modified());
    }

    void printCommandPrintsTheSelectedLinesOnly() {
        TEditWin* win = Open(DataPath(QStringLiteral("sel.asm")), "one\r\ntwo\r\nthree\r\n");
        QVERIFY(win);
        win->sMemo->Control().SetSelection(5, 5, true); // inside "two"
        Press(&win->sMemo->View(), Qt::Key_K, Qt::ControlModifier);
        Press(&win->sMemo->View(), Qt::Key_P, Qt::NoModifier);
        const QByteArray bytes = ReadAll(DataPath(QStringLiteral("sel.pdf")));
        QVERIFY(bytes.contains("(     2:)"));
        QVERIFY(!bytes.contains("(     1:)") && !bytes.contains("(     3:)"));
        QCOMPARE(win->sMemo->Store().Text(), std::string("one\rtwo\rthree\r"));
    }

    void untitledDocumentAsksForTheName() {
        dialogs_.assembler = 0;
        main_->actNovy->trigger();
        dialogs_.saveChoices << SaveChoice{DataPath(QStringLiteral("named.asm")), 1};
        main_->actTisk->trigger();
        QCOMPARE(dialogs_.saveDialogs, 1);
        QVERIFY(ReadAll(DataPath(QStringLiteral("named.pdf"))).startsWith("%PDF"));

        // Cancelled: nothing printed, nothing said.
        dialogs_.messages.clear();
        main_->actTisk->trigger();
        QCOMPARE(dialogs_.saveDialogs, 2);
        QVERIFY(dialogs_.messages.isEmpty());
    }

    void unwritablePdfIsAnErrorAndChangesNothing() {
        const QString folder = DataPath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(folder));
        TEditWin* win = Open(folder + QStringLiteral("/doc.asm"), "text\r\n");
        QVERIFY(win);
        QVERIFY(QDir(folder).removeRecursively());
        dialogs_.messages.clear();
        main_->actTisk->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].kind, MsgKind::Error);
        QVERIFY(dialogs_.messages[0].text.contains(QStringLiteral("doc.pdf")));
        QCOMPARE(win->sMemo->Store().Text(), std::string("text\r"));
        QVERIFY(!win->sMemo->Modified());
    }

    void zalamovatRadkySwitchesTheActiveDocumentOnly() {
        const QByteArray longLine(300, 'x');
        TEditWin* first = Open(DataPath(QStringLiteral("a.asm")), "word " + longLine);
        TEditWin* second = Open(DataPath(QStringLiteral("b.asm")), "word " + longLine);
        QVERIFY(first && second);
        QVERIFY(main_->mnItmZalamovat->isEnabled());
        QVERIFY(!main_->mnItmZalamovat->isChecked()); // off, as the document window sets it
        QCOMPARE(second->sMemo->Store().LineCount(), 1);

        main_->mnItmZalamovat->trigger();
        QVERIFY(main_->mnItmZalamovat->isChecked());
        QVERIFY(second->sMemo->Control().Options() & torvane::smoWordWrap);
        QVERIFY(second->sMemo->Store().LineCount() > 2); // folded at the window's edge
        QVERIFY(second->sMemo->Store().Node(1).IsContinuation());
        QVERIFY(!(first->sMemo->Control().Options() & torvane::smoWordWrap));
        QCOMPARE(first->sMemo->Store().LineCount(), 1);
        QVERIFY(!second->sMemo->Modified());

        // The item follows the active document.
        main_->mdiArea->setActiveSubWindow(main_->mdiArea->subWindowList().first());
        QVERIFY(!main_->mnItmZalamovat->isChecked());
        main_->mdiArea->setActiveSubWindow(main_->mdiArea->subWindowList().last());
        QVERIFY(main_->mnItmZalamovat->isChecked());
        // Settings applied again (Nastavení ... OK) leave the choice alone.
        main_->sMemoNastav(*second);
        QVERIFY(second->sMemo->Control().Options() & torvane::smoWordWrap);
        main_->mnItmZalamovat->trigger();
        QCOMPARE(second->sMemo->Store().LineCount(), 1);
    }
};

QTEST_MAIN(PrintWrapTest)
#include "PrintWrap_test.moc"
