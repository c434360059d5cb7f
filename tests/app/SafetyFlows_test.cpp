// The application's care for the user's work: files changed by another
// program, names that must not depend on the current folder, recovery files,
// settings that would stop the editor, and exceptions that escape a handler.
#include "AppTestBed.h"
#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/GuardedApplication.h"
#include "app/MainWindow.h"
#include "app/dialogs/SettingsDialog.h"
#include "app/logic/Recovery.h"
#include "common/IniFile.h"
#include "editor/TextStore.h"
#include "platform/SingleInstance.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <stdexcept>
#include <sys/stat.h>

using namespace torvane::app;
using namespace torvane::app::test;

namespace {

unsigned ModeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// An object whose event handler fails the way a bug would.
class Faulty : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("handler failed");
        return QObject::event(e);
    }
};

} // namespace

class SafetyFlowsTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;
    QString savedCurrent_;

    QString RecoveryDir() const { return bed_.dir->path() + QStringLiteral("/state/torvane/"); }

    void StartMain() {
        bed_.StartMain(std::nullopt,
                       [this](TfrmTorvane& main) { main.SetRecoveryFolder(RecoveryDir().toStdString()); });
    }

    TEditWin* Open(const QString& path) {
        bed_.main->CreateEditor(path, false);
        return bed_.main->ActiveEditWin();
    }

    QStringList RecoveryFiles() const {
        return QDir(RecoveryDir()).entryList({QStringLiteral("*.rec")}, QDir::Files, QDir::Name);
    }

