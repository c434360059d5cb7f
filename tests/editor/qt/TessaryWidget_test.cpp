#include "editor/qt/TessaryWidget.h"

#include "highlight/ShortCut.h"

#include <QClipboard>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include <vector>

using namespace torvane;
using namespace torvane::editor;
using torvane::editor::qt::TessaryWidget;

namespace {

constexpr TColor kYellow = RgbColor(255, 255, 0);

QColor Q(TColor c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

// Records what the widget hands on.
class RecordingInput final : public TSurfaceInput {
public:
    bool KeyDown(uint16_t shortCut) override {
        keys.push_back(shortCut);
        return KeyOf(shortCut) != 'A'; // lets plain letters through as typing
    }
    void KeyPress(uint8_t byte) override { typed.push_back(byte); }
    void MouseDown(const TMouseInput& m) override { downs.push_back(m); }
    void MouseMove(const TMouseInput&) override {}
    void MouseUp(const TMouseInput&) override { ++ups; }
    void Wheel(int lines) override { wheel += lines; }
    void FocusChanged(bool focused) override { focus.push_back(focused); }
    void Resized(int w, int) override { lastWidth = w; }
    void Scrolled(int32_t top, int32_t) override { scrolledTo = top; }

    std::vector<uint16_t> keys;
    std::vector<uint8_t> typed;
    std::vector<TMouseInput> downs;
    int ups = 0, wheel = 0, lastWidth = 0, scrolledTo = -1;
    std::vector<bool> focus;
};

// Typing a character that has no key of its own (QTest only types Latin-1).
void Type(QWidget& w, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &press);
}

bool IsDark(QRgb p) {
    return qGray(p) < 128;
}

} // namespace

