// The program as installed into a prefix (by the install_into_prefix test):
// started from PREFIX/bin with a fresh user, it finds its scheme scripts,
// bridge and front ends in the installed layout, writes its settings and
// build log into the user's folders, and builds a source through the
// installed front end.

#include "../app/ScriptedDialogs.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "common/IniFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace torvane;
using namespace torvane::app;
using namespace torvane::app::test;

class InstalledAppTest : public QObject {
    Q_OBJECT

    QString prefix_ = qEnvironmentVariable("TORVANE_INSTALL_PREFIX");
    QTemporaryDir user_;

    QStringList FilesUnderPrefixNamed(const QString& name) const {
        QStringList found;
        QDirIterator it(prefix_, {name}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }

private slots:
    void initTestCase() {
        QVERIFY2(QFile::exists(prefix_ + "/bin/torvane"), qPrintable("no installed program in " + prefix_));
        QVERIFY(user_.isValid());
        qputenv("HOME", QFile::encodeName(user_.path() + "/home"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user_.path() + "/config"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(user_.path() + "/cache"));
    }

    void findsItsPartsAndBuildsThroughTheInstalledFrontEnd() {
        const QString source = user_.path() + "/blink51.asm";
        QVERIFY(QFile::copy(QStringLiteral(TORVANE_EXAMPLES "/blink51.asm"), source));

        ScriptedDialogs dialogs;
        {
            TfrmTorvane main(dialogs, prefix_ + "/bin/");
            const QString ini = user_.path() + "/config/torvane/Torvane.ini";
            QVERIFY(QFile::exists(ini));
            QCOMPARE(main.Settings().ReadString("ASEM51", "Path", ""),
                     QFile::encodeName(QDir::cleanPath(prefix_ + "/lib/torvane/asemw")).toStdString());

            main.CreateEditor(source, false);
            TEditWin* win = main.ActiveEditWin();
            QVERIFY(win);
            // A missing scheme script would have been reported in a message box.
            QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.value(0).text));
            QCOMPARE(win->HighlightAssembler, torvane::platform::Assembler::Asem51);

            main.actPrelozit->trigger();
            QVERIFY(dialogs.messages.isEmpty());
            QStringList log;
            for (int i = 0; i < win->lstBox->count(); ++i)
                log << win->lstBox->item(i)->text();
            QVERIFY2(log.contains(QString::fromUtf8("Soubor byl úspěšně přeložen")),
                     qPrintable(log.join('\n')));
            QVERIFY(QFile::exists(user_.path() + "/cache/torvane/compiler.log"));
            QVERIFY(QFile::exists(user_.path() + "/blink51.hex"));
        }
        // Nothing of the user's is written into the installed program.
        QCOMPARE(FilesUnderPrefixNamed("Torvane.ini"), QStringList());
        QCOMPARE(FilesUnderPrefixNamed("compiler.log"), QStringList());
        // The window's size is saved at exit, next to the first settings.
        TMemIniFile saved(QFile::encodeName(user_.path() + "/config/torvane/Torvane.ini").toStdString());
        QVERIFY(saved.SectionExists("Window"));
        QVERIFY(saved.SectionExists("AvrAsm32"));
    }
};

QTEST_MAIN(InstalledAppTest)
#include "InstalledApp_test.moc"