private slots:
    void init() {
        savedCurrent_ = QDir::currentPath();
        QVERIFY(bed_.Prepare(TestScripts::kEmpty));
        StartMain();
    }

    void cleanup() {
        for (TEditWin* win : bed_.main->EditWindows())
            win->CloseApproved();
        QDir::setCurrent(savedCurrent_);
        bed_.Finish();
    }

    void fileChangedOutsideIsNeverOverwrittenUnasked() {
        const QString path = bed_.DataPath("prog.asm");
        WriteBytes(path, "mine\r\n");
        TEditWin* win = Open(path);
        TypeAtEnd(win, "edit");
        WriteBytes(path, "theirs, longer\r\n");

        // Cancel: nothing is written.
        bed_.dialogs.answers = {mbCancel};
        bed_.main->actUlozit->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, FormatCz(text::kChangedOutside, path));
        QCOMPARE(ReadBytes(path), QByteArray("theirs, longer\r\n"));
        QVERIFY(win->sMemo->Modified());

        // Load again: their text in the editor, nothing written.
        bed_.dialogs.answers = {mbYes};
        bed_.main->actUlozit->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("theirs, longer\n"));
        QVERIFY(!win->sMemo->Modified());
        QCOMPARE(ReadBytes(path), QByteArray("theirs, longer\r\n"));

        // Keep mine: the save goes ahead, and the next one asks nothing.
        TypeAtEnd(win, "x");
        WriteBytes(path, "third\r\n");
        bed_.dialogs.messages.clear();
        bed_.dialogs.answers = {mbNo};
        bed_.main->actUlozit->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(ReadBytes(path), QByteArray("theirs, longer\r\nx"));
        TypeAtEnd(win, "y");
        bed_.main->actUlozit->trigger();
        QCOMPARE(bed_.dialogs.messages.size(), 1);

        // Coming back to the document asks as well; a deleted file is told once.
        WriteBytes(path, "changed while away\r\n");
        bed_.dialogs.answers = {mbYes};
        bed_.main->CheckOutsideChange(*win, false);
        QCOMPARE(ShownText(win), QStringLiteral("changed while away\n"));
        QVERIFY(QFile::remove(path));
        bed_.dialogs.messages.clear();
        bed_.main->CheckOutsideChange(*win, false);
        bed_.main->CheckOutsideChange(*win, false);
        QCOMPARE(bed_.dialogs.messages.size(), 1);
        QCOMPARE(bed_.dialogs.messages[0].text, FormatCz(text::kDeletedOutside, path));
    }

    void relativeNamesAreMadeAbsoluteOnTheWayIn() {
        QVERIFY(QDir().mkpath(bed_.DataPath("a")));
        QVERIFY(QDir().mkpath(bed_.DataPath("b")));
        WriteBytes(bed_.DataPath("a/rel.asm"), "in a\r\n");
        WriteBytes(bed_.DataPath("b/rel.asm"), "in b\r\n");
        QVERIFY(QDir::setCurrent(bed_.DataPath("a")));
        bed_.main->OpenCommandLineFile(QStringLiteral("rel.asm"));
        TEditWin* win = bed_.main->ActiveEditWin();
        QVERIFY(win);
        QCOMPARE(win->FileName, bed_.DataPath("a/rel.asm"));

        // The current folder moves (the recent-files menu does that); the
        // save still goes where the file came from.
        QVERIFY(QDir::setCurrent(bed_.DataPath("b")));
        TypeAtEnd(win, "edit");
        bed_.main->actUlozit->trigger();
        QCOMPARE(ReadBytes(bed_.DataPath("a/rel.asm")), QByteArray("in a\r\nedit"));
        QCOMPARE(ReadBytes(bed_.DataPath("b/rel.asm")), QByteArray("in b\r\n"));

        // A second start from folder a, while this process stands in b.
        WriteBytes(bed_.DataPath("a/second.asm"), "second\r\n");
        torvane::platform::CopyDataRecord record;
        const QByteArray bytes =
            QByteArray("second.asm") + '\0' + QFile::encodeName(bed_.DataPath("a")) + '\0';
        record.bytes.assign(bytes.begin(), bytes.end());
        bed_.main->HandleCopyData(record);
        QCOMPARE(bed_.main->ActiveEditWin()->FileName, bed_.DataPath("a/second.asm"));
        QCOMPARE(ShownText(bed_.main->ActiveEditWin()), QStringLiteral("second\n"));
        const std::string first = bed_.main->Settings().ReadString("History", "1", "");
        QCOMPARE(QString::fromLocal8Bit(first), bed_.DataPath("a/second.asm"));
    }

    void recoveryKeepsUnsavedWorkUntilACleanClose() {
        bed_.main->SetRecoveryInterval(1);
        const QString path = bed_.DataPath("kept.asm");
        WriteBytes(path, "on disk\r\n");
        TEditWin* titled = Open(path);
        TypeAtEnd(titled, "typed");
        bed_.dialogs.assembler = 0;
        bed_.main->actNovy->trigger();
        TEditWin* untitled = bed_.main->ActiveEditWin();
        TypeAtEnd(untitled, "draft");
        QTRY_COMPARE(RecoveryFiles().size(), 2);
        QCOMPARE(ModeOf(RecoveryDir()), 0700u);
        QCOMPARE(ModeOf(RecoveryDir() + RecoveryFiles()[0]), 0600u);

        // A saved document needs no recovery.
        bed_.main->ZobrazOkno(path);
        bed_.main->actUlozit->trigger();
        QCOMPARE(RecoveryFiles().size(), 1);

        // What a killed process leaves: files of another process id.
        TypeAtEnd(titled, "more");
        bed_.main->WriteRecovery();
        QDir dir(RecoveryDir());
        for (const QString& name : RecoveryFiles())
            QVERIFY(dir.rename(name, QStringLiteral("1-") + name));

        // The next run offers each; the restored text is modified, under its name.
        for (TEditWin* win : bed_.main->EditWindows())
            win->CloseApproved();
        bed_.main.reset();
        StartMain();
        bed_.dialogs.messages.clear();
        bed_.dialogs.answers = {mbYes, mbYes};
        QCOMPARE(bed_.main->OfferRecovery(), 2);
        QCOMPARE(bed_.dialogs.messages.size(), 2);
        QVERIFY(bed_.dialogs.messages[0].text.startsWith(QStringLiteral("Obnovit neuložené změny?")));
        QMap<QString, QString> restored;
        for (TEditWin* win : bed_.main->EditWindows()) {
            restored[win->FileName] = ShownText(win);
            QVERIFY(win->sMemo->Modified());
        }
        QCOMPARE(restored.keys(), QStringList({path, QStringLiteral("Nový soubor 1")}));
        QCOMPARE(restored[path], QStringLiteral("on disk\ntypedmore"));
        QCOMPARE(restored[QStringLiteral("Nový soubor 1")], QStringLiteral("draft"));
        QCOMPARE(ReadBytes(path), QByteArray("on disk\r\ntyped")); // the file itself is not touched

        // A clean close (the user declines saving) leaves nothing behind.
        bed_.dialogs.answers = {mbNo, mbNo};
        QVERIFY(bed_.main->close());
        QVERIFY(RecoveryFiles().isEmpty());
    }

    void recoveryFilesThatAreNotOursAreIgnored() {
        QVERIFY(QDir().mkpath(RecoveryDir()));
        WriteBytes(RecoveryDir() + QStringLiteral("2-1.rec"), "not a recovery file");
        WriteBytes(RecoveryDir() + QStringLiteral("2-2.rec"), "TORVANE-RECOVERY 1\n99\nshort");
        QCOMPARE(bed_.main->OfferRecovery(), 0);
        QVERIFY(bed_.dialogs.messages.isEmpty());
        QVERIFY(!TRecoveryStore::Parse("TORVANE-RECOVERY 1\n0\n"));
        const auto entry = TRecoveryStore::Parse(std::string("TORVANE-RECOVERY 1\n3\na\nbtext\0x", 30));
        QVERIFY(entry);
        QCOMPARE(entry->originalName, std::string("a\nb"));
        QCOMPARE(entry->text, std::string("text\0x", 6));
    }

    void badTabColumnsNeverStopTheEditor() {
        // In the settings file: the default stands in, with a note.
        bed_.main->Settings().WriteString("Editor", "TabColumns", "20 10");
        bed_.dialogs.assembler = 0;
        bed_.main->actNovy->trigger();
        TEditWin* win = bed_.main->ActiveEditWin();
        QVERIFY(win);
        QCOMPARE(QString::fromStdString(win->sMemo->Control().TabColumns()), QStringLiteral("15 21 60"));
        QVERIFY(bed_.main->StatusPanel(4)->text().contains(QStringLiteral("TabColumns=20 10")));
        bed_.main->Settings().WriteInteger("Editor", "FontSize", 0);
        bed_.main->sMemoNastav(*win);
        QVERIFY(bed_.main->StatusPanel(4)->text().contains(QStringLiteral("FontSize=0")));
        QCOMPARE(win->sMemo->View().Appearance().font.size, 10);

        // In the dialog: it says what is wrong and stays open, nothing written.
        bed_.main->Settings().WriteString("Editor", "TabColumns", "15 21 60");
        TfrmNastaveni dialog(bed_.main->Settings(), SettingsChoosers{}, bed_.main.get());
        dialog.show();
        dialog.edTabs->setText(QStringLiteral("20 10"));
        dialog.btnOk->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.lblTabsError->isVisibleTo(&dialog));
        QCOMPARE(dialog.lblTabsError->text(), QString::fromUtf8(text::kBadTabColumns));
        QCOMPARE(bed_.main->Settings().ReadString("Editor", "TabColumns", ""), std::string("15 21 60"));
        dialog.edTabs->setText(QStringLiteral("10 20"));
        dialog.btnOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(bed_.main->Settings().ReadString("Editor", "TabColumns", ""), std::string("10 20"));
    }

    void exceptionsOutOfHandlersAreReportedAndSurvived() {
        auto* app = dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
        QVERIFY(app);
        QStringList reports;
        const auto previous = app->report;
        app->report = [&](const QString& message) { reports << message; };
        Faulty faulty;
        QEvent event(QEvent::User);
        QVERIFY(!QCoreApplication::sendEvent(&faulty, &event));
        // A throwing slot behind a queued call, as timers and posted events run.
        QTimer::singleShot(0, bed_.main.get(), [] { throw std::runtime_error("slot failed"); });
        QTRY_COMPARE(reports.size(), 2);
        app->report = previous;
        QCOMPARE(reports[0], GuardedApplication::ReportText(QStringLiteral("handler failed")));
        QVERIFY(reports[1].contains(QStringLiteral("slot failed")));
        QVERIFY(bed_.main->isVisible());
    }
};

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    SafetyFlowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SafetyFlows_test.moc"
