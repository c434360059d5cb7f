#include "app/TessaryControl.h"

#include "app/Cp1250.h"
#include "common/Exceptions.h"

#include "editor/Painter.h"
#include "editor/TessaryTemplates.h"
#include "editor/UndoStack.h"
#include "editor/qt/TemplatePickList.h"
#include "highlight/Parser.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace torvane::app {
namespace {

// Characters the code page lacks print as "?".
std::string PrintBytes(const QString& text) {
    std::string bytes;
    for (const QChar c : text)
        bytes += static_cast<char>(UnicodeToCp1250(c).value_or('?'));
    return bytes;
}

using editor::TOffset;

// The document window's option set: syntax highlighting, print wrap, print
// line numbers, print file name, print date, print page numbers, auto
// indent, word select, show gutter, title as file name, block overwrite
// cursor, use TAB characters, smart fill, line numbers; and drag and drop:
// a selection may be dragged, dropped files open as documents. Everything
// else (word wrap, tab to column, right margin ...) stays off.
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

ChangeKinds KindsOf(uint32_t flags) {
    ChangeKinds kinds = ckNone;
    if (flags & editor::cfText) kinds |= ckText;
    if (flags & (editor::cfCaret | editor::cfSelection)) kinds |= ckCaret;
    if (flags & editor::cfInsertMode) kinds |= ckMode;
    return kinds;
}

} // namespace

TTessary::TTessary(QWidget* parent) : QWidget(parent), view_(new editor::qt::TessaryWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);

    editor::TCustomTessary& control = Control();
    control.Store().SetLineStyle(editor::lsCRLF);
    control.SetSaveFormat(editor::sfTEXT);
    control.SetTabDefault(kTabDefault);
    control.SetHideSelection(false);
    control.SetReadOnly(false);
    Commands().SetIndentStep(kIndentStep);
    connect(view_, &editor::qt::TessaryWidget::changed, this,
            [this](uint32_t flags) { emit Changed(KindsOf(flags)); });

    editor::TAppearance& look = view_->Appearance();
    look.gutterColor = kYellow;
    look.gutterColorFlag = false;
    look.gutterFont = editor::TFontSpec{"MS Sans Serif", 8, 0};
    look.rightMargin = kRightMargin;
    look.wrapAtColumn = 0;
    look.selTextColor = kWhite;
    look.selTextBack = kBlue;
    look.indentStep = kIndentStep;
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    editor::qt::AttachTemplatePickList(*view_, Commands());
    ApplyEditorSettings(QStringLiteral("Courier New"), 10, QStringLiteral("15 21 60"));
}

TTessary::~TTessary() {
    Commands().Templates().PickDismiss();
    // The view goes before the adapters it points at.
    delete view_;
}

void TTessary::SetParser(TTessaryParser* parser) {
    view_->SetHighlighter(nullptr);
    if (!parser) {
        view_->SetStyleSource(nullptr);
        styleSource_.reset();
        parserAdapter_.reset();
    } else {
        // Registered with the parser: a scheme compile, a settings change or
        // a font change re-selects it from there.
        parserAdapter_ = std::make_unique<editor::TParserAdapter>(*parser, [this] { ReselectParser(); });
        styleSource_ = std::make_unique<editor::TSettingsStyleSource>(parser->Settings());
        view_->SetStyleSource(styleSource_.get());
    }
    SyncExportLook();
    // The scheme's key map, templates and auto-correct take this editor's keys.
    Commands().SetSettings(parser ? &parser->Settings() : nullptr);
    ReselectParser();
}

void TTessary::ReselectParser() {
    // A scheme that needs a custom scan step nobody provides would fail on
    // every token: the text stays plain instead.
    const bool usable = parserAdapter_ && parserAdapter_->Parser().CanHighlight();
    if (!usable) editor::ClearTokens(Control().Store());
    view_->SetHighlighter(usable ? parserAdapter_.get() : nullptr);
}

bool TTessary::LoadFromFile(const QString& path, QString* error) {
    {
        // Reported once the new text has its scheme.
        editor::TCustomTessary::Batch batch(Control());
        try {
            Control().LoadFromFile(QFile::encodeName(path).toStdString());
        } catch (const std::exception& e) {
            if (error) *error = QString::fromLocal8Bit(e.what());
            return false;
        }
        markedLine_.reset();
        ReselectParser();
    }
    // The caret stands at the start of a new text: the status bar shows it
    // even though the offset did not change.
    emit Changed(ckCaret);
    return true;
}

