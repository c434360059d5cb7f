#include "app/EditWin.h"

#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/Cp1250.h"
#include "app/MainWindow.h"
#include "common/Stream.h"
#include "editor/TessarySearch.h"
#include "highlight/BuiltinScheme.h"
#include "platform/FileSystem.h"
#include "scheme/SchemeCompiler.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QSplitter>
#include <QVBoxLayout>

namespace torvane::app {
namespace {

constexpr int kSplitterHeight = 3;
constexpr int kListInitialHeight = 97;
constexpr int kListMinimumHeight = 80;
// Line highlight of a message click's target: style value 255, which the
// schemes leave undefined and the painter shows white on red.
constexpr int kErrorLineHighlight = 255;
constexpr int kNoLineHighlight = -1;

} // namespace

TEditWin::TEditWin(TfrmTorvane& main, const QString& fileName, QWidget* parent)
    : QWidget(parent), sMemo(new TTessary(this)), Splitter(new QSplitter(Qt::Vertical, this)),
      lstBox(new QListWidget(this)), FileName(fileName), main_(main) {
    setObjectName(QStringLiteral("EditWin"));
    sMemo->setObjectName(QStringLiteral("sMemo"));
    Splitter->setObjectName(QStringLiteral("Splitter"));
    lstBox->setObjectName(QStringLiteral("lstBox"));
    setWindowTitle(fileName);
    sMemoParser.name = "sMemoParser";
    LoadBuiltinPlainTextScheme(sMemoParser);
    // The document window offers only the highlighting page; the full set
    // is reached through the main window's menu.
    sMemoParser.propertyPages = ppHighlight;
    sMemoParser.propertiesDialog = [this](const TTessaryParser&, TTE_Settings& copy, uint32_t pages) {
        return main_.RunSchemeOptions(*this, copy, pages);
    };
    sMemo->SetParser(&sMemoParser);
    sMemo->View().Search().OnSearchFail = [this](editor::TCustomTessary&, const std::string& text) {
        sMemoSearchFail(Cp1250ToUnicode(text));
    };
    sMemo->Control().OnFilesDropped = [this](editor::TCustomTessary&, const std::vector<std::string>& names,
                                             editor::TCustomTessary::TPoint) {
        QStringList files;
        for (const std::string& name : names)
            files.append(QFile::decodeName(QByteArray::fromStdString(name)));
        main_.OpenDroppedFiles(files);
    };

    Splitter->setHandleWidth(kSplitterHeight);
    Splitter->setOpaqueResize(true);
    Splitter->setChildrenCollapsible(false);
    Splitter->addWidget(sMemo);
    Splitter->addWidget(lstBox);
    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 0);
    lstBox->setMinimumHeight(kListMinimumHeight);
    Splitter->setSizes({400, kListInitialHeight});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter);

    sMemo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sMemo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { main_.popEditor->popup(sMemo->mapToGlobal(pos)); });
    connect(sMemo, &TTessary::Changed, this, [this](ChangeKinds kinds) { sMemoChange(kinds); });
    connect(lstBox, &QListWidget::itemClicked, this, &TEditWin::lstBoxClick);
}

TEditWin::~TEditWin() {
    // The editor and the list still signal while they are destroyed.
    sMemo->disconnect(this);
    lstBox->disconnect(this);
    // The parser is a member and goes before the child widgets do.
    sMemo->SetParser(nullptr);
}

std::optional<SchemeScriptError> TEditWin::CompileSchemeScript(const std::string& scriptPath) {
    sMemoParser.script = scriptPath;
    std::optional<SchemeScriptError> error;
    // The compiler's own entry point reports where it stopped, which the
    // parser's CompileScript does not pass on.
    scheme::TScriptPosition position;
    try {
        TFileStream script(scriptPath, TFileStream::fmOpenRead);
        scheme::CompileScheme(sMemoParser, script, scriptPath, &position);
        main_.ApplyStoredSchemeSettings(sMemoParser);
    } catch (const std::exception&) {
        error = SchemeScriptError{position.line + 1, position.column + 1};
    }
    sMemoParser.ReselectInClients();
    return error;
}

void TEditWin::SetHighlighter(Assembler assembler) {
    HighlightAssembler = assembler;
    main_.CheckHighlightItem(HighlightAssembler);

    const QString scriptName = QString::fromUtf8(platform::FactsOf(HighlightAssembler).scriptFile);
    const QString scriptPath =
        main_.DataDirectory() + QString::fromUtf8(text::kScriptsDir) + QLatin1Char('/') + scriptName;
    const std::string nativePath = QFile::encodeName(scriptPath).toStdString();
    if (!platform::FileExists(nativePath)) {
        main_.MessageDlgCz(QString::fromUtf8(text::kScriptMissingHead) + scriptName + QLatin1Char('"') +
                               QLatin1Char('\r') + QString::fromUtf8(text::kNoHighlighting),
                           MsgKind::Error, mbOK, mbOK);
        return;
    }
    // Compiling re-scans the text; the selection start must survive it.
    const editor::TOffset selStart = sMemo->Control().SelStart();
    const std::optional<SchemeScriptError> error = CompileSchemeScript(nativePath);
    sMemo->Control().SetSelection(selStart, selStart, true);
    if (error) {
        main_.MessageDlgCz(QString::fromUtf8(text::kScriptErrorHead) + scriptName +
                               QString::fromUtf8(text::kScriptErrorLine) + QString::number(error->line) +
                               QString::fromUtf8(text::kScriptErrorColumn) + QString::number(error->column) +
                               QString::fromUtf8(text::kScriptErrorTail) + QLatin1Char('\r') +
                               QString::fromUtf8(text::kNoHighlighting),
                           MsgKind::Error, mbOK, mbOK);
    }
}

