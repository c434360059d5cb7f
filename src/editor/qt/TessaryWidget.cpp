#include "editor/qt/TessaryWidget.h"

#include "editor/Cp1250Table.h"
#include "editor/qt/QtSurface.h"
#include "highlight/ShortCut.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>

namespace torvane::editor::qt {
namespace {

constexpr int kWheelLinesPerNotch = 3;

} // namespace

TessaryWidget::TessaryWidget(QWidget* parent)
    : QAbstractScrollArea(parent), rehighlighter_(std::make_unique<TRehighlighter>(control_.Store())) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    control_.SetFocused(false);
    RebuildPainter();
    control_.SetHost(this);
    commands_.SetDragDistance(QApplication::startDragDistance());
    highlightTimer_.setSingleShot(true);
    connect(&highlightTimer_, &QTimer::timeout, this, [this] { Guarded([this] { Rehighlight(); }); });
    connect(&blink_, &QTimer::timeout, this, [this] {
        caretOn_ = !caretOn_;
        if (auto r = CaretRect()) viewport()->update(r->left, r->top, r->Width(), r->Height());
    });
}

TessaryWidget::~TessaryWidget() {
    highlightTimer_.stop();
    control_.SetHost(nullptr);
}

template <typename F> void TessaryWidget::Guarded(F&& f) noexcept {
    // Nothing may leave a Qt event handler: a failure is a beep, and the
    // control has already left its state consistent.
    try {
        f();
    } catch (...) {
        QApplication::beep();
    }
}

void TessaryWidget::StoreChanged() {
    rehighlighter_ = std::make_unique<TRehighlighter>(control_.Store());
    rehighlighter_->SetParser(parser_);
    rehighlighter_->MarkAll();
    RebuildPainter();
    Rehighlight();
}

void TessaryWidget::SetStyleSource(const TStyleSource* styles) {
    styles_ = styles ? styles : &ownStyles_;
    RebuildPainter();
}

void TessaryWidget::RebuildPainter() {
    painter_ = std::make_unique<TPainter>(control_.Store(), control_.Tabs(), *styles_, appearance_);
    painter_->BindControl(&control_);
    SettingsChanged();
}

void TessaryWidget::SettingsChanged() {
    TQtSurface measuring;
    painter_->Measure(measuring);
    control_.SetMetrics(CaretMetricsOf(*painter_));
    PushScrollBars();
    viewport()->update();
}

void TessaryWidget::SetHighlighter(TCustomTessaryParser* parser) {
    parser_ = parser;
    rehighlighter_->SetParser(parser_);
    rehighlighter_->MarkAll();
    Rehighlight();
    viewport()->update();
}

void TessaryWidget::Rehighlight() {
    if (!rehighlighter_->Parser()) return;
    TRehighlightResult result;
    try {
        result = rehighlighter_->Run(kHighlightSlice);
    } catch (const std::exception&) {
        // A scheme that fails on this text (a pop from an empty state
        // stack ...) must not take the editor down: highlighting stops
        // until the next scheme is chosen, the text stays as it is.
        rehighlighter_->SetParser(nullptr);
        Beep();
        viewport()->update();
        return;
    }
    if (result.firstLine >= 0) InvalidateLines(result.firstLine, result.lastLine);
    if (result.pending) highlightTimer_.start(0);
}

void TessaryWidget::PushScrollBars() {
    // One direction: the control's values go into the bars; the bars'
    // own moves come back through scrollContentsBy as commands.
    pushing_ = true;
    const int lines = std::max(1, VisibleLines());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, control_.Store().LineCount() - lines));
    v->setPageStep(lines);
    v->setValue(control_.TopLine());
    const int columns = std::max(1, VisibleColumns());
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(control_.LeftColumn(), control_.ScrollWidth() + 1 - columns));
    h->setPageStep(columns);
    h->setValue(control_.LeftColumn());
    pushing_ = false;
}

void TessaryWidget::SetLineHighlight(TLineIndex line, int32_t value) {
    TTextStore& store = control_.Store();
    if (line < 0 || line >= store.LineCount()) return;
    store.SetHighlight(line, value, store.Node(line).highlight2);
    viewport()->update();
}