class TessaryWidgetTest : public QObject {
    Q_OBJECT

private:
    // A widget set up as the document window sets up its editor, wide
    // enough for 100 columns.
    void Setup(TessaryWidget& w) {
        w.Appearance().gutterColor = kYellow;
        w.SettingsChanged();
        const TPaintMetrics& m = w.Painter().Metrics();
        w.Appearance().SetMargin(std::min(8, m.charWidth), m.charWidth);
        w.SettingsChanged();
        w.resize(w.Painter().TextLeft() + 100 * m.charWidth + w.verticalScrollBar()->sizeHint().width() + 4,
                 20 * m.rowHeight + w.horizontalScrollBar()->sizeHint().height() + 4);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

private slots:
    void paintsGutterTextAndTheRightMarginLine() {
        TessaryWidget w;
        w.Store().SetText("a\tb\rsecond");
        Setup(w);
        const QImage image = w.viewport()->grab().toImage();
        const TPaintMetrics& m = w.Painter().Metrics();
        const int left = w.Painter().TextLeft();
        QCOMPARE(image.pixelColor(5, 5), Q(kYellow));
        QCOMPARE(image.pixelColor(34 - 2, 5), QColor(Qt::white));
        // The silver line at column 80, on a row below the text too.
        const int x80 = left + 80 * m.charWidth;
        QCOMPARE(image.pixelColor(x80, 5 * m.rowHeight + 2), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(image.pixelColor(x80 + 1, 5 * m.rowHeight + 2), QColor(Qt::white));
        // "b" sits at column 4: ink there, none over the TAB's columns.
        auto inkIn = [&](int fromColumn, int toColumn) {
            for (int y = 0; y < m.rowHeight; ++y)
                for (int x = left + fromColumn * m.charWidth; x < left + toColumn * m.charWidth; ++x)
                    if (IsDark(image.pixel(x, y))) return true;
            return false;
        };
        QVERIFY(inkIn(0, 1));
        QVERIFY(!inkIn(1, 4));
        QVERIFY(inkIn(4, 5));

        // The document window's error line is painted red up to the edge.
        w.SetLineHighlight(1, 255);
        const QImage marked = w.viewport()->grab().toImage();
        QCOMPARE(marked.pixelColor(left + 50 * m.charWidth, m.rowHeight + 2), QColor(Qt::red));
        QCOMPARE(marked.pixelColor(left + 50 * m.charWidth, 2), QColor(Qt::white));
        w.SetLineHighlight(1, -1);
        QCOMPARE(w.viewport()->grab().toImage().pixelColor(left + 50 * m.charWidth, m.rowHeight + 2),
                 QColor(Qt::white));
    }

    void scrollBarsFollowTheStoreAndTheWheelScrolls() {
        TessaryWidget w;
        std::string text;
        for (int i = 0; i < 1000; ++i)
            text += "line " + std::to_string(i) + "\r";
        w.Store().SetText(text);
        Setup(w);
        QScrollBar* v = w.verticalScrollBar();
        QCOMPARE(v->maximum(), w.Store().LineCount() - w.VisibleLines());
        QCOMPARE(v->pageStep(), w.VisibleLines());
        v->setValue(500);
        QCOMPARE(w.Control().TopLine(), 500);

        QWheelEvent down(QPointF(50, 50), w.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                         QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.viewport(), &down);
        QCOMPARE(w.Control().TopLine(), 503);
        QCOMPARE(v->value(), 503);

        // Deleting most of the text shrinks the range and pulls the view back.
        w.Store().Delete(0, w.Store().LineStart(990));
        QCOMPARE(v->maximum(), std::max(0, w.Store().LineCount() - w.VisibleLines()));
        QVERIFY(w.Control().TopLine() <= v->maximum());
    }

    void mouseAndKeysMoveTheCaretAndTypeCodePageBytes() {
        TessaryWidget w;
        w.Store().SetText("first\rsec\tond\rthird");
        Setup(w);
        w.setFocus();
        QTRY_VERIFY(w.hasFocus());
        const TOffset target = w.Store().LineStart(1) + 4; // just after the TAB
        const auto p = w.Painter().PointOfOffset(w.Control().ViewState(), target);
        QTest::mouseClick(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x + 1, p.y + 2));
        QCOMPARE(w.Control().Caret(), target);
        QCOMPARE(w.OffsetAt(QPoint(p.x + 1, p.y + 2)), target);

        Type(w, QString::fromUtf8("č"));
        QCOMPARE(w.Store().LineText(1), std::string("sec\t\xE8ond"));
        Type(w, QString::fromUtf8("å")); // no byte for it: refused
        QCOMPARE(w.Store().LineText(1), std::string("sec\t\xE8ond"));
        QTest::keyClick(&w, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(w.Control().Anchor(), target + 1);
        QCOMPARE(w.Control().Caret(), target);
        w.Control().SetOptions((w.Control().Options() | smoUseTAB) & ~smoTabToColumn);
        QTest::keyClick(&w, Qt::Key_Tab);
        QCOMPARE(w.Store().LineText(1), std::string("sec\t\tond"));
    }

    void eventsGoToTheAttachedControl() {
        TessaryWidget w;
        RecordingInput input;
        w.SetInput(&input);
        w.Store().SetText("x");
        Setup(w);
        w.setFocus();
        QTRY_VERIFY(w.hasFocus());
        QTest::keyClick(&w, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(input.keys.back(), ShortCut(vk::Left, kscShift));
        QVERIFY(input.typed.empty());
        QTest::keyClick(&w, Qt::Key_A);
        QCOMPARE(input.keys.back(), ShortCut('A'));
        QCOMPARE(input.typed, std::vector<uint8_t>{'a'});
        QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(input.keys.back(), ShortCut('K', kscCtrl));
        QCOMPARE(input.typed.size(), size_t{1});

        QTest::mouseDClick(w.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 5));
        QVERIFY(!input.downs.empty());
        QCOMPARE(input.downs.back().clicks, 2);
        QCOMPARE(input.downs.back().x, 60);
        QWheelEvent up(QPointF(50, 50), w.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 240),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.viewport(), &up);
        QCOMPARE(input.wheel, -6);
        w.resize(w.width() + 10, w.height());
        QTRY_COMPARE(input.lastWidth, w.viewport()->width());
        QCOMPARE(w.Control().Caret(), 0); // the widget itself moved nothing
    }

    void servesTheControlAsItsHost() {
        TessaryWidget w;
        std::string text;
        for (int i = 0; i < 300; ++i)
            text += "row\r";
        w.Store().SetText(text);
        Setup(w);
        TessaryHost& host = w;
        // Whole rows of the viewport: 20 were asked for, one more fits when the
        // horizontal scroll bar is not needed (how many depends on the font).
        QCOMPARE(w.VisibleLines(), w.viewport()->height() / w.Painter().Metrics().rowHeight);
        QVERIFY(w.VisibleLines() >= 20);
        QCOMPARE(w.VisibleColumns(), w.Painter().VisibleColumns(w.Control().ViewState()));
        // The control's values are pushed into the bars.
        w.Control().SetTopLine(120);
        QCOMPARE(w.Control().TopLine(), 120);
        QCOMPARE(w.verticalScrollBar()->value(), 120);

        // The control's selection is what gets painted.
        w.Control().SetSelection(10, 14, false);
        w.Control().SetInsertMode(false);
        w.clearFocus();
        QTRY_VERIFY(!w.hasFocus());
        QVERIFY(!w.CaretRect()); // no focus
        QCOMPARE(w.Control().Anchor(), 10);
        QCOMPARE(w.Control().Caret(), 14);

        // The user scrolling tells the control.
        RecordingInput input;
        w.SetInput(&input);
        w.verticalScrollBar()->setValue(7);
        QCOMPARE(input.scrolledTo, 7);

        std::vector<uint32_t> changes;
        connect(&w, &TessaryWidget::changed, this, [&](uint32_t flags) { changes.push_back(flags); });
        host.Changed(cfText | cfCaret);
        QCOMPARE(changes, std::vector<uint32_t>{cfText | cfCaret});

        host.SetClipboardText("\x8A\xE8\r");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("Šč\r"));
        QCOMPARE(host.ClipboardText(), std::optional<std::string>("\x8A\xE8\r"));
        QGuiApplication::clipboard()->setText(QString::fromUtf8("a\u4E2D"));
        QCOMPARE(host.ClipboardText(), std::nullopt);
    }

    void caretBlinksOnlyWithFocus() {
        TessaryWidget w;
        w.Store().SetText("abc");
        Setup(w);
        w.setFocus();
        QTRY_VERIFY(w.hasFocus());
        QVERIFY(w.CaretRect().has_value());
        QCOMPARE(w.CaretRect()->Width(), 2);
        const bool first = w.CaretVisibleNow();
        QTRY_VERIFY_WITH_TIMEOUT(w.CaretVisibleNow() != first, 3000);
        w.clearFocus();
        QTRY_VERIFY(!w.hasFocus());
        QVERIFY(!w.CaretVisibleNow());
        QVERIFY(!w.CaretRect().has_value());
    }
};

QTEST_MAIN(TessaryWidgetTest)
#include "TessaryWidget_test.moc"
