// The application's care for the user's work: files changed by another
// program, names that must not depend on the current folder, recovery files,
// settings that would stop the editor, and exceptions that escape a handler.
#include "ScriptedDialogs.h"
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

QString ShownText(const TEditWin* win) {
    return Cp1250ToUnicode(win->sMemo->Store().Text()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

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

    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TfrmTorvane> main_;
    QString savedCurrent_;

    QString ProgramDir() const { return dir_->path() + QStringLiteral("/prog/"); }
    QString DataPath(const QString& name) const { return dir_->path() + QLatin1Char('/') + name; }
    QString RecoveryDir() const { return dir_->path() + QStringLiteral("/state/torvane/"); }

    void StartMain() {
        main_ = std::make_unique<TfrmTorvane>(dialogs_, ProgramDir());
        main_->SetRecoveryFolder(RecoveryDir().toStdString());
        main_->show();
        QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    }

    TEditWin* Open(const QString& path) {
        main_->CreateEditor(path, false);
        return main_->ActiveEditWin();
    }

    static void TypeText(TEditWin* win, const QString& text) {
        const auto end = win->sMemo->Store().TextLength();
        win->sMemo->Control().SetSelection(end, end, true);
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(&win->sMemo->View(), &press);
        }
    }

    QStringList RecoveryFiles() const {
        return QDir(RecoveryDir()).entryList({QStringLiteral("*.rec")}, QDir::Files, QDir::Name);
    }

private slots:
    void init() {
        savedCurrent_ = QDir::currentPath();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir().mkpath(ProgramDir() + QStringLiteral("Scripts")));
        for (const torvane::platform::AssemblerFacts& facts : torvane::platform::kAssemblerTable)
            WriteBytes(ProgramDir() + QStringLiteral("Scripts/") + QString::fromUtf8(facts.scriptFile), "");
        dialogs_ = ScriptedDialogs();
        StartMain();
    }

    void cleanup() {
        for (TEditWin* win : main_->EditWindows())
            win->CloseApproved();
        main_.reset();
        QDir::setCurrent(savedCurrent_);
        dir_.reset();
    }

    void fileChangedOutsideIsNeverOverwrittenUnasked() {
        const QString path = DataPath("prog.asm");
        WriteBytes(path, "mine\r\n");
        TEditWin* win = Open(path);
        TypeText(win, "edit");
        WriteBytes(path, "theirs, longer\r\n");

        // Cancel: nothing is written.
        dialogs_.answers = {mbCancel};
        main_->actUlozit->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, FormatCz(text::kChangedOutside, path));
        QCOMPARE(ReadBytes(path), QByteArray("theirs, longer\r\n"));
        QVERIFY(win->sMemo->Modified());

        // Load again: their text in the editor, nothing written.
        dialogs_.answers = {mbYes};
        main_->actUlozit->trigger();
        QCOMPARE(ShownText(win), QStringLiteral("theirs, longer\n"));
        QVERIFY(!win->sMemo->Modified());
        QCOMPARE(ReadBytes(path), QByteArray("theirs, longer\r\n"));

        // Keep mine: the save goes ahead, and the next one asks nothing.
        TypeText(win, "x");
        WriteBytes(path, "third\r\n");
        dialogs_.messages.clear();
        dialogs_.answers = {mbNo};
        main_->actUlozit->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(ReadBytes(path), QByteArray("theirs, longer\r\nx"));
        TypeText(win, "y");
        main_->actUlozit->trigger();
        QCOMPARE(dialogs_.messages.size(), 1);

        // Coming back to the document asks as well; a deleted file is told once.
        WriteBytes(path, "changed while away\r\n");
        dialogs_.answers = {mbYes};
        main_->CheckOutsideChange(*win, false);
        QCOMPARE(ShownText(win), QStringLiteral("changed while away\n"));
        QVERIFY(QFile::remove(path));
        dialogs_.messages.clear();
        main_->CheckOutsideChange(*win, false);
        main_->CheckOutsideChange(*win, false);
        QCOMPARE(dialogs_.messages.size(), 1);
        QCOMPARE(dialogs_.messages[0].text, FormatCz(text::kDeletedOutside, path));
    }

    void relativeNamesAreMadeAbsoluteOnTheWayIn() {
        QVERIFY(QDir().mkpath(DataPath("a")));
        QVERIFY(QDir().mkpath(DataPath("b")));
        WriteBytes(DataPath("a/rel.asm"), "in a\r\n");
        WriteBytes(DataPath("b/rel.asm"), "in b\r\n");
        QVERIFY(QDir::setCurrent(DataPath("a")));
        main_->OpenCommandLineFile(QStringLiteral("rel.asm"));
        TEditWin* win = main_->ActiveEditWin();
        QVERIFY(win);
        QCOMPARE(win->FileName, DataPath("a/rel.asm"));

        // The current folder moves (the recent-files menu does that); the
        // save still goes where the file came from.
        QVERIFY(QDir::setCurrent(DataPath("b")));
        TypeText(win, "edit");
        main_->actUlozit->trigger();
        QCOMPARE(ReadBytes(DataPath("a/rel.asm")), QByteArray("in a\r\nedit"));
        QCOMPARE(ReadBytes(DataPath("b/rel.asm")), QByteArray("in b\r\n"));

        // A second start from folder a, while this process stands in b.
        WriteBytes(DataPath("a/second.asm"), "second\r\n");
        torvane::platform::CopyDataRecord record;
        const QByteArray bytes = QByteArray("second.asm") + '\0' + QFile::encodeName(DataPath("a")) + '\0';
        record.bytes.assign(bytes.begin(), bytes.end());
        main_->HandleCopyData(record);
        QCOMPARE(main_->ActiveEditWin()->FileName, DataPath("a/second.asm"));
        QCOMPARE(ShownText(main_->ActiveEditWin()), QStringLiteral("second\n"));
        const std::string first = main_->Settings().ReadString("History", "1", "");
        QCOMPARE(QString::fromLocal8Bit(first), DataPath("a/second.asm"));
    }

    void recoveryKeepsUnsavedWorkUntilACleanClose() {
        main_->SetRecoveryInterval(1);
        const QString path = DataPath("kept.asm");
        WriteBytes(path, "on disk\r\n");
        TEditWin* titled = Open(path);
        TypeText(titled, "typed");
        dialogs_.assembler = 0;
        main_->actNovy->trigger();
        TEditWin* untitled = main_->ActiveEditWin();
        TypeText(untitled, "draft");
        QTRY_COMPARE(RecoveryFiles().size(), 2);
        QCOMPARE(ModeOf(RecoveryDir()), 0700u);
        QCOMPARE(ModeOf(RecoveryDir() + RecoveryFiles()[0]), 0600u);

        // A saved document needs no recovery.
        main_->ZobrazOkno(path);
        main_->actUlozit->trigger();
        QCOMPARE(RecoveryFiles().size(), 1);

        // What a killed process leaves: files of another process id.
        TypeText(titled, "more");
        main_->WriteRecovery();
        QDir dir(RecoveryDir());
        for (const QString& name : RecoveryFiles())
            QVERIFY(dir.rename(name, QStringLiteral("1-") + name));

        // The next run offers each; the restored text is modified, under its name.
        for (TEditWin* win : main_->EditWindows())
            win->CloseApproved();
        main_.reset();
        StartMain();
        dialogs_.messages.clear();
        dialogs_.answers = {mbYes, mbYes};
        QCOMPARE(main_->OfferRecovery(), 2);
        QCOMPARE(dialogs_.messages.size(), 2);
        QVERIFY(dialogs_.messages[0].text.startsWith(QStringLiteral("Obnovit neuložené změny?")));
        QMap<QString, QString> restored;
        for (TEditWin* win : main_->EditWindows()) {
            restored[win->FileName] = ShownText(win);
            QVERIFY(win->sMemo->Modified());
        }
        QCOMPARE(restored.keys(), QStringList({path, QStringLiteral("Nový soubor 1")}));
        QCOMPARE(restored[path], QStringLiteral("on disk\ntypedmore"));
        QCOMPARE(restored[QStringLiteral("Nový soubor 1")], QStringLiteral("draft"));
        QCOMPARE(ReadBytes(path), QByteArray("on disk\r\ntyped")); // the file itself is not touched

        // A clean close (the user declines saving) leaves nothing behind.
        dialogs_.answers = {mbNo, mbNo};
        QVERIFY(main_->close());
        QVERIFY(RecoveryFiles().isEmpty());
    }

    void recoveryFilesThatAreNotOursAreIgnored() {
        QVERIFY(QDir().mkpath(RecoveryDir()));
        WriteBytes(RecoveryDir() + QStringLiteral("2-1.rec"), "not a recovery file");
        WriteBytes(RecoveryDir() + QStringLiteral("2-2.rec"), "TORVANE-RECOVERY 1\n99\nshort");
        QCOMPARE(main_->OfferRecovery(), 0);
        QVERIFY(dialogs_.messages.isEmpty());
        QVERIFY(!TRecoveryStore::Parse("TORVANE-RECOVERY 1\n0\n"));
        const auto entry = TRecoveryStore::Parse(std::string("TORVANE-RECOVERY 1\n3\na\nbtext\0x", 30));
        QVERIFY(entry);
        QCOMPARE(entry->originalName, std::string("a\nb"));
        QCOMPARE(entry->text, std::string("text\0x", 6));
    }

    void badTabColumnsNeverStopTheEditor() {
        // In the settings file: the default stands in, with a note.
        main_->Settings().WriteString("Editor", "TabColumns", "20 10");
        dialogs_.assembler = 0;
        main_->actNovy->trigger();
        TEditWin* win = main_->ActiveEditWin();
        QVERIFY(win);
        QCOMPARE(QString::fromStdString(win->sMemo->Control().TabColumns()), QStringLiteral("15 21 60"));
        QVERIFY(main_->StatusPanel(4)->text().contains(QStringLiteral("TabColumns=20 10")));
        main_->Settings().WriteInteger("Editor", "FontSize", 0);
        main_->sMemoNastav(*win);
        QVERIFY(main_->StatusPanel(4)->text().contains(QStringLiteral("FontSize=0")));
        QCOMPARE(win->sMemo->View().Appearance().font.size, 10);

        // In the dialog: it says what is wrong and stays open, nothing written.
        main_->Settings().WriteString("Editor", "TabColumns", "15 21 60");
        TfrmNastaveni dialog(main_->Settings(), SettingsChoosers{}, main_.get());
        dialog.show();
        dialog.edTabs->setText(QStringLiteral("20 10"));
        dialog.btnOk->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.lblTabsError->isVisibleTo(&dialog));
        QCOMPARE(dialog.lblTabsError->text(), QString::fromUtf8(text::kBadTabColumns));
        QCOMPARE(main_->Settings().ReadString("Editor", "TabColumns", ""), std::string("15 21 60"));
        dialog.edTabs->setText(QStringLiteral("10 20"));
        dialog.btnOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(main_->Settings().ReadString("Editor", "TabColumns", ""), std::string("10 20"));
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
        QTimer::singleShot(0, main_.get(), [] { throw std::runtime_error("slot failed"); });
        QTRY_COMPARE(reports.size(), 2);
        app->report = previous;
        QCOMPARE(reports[0], GuardedApplication::ReportText(QStringLiteral("handler failed")));
        QVERIFY(reports[1].contains(QStringLiteral("slot failed")));
        QVERIFY(main_->isVisible());
    }
};

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    SafetyFlowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SafetyFlows_test.moc"
