// The program's entry: one running instance per user session. A second start
// hands its first argument to the running instance and ends without a
// window; the first one opens the main window and serves hand-overs.

#include "app/AppTexts.h"
#include "app/Dialogs.h"
#include "app/GuardedApplication.h"
#include "app/MainWindow.h"
#include "app/QtTranslation.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/JpegImage.h"
#include "app/logic/Recovery.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/SingleInstance.h"
#include "scheme/SchemeCompiler.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using torvane::platform::CopyDataRecord;
using torvane::platform::SingleInstance;

// The copy-data record of a hand-over: the file name, NUL-terminated, then
// this process's current folder, NUL-terminated, for a relative name.
CopyDataRecord HandOverRecord(const std::string& fileName) {
    CopyDataRecord record;
    record.dwData = 0;
    record.bytes.assign(fileName.begin(), fileName.end());
    record.bytes.push_back(0);
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).string();
    record.bytes.insert(record.bytes.end(), folder.begin(), folder.end());
    record.bytes.push_back(0);
    return record;
}

// How often unsaved work is written for recovery; TORVANE_RECOVERY_SECONDS
// changes it (tests, slow disks), 30 seconds otherwise.
int RecoveryIntervalMs() {
    const char* value = std::getenv("TORVANE_RECOVERY_SECONDS");
    const int seconds = value ? std::atoi(value) : 0;
    return seconds > 0 && seconds < 86400 ? seconds * 1000 : 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string firstArgument = argc > 1 ? argv[1] : "";

    SingleInstance instance;
    if (!instance.Acquire()) {
        // No running instance to take it (it is just ending): nothing to do.
        (void)SingleInstance::Send(HandOverRecord(firstArgument));
        return 0;
    }

    // Listen at once: a second start during the splash waits in the queue
    // until the main window can take its file.
    const int listenFd = instance.Listen();

    // Every parser that compiles a script goes through the scheme compiler.
    torvane::scheme::InstallSchemeCompiler();

    torvane::app::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(torvane::app::text::kAppTitle));
    (void)torvane::app::InstallQtTranslation(app);

    // The about box stands as a splash while the main window is made.
    auto splash = std::make_unique<torvane::app::TfrmOprog>(torvane::app::LoadLogoFromResourceLibrary());
    splash->ShowAsSplash(500);
    torvane::app::QtAppDialogs dialogs;
    torvane::app::TfrmTorvane mainWindow(dialogs,
                                         QString::fromLocal8Bit(torvane::platform::ProgramDirectory()));
    splash.reset();

#ifdef _WIN32
    // The hand-over window answers once the main window can take the file.
    (void)instance.ListenForCopyData(
        [&](const CopyDataRecord& record) { mainWindow.HandleCopyData(record); });
#endif
    std::unique_ptr<QSocketNotifier> handOver;
    if (listenFd >= 0) {
        handOver = std::make_unique<QSocketNotifier>(listenFd, QSocketNotifier::Read);
        QObject::connect(handOver.get(), &QSocketNotifier::activated, &mainWindow, [&] {
            // A message box inside the handling runs an event loop; no second
            // record is taken until this one is acknowledged.
            handOver->setEnabled(false);
            CopyDataRecord record;
            int connection = -1;
            if (instance.Receive(record, &connection)) {
                mainWindow.HandleCopyData(record);
                SingleInstance::Acknowledge(connection);
            }
            handOver->setEnabled(true);
        });
    }

    mainWindow.SetRecoveryFolder(torvane::app::TRecoveryStore::DefaultFolder());
    mainWindow.SetRecoveryInterval(RecoveryIntervalMs());

    // SIGTERM and SIGHUP run the program's own closing.
    std::unique_ptr<QSocketNotifier> termination;
    if (const int fd = torvane::platform::WatchTerminationSignals(); fd >= 0) {
        termination = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(termination.get(), &QSocketNotifier::activated, &mainWindow, [&, fd] {
            if (torvane::platform::TakeTerminationSignal(fd) == 0) return;
            const QString platform = QGuiApplication::platformName();
            const bool display =
                platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
            mainWindow.OnTerminationRequest(display);
        });
    }

    mainWindow.show();
    mainWindow.OfferRecovery();
    mainWindow.OpenCommandLineFile(QString::fromLocal8Bit(firstArgument.c_str()));
    return QApplication::exec();
}
