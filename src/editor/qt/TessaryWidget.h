#pragma once
// TessaryWidget: the Qt view of an editor control.
//
// It holds the control (TCustomTessary), its commands and find/replace
// objects, the re-highlighter and the timer that runs re-highlighting in
// slices. Every piece of editor state (caret, selection, scroll position,
// modes, options, tab stops, metrics in use, the store) lives in the
// control; the view keeps no copy of any of it:
//
//   painting      reads the control's ViewState() at paint time
//   scroll bars   the control pushes its values through the host hooks
//                 (ScrollPositionChanged, ScrollRangesChanged); a move of a
//                 bar by the user comes back as a scroll command
//   events        keys, mouse, wheel, focus and resize are translated by the
//                 converters below and handed to the commands object
//   drag and drop drag events become the control's DragOver, DragLeave and
//                 Drop with the offer and data converted below; a drag the
//                 control starts runs as a QDrag (DoDragDrop)
//   store switch  StoreChanged rebinds the painter and the re-highlighter
//
// What the view does own is presentation only: the appearance (fonts,
// colours, gutter), the style source, the painter and its measurements,
// which it hands to the control as the metrics in use, and the caret blink.

#include "editor/Columns.h"
#include "editor/Painter.h"
#include "editor/Rehighlight.h"
#include "editor/SurfaceInput.h"
#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"
#include "editor/TessaryHost.h"
#include "editor/TessarySearch.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QDrag;
class QDropEvent;
class QKeyEvent;
class QMimeData;
class QMouseEvent;

namespace torvane::editor::qt {

class TessaryWidget : public QAbstractScrollArea, public TessaryHost {
    Q_OBJECT

public:
    // Lines re-highlighted in one go; the rest continues from the event loop.
    static constexpr int kHighlightSlice = 20000;

    explicit TessaryWidget(QWidget* parent = nullptr);
    ~TessaryWidget() override;

    TCustomTessary& Control() noexcept { return control_; }
    const TCustomTessary& Control() const noexcept { return control_; }
    TTessaryCommands& Commands() noexcept { return commands_; }
    const TTessaryCommands& Commands() const noexcept { return commands_; }
    TTessarySearch& Search() noexcept { return search_; }
    TTextStore& Store() noexcept { return control_.Store(); }

    TAppearance& Appearance() noexcept { return appearance_; }
    TStyleTable& OwnStyles() noexcept { return ownStyles_; }
    // Where styles come from (nullptr: OwnStyles()).
    void SetStyleSource(const TStyleSource* styles);
    TPainter& Painter() noexcept { return *painter_; }

    // The scheme that highlights the text (nullptr: none); it must outlive
    // the view or be replaced first. Re-highlights everything.
    void SetHighlighter(TCustomTessaryParser* parser);
    // Runs one slice of re-highlighting; more slices follow from the event loop.
    void Rehighlight();
    bool HighlightPending() const noexcept { return rehighlighter_->PendingLine() >= 0; }

    // Events go to this input instead of the commands (nullptr: the commands).
    void SetInput(TSurfaceInput* input) noexcept { input_ = input; }

    // Whole rows and columns of the text area.
    int32_t VisibleLines() const { return control_.Geometry().Rows(); }
    int32_t VisibleColumns() const { return control_.Geometry().Columns(); }
    // Paints a whole line in style value (the document window marks the line
    // of a build error with 255); -1 removes the highlight.
    void SetLineHighlight(TLineIndex line, int32_t value);
    // The offset nearest to a point of the viewport.
    TOffset OffsetAt(QPoint point);
    // The caret rectangle as painted, for tests and input methods.
    std::optional<TRect> CaretRect();
    bool CaretVisibleNow() const noexcept { return caretOn_; }

    // TessaryHost.
    void InvalidateLines(TLineIndex first, TLineIndex last) override;
    void InvalidateAll() override;
    void ScrollPositionChanged(TLineIndex topLine, int32_t leftColumn) override;
    void ScrollRangesChanged(TLineIndex lineCount, int32_t scrollWidth) override;
    void StoreChanged() override;
    void CaretMoved(TLineIndex line, int32_t column) override;
    void Beep() override;
    // Text the code page cannot hold is refused (nothing, and a beep).
    std::optional<std::string> ClipboardText() override;
    void SetClipboardText(std::string_view bytes) override;
    // Text and RTF in one clipboard entry.
    void SetClipboard(const TClipboardData& data) override;
    std::optional<std::string> ClipboardHtml() override;
    // The mime types copied RTF goes under.
#ifdef _WIN32
    static constexpr const char* kRtfMimeTypes[] = {
        "text/rtf", "application/rtf", "application/x-qt-windows-mime;value=\"Rich Text Format\""};
#else
    static constexpr const char* kRtfMimeTypes[] = {"text/rtf", "application/rtf"};
#endif
    // Runs a QDrag of the data (or the drag runner, when one is set).
    TDropEffect DoDragDrop(const TClipboardData& data, TDropEffects allowed) override;
    void TakeFocus() override {
        setFocus(Qt::OtherFocusReason);
    }
    // Replaces QDrag::exec for the drags this view starts (tests deliver
    // their own drag events from here); empty: QDrag::exec.
    std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed)> DragRunner;
    // The control's change report: re-highlights what changed, then tells
    // whoever listens (changed).
    void Changed(uint32_t flags) override;
    // Re-measures the fonts, hands the metrics to the control and repaints
    // everything (after an option, font or colour change).
    void SettingsChanged() override;

    // Converters at the toolkit boundary.
    static uint16_t ShortCutOf(const QKeyEvent& event);
    // A punctuation key, named by the character it types; 0 for none.
    static uint16_t PunctuationShortCutOf(const QKeyEvent& event);
    static uint16_t ModifiersOf(Qt::KeyboardModifiers modifiers);
    static TMouseInput MouseInputOf(const QMouseEvent& event, int clicks);
    static TDragOffer DragOfferOf(const QDropEvent& event);
    static Qt::DropAction DropActionOf(TDropEffect effect);
    static TDropEffect DropEffectOf(Qt::DropAction action);
    // Text and HTML in the code page (a text with a character the code page
    // lacks is left out, with a beep), and the local files of a URL list.
    TDropData DropDataOf(const QMimeData& mime);
    // Copied or dragged data under the mime types other programs read.
    static QMimeData* MimeDataOf(const TClipboardData& data);

signals:
    // The control's change report, once per batch, after re-highlighting
    // (TChangeFlag bits).
    void changed(uint32_t flags);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TSurfaceInput& Input() {
        return input_ ? *input_ : commands_;
    }
    // Clipboard text in the code page; nothing (and a beep) when a character
    // has no byte there.
    std::optional<std::string> ClipboardBytes(const QString& text);
    void RebuildPainter();
    void PushScrollBars();
    void RestartCaretBlink();
    template <typename F> void Guarded(F&& f) noexcept;

    // Declared first: everything below refers to it.
    TCustomTessary control_;
    TTessaryCommands commands_{control_};
    TTessarySearch search_{control_};
    std::unique_ptr<TRehighlighter> rehighlighter_;
    TCustomTessaryParser* parser_ = nullptr;
    TStyleTable ownStyles_;
    const TStyleSource* styles_ = &ownStyles_;
    TAppearance appearance_;
    std::unique_ptr<TPainter> painter_;
    TSurfaceInput* input_ = nullptr;
    QTimer highlightTimer_;
    QTimer blink_;
    bool caretOn_ = false;
    int wheelRemainder_ = 0;
    bool pushing_ = false; // the bars are being set from the control
};

} // namespace torvane::editor::qt
