// Printing from the document window (Tisk, Ctrl+P and the editor's print
// command) where the system has no printer, and the word-wrap switch of the
// Úpravy menu. Offscreen, with scripted dialog answers.

#include "AppTestBed.h"
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
using namespace torvane::app::test;

namespace {

void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
}

} // namespace

class PrintWrapTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;

    TEditWin* Open(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) return nullptr;
        f.write(bytes);
        f.close();
        bed_.main->CreateEditor(path, false);
        return bed_.main->ActiveEditWin();
    }

private slots:
    void init() {
        if (torvane::editor::qt::HasDefaultPrinter())
            QSKIP("a printer is set up here; the PDF fallback is not used");
        QVERIFY(bed_.Prepare(TestScripts::kNone));
        bed_.StartMain();
    }

    void cleanup() { bed_.Finish(); }

    void tiskWithoutPrinterWritesThePdfBesideTheDocument() {
        const QString source = bed_.DataPath(QStringLiteral("prog.asm"));
        TEditWin* win = Open(source, "first line\r\nsecond line\r\nthird line\r\n");
        QVERIFY(win);
        QCOMPARE(bed_.main->actTisk->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        win->sMemo->Control().SetSelection(13, 15, true);

        bed_.dialogs.messages.clear();
        bed_.main->actTisk->trigger();
        const QString pdf = bed_.DataPath(QStringLiteral("prog.pdf"));
        const QByteArray bytes = ReadBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.contains("(     1:)") && bytes.contains("(     3:)") && !bytes.contains("(     4:)"));
        QVERIFY(bytes.contains("third"));
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Information);
        QVERIFY(bed_.dialogs.messages[0].text.contains(pdf));
        // The document is as it was.
        QCOMPARE(win->sMemo->Control().Anchor(), 13);
        QCOMPARE(win->sMemo->Control().Caret(), 15);
        QVERIFY(!win->sMemo->Modified());
    }

    void printCommandPrintsTheSelectedLinesOnly() {
        TEditWin* win = Open(bed_.DataPath(QStringLiteral("sel.asm")), "one\r\ntwo\r\nthree\r\n");
        QVERIFY(win);
        win->sMemo->Control().SetSelection(5, 5, true); // inside "two"
        Press(&win->sMemo->View(), Qt::Key_K, Qt::ControlModifier);
        Press(&win->sMemo->View(), Qt::Key_P, Qt::NoModifier);
        const QByteArray bytes = ReadBytes(bed_.DataPath(QStringLiteral("sel.pdf")));
        QVERIFY(bytes.contains("(     2:)"));
        QVERIFY(!bytes.contains("(     1:)") && !bytes.contains("(     3:)"));
        QCOMPARE(win->sMemo->Store().Text(), std::string("one\rtwo\rthree\r"));
    }

    void untitledDocumentAsksForTheName() {
        bed_.dialogs.assembler = 0;
        bed_.main->actNovy->trigger();
        bed_.dialogs.saveChoices << SaveChoice{bed_.DataPath(QStringLiteral("named.asm")), 1};
        bed_.main->actTisk->trigger();
        QCOMPARE(bed_.dialogs.saveDialogs, 1);
        QVERIFY(ReadBytes(bed_.DataPath(QStringLiteral("named.pdf"))).startsWith("%PDF"));

        // Cancelled: nothing printed, nothing said.
        bed_.dialogs.messages.clear();
        bed_.main->actTisk->trigger();
        QCOMPARE(bed_.dialogs.saveDialogs, 2);
        QVERIFY(bed_.dialogs.messages.isEmpty());
    }

    void unwritablePdfIsAnErrorAndChangesNothing() {
        const QString folder = bed_.DataPath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(folder));
        TEditWin* win = Open(folder + QStringLiteral("/doc.asm"), "text\r\n");
        QVERIFY(win);
        QVERIFY(QDir(folder).removeRecursively());
        bed_.dialogs.messages.clear();
        bed_.main->actTisk->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].kind, MsgKind::Error);
        QVERIFY(bed_.dialogs.messages[0].text.contains(QStringLiteral("doc.pdf")));
        QCOMPARE(win->sMemo->Store().Text(), std::string("text\r"));
        QVERIFY(!win->sMemo->Modified());
    }

    void zalamovatRadkySwitchesTheActiveDocumentOnly() {
        const QByteArray longLine(300, 'x');
        TEditWin* first = Open(bed_.DataPath(QStringLiteral("a.asm")), "word " + longLine);
        TEditWin* second = Open(bed_.DataPath(QStringLiteral("b.asm")), "word " + longLine);
        QVERIFY(first && second);
        QVERIFY(bed_.main->mnItmZalamovat->isEnabled());
        QVERIFY(!bed_.main->mnItmZalamovat->isChecked()); // off, as the document window sets it
        QCOMPARE(second->sMemo->Store().LineCount(), 1);

        bed_.main->mnItmZalamovat->trigger();
        QVERIFY(bed_.main->mnItmZalamovat->isChecked());
        QVERIFY(second->sMemo->Control().Options() & torvane::smoWordWrap);
        QVERIFY(second->sMemo->Store().LineCount() > 2); // folded at the window's edge
        QVERIFY(second->sMemo->Store().Node(1).IsContinuation());
        QVERIFY(!(first->sMemo->Control().Options() & torvane::smoWordWrap));
        QCOMPARE(first->sMemo->Store().LineCount(), 1);
        QVERIFY(!second->sMemo->Modified());

        // The item follows the active document.
        bed_.main->mdiArea->setActiveSubWindow(bed_.main->mdiArea->subWindowList().first());
        QVERIFY(!bed_.main->mnItmZalamovat->isChecked());
        bed_.main->mdiArea->setActiveSubWindow(bed_.main->mdiArea->subWindowList().last());
        QVERIFY(bed_.main->mnItmZalamovat->isChecked());
        // Settings applied again (Nastavení ... OK) leave the choice alone.
        bed_.main->sMemoNastav(*second);
        QVERIFY(second->sMemo->Control().Options() & torvane::smoWordWrap);
        bed_.main->mnItmZalamovat->trigger();
        QCOMPARE(second->sMemo->Store().LineCount(), 1);
    }
};

QTEST_MAIN(PrintWrapTest)
#include "PrintWrap_test.moc"