bool TTessary::SaveToFile(const QString& path, QString* error, int* errorCode) {
    try {
        Control().SaveToFile(QFile::encodeName(path).toStdString());
    } catch (const torvane::EFileSaveError& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        if (errorCode) *errorCode = e.Code();
        return false;
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    return true;
}

bool TTessary::ExportToFile(const QString& path, editor::TSaveFormat format, QString* error) {
    try {
        SyncExportLook();
        Control().ExportToFile(QFile::encodeName(path).toStdString(), format);
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    return true;
}

void TTessary::SyncExportLook() {
    editor::TExportLook look;
    look.styles =
        styleSource_ ? static_cast<const editor::TStyleSource*>(styleSource_.get()) : &view_->OwnStyles();
    look.font = view_->Appearance().font;
    look.systemColors = view_->Painter().SystemColors();
    look.date = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toStdString();
    Control().SetExportLook(std::move(look));
}

editor::TPrintResult TTessary::Print(editor::TPrinterSurface& printer, bool wholeText, const QString& title) {
    editor::TPrintSetup setup;
    setup.options = Control().Options();
    setup.monoPrint = true;
    setup.title = PrintBytes(title);
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    setup.dateTime = PrintBytes(locale.toString(now.date(), QLocale::ShortFormat) + QStringLiteral(" - ") +
                                locale.toString(now.time(), QLocale::ShortFormat));
    editor::TTextStore& store = Control().Store();
    editor::TLineRange lines = wholeText
                                   ? editor::PrintedLines(store, 0, store.TextLength())
                                   : editor::PrintedLines(store, Control().SelStart(), Control().SelEnd());
    // An empty document still prints its one empty page.
    if (wholeText && lines.Empty()) lines = {0, 0};
    const editor::TStyleSource& styles =
        styleSource_ ? static_cast<const editor::TStyleSource&>(*styleSource_) : view_->OwnStyles();
    const editor::TPrintResult result =
        editor::PrintLines(printer, store, Control().Tabs(), styles, view_->Appearance(), lines, setup);
    view_->InvalidateAll();
    return result;
}

std::string TTessary::LineBytes(int lineIndex) const {
    if (lineIndex < 0 || lineIndex >= LineCount()) return {};
    return Control().Store().LineText(lineIndex);
}

void TTessary::AppendLine(const std::string& bytes) {
    editor::TCustomTessary::Batch batch(Control());
    const TOffset anchor = Control().Anchor(), caret = Control().Caret();
    const TOffset end = Control().Store().TextLength();
    Control().SetSelection(end, end, false);
    Control().ReplaceSel(end == 0 ? bytes : "\r" + bytes);
    Control().SetSelection(anchor, caret, true);
}

void TTessary::InsertFirstLine(const std::string& bytes) {
    editor::TCustomTessary::Batch batch(Control());
    const TOffset anchor = Control().Anchor(), caret = Control().Caret();
    const TOffset shift = static_cast<TOffset>(bytes.size()) + 1;
    Control().SetSelection(0, 0, false);
    Control().ReplaceSel(bytes + "\r");
    Control().SetSelection(anchor + shift, caret + shift, true);
}

int TTessary::CaretLine() const {
    return Control().Store().LineOfOffset(Control().Caret()) + 1;
}

int TTessary::CaretColumn() const {
    return Control().CaretColumn() + 1;
}

int TTessary::CaretCharCode() const {
    const editor::TTextStore& store = Control().Store();
    const TOffset caret = Control().Caret();
    const editor::TLineIndex line = store.LineOfOffset(caret);
    const std::string text = store.LineText(line);
    const size_t index = static_cast<size_t>(caret - store.LineStart(line));
    if (Control().CaretBeyondEnd() || index >= text.size()) return 0;
    return static_cast<unsigned char>(text[index]);
}

// The first node of a 1-based text line, clamped to the text.
editor::TLineIndex TTessary::NodeOfLine(int line) const {
    const editor::TTextStore& store = Control().Store();
    const editor::TLineIndex node = store.NodeOfTextLine(std::max(line, 1) - 1);
    return node >= 0 ? node : store.LineCount() - 1;
}

void TTessary::SetCaret(int line, int column) {
    const editor::TTextStore& store = Control().Store();
    const editor::TLineIndex first = NodeOfLine(line);
    editor::TLineIndex last = first;
    while (last + 1 < store.LineCount() && store.Node(last + 1).IsContinuation())
        ++last;
    const TOffset start = store.LineStart(first);
    const TOffset end = store.LineStart(last) + static_cast<TOffset>(store.LineText(last).size());
    const TOffset offset = start + std::clamp<TOffset>(column - 1, 0, end - start);
    Control().SetSelection(offset, offset, true);
}

void TTessary::SetTopLine(int line) {
    const int lastTop = std::max(0, LineCount() - std::max(1, view_->VisibleLines()));
    Control().SetTopLine(std::clamp(NodeOfLine(line), 0, lastTop));
}

void TTessary::SetLineMark(int line, int value) {
    if (line < 1 || line > TextLineCount()) return;
    view_->SetLineHighlight(NodeOfLine(line), value);
    if (value >= 0)
        markedLine_ = line;
    else if (markedLine_ == line)
        markedLine_.reset();
}

void TTessary::Copy() {
    Control().Copy();
}

void TTessary::Cut() {
    Control().Cut();
}

void TTessary::Paste() {
    Control().Paste();
}

void TTessary::SelectAll() {
    Control().Perform(editor::EM_SETSEL, 0, -1);
}

void TTessary::ApplyEditorSettings(const QString& fontName, int fontSize, const QString& tabColumns) {
    editor::TCustomTessary::Batch batch(Control());
    editor::TAppearance& look = view_->Appearance();
    look.font = editor::TFontSpec{fontName.toStdString(), fontSize, 0};
    // Word wrap is the user's choice per document (Úpravy), not a setting:
    // re-applying the settings keeps it as it is.
    const uint32_t options = kDocumentOptions | (Control().Options() & smoWordWrap);
    look.options = options;
    Control().SetOptions(options);
    Control().SetTabColumns(tabColumns.toStdString());
    Control().SetTabDefault(kTabDefault);
    view_->SettingsChanged();
    // The margin may not be wider than a character; measure first.
    look.SetMargin(kMargin, view_->Painter().Metrics().charWidth);
    view_->SettingsChanged();
    SyncExportLook();
}

} // namespace torvane::app
