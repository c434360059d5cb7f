#pragma once
// TessaryWidget: the Qt window of an editor control. It shows a text store
// through TPainter on a QPainter-backed Surface, keeps the scroll bars over
// the store (vertical in nodes, horizontal in columns), blinks the caret,
// maps mouse positions to offsets, and hands every key, mouse, wheel, focus
// and resize event, translated by the converters below, to a TSurfaceInput
// (the control). It holds no editing behaviour of its own: until a control
// is attached, TessaryInterimInput stands in (see there).
//
// Towards the control it is the TessaryHost: repaint requests, scroll
// position and ranges, beeps, the clipboard (as Windows-1250 bytes) and the
// change notification (the changed() signal). The control's selection, caret
// and insert mode reach the painter through the view source.

#include "editor/Columns.h"
#include "editor/Painter.h"
#include "editor/SurfaceInput.h"
#include "editor/TessaryHost.h"
#include "editor/TextStore.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QKeyEvent;
class QMouseEvent;

namespace torvane::editor::qt {

class TessaryInterimInput;

class TessaryWidget : public QAbstractScrollArea, public TessaryHost, private TTextStoreObserver {
    Q_OBJECT

public:
    explicit TessaryWidget(QWidget* parent = nullptr);
    ~TessaryWidget() override;

    // The store shown; the widget's own until another is set (the other
    // must outlive the widget or be replaced first). nullptr goes back to
    // the widget's own store.
    TTextStore& Store() noexcept { return *store_; }
    void SetStore(TTextStore* store);

    TAppearance& Appearance() noexcept { return appearance_; }
    TTabStops& Tabs() noexcept { return tabs_; }
    TStyleTable& OwnStyles() noexcept { return ownStyles_; }
    // Where styles come from (nullptr: OwnStyles()).
    void SetStyleSource(const TStyleSource* styles);
    TPainter& Painter() noexcept { return *painter_; }

    // The control that takes the events; nullptr: the interim behaviour.
    void SetInput(TSurfaceInput* input) noexcept { input_ = input; }
    // Fills in the selection, caret and insert mode of the control before
    // each paint; without one the widget's own view state is used.
    void SetViewSource(std::function<void(TViewState&)> source) { viewSource_ = std::move(source); }

    // TessaryHost.
    void InvalidateLines(TLineIndex first, TLineIndex last) override;
    void InvalidateAll() override;
    void ScrollPositionChanged(TLineIndex topLine, int32_t leftColumn) override;
    void ScrollRangesChanged(TLineIndex lineCount, int32_t widestLine) override;
    int32_t VisibleLines() const override { return painter_->VisibleLines(view_); }
    int32_t VisibleColumns() const override { return painter_->VisibleColumns(view_); }
    void CaretMoved(TLineIndex line, int32_t column) override;
    void Beep() override;
    // Text the code page cannot hold is refused (nothing, and a beep).
    std::optional<std::string> ClipboardText() override;
    void SetClipboardText(std::string_view bytes) override;
    void Changed() override { emit changed(); }

signals:
    // The control reported a change of text or selection (OnChange).
    void changed();

public:
    // View state. Setters clamp and repaint.
    const TViewState& View() const noexcept { return view_; }
    void SetSelection(TOffset anchor, TOffset caret);
    void SetTopLine(TLineIndex line);
    void SetLeftColumn(int32_t column);
    void SetInsertMode(bool insert);
    void SetCaretBeyondEnd(bool beyond, int32_t virtualColumn);
    void ScrollCaretIntoView();
    // Paints a whole line in style value (the document window marks the line
    // of a build error with 255); -1 removes the highlight.
    void SetLineHighlight(TLineIndex line, int32_t value);
    // Re-measures the fonts and repaints everything (after an option, font
    // or colour change).
    void SettingsChanged() override;
    // The offset nearest to a point of the viewport.
    TOffset OffsetAt(QPoint point);
    // The caret rectangle as last painted, for tests and input methods.
    std::optional<TRect> CaretRect();
    bool CaretVisibleNow() const noexcept { return caretOn_; }

    // Converters at the toolkit boundary.
    static uint16_t ShortCutOf(const QKeyEvent& event);
    // A punctuation key, named by the character it types; 0 for none.
    static uint16_t PunctuationShortCutOf(const QKeyEvent& event);
    static uint16_t ModifiersOf(Qt::KeyboardModifiers modifiers);
    static TMouseInput MouseInputOf(const QMouseEvent& event, int clicks);

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

private:
    void TextChanged(const TTextChange& change) override;
    TSurfaceInput& Input();
    void RebuildPainter();
    void UpdateScrollBars();
    void UpdateClientSize();
    void RestartCaretBlink();
    void PullViewState();

    TTextStore ownStore_;
    TTextStore* store_ = &ownStore_;
    TTabStops tabs_;
    TStyleTable ownStyles_;
    const TStyleSource* styles_ = &ownStyles_;
    TAppearance appearance_;
    std::unique_ptr<TPainter> painter_;
    TViewState view_;
    TSurfaceInput* input_ = nullptr;
    std::function<void(TViewState&)> viewSource_;
    std::unique_ptr<TessaryInterimInput> interim_;
    QTimer blink_;
    bool caretOn_ = false;
    int wheelRemainder_ = 0;
    bool updatingScrollBars_ = false;
};

} // namespace torvane::editor::qt
