// The build in the main window with the real bridge library and a scripted
// stand-in assembler: the window keeps painting while the assembler works,
// and the popup's "Přerušit" stops it.

#include "AppTestBed.h"
#include "app/AppLogic.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/dialogs/ProgressPopup.h"
#include "platform/Names.h"

#include <QAbstractScrollArea>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>

using namespace torvane::app;
using namespace torvane::app::test;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// What the window looked like while the build was running.
struct DuringBuild {
    bool seen = false;
    bool mainEnabled = true;
    bool popupVisible = false;
    bool cancelEnabled = false;
    int paintsBefore = 0;
};

} // namespace

class BuildFlowTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;
    TEditWin* win_ = nullptr;

    // A document built with the stand-in assembler, which follows `script`.
    void OpenDocument(const QByteArray& script) {
        WriteBytes(bed_.dir->path() + QStringLiteral("/fake.script"), script);
        const QString source = bed_.dir->path() + QStringLiteral("/prog.asm");
        WriteBytes(source, ";compiler: asem51\r\nnop\r\n");
        bed_.main->CreateEditor(source, false);
        win_ = bed_.main->ActiveEditWin();
        QVERIFY(win_);
    }

    QStringList Messages() const {
        QStringList items;
        for (int i = 0; i < win_->lstBox->count(); ++i)
            items << win_->lstBox->item(i)->text();
        return items;
    }

private slots:
    void init() {
        QVERIFY(bed_.Prepare(TestScripts::kEmpty));
        QVERIFY(QFile::copy(QStringLiteral(PELORIN_LIBRARY),
                            bed_.ProgramDir() + QString::fromLatin1(torvane::platform::kBridgeLibrary)));
        WriteBytes(bed_.ProgramDir() + QStringLiteral("Torvane.ini"),
                   QByteArray("[ASEM51]\r\nPath=") + FAKE_ASSEMBLER + "\r\n");
        bed_.StartMain(std::nullopt);
    }

    void cleanup() { bed_.Finish(); }

    void windowRepaintsWhileTheAssemblerWorks() {
        OpenDocument("sleep 1500\nout A\\nBANNER\\n\\nno errors\\n\n");
        PaintCounter counter;
        win_->sMemo->View().viewport()->installEventFilter(&counter);
        DuringBuild during;
        QTimer::singleShot(400, this, [&] {
            during.seen = true;
            during.mainEnabled = bed_.main->isEnabled();
            during.popupVisible = bed_.main->frmDialog->isVisible();
            during.cancelEnabled = bed_.main->frmDialog->btnPrerusit->isVisible() &&
                                   bed_.main->frmDialog->btnPrerusit->isEnabled() &&
                                   bed_.main->frmDialog->isEnabled();
            during.paintsBefore = counter.paints;
            win_->sMemo->View().viewport()->update();
        });
        bed_.main->actPrelozit->trigger();

        QVERIFY(during.seen); // the event loop ran while the assembler worked
        QVERIFY(!during.mainEnabled);
        QVERIFY(during.popupVisible);
        QVERIFY(during.cancelEnabled);
        QVERIFY(counter.paints > during.paintsBefore);
        QVERIFY(Messages().contains(QStringLiteral("Soubor byl úspěšně přeložen")));
        QVERIFY(bed_.main->isEnabled());
        QVERIFY(!bed_.main->frmDialog->isVisible());
    }

    void cancelStopsAHungAssembler() {
        OpenDocument("pid child.pid\nout A\\n\nhang\n");
        QTimer::singleShot(300, this, [&] { bed_.main->frmDialog->btnPrerusit->click(); });
        QElapsedTimer clock;
        clock.start();
        bed_.main->actPrelozit->trigger();
        QVERIFY(clock.elapsed() < 30000); // far below the 60 s idle limit
        QVERIFY(Messages().contains(QStringLiteral("Překlad byl přerušen")));
        QVERIFY(
            !Messages().contains(QStringLiteral("Chyba v DLL knihovně, nebo neexistuje daný export funkce")));
        QFile pidFile(bed_.dir->path() + QStringLiteral("/child.pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        QVERIFY(::kill(pidFile.readAll().toInt(), 0) != 0);
        QVERIFY(bed_.main->isEnabled());
    }
};

QTEST_MAIN(BuildFlowTest)
#include "BuildFlow_test.moc"
