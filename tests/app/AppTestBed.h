#pragma once
// The application tests' common ground: a main window over a private
// program folder in a temporary folder, with scripted dialog answers, and
// the file and typing helpers the flows share.

#include "ScriptedDialogs.h"
#include "app/AppLogic.h"
#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "platform/Names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>

namespace torvane::app::test {

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The document as the user reads it, line breaks as "\n".
inline QString ShownText(const TEditWin* win) {
    return Cp1250ToUnicode(win->sMemo->Store().Text()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Types at the caret, one key event per character (QTest's own key helpers
// take Latin-1 only).
inline void TypeAtCaret(TEditWin* win, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(&win->sMemo->View(), &press);
    }
}

// Types at the end of the text.
inline void TypeAtEnd(TEditWin* win, const QString& text) {
    const auto end = win->sMemo->Store().TextLength();
    win->sMemo->Control().SetSelection(end, end, true);
    TypeAtCaret(win, text);
}

// What the program folder's Scripts/ holds.
enum class TestScripts {
    kNone,    // no folder: highlighting stays plain
    kEmpty,   // an empty script per assembler: plain, but present
    kBundled, // copies of the bundled scripts from the source tree
};

class AppTestBed {
public:
    ScriptedDialogs dialogs;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TfrmTorvane> main;

    QString ProgramDir() const { return dir->path() + QStringLiteral("/prog/"); }
    QString DataPath(const QString& name) const { return dir->path() + QLatin1Char('/') + name; }

    // A fresh temporary folder with the program folder in it; call from
    // init() under QVERIFY.
    bool Prepare(TestScripts scripts) {
        dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid() || !QDir().mkpath(ProgramDir())) return false;
        dialogs = ScriptedDialogs();
        if (scripts == TestScripts::kNone) return true;
        const QString folder = ProgramDir() + QStringLiteral("Scripts/");
        if (!QDir().mkpath(folder)) return false;
        if (scripts == TestScripts::kEmpty) {
            for (const platform::AssemblerFacts& facts : platform::kAssemblerTable) {
                QFile f(folder + QString::fromUtf8(facts.scriptFile));
                if (!f.open(QIODevice::WriteOnly)) return false;
            }
            return true;
        }
        for (const char* script : {"txt.tsc", "asm51.tsc", "AvrAsm.tsc"})
            if (!QFile::copy(QStringLiteral(TORVANE_SOURCE_DIR "/Scripts/") + QLatin1String(script),
                             folder + QLatin1String(script)))
                return false;
        return true;
    }

    // Starts the main window over the program folder and waits until it is
    // shown; `beforeShow` sets what must be in place before the first event.
    void StartMain(std::optional<QSize> size = QSize(900, 700),
                   const std::function<void(TfrmTorvane&)>& beforeShow = {}) {
        main = std::make_unique<TfrmTorvane>(dialogs, ProgramDir());
        if (beforeShow) beforeShow(*main);
        if (size) main->resize(*size);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }

    // Ends the main window as the program's end would, freeing what Qt
    // frees later.
    void StopMain() {
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // For cleanup(): the window, then the folder.
    void Finish() {
        StopMain();
        dir.reset();
    }

    // Writes `bytes` to DataPath(name) and opens it as a document.
    TEditWin* Open(const QString& name, const QByteArray& bytes) {
        WriteBytes(DataPath(name), bytes);
        main->CreateEditor(DataPath(name), false);
        return main->ActiveEditWin();
    }
};

} // namespace torvane::app::test
