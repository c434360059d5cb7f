// The build in the main window with the real bridge library and a scripted
// stand-in assembler: the window keeps painting while the assembler works,
// and the popup's "Přerušit" stops it.

#include "ScriptedDialogs.h"
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
using torvane::app::test::ScriptedDialogs;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

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

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TfrmTorvane> main_;
    TEditWin* win_ = nullptr;

    QString ProgramDir() const { return dir_->path() + QStringLiteral("/prog/"); }

    // A document built with the stand-in assembler, which follows `script`.
    void OpenDocument(const QByteArray& script) {
        WriteBytes(dir_->path() + QStringLiteral("/fake.script"), script);
        const QString source = dir_->path() + QStringLiteral("/prog.asm");
        WriteBytes(source, ";compiler: asem51\r\nnop\r\n");
        main_->CreateEditor(source, false);
        win_ = main_->ActiveEditWin();
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
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Scripts")));
        for (const torvane::platform::AssemblerFacts& facts : torvane::platform::kAssemblerTable)
            WriteBytes(ProgramDir() + QStringLiteral("Scripts/") + QString::fromUtf8(facts.scriptFile), "");
        QVERIFY(QFile::copy(QStringLiteral(PELORIN_LIBRARY),
                            ProgramDir() + QString::fromLatin1(torvane::platform::kBridgeLibrary)));
        WriteBytes(ProgramDir() + QStringLiteral("Torvane.ini"),
                   QByteArray("[ASEM51]\r\nPath=") + FAKE_ASSEMBLER + "\r\n");
        dialogs_ = ScriptedDialogs();
        main_ = std::make_unique<TfrmTorvane>(dialogs_, ProgramDir());
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    }

    void cleanup() {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir_.reset();
    }

    void windowRepaintsWhileTheAssemblerWorks() {
        OpenDocument("sleep 1500\nout A\\nBANNER\\n\\nno errors\\n\n");
        PaintCounter counter;
        win_->sMemo->View().viewport()->installEventFilter(&counter);
        DuringBuild during;
        QTimer::singleShot(400, this, [&] {
            during.seen = true;
            during.mainEnabled = main_->isEnabled();
            during.popupVisible = main_->frmDialog->isVisible();
            during.cancelEnabled = main_->frmDialog->btnPrerusit->isVisible() &&
                                   main_->frmDialog->btnPrerusit->isEnabled() &&
                                   main_->frmDialog->isEnabled();
            during.paintsBefore = counter.paints;
            win_->sMemo->View().viewport()->update();
        });
        main_->actPrelozit->trigger();

        QVERIFY(during.seen); // the event loop ran while the assembler worked
        QVERIFY(!during.mainEnabled);
        QVERIFY(during.popupVisible);
        QVERIFY(during.cancelEnabled);
        QVERIFY(counter.paints > during.paintsBefore);
        QVERIFY(Messages().contains(QStringLiteral("Soubor byl úspěšně přeložen")));
        QVERIFY(main_->isEnabled());
        QVERIFY(!main_->frmDialog->isVisible());
    }

    void cancelStopsAHungAssembler() {
        OpenDocument("pid child.pid\nout A\\n\nhang\n");
        QTimer::singleShot(300, this, [&] { main_->frmDialog->btnPrerusit->click(); });
        QElapsedTimer clock;
        clock.start();
        main_->actPrelozit->trigger();
        QVERIFY(clock.elapsed() < 30000); // far below the 60 s idle limit
        QVERIFY(Messages().contains(QStringLiteral("Překlad byl přerušen")));
        QVERIFY(
            !Messages().contains(QStringLiteral("Chyba v DLL knihovně, nebo neexistuje daný export funkce")));
        QFile pidFile(dir_->path() + QStringLiteral("/child.pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        QVERIFY(::kill(pidFile.readAll().toInt(), 0) != 0);
        QVERIFY(main_->isEnabled());
    }
};

QTEST_MAIN(BuildFlowTest)
#include "BuildFlow_test.moc"