// ---- host of the control ----------------------------------------------------

void TessaryWidget::InvalidateLines(TLineIndex first, TLineIndex last) {
    const int rowHeight = painter_->Metrics().rowHeight;
    const TLineIndex top = control_.TopLine();
    const int top_ = std::max(0, first - top) * rowHeight;
    const int bottom = last < 0 ? viewport()->height() : (last - top + 1) * rowHeight;
    if (bottom > top_) viewport()->update(0, top_, viewport()->width(), bottom - top_);
}

void TessaryWidget::InvalidateAll() {
    viewport()->update();
}

void TessaryWidget::ScrollPositionChanged(TLineIndex, int32_t) {
    PushScrollBars();
    viewport()->update();
}

void TessaryWidget::ScrollRangesChanged(TLineIndex, int32_t) {
    // The line count may have gained a digit: the gutter widens with it.
    control_.SetMetrics(CaretMetricsOf(*painter_));
    PushScrollBars();
}

void TessaryWidget::CaretMoved(TLineIndex, int32_t) {
    RestartCaretBlink();
    viewport()->update();
}

void TessaryWidget::Changed(uint32_t flags) {
    Rehighlight();
    emit changed(flags);
}

void TessaryWidget::Beep() {
    QApplication::beep();
}

std::optional<std::string> TessaryWidget::ClipboardText() {
    return ClipboardBytes(QGuiApplication::clipboard()->text());
}

std::optional<std::string> TessaryWidget::ClipboardHtml() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasHtml()) return std::nullopt;
    return ClipboardBytes(data->html());
}

std::optional<std::string> TessaryWidget::ClipboardBytes(const QString& text) {
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

void TessaryWidget::SetClipboard(const TClipboardData& data) {
    QGuiApplication::clipboard()->setMimeData(MimeDataOf(data));
}

QMimeData* TessaryWidget::MimeDataOf(const TClipboardData& data) {
    auto* mime = new QMimeData;
    if (data.text) mime->setText(ToQString(*data.text));
    if (data.rtf) {
        // RTF is 7-bit text; the names are those word processors and mail
        // programs look for.
        const QByteArray rtf(data.rtf->data(), static_cast<qsizetype>(data.rtf->size()));
        for (const char* type : kRtfMimeTypes)
            mime->setData(QString::fromLatin1(type), rtf);
    }
    return mime;
}

TOffset TessaryWidget::OffsetAt(QPoint point) {
    return painter_->NearestOffset(control_.ViewState(), point.x(), point.y());
}

std::optional<TRect> TessaryWidget::CaretRect() {
    TQtSurface measuring;
    return painter_->CaretRect(measuring, control_.ViewState());
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
    const TViewState view = control_.ViewState();
    QPainter qp(viewport());
    TQtSurface surface(&qp);
    const int rowHeight = painter_->Metrics().rowHeight;
    const QRect dirty = event->rect();
    painter_->PaintRows(surface, view, dirty.top() / rowHeight, dirty.bottom() / rowHeight);
    if (caretOn_ || control_.DropOffset() >= 0)
        if (auto caret = painter_->CaretRect(surface, view)) surface.InvertRect(*caret);
}

void TessaryWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Input().Resized(viewport()->width(), viewport()->height());
    control_.SetClientSize(viewport()->width(), viewport()->height());
    PushScrollBars();
}

void TessaryWidget::scrollContentsBy(int, int) {
    if (pushing_) return;
    Guarded([this] { Input().Scrolled(verticalScrollBar()->value(), horizontalScrollBar()->value()); });
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
    Guarded([&] {
        const uint16_t shortCut = ShortCutOf(*event);
        if (shortCut && Input().KeyDown(shortCut)) return;
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return;
        for (QChar c : event->text()) {
            if (const auto byte = UnicodeToCp1250(c.unicode()))
                Input().KeyPress(*byte);
            else
                QApplication::beep(); // never stored as something else
        }
    });
}

void TessaryWidget::mousePressEvent(QMouseEvent* event) {
    Guarded([&] { Input().MouseDown(MouseInputOf(*event, 1)); });
}

void TessaryWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Guarded([&] { Input().MouseDown(MouseInputOf(*event, 2)); });
}

