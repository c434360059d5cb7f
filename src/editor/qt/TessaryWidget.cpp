#include "editor/qt/TessaryWidget.h"

#include "editor/Cp1250Table.h"
#include "editor/qt/QtSurface.h"
#include "editor/qt/TessaryInterimInput.h"
#include "highlight/ShortCut.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace torvane::editor::qt {
namespace {

constexpr int kWheelLinesPerNotch = 3;

} // namespace

TessaryWidget::TessaryWidget(QWidget* parent)
    : QAbstractScrollArea(parent), interim_(std::make_unique<TessaryInterimInput>(*this)) {
    view_.focused = false;
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    store_->AddObserver(this);
    RebuildPainter();
    connect(&blink_, &QTimer::timeout, this, [this] {
        caretOn_ = !caretOn_;
        if (auto r = CaretRect()) viewport()->update(r->left, r->top, r->Width(), r->Height());
    });
}

TessaryWidget::~TessaryWidget() {
    store_->RemoveObserver(this);
}

void TessaryWidget::SetStore(TTextStore* store) {
    store_->RemoveObserver(this);
    store_ = store ? store : &ownStore_;
    store_->AddObserver(this);
    view_.anchor = view_.caret = 0;
    view_.topLine = 0;
    view_.leftColumn = 0;
    RebuildPainter();
}

void TessaryWidget::SetStyleSource(const TStyleSource* styles) {
    styles_ = styles ? styles : &ownStyles_;
    RebuildPainter();
}

void TessaryWidget::RebuildPainter() {
    painter_ = std::make_unique<TPainter>(*store_, tabs_, *styles_, appearance_);
    SettingsChanged();
}

TSurfaceInput& TessaryWidget::Input() {
    return input_ ? *input_ : *interim_;
}

void TessaryWidget::SettingsChanged() {
    TQtSurface measuring;
    painter_->Measure(measuring);
    UpdateClientSize();
    UpdateScrollBars();
    viewport()->update();
}

void TessaryWidget::UpdateClientSize() {
    view_.clientWidth = viewport()->width();
    view_.clientHeight = viewport()->height();
}

void TessaryWidget::UpdateScrollBars() {
    // Setting a range may move the value and call scrollContentsBy, which
    // must not write the view back while the ranges are half set.
    updatingScrollBars_ = true;
    const int lines = std::max(1, VisibleLines());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, store_->LineCount() - lines));
    v->setPageStep(lines);
    v->setValue(view_.topLine);
    const int columns = std::max(1, VisibleColumns());
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, store_->WidestLine() + 1 - columns));
    h->setPageStep(columns);
    h->setValue(view_.leftColumn);
    updatingScrollBars_ = false;
    view_.topLine = v->value();
    view_.leftColumn = h->value();
}

void TessaryWidget::TextChanged(const TTextChange&) {
    const TOffset length = store_->TextLength();
    view_.anchor = std::min(view_.anchor, length);
    view_.caret = std::min(view_.caret, length);
    view_.topLine = std::min(view_.topLine, store_->LineCount() - 1);
    UpdateScrollBars();
    viewport()->update();
}

// ---- view state --------------------------------------------------------------

void TessaryWidget::SetSelection(TOffset anchor, TOffset caret) {
    const TOffset length = store_->TextLength();
    view_.anchor = std::clamp<TOffset>(anchor, 0, length);
    view_.caret = std::clamp<TOffset>(caret, 0, length);
    view_.caretBeyondEnd = false;
    RestartCaretBlink();
    viewport()->update();
}

void TessaryWidget::SetTopLine(TLineIndex line) {
    verticalScrollBar()->setValue(std::clamp<TLineIndex>(line, 0, verticalScrollBar()->maximum()));
}

void TessaryWidget::SetLeftColumn(int32_t column) {
    horizontalScrollBar()->setValue(std::clamp<int32_t>(column, 0, horizontalScrollBar()->maximum()));
}

void TessaryWidget::SetInsertMode(bool insert) {
    view_.insertMode = insert;
    viewport()->update();
}

void TessaryWidget::SetCaretBeyondEnd(bool beyond, int32_t virtualColumn) {
    view_.caretBeyondEnd = beyond;
    view_.virtualColumn = virtualColumn;
    viewport()->update();
}

