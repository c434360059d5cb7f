// The real view over the control: its scroll bars and caret follow the
// keyboard, the wheel and bar drags on text with TABs; option and tab-stop
// changes at run time repaint; a read-only view refuses what would change the
// text; paste with nothing to paste changes nothing.

#include "editor/qt/TessaryWidget.h"

#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <QtTest>

#include <string>
#include <vector>

using namespace torvane;
using namespace torvane::editor;
using torvane::editor::qt::TessaryWidget;

namespace {

constexpr TColor kYellow = RgbColor(255, 255, 0);

bool IsDark(QRgb p) {
    return qGray(p) < 128;
}

// Ink in a row between two display columns of the viewport. Glyphs may
// reach a pixel into the cell before theirs: callers leave a column free.
bool InkInColumns(TessaryWidget& w, int fromColumn, int toColumn, int row = 0) {
    const QImage image = w.viewport()->grab().toImage();
    const int cw = w.Painter().Metrics().charWidth, rh = w.Painter().Metrics().rowHeight;
    const int left = w.Painter().TextLeft();
    for (int y = row * rh; y < (row + 1) * rh; ++y)
        for (int x = left + fromColumn * cw; x < left + toColumn * cw && x < image.width(); ++x)
            if (IsDark(image.pixel(x, y))) return true;
    return false;
}

void Wheel(TessaryWidget& w, int notches) {
    QWheelEvent event(QPointF(50, 50), w.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, notches * 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.viewport(), &event);
}

// Drags the bar's handle by pixels along the bar, as the user does.
void DragHandle(QScrollBar* bar, int pixels) {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    const QRect handle =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    const QPoint from = handle.center();
    const QPoint step = bar->orientation() == Qt::Horizontal ? QPoint(pixels / 4, 0) : QPoint(0, pixels / 4);
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, from);
    QPoint at = from;
    for (int i = 0; i < 4; ++i) {
        at += step;
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace

class TessaryViewFollowsTest : public QObject {
    Q_OBJECT

private:
    // A focused view 100 columns by 20 rows, with a gutter, in a font whose
    // characters are all one column wide.
    void Setup(TessaryWidget& w) {
        w.Appearance().font = TFontSpec{"DejaVu Sans Mono", 10, 0};
        w.Appearance().gutterColor = kYellow;
        w.SettingsChanged();
        const TPaintMetrics& m = w.Painter().Metrics();
        w.Appearance().SetMargin(std::min(8, m.charWidth), m.charWidth);
        w.SettingsChanged();
        w.resize(w.Painter().TextLeft() + 100 * m.charWidth + w.verticalScrollBar()->sizeHint().width() + 4,
                 20 * m.rowHeight + w.horizontalScrollBar()->sizeHint().height() + 4);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setFocus();
        QTRY_VERIFY(w.hasFocus());
    }

    // The bars show the control's position and the caret is in the window.
    static void VerifyInStep(TessaryWidget& w) {
        const TCustomTessary& c = w.Control();
        QCOMPARE(w.verticalScrollBar()->value(), c.TopLine());
        QCOMPARE(w.horizontalScrollBar()->value(), c.LeftColumn());
        const TLineIndex line = c.Store().LineOfOffset(c.Caret());
        QVERIFY(line >= c.TopLine() && line < c.TopLine() + w.VisibleLines());
        QVERIFY(c.CaretColumn() >= c.LeftColumn() && c.CaretColumn() < c.LeftColumn() + w.VisibleColumns());
        // The bar reaches the caret.
        QVERIFY(w.horizontalScrollBar()->maximum() + w.VisibleColumns() > c.CaretColumn());
        QVERIFY(w.CaretRect().has_value());
    }

private slots:
    void barsAndCaretFollowKeysWheelAndDragsOverTabs() {
        TessaryWidget w;
        std::string text;
        for (int i = 0; i < 300; ++i)
            text += "\tlabel" + std::to_string(i) + std::string(40, '\t') + "end\r";
        w.Store().SetText(text);
        Setup(w);
        QScrollBar* v = w.verticalScrollBar();
        QScrollBar* h = w.horizontalScrollBar();

        // Keys, right and left, down and up.
        QTest::keyClick(&w, Qt::Key_End);
        QVERIFY(w.Control().CaretColumn() > 150); // 42 TABs of 4 columns
        QVERIFY(h->value() > 0);
        VerifyInStep(w);
        QTest::keyClick(&w, Qt::Key_Home);
        QCOMPARE(h->value(), 0);
        VerifyInStep(w);
        QTest::keyClick(&w, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(v->value() > 250);
        VerifyInStep(w);
        QTest::keyClick(&w, Qt::Key_PageUp);
        VerifyInStep(w);
        QTest::keyClick(&w, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(v->value(), 0);
        QCOMPARE(h->value(), 0);
        VerifyInStep(w);
        QTest::keyClick(&w, Qt::Key_PageDown);
        QTest::keyClick(&w, Qt::Key_PageDown);
        QVERIFY(v->value() > 0);
        VerifyInStep(w);

        // The wheel scrolls the view, not the caret; both ways.
        const TOffset caret = w.Control().Caret();
        const int top = v->value();
        Wheel(w, -2);
        QCOMPARE(w.Control().TopLine(), top + 6);
        QCOMPARE(v->value(), top + 6);
        Wheel(w, 1);
        QCOMPARE(w.Control().TopLine(), top + 3);
        QCOMPARE(v->value(), top + 3);
        QCOMPARE(w.Control().Caret(), caret);

        // Dragging the handles moves the view and what is painted.
        DragHandle(v, 80);
        QVERIFY(w.Control().TopLine() > top + 3);
        QCOMPARE(w.Control().TopLine(), v->value());
        DragHandle(v, -2000);
        QCOMPARE(w.Control().TopLine(), 0);
        QCOMPARE(v->value(), 0);
        QVERIFY(InkInColumns(w, 4, 9)); // "label" after the first TAB
        DragHandle(h, 2000);
        const int32_t left = w.Control().LeftColumn();
        QCOMPARE(left, h->value());
        QCOMPARE(h->value(), h->maximum());
        // The bar reaches the end of the widest line; the view now shows
        // the TABs and the "end" at the right, no longer the label.
        QVERIFY(left + w.VisibleColumns() > w.Control().Geometry().EndColumn(0));
        QVERIFY(!InkInColumns(w, 0, 60));
        QVERIFY(InkInColumns(w, 60, w.VisibleColumns()));
        DragHandle(h, -2000);
        QCOMPARE(w.Control().LeftColumn(), 0);
        QVERIFY(InkInColumns(w, 4, 9));
        QCOMPARE(w.Control().Caret(), caret);

        // The next caret move brings the caret back into view.
        QTest::keyClick(&w, Qt::Key_End);
        VerifyInStep(w);
    }

    void optionAndTabStopChangesRepaint() {
        TessaryWidget w;
        w.Store().SetText("a\tb\rx");
        Setup(w);
        TCustomTessary& c = w.Control();
        const int32_t before = c.Geometry().ColumnOf(2);
        QVERIFY(InkInColumns(w, before, before + 1));

        c.SetTabDefault(12);
        const int32_t wider = c.Geometry().ColumnOf(2);
        QCOMPARE(wider, 12);
        QVERIFY(InkInColumns(w, wider, wider + 1));
        QVERIFY(!InkInColumns(w, 1, wider - 1));
        c.SetTabColumns("6");
        const int32_t stop = c.Geometry().ColumnOf(2);
        QVERIFY(stop > 1 && stop < wider);
        QVERIFY(InkInColumns(w, stop, stop + 1));
        QVERIFY(!InkInColumns(w, stop + 2, wider + 1));

        // A caret that the wider stops push out of the window is brought
        // back, and the bar reaches it.
        c.SetTabColumns("");
        c.SetTabDefault(4);
        w.Store().SetText(std::string(20, '\t') + "z");
        c.SetSelection(21, 21, true);
        QCOMPARE(c.LeftColumn(), 0);
        c.SetTabDefault(12);
        QCOMPARE(c.CaretColumn(), 241);
        QCOMPARE(w.horizontalScrollBar()->value(), c.LeftColumn());
        QVERIFY(c.LeftColumn() > 0);
        QVERIFY(w.horizontalScrollBar()->maximum() + w.VisibleColumns() > c.CaretColumn());
        QVERIFY(InkInColumns(w, 0, w.VisibleColumns())); // the "z" is in view

        // Without the gutter the text moves to the left edge.
        w.Store().SetText("a\tb\rx");
        QCOMPARE(w.viewport()->grab().toImage().pixelColor(3, 3), QColor(Qt::yellow));
        const int textLeft = w.Painter().TextLeft();
        c.Perform(TEM_OPTIONS, 1, static_cast<intptr_t>(c.Options() & ~smoShowGutter));
        QVERIFY(w.Painter().TextLeft() < textLeft);
        QVERIFY(w.viewport()->grab().toImage().pixelColor(3, 3) != QColor(Qt::yellow));
        QVERIFY(InkInColumns(w, 0, 1));
        c.Perform(TEM_OPTIONS, 1, static_cast<intptr_t>(c.Options() | smoShowGutter));
        QCOMPARE(w.Painter().TextLeft(), textLeft);
        QCOMPARE(w.viewport()->grab().toImage().pixelColor(3, 3), QColor(Qt::yellow));
    }

    void readOnlyViewRefusesTypingCutAndPaste() {
        TessaryWidget w;
        w.Store().SetText("fixed\rtext");
        Setup(w);
        TCustomTessary& c = w.Control();
        c.SetReadOnly(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        c.SetSelection(0, 3, true);
        QTest::keyClicks(&w, QStringLiteral("xy"));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Backspace, Qt::Key_Delete})
            QTest::keyClick(&w, key);
        QTest::keyClick(&w, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(QByteArray::fromStdString(c.Store().Text()), QByteArray("fixed\rtext"));
        QVERIFY(!c.Modified());
        QVERIFY(!c.CanUndo());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("clip"));
        // Copying is not a change.
        c.SetSelection(0, 3, true);
        QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("fix"));
    }

    void pasteOfNothingLeavesTheDocumentUnmodified() {
        TessaryWidget w;
        w.Store().SetText("abc");
        Setup(w);
        TCustomTessary& c = w.Control();
        c.SetModified(false);
        c.SetSelection(3, 3, true);
        QTest::keyClick(&w, Qt::Key_D);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(QByteArray::fromStdString(c.Store().Text()), QByteArray("abc"));
        QVERIFY(c.CanRedo());
        QVERIFY(!c.Modified());
        uint32_t flags = 0;
        connect(&w, &TessaryWidget::changed, this, [&](uint32_t f) { flags |= f; });

        auto* imageOnly = new QMimeData;
        imageOnly->setData(QStringLiteral("application/x-no-text"), QByteArray("\x01\x02"));
        for (QMimeData* offer : {static_cast<QMimeData*>(nullptr), imageOnly}) {
            if (offer)
                QGuiApplication::clipboard()->setMimeData(offer);
            else
                QGuiApplication::clipboard()->clear();
            QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(QByteArray::fromStdString(c.Store().Text()), QByteArray("abc"));
            QVERIFY(!c.Modified());
            QVERIFY(c.CanRedo());
            QVERIFY(!(flags & cfText));
        }
    }
};

QTEST_MAIN(TessaryViewFollowsTest)
#include "TessaryViewFollows_test.moc"