void TEditWin::GoToLine(int n) {
    sMemo->SetCaret(n, 1);
    sMemo->SetTopLine(n - 5);
    if (ErrorLine >= 0) sMemo->SetLineMark(ErrorLine, kNoLineHighlight);
    ErrorLine = n;
    sMemo->SetLineMark(n, kErrorLineHighlight);
}

void TEditWin::sMemoChange(ChangeKinds kinds) {
    if (sMemo->Tag == 0) return;
    if (ErrorLine >= 0) {
        sMemo->SetLineMark(ErrorLine, kNoLineHighlight);
        ErrorLine = -1;
    }
    if (kinds & ckCaret) {
        const int line = sMemo->CaretLine();
        const int column = sMemo->CaretColumn();
        main_.SetStatusText(0, QString::asprintf("%4d:%4d", line, column));
        if (sMemo->LineBytes(line - 1).empty()) {
            main_.SetStatusText(1, QString::fromUtf8(text::kOrdEmptyLine));
        } else {
            const int code = sMemo->CaretCharCode();
            main_.SetStatusText(1, QString::asprintf("Ord: #%4d   Hex: %2Xh", code, code));
        }
    }
    main_.actZpet->setEnabled(sMemo->CanUndo());
    main_.actZnovu->setEnabled(sMemo->CanRedo());
    const bool selection = sMemo->SelLength() > 0;
    for (QAction* a : {main_.actKopirovat, main_.actVyjmout, main_.actComment, main_.actUnComment})
        a->setEnabled(selection);
    const bool modified = sMemo->Modified();
    main_.actUlozit->setEnabled(modified);
    main_.actPrelozit->setEnabled(!modified);
    main_.SetStatusText(3, modified ? QString::fromUtf8(text::kModified) : QString());
    if (modified) main_.NoteDocumentChange();
    main_.SetStatusText(2, QString::fromUtf8(sMemo->InsertMode() ? text::kInsertMode : text::kOverwriteMode));
}

void TEditWin::sMemoSearchFail(const QString& searchText) {
    main_.MessageDlgCz(QLatin1Char('"') + searchText + QString::fromUtf8(text::kNotFoundSuffix),
                       MsgKind::Information, mbOK, mbOK);
}

void TEditWin::lstBoxClick(QListWidgetItem* item) {
    if (!item) return;
    const ErrorItemTarget target = ParseErrorItem(item->text(), FileName);
    switch (target.kind) {
    case ErrorItemTarget::NotAnError:
        sMemo->setFocus();
        return;
    case ErrorItemTarget::NoLine:
    case ErrorItemTarget::OtherFile:
        return;
    case ErrorItemTarget::Line: {
        // Line 0 names no line; the last line is out of reach as the build
        // log counts it (a log line number equal to the count is not taken).
        const int line = CurrentErrorLine ? CurrentErrorLine(target.line) : target.line;
        if (line >= 1 && line < sMemo->TextLineCount()) GoToLine(line);
        sMemo->setFocus();
        return;
    }
    }
}

bool TEditWin::FormCloseQuery() {
    if (!sMemo->Modified()) return true;
    switch (main_.MessageDlgCz(QString::fromUtf8(text::kNotSaved), MsgKind::Confirmation,
                               mbYes | mbNo | mbCancel, mbYes)) {
    case mbYes:
        main_.ZobrazOkno(FileName);
        if (main_.ActiveEditWin() != this) main_.mdiArea->setActiveSubWindow(main_.SubWindowOf(this));
        main_.actUlozitExecute();
        return !sMemo->Modified();
    case mbNo:
        return true;
    default:
        return false;
    }
}

void TEditWin::FormClose() {
    main_.ForgetRecovery(*this);
    if (main_.EditWindows().size() <= 1) {
        main_.EnableEditorAct(false);
        main_.ClearStatusPanels();
    }
    main_.RemoveTab(FileName);
}

void TEditWin::FormActivate() {
    main_.CheckHighlightItem(HighlightAssembler);
    main_.SelectTab(FileName);
    main_.UpdateTitle();
    sMemoChange();
}

void TEditWin::CloseApproved() {
    closeApproved_ = true;
    if (QWidget* sub = parentWidget())
        sub->close();
    else
        close();
}

void TEditWin::closeEvent(QCloseEvent* event) {
    if (!closeApproved_ && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    closeApproved_ = true;
    FormClose();
    event->accept();
}

} // namespace torvane::app
