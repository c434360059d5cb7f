#include "app/TessaryControl.h"

#include "editor/Painter.h"
#include "editor/UndoStack.h"
#include "highlight/Parser.h"

#include "app/Cp1250.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <exception>

namespace torvane::app {
namespace {

using editor::TOffset;

// The document window's option set: syntax highlighting, print wrap, print
// line numbers, print file name, print date, print page numbers, auto
// indent, word select, show gutter, title as file name, block overwrite
// cursor, use TAB characters, smart fill, line numbers. Everything else
// (word wrap, tab to column, right margin ...) stays off.
constexpr uint32_t kDocumentOptions = smoSyntaxHighlight | smoPrintWrap | smoPrintLineNos | smoPrintFilename |
                                      smoPrintDate | smoPrintPageNos | smoAutoIndent | smoWordSelect |
                                      smoShowGutter | smoTitleAsFilename | smoBlockOverwriteCursor |
                                      smoUseTAB | smoSmartFill | smoLineNumbers;

constexpr editor::TColor kYellow = 0x00FFFF; // colours are 0x00BBGGRR
constexpr editor::TColor kWhite = 0xFFFFFF;
constexpr editor::TColor kBlue = 0xFF0000;
constexpr int kMargin = 8;
constexpr int kRightMargin = 80;
constexpr int kTabDefault = 4;
constexpr int kIndentStep = 1;

// Characters the code page lacks print as "?".
std::string PrintBytes(const QString& text) {
    std::string bytes;
    for (const QChar c : text)
        bytes += static_cast<char>(UnicodeToCp1250(c).value_or('?'));
    return bytes;
}

ChangeKinds KindsOf(uint32_t flags) {
    ChangeKinds kinds = ckNone;
    if (flags & editor::cfText) kinds |= ckText;
    if (flags & (editor::cfCaret | editor::cfSelection)) kinds |= ckCaret;
    if (flags & editor::cfInsertMode) kinds |= ckMode;
    return kinds;
}

} // namespace

TTessary::TTessary(QWidget* parent)
    : editor::qt::TessaryWidget(parent), control_(this), commands_(control_.Commands()),
      rehighlighter_(control_.Store()) {
    SetStore(&control_.Store());
    SetInput(&commands_);
    SetViewSource([this](editor::TViewState& view) { commands_.FillViewState(view); });
    control_.Store().AddObserver(&rehighlighter_);
    control_.Store().SetLineStyle(editor::lsCRLF);
    control_.SetSaveFormat(editor::sfTEXT);
    control_.SetTabDefault(kTabDefault);
    commands_.SetHideSelection(false);
    commands_.SetIndentStep(kIndentStep);
    commands_.SetReadOnly(false);
    commands_.OnChange = [this](uint32_t flags) {
        Rehighlight();
        emit Changed(KindsOf(flags));
    };

    editor::TAppearance& look = Appearance();
    look.gutterColor = kYellow;
    look.gutterColorFlag = false;
    look.gutterFont = editor::TFontSpec{"MS Sans Serif", 8, 0};
    look.rightMargin = kRightMargin;
    look.wrapAtColumn = 0;
    look.selTextColor = kWhite;
    look.selTextBack = kBlue;
    look.indentStep = kIndentStep;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    highlightTimer_.setSingleShot(true);
    connect(&highlightTimer_, &QTimer::timeout, this, [this] { Rehighlight(); });
    ApplyEditorSettings(QStringLiteral("Courier New"), 10, QStringLiteral("15 21 60"));
}

TTessary::~TTessary() {
    // The widget outlives the control and the re-highlighter (it is the
    // base): it must stop using them first.
    highlightTimer_.stop();
    control_.Store().RemoveObserver(&rehighlighter_);
    SetInput(nullptr);
    SetViewSource({});
    SetStore(nullptr);
    SetStyleSource(nullptr);
    control_.SetHost(nullptr);
}

void TTessary::SetParser(TTessaryParser* parser) {
    rehighlighter_.SetParser(nullptr);
    if (!parser) {
        SetStyleSource(nullptr);
        styleSource_.reset();
        parserAdapter_.reset();
    } else {
        parserAdapter_ = std::make_unique<editor::TParserAdapter>(*parser);
        styleSource_ = std::make_unique<editor::TSettingsStyleSource>(parser->Settings());
        SetStyleSource(styleSource_.get());
    }
    SyncMetrics();
    ReselectParser();
}

void TTessary::ReselectParser() {
    rehighlighter_.SetParser(parserAdapter_.get());
    rehighlighter_.MarkAll();
    Rehighlight();
    InvalidateAll();
}

void TTessary::Rehighlight() {
    if (!rehighlighter_.Parser()) return;
    editor::TRehighlightResult result;
    try {
        result = rehighlighter_.Run(kHighlightSlice);
    } catch (const std::exception&) {
        // A scheme that fails on this text (a pop from an empty state
        // stack ...) must not take the editor down: highlighting stops
        // until the next scheme is chosen, the text stays as it is.
        rehighlighter_.SetParser(nullptr);
        Beep();
        InvalidateAll();
        return;
    }
    if (result.firstLine >= 0) InvalidateLines(result.firstLine, result.lastLine);
    if (result.pending) highlightTimer_.start(0);
}

editor::TPrintResult TTessary::Print(editor::TPrinterSurface& printer, bool wholeText, const QString& title) {
    editor::TPrintSetup setup;
    setup.options = control_.Options();
    setup.monoPrint = true;
    setup.title = PrintBytes(title);
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    setup.dateTime = PrintBytes(locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral(" - ") +
                                locale.toString(now.time(), QLocale::ShortFormat));
    editor::TTextStore& store = control_.Store();
    editor::TLineRange lines = wholeText
                                   ? editor::PrintedLines(store, 0, store.TextLength())
                                   : editor::PrintedLines(store, control_.SelStart(), control_.SelEnd());
    // An empty document still prints its one empty page.
    if (wholeText && lines.Empty()) lines = {0, 0};
    const editor::TStyleSource& styles =
        styleSource_ ? *styleSource_ : static_cast<editor::TStyleSource&>(OwnStyles());
    const editor::TPrintResult result =
        editor::PrintLines(printer, store, Tabs(), styles, Appearance(), lines, setup);
    InvalidateAll();
    return result;
}

void TTessary::SyncMetrics() {
    commands_.SetMetrics(editor::CaretMetricsOf(Painter()));
}

bool TTessary::LoadFromFile(const QString& path, QString* error) {
    try {
        control_.LoadFromFile(QFile::encodeName(path).toStdString());
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    markedLine_.reset();
    ReselectParser();
    ReportChanges();
    // The caret stands at the start of a new text: the status bar shows it
    // even though the offset did not change.
    emit Changed(ckCaret);
    return true;
}

bool TTessary::SaveToFile(const QString& path, QString* error) {
    try {
        control_.SaveToFile(QFile::encodeName(path).toStdString());
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    ReportChanges();
    return true;
}

std::string TTessary::LineBytes(int lineIndex) const {
    if (lineIndex < 0 || lineIndex >= LineCount()) return {};
    return control_.Store().LineText(lineIndex);
}

void TTessary::AppendLine(const std::string& bytes) {
    const TOffset anchor = control_.Anchor(), caret = control_.Caret();
    const TOffset end = control_.Store().TextLength();
    control_.SetSelection(end, end, false);
    control_.ReplaceSel(end == 0 ? bytes : "\r" + bytes);
    control_.SetSelection(anchor, caret, true);
    ReportChanges();
}

void TTessary::InsertFirstLine(const std::string& bytes) {
    const TOffset anchor = control_.Anchor(), caret = control_.Caret();
    const TOffset shift = static_cast<TOffset>(bytes.size()) + 1;
    control_.SetSelection(0, 0, false);
    control_.ReplaceSel(bytes + "\r");
    control_.SetSelection(anchor + shift, caret + shift, true);
    ReportChanges();
}

int TTessary::CaretLine() const {
    return commands_.CaretPos().line;
}

int TTessary::CaretColumn() const {
    return commands_.CaretPos().column;
}

int TTessary::CaretCharCode() const {
    const editor::TTextStore& store = control_.Store();
    const TOffset caret = control_.Caret();
    const editor::TLineIndex line = store.LineOfOffset(caret);
    const std::string text = store.LineText(line);
    const size_t index = static_cast<size_t>(caret - store.LineStart(line));
    if (commands_.CaretBeyondEnd() || index >= text.size()) return 0;
    return static_cast<unsigned char>(text[index]);
}

void TTessary::SetCaret(int line, int column) {
    const editor::TTextStore& store = control_.Store();
    const editor::TLineIndex index = std::clamp(line - 1, 0, store.LineCount() - 1);
    const auto length = static_cast<int>(store.LineText(index).size());
    const TOffset offset = store.LineStart(index) + std::clamp(column - 1, 0, length);
    control_.SetSelection(offset, offset, true);
    ReportChanges();
}

void TTessary::SetTopLine(int line) {
    const int lastTop = std::max(0, LineCount() - std::max(1, VisibleLines()));
    control_.SetTopLine(std::clamp(line - 1, 0, lastTop));
}

void TTessary::SetLineMark(int line, int value) {
    if (line < 1 || line > LineCount()) return;
    SetLineHighlight(line - 1, value);
    if (value >= 0)
        markedLine_ = line;
    else if (markedLine_ == line)
        markedLine_.reset();
}

int32_t TTessary::UndoStep() {
    return Step(false);
}

int32_t TTessary::RedoStep() {
    return Step(true);
}

int32_t TTessary::Step(bool redo) {
    editor::TUndoStack* log = control_.Store().UndoLog();
    if (!log) return 0;
    int32_t kind = 0, target = 0;
    log->Inspect(1, &kind, &target);
    if (log->Inspect(redo ? 8 : 4, &kind, &target) != 1) return 0;
    int code = redo ? 32 : 16;
    if (kind == editor::ugTyping || kind == editor::ugDeleteChar) code += editor::TUndoStack::kInspectMerge;
    if (log->Inspect(code, &kind, &target) == editor::TUndoStack::kInspectNoGroup) return 0;
    log->SetTarget(&control_);
    control_.Perform(editor::TEM_PAINTLOCK, editor::kSet, 1);
    try {
        redo ? log->RedoTo(target) : log->UndoTo(target);
    } catch (const std::exception&) {
        // The log has cleared itself; the text stays as far as it got.
        kind = 0;
        Beep();
    }
    control_.Perform(editor::TEM_PAINTLOCK, editor::kSet, 0);
    InvalidateAll();
    control_.ScrollCaretIntoView();
    ReportChanges();
    return kind;
}

void TTessary::Copy() {
    control_.Perform(editor::WM_COPY);
}

void TTessary::Cut() {
    control_.Perform(editor::WM_CUT);
    ReportChanges();
}

void TTessary::Paste() {
    control_.Perform(editor::WM_PASTE);
    ReportChanges();
}

void TTessary::SelectAll() {
    control_.Perform(editor::EM_SETSEL, 0, -1);
    ReportChanges();
}

void TTessary::ApplyEditorSettings(const QString& fontName, int fontSize, const QString& tabColumns) {
    editor::TAppearance& look = Appearance();
    look.font = editor::TFontSpec{fontName.toStdString(), fontSize, 0};
    look.options = kDocumentOptions;
    control_.SetOptions(kDocumentOptions);
    control_.SetTabColumns(tabColumns.toStdString());
    control_.SetTabDefault(kTabDefault);
    Tabs() = control_.Tabs();
    SettingsChanged();
    // The margin may not be wider than a character; measure first.
    look.SetMargin(kMargin, Painter().Metrics().charWidth);
    SettingsChanged();
    SyncMetrics();
    ReportChanges();
}

} // namespace torvane::app
