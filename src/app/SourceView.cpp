#include "app/SourceView.h"

#include "app/Cp1250.h"
#include "editor/TextStore.h"

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include <exception>

namespace torvane::app {
namespace {

// The view's text of [position, position + count) as stored bytes: paragraph
// separators become the store's CR. A character without a byte (none gets
// in through the checked entry points) is reported through *lossless.
std::string StoredBytes(QTextDocument* doc, int position, int count, bool* lossless) {
    QTextCursor cursor(doc);
    cursor.setPosition(position);
    cursor.setPosition(position + count, QTextCursor::KeepAnchor);
    const QString text = cursor.selectedText();
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n')) {
            bytes.push_back('\r');
        } else if (auto b = UnicodeToCp1250(c)) {
            bytes.push_back(static_cast<char>(*b));
        } else {
            bytes.push_back('?');
            *lossless = false;
        }
    }
    return bytes;
}

QString ViewText(const std::string& storedText) {
    QString text = Cp1250ToUnicode(storedText);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool Representable(const QString& text) {
    for (QChar c : text)
        if (c != QChar::ParagraphSeparator && c != QChar::LineSeparator && !UnicodeToCp1250(c)) return false;
    return true;
}

} // namespace

SourceView::SourceView(QWidget* parent)
    : QPlainTextEdit(parent), store_(std::make_unique<editor::TTextStore>()) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Selected text white on blue, also while the editor has no focus.
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, Qt::blue);
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(pal);

    connect(document(), &QTextDocument::contentsChange, this, &SourceView::OnContentsChange);
    connect(this, &QPlainTextEdit::undoAvailable, this, [this](bool on) { canUndo_ = on; });
    connect(this, &QPlainTextEdit::redoAvailable, this, [this](bool on) { canRedo_ = on; });
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_) emit Changed(ckText);
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!syncing_) emit Changed(ckCaret);
    });
    connect(this, &QPlainTextEdit::selectionChanged, this, [this] {
        if (!syncing_) emit Changed(ckCaret);
    });
}

SourceView::~SourceView() = default;

void SourceView::OnContentsChange(int position, int charsRemoved, int charsAdded) {
    if (syncing_) return;
    // Qt may report a wider range than was edited, and counts the document's
    // final paragraph separator, which the store does not hold: clamp the new
    // range to the text, and let the store clamp the old one.
    const int length = document()->characterCount() - 1;
    const int added = std::max(0, std::min(charsAdded, length - position));
    bool lossless = true;
    const std::string bytes = StoredBytes(document(), position, added, &lossless);
    store_->Replace(position, position + charsRemoved, bytes);
    if (store_->TextLength() != length || !lossless) {
        // Should never happen; keep the store equal to what the user sees.
        QApplication::beep();
        bool ignored = true;
        store_->SetText(StoredBytes(document(), 0, length, &ignored));
    }
}

void SourceView::ShowStoreText() {
    syncing_ = true;
    setPlainText(ViewText(store_->Text()));
    document()->setModified(false);
    syncing_ = false;
    markedLine_.reset();
    UpdateMarks();
}

bool SourceView::LoadFromFile(const QString& path, QString* error) {
    auto loaded = std::make_unique<editor::TTextStore>();
    try {
        loaded->LoadFromFile(QFile::encodeName(path).toStdString());
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    store_ = std::move(loaded);
    ShowStoreText();
    return true;
}

bool SourceView::SaveToFile(const QString& path, QString* error) {
    try {
        store_->SaveToFile(QFile::encodeName(path).toStdString(), editor::sfTEXT);
    } catch (const std::exception& e) {
        if (error) *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    document()->setModified(false);
    return true;
}

bool SourceView::Modified() const {
    return document()->isModified();
}

int SourceView::LineCount() const {
    return document()->blockCount();
}

std::string SourceView::LineBytes(int lineIndex) const {
    const QTextBlock block = document()->findBlockByNumber(lineIndex);
    if (!block.isValid()) return {};
    bool lossless = true;
    return StoredBytes(document(), block.position(), block.length() - 1, &lossless);
}

void SourceView::AppendLine(const std::string& bytes) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const bool empty = document()->characterCount() <= 1;
    cursor.insertText((empty ? QString() : QStringLiteral("\n")) + Cp1250ToUnicode(bytes));
}

void SourceView::InsertFirstLine(const std::string& bytes) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertText(Cp1250ToUnicode(bytes) + QLatin1Char('\n'));
}

int SourceView::CaretLine() const {
    return textCursor().blockNumber() + 1;
}

int SourceView::CaretColumn() const {
    return textCursor().positionInBlock() + 1;
}

int SourceView::SelLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void SourceView::SetCaret(int line, int column) {
    QTextBlock block = document()->findBlockByNumber(std::max(0, line - 1));
    if (!block.isValid()) block = document()->lastBlock();
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(column - 1, 0, block.length() - 1));
    setTextCursor(cursor);
}

int SourceView::TopLine() const {
    return firstVisibleBlock().blockNumber() + 1;
}

void SourceView::SetTopLine(int line) {
    // Without wrapping the vertical scroll bar counts lines.
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(std::clamp(line - 1, 0, bar->maximum()));
}

void SourceView::SetLineColor(int line, const QColor& color) {
    if (color.isValid()) {
        markedLine_ = line;
        markColor_ = color;
    } else if (markedLine_ == line) {
        markedLine_.reset();
    }
    UpdateMarks();
}

std::optional<int> SourceView::MarkedLine() const {
    return markedLine_;
}

void SourceView::UpdateMarks() {
    QList<QTextEdit::ExtraSelection> marks;
    if (markedLine_) {
        const QTextBlock block = document()->findBlockByNumber(*markedLine_ - 1);
        if (block.isValid()) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(block);
            mark.format.setBackground(markColor_);
            mark.format.setForeground(Qt::white);
            mark.format.setProperty(QTextFormat::FullWidthSelection, true);
            marks << mark;
        }
    }
    setExtraSelections(marks);
}

void SourceView::ApplyEditorSettings(const QString& fontName, int fontSize, const QString& tabColumns) {
    QFont font(fontName, fontSize);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    setFont(font);
    // Tab columns are 1-based character columns; past the last one the
    // default step of four columns applies.
    const qreal charWidth = QFontMetricsF(font).horizontalAdvance(QLatin1Char('x'));
    QList<QTextOption::Tab> tabs;
    for (const QString& part : tabColumns.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int column = part.toInt(&ok);
        if (ok && column > 1) tabs << QTextOption::Tab((column - 1) * charWidth, QTextOption::LeftTab);
    }
    QTextOption option = document()->defaultTextOption();
    option.setTabs(tabs);
    option.setTabStopDistance(4 * charWidth);
    document()->setDefaultTextOption(option);
}

void SourceView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        emit Changed(ckMode);
        return;
    }
    // Shift+Enter would insert a soft break inside a line; a line break is a line break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        textCursor().insertText(QStringLiteral("\n"));
        return;
    }
    if (!event->text().isEmpty() && event->text()[0].isPrint() && !Representable(event->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void SourceView::inputMethodEvent(QInputMethodEvent* event) {
    if (!Representable(event->commitString())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void SourceView::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    const QString text = source->text();
    if (!Representable(QString(text).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')))) {
        QApplication::beep();
        return;
    }
    textCursor().insertText(text);
}

} // namespace torvane::app