void TessaryWidget::mouseMoveEvent(QMouseEvent* event) {
    Guarded([&] { Input().MouseMove(MouseInputOf(*event, 0)); });
}

void TessaryWidget::mouseReleaseEvent(QMouseEvent* event) {
    Guarded([&] { Input().MouseUp(MouseInputOf(*event, 0)); });
}

void TessaryWidget::wheelEvent(QWheelEvent* event) {
    // Whole notches only; high-resolution wheels add up until one is full.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches) Guarded([&] { Input().Wheel(-notches * kWheelLinesPerNotch); });
    event->accept();
}

void TessaryWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    control_.SetFocused(true);
    RestartCaretBlink();
    Guarded([&] { Input().FocusChanged(true); });
    viewport()->update();
}

void TessaryWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    control_.SetFocused(false);
    blink_.stop();
    caretOn_ = false;
    Guarded([&] { Input().FocusChanged(false); });
    viewport()->update();
}

// ---- drag and drop -------------------------------------------------------------

TDragOffer TessaryWidget::DragOfferOf(const QDropEvent& event) {
    const QMimeData* mime = event.mimeData();
    TDragOffer offer;
    offer.text = mime && (mime->hasText() || mime->hasHtml());
    if (mime && mime->hasUrls())
        for (const QUrl& url : mime->urls())
            offer.files = offer.files || url.isLocalFile();
    const Qt::DropActions actions = event.possibleActions();
    offer.allowed = static_cast<TDropEffects>((actions & Qt::CopyAction ? deCopy : 0) |
                                              (actions & Qt::MoveAction ? deMove : 0));
    offer.copyKey = (event.modifiers() & Qt::ControlModifier) != 0;
    return offer;
}

Qt::DropAction TessaryWidget::DropActionOf(TDropEffect effect) {
    return effect == deMove ? Qt::MoveAction : effect == deCopy ? Qt::CopyAction : Qt::IgnoreAction;
}

TDropEffect TessaryWidget::DropEffectOf(Qt::DropAction action) {
    return action == Qt::MoveAction ? deMove : action == Qt::CopyAction ? deCopy : deNone;
}

TDropData TessaryWidget::DropDataOf(const QMimeData& mime) {
    TDropData data;
    if (mime.hasText()) data.text = ClipboardBytes(mime.text());
    if (mime.hasHtml()) data.html = ClipboardBytes(mime.html());
    if (mime.hasUrls())
        for (const QUrl& url : mime.urls())
            if (url.isLocalFile()) data.files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    return data;
}

TDropEffect TessaryWidget::DoDragDrop(const TClipboardData& data, TDropEffects allowed) {
    // The drag owns its data; it lives until the drag ends.
    auto* drag = new QDrag(this);
    drag->setMimeData(MimeDataOf(data));
    Qt::DropActions actions;
    if (allowed & deCopy) actions |= Qt::CopyAction;
    if (allowed & deMove) actions |= Qt::MoveAction;
    const Qt::DropAction action =
        DragRunner ? DragRunner(*drag, actions) : drag->exec(actions, Qt::MoveAction);
    drag->deleteLater();
    return DropEffectOf(action);
}

void TessaryWidget::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TessaryWidget::dragMoveEvent(QDragMoveEvent* event) {
    TDropEffect effect = deNone;
    Guarded([&] {
        const QPoint at = event->position().toPoint();
        effect = control_.DragOver(at.x(), at.y(), DragOfferOf(*event));
    });
    if (effect == deNone) {
        event->ignore();
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept();
}

void TessaryWidget::dragLeaveEvent(QDragLeaveEvent*) {
    Guarded([this] { control_.DragLeave(); });
}

void TessaryWidget::dropEvent(QDropEvent* event) {
    TDropEffect effect = deNone;
    Guarded([&] {
        const QPoint at = event->position().toPoint();
        effect = control_.Drop(DropDataOf(*event->mimeData()), at.x(), at.y(), DragOfferOf(*event));
    });
    if (effect == deNone) {
        Guarded([this] { control_.DragLeave(); });
        event->ignore();
        return;
    }
    event->setDropAction(DropActionOf(effect));
    event->accept();
}

} // namespace torvane::editor::qt