void TessaryWidget::ScrollCaretIntoView() {
    const TLineIndex line = store_->LineOfOffset(view_.caret);
    const int lines = std::max(1, VisibleLines());
    if (line < view_.topLine)
        SetTopLine(line);
    else if (line >= view_.topLine + lines)
        SetTopLine(line - lines + 1);
    const int32_t column = view_.caretBeyondEnd ? view_.virtualColumn : painter_->ColumnOfOffset(view_.caret);
    const int columns = std::max(1, VisibleColumns());
    if (column < view_.leftColumn)
        SetLeftColumn(column);
    else if (column >= view_.leftColumn + columns)
        SetLeftColumn(column - columns + 1);
}

void TessaryWidget::SetLineHighlight(TLineIndex line, int32_t value) {
    if (line < 0 || line >= store_->LineCount()) return;
    store_->SetHighlight(line, value, store_->Node(line).highlight2);
    viewport()->update();
}

// ---- host of the control ----------------------------------------------------

void TessaryWidget::InvalidateLines(TLineIndex first, TLineIndex last) {
    const int rowHeight = painter_->Metrics().rowHeight;
    const int top = std::max(0, first - view_.topLine) * rowHeight;
    const int bottom = last < 0 ? viewport()->height() : (last - view_.topLine + 1) * rowHeight;
    if (bottom > top) viewport()->update(0, top, viewport()->width(), bottom - top);
}

void TessaryWidget::InvalidateAll() {
    viewport()->update();
}

void TessaryWidget::ScrollPositionChanged(TLineIndex topLine, int32_t leftColumn) {
    SetTopLine(topLine);
    SetLeftColumn(leftColumn);
}

void TessaryWidget::ScrollRangesChanged(TLineIndex, int32_t) {
    UpdateScrollBars();
}

void TessaryWidget::CaretMoved(TLineIndex, int32_t) {
    RestartCaretBlink();
    viewport()->update();
}

void TessaryWidget::Beep() {
    QApplication::beep();
}

std::optional<std::string> TessaryWidget::ClipboardText() {
    const QString text = QGuiApplication::clipboard()->text();
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const auto byte = UnicodeToCp1250(c.unicode());
        if (!byte) {
            Beep();
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

void TessaryWidget::SetClipboardText(std::string_view bytes) {
    QGuiApplication::clipboard()->setText(ToQString(bytes));
}

void TessaryWidget::PullViewState() {
    if (viewSource_) viewSource_(view_);
}

TOffset TessaryWidget::OffsetAt(QPoint point) {
    return painter_->NearestOffset(view_, point.x(), point.y());
}

std::optional<TRect> TessaryWidget::CaretRect() {
    PullViewState();
    TQtSurface measuring;
    return painter_->CaretRect(measuring, view_);
}

void TessaryWidget::RestartCaretBlink() {
    caretOn_ = hasFocus();
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2);
    else
        blink_.stop();
}

// ---- painting and scrolling --------------------------------------------------

void TessaryWidget::paintEvent(QPaintEvent* event) {
    UpdateClientSize();
    PullViewState();
    QPainter qp(viewport());
    TQtSurface surface(&qp);
    const int rowHeight = painter_->Metrics().rowHeight;
    const QRect dirty = event->rect();
    painter_->PaintRows(surface, view_, dirty.top() / rowHeight, dirty.bottom() / rowHeight);
    if (caretOn_)
        if (auto caret = painter_->CaretRect(surface, view_)) surface.InvertRect(*caret);
}

void TessaryWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateClientSize();
    UpdateScrollBars();
    Input().Resized(view_.clientWidth, view_.clientHeight);
}

void TessaryWidget::scrollContentsBy(int, int) {
    if (updatingScrollBars_) return;
    view_.topLine = verticalScrollBar()->value();
    view_.leftColumn = horizontalScrollBar()->value();
    Input().Scrolled(view_.topLine, view_.leftColumn);
    viewport()->update();
}

// ---- events to the control ---------------------------------------------------

uint16_t TessaryWidget::ModifiersOf(Qt::KeyboardModifiers modifiers) {
    uint16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= kscShift;
    if (modifiers & Qt::ControlModifier) bits |= kscCtrl;
    if (modifiers & Qt::AltModifier) bits |= kscAlt;
    return bits;
}

