// The editor's options dialog as the main window offers it, and the user's
// own settings of each scheme kept in the settings file.

#include "app/AppTexts.h"
#include "app/Cp1250.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/logic/SchemeSettings.h"
#include "common/IniFile.h"
#include "common/Stream.h"
#include "highlight/BuiltinScheme.h"
#include "platform/FileSystem.h"
#include "scheme/SchemeCompiler.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <exception>
#include <memory>

namespace torvane::app {
namespace {

std::vector<uint8_t> StreamOf(const TTE_Settings& settings) {
    TMemoryStream stream;
    settings.SaveToStream(stream);
    return stream.Bytes();
}

// The scheme's settings as its script (or the built-in plain text) makes
// them, without the user's own; null when the script no longer compiles.
std::unique_ptr<TTessaryParser> CompiledScheme(const TTessaryParser& parser) {
    auto compiled = std::make_unique<TTessaryParser>();
    try {
        if (parser.script.empty()) {
            LoadBuiltinPlainTextScheme(*compiled);
        } else {
            if (!platform::FileExists(parser.script)) return nullptr;
            TFileStream script(parser.script, TFileStream::fmOpenRead);
            scheme::CompileScheme(*compiled, script, parser.script, nullptr);
        }
    } catch (const std::exception&) {
        return nullptr;
    }
    return compiled;
}

} // namespace

void TfrmTorvane::CreateSchemeOptionsAction(QMenu* menu) {
    actNastaveniZvyrazneni = new QAction(QString::fromUtf8(text::kSchemeOptionsItem), this);
    actNastaveniZvyrazneni->setObjectName(QStringLiteral("actNastaveniZvyrazneni"));
    actNastaveniZvyrazneni->setStatusTip(QString::fromUtf8(text::kSchemeOptionsHint));
    connect(actNastaveniZvyrazneni, &QAction::triggered, this, &TfrmTorvane::actNastaveniZvyrazneniExecute);
    menu->addSeparator();
    menu->addAction(actNastaveniZvyrazneni);
}

void TfrmTorvane::actNastaveniZvyrazneniExecute() {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    try {
        win->sMemoParser.EditProperties(ppAllPages);
    } catch (const std::exception& e) {
        // Nothing was applied: the parser takes the copy only at the very end.
        MessageDlgCz(QString::fromLocal8Bit(e.what()), MsgKind::Error, mbOK, mbOK);
    }
    win->sMemo->setFocus();
}

bool TfrmTorvane::RunSchemeOptions(TEditWin& win, TTE_Settings& copy, unsigned pages) {
    const std::string scheme = copy.values.languageName;
    const std::unique_ptr<TTessaryParser> compiled = CompiledScheme(win.sMemoParser);
    const TTE_Settings* defaults = compiled ? &compiled->Settings() : nullptr;
    bool mono = ReadMonoPrint(*settings_, scheme);
    if (!dialogs_.EditEditorOptions(this, win.sMemoParser, copy, pages, defaults, mono)) return false;

    // Settings equal to the scheme's own are no settings of the user's: the
    // scheme applies again, changes to its script included.
    if (defaults && StreamOf(copy) == StreamOf(*defaults))
        DropSchemeSettings(*settings_, scheme);
    else
        StoreSchemeSettings(*settings_, scheme, copy);
    WriteMonoPrint(*settings_, scheme, mono);

    // The document's own parser takes the copy when this returns; the other
    // documents of the scheme have parsers of their own.
    for (TEditWin* other : EditWindows())
        if (other != &win && other->sMemoParser.Settings().values.languageName == scheme &&
            other->sMemoParser.script == win.sMemoParser.script)
            other->sMemoParser.ApplySettings(copy);
    StatusPanel(4)->clear();
    return true;
}

void TfrmTorvane::ApplyStoredSchemeSettings(TTessaryParser& parser) {
    TTE_Settings& settings = parser.Settings();
    if (LoadSchemeSettings(*settings_, settings) == StoredSettings::Unreadable)
        StatusPanel(4)->setText(QString::fromUtf8(text::kStoredSchemeUnreadable)
                                    .arg(Cp1250ToUnicode(settings.values.languageName)));
}

} // namespace torvane::app