uint16_t TessaryWidget::PunctuationShortCutOf(const QKeyEvent& event) {
    // Named after the character it types, as the key of a US layout would
    // type it, so that trigger texts such as ";,:." mean the same on every
    // layout. Shift comes with the character; Ctrl and Alt from the event.
    const QString text = event.text();
    if (text.size() != 1 || text[0].unicode() > 0x7F) return 0;
    const int code = CharToTriggerKey(static_cast<uint8_t>(text[0].unicode()));
    if (code < 0) return 0;
    const uint16_t modifiers = ModifiersOf(event.modifiers()) & static_cast<uint16_t>(~kscShift);
    return ShortCut(static_cast<uint8_t>(code & 0xFF),
                    static_cast<TShortCut>(modifiers | ((code & kTriggerShift) ? kscShift : 0)));
}

uint16_t TessaryWidget::ShortCutOf(const QKeyEvent& event) {
    const int key = event.key();
    uint8_t code = 0;
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        code = static_cast<uint8_t>('A' + (key - Qt::Key_A));
    else if (key >= Qt::Key_0 && key <= Qt::Key_9)
        code = static_cast<uint8_t>('0' + (key - Qt::Key_0));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        code = static_cast<uint8_t>(vk::F1 + (key - Qt::Key_F1));
    else
        switch (key) {
        case Qt::Key_Backspace:
            code = vk::Back;
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            code = vk::Tab;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            code = vk::Return;
            break;
        case Qt::Key_Escape:
            code = vk::Escape;
            break;
        case Qt::Key_Space:
            code = vk::Space;
            break;
        case Qt::Key_PageUp:
            code = vk::Prior;
            break;
        case Qt::Key_PageDown:
            code = vk::Next;
            break;
        case Qt::Key_End:
            code = vk::End;
            break;
        case Qt::Key_Home:
            code = vk::Home;
            break;
        case Qt::Key_Left:
            code = vk::Left;
            break;
        case Qt::Key_Up:
            code = vk::Up;
            break;
        case Qt::Key_Right:
            code = vk::Right;
            break;
        case Qt::Key_Down:
            code = vk::Down;
            break;
        case Qt::Key_Insert:
            code = vk::Insert;
            break;
        case Qt::Key_Delete:
            code = vk::Delete;
            break;
        default:
            return PunctuationShortCutOf(event);
        }
    Qt::KeyboardModifiers modifiers = event.modifiers();
    if (key == Qt::Key_Backtab) modifiers |= Qt::ShiftModifier;
    return ShortCut(code, ModifiersOf(modifiers));
}

TMouseInput TessaryWidget::MouseInputOf(const QMouseEvent& event, int clicks) {
    TMouseInput m;
    const QPoint p = event.position().toPoint();
    m.x = p.x();
    m.y = p.y();
    m.button = event.button() == Qt::RightButton    ? TMouseButton::Right
               : event.button() == Qt::MiddleButton ? TMouseButton::Middle
                                                    : TMouseButton::Left;
    m.modifiers = ModifiersOf(event.modifiers());
    m.clicks = clicks;
    return m;
}

bool TessaryWidget::event(QEvent* event) {
    // TAB belongs to the text, not to the focus chain.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TessaryWidget::keyPressEvent(QKeyEvent* event) {
    const uint16_t shortCut = ShortCutOf(*event);
    if (shortCut && Input().KeyDown(shortCut)) return;
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
    for (QChar c : event->text()) {
        if (const auto byte = UnicodeToCp1250(c.unicode()))
            Input().KeyPress(*byte);
        else
            QApplication::beep(); // never stored as something else
    }
}

void TessaryWidget::mousePressEvent(QMouseEvent* event) {
    Input().MouseDown(MouseInputOf(*event, 1));
}

void TessaryWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Input().MouseDown(MouseInputOf(*event, 2));
}

void TessaryWidget::mouseMoveEvent(QMouseEvent* event) {
    Input().MouseMove(MouseInputOf(*event, 0));
}

void TessaryWidget::mouseReleaseEvent(QMouseEvent* event) {
    Input().MouseUp(MouseInputOf(*event, 0));
}

void TessaryWidget::wheelEvent(QWheelEvent* event) {
    // Whole notches only; high-resolution wheels add up until one is full.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches) Input().Wheel(-notches * kWheelLinesPerNotch);
    event->accept();
}

void TessaryWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    view_.focused = true;
    RestartCaretBlink();
    Input().FocusChanged(true);
    viewport()->update();
}

void TessaryWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    view_.focused = false;
    blink_.stop();
    caretOn_ = false;
    Input().FocusChanged(false);
    viewport()->update();
}

} // namespace torvane::editor::qt
