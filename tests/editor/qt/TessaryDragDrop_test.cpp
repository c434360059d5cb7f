// Drag and drop through the real view: mouse events start the drag, and the
// drag runner delivers the drag events a window system would send back to
// the same viewport.

#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"
#include "editor/qt/TessaryWidget.h"

#include <QDrag>
#include <QMimeData>
#include <QtTest>

using namespace torvane;
using namespace torvane::editor;
using torvane::editor::qt::TessaryWidget;

namespace {

intptr_t Str(const char* s) {
    return reinterpret_cast<intptr_t>(s);
}

QByteArray TextOf(const TessaryWidget& view) {
    return QByteArray::fromStdString(view.Control().Store().Text());
}

// Inside the cell of an offset, in viewport coordinates.
QPoint PointOf(const TessaryWidget& view, TOffset offset) {
    int x = 0, y = 0;
    view.Control().Geometry().PointOfOffset(offset, &x, &y);
    return {x + 1, y + view.Control().Metrics().rowHeight / 2};
}

// Enter, move and drop at a point of the viewport; the action the drop was
// taken with, IgnoreAction when it was refused.
Qt::DropAction DeliverDrop(QWidget* viewport, QPoint at, const QMimeData* mime, Qt::DropActions actions,
                           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QDragEnterEvent enter(at, actions, mime, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, actions, mime, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, actions, mime, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(viewport, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

} // namespace

class TessaryDragDropTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TessaryWidget> view_;

    // Presses inside the selection at offset from and drags past the drag
    // distance; the drag drops at offset to.
    Qt::DropAction DragSelection(TOffset from, TOffset to) {
        QWidget* viewport = view_->viewport();
        Qt::DropAction result = Qt::IgnoreAction;
        bool ran = false;
        view_->DragRunner = [&](QDrag& drag, Qt::DropActions actions) {
            ran = true;
            result = DeliverDrop(viewport, PointOf(*view_, to), drag.mimeData(), actions);
            return result;
        };
        const QPoint press = PointOf(*view_, from);
        QTest::mousePress(viewport, Qt::LeftButton, {}, press);
        const QPoint away = press + QPoint(QApplication::startDragDistance() + 2, 0);
        QMouseEvent move(QEvent::MouseMove, away, viewport->mapToGlobal(away), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, away);
        if (!ran) qWarning("no drag started");
        return result;
    }

private slots:
    void init() {
        view_ = std::make_unique<TessaryWidget>();
        view_->resize(500, 300);
        view_->show();
        QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
        view_->Control().SetOptions(view_->Control().Options() | smoOLEDragSource);
    }
    void cleanup() { view_.reset(); }

    void aWordDraggedTwoLinesDownMovesAndOneUndoRestoresBoth() {
        TCustomTessary& ed = view_->Control();
        ed.Perform(WM_SETTEXT, 0, Str("start: mov a,#0\r       inc a\r       sjmp start\r"));
        ed.SetSelection(7, 10, true); // "mov"
        // Onto "sjmp", two lines down.
        QCOMPARE(DragSelection(8, 36), Qt::MoveAction);
        QCOMPARE(TextOf(*view_), QByteArray("start:  a,#0\r       inc a\r       movsjmp start\r"));
        QCOMPARE(ed.DropOffset(), TOffset(-1));
        QVERIFY(ed.CanUndo());
        ed.Undo();
        QCOMPARE(TextOf(*view_), QByteArray("start: mov a,#0\r       inc a\r       sjmp start\r"));
        QVERIFY(!ed.CanUndo());
    }

    void aDropOntoTheSelectionChangesNothing() {
        TCustomTessary& ed = view_->Control();
        ed.Perform(WM_SETTEXT, 0, Str("acall delay\rret\r"));
        ed.SetSelection(6, 11, true); // "delay"
        QCOMPARE(DragSelection(7, 9), Qt::IgnoreAction);
        QCOMPARE(TextOf(*view_), QByteArray("acall delay\rret\r"));
        QVERIFY(!ed.CanUndo());
    }

    void aReadOnlyViewAcceptsNoDropWhileOthersCopy() {
        TCustomTessary& ed = view_->Control();
        ed.Perform(WM_SETTEXT, 0, Str("nop\r"));
        QMimeData mime;
        mime.setText(QStringLiteral("clr c\n"));
        ed.SetReadOnly(true);
        QCOMPARE(DeliverDrop(view_->viewport(), PointOf(*view_, 0), &mime, Qt::MoveAction | Qt::CopyAction),
                 Qt::IgnoreAction);
        QCOMPARE(TextOf(*view_), QByteArray("nop\r"));

        // Another program's move is taken as a copy: its text stays there.
        ed.SetReadOnly(false);
        QCOMPARE(DeliverDrop(view_->viewport(), PointOf(*view_, 0), &mime, Qt::MoveAction | Qt::CopyAction),
                 Qt::CopyAction);
        QCOMPARE(TextOf(*view_), QByteArray("clr c\rnop\r"));
    }

    void theCaretShowsTheDropOffsetWhileDragging() {
        TCustomTessary& ed = view_->Control();
        ed.Perform(WM_SETTEXT, 0, Str("one\rtwo\r"));
        QMimeData mime;
        mime.setText(QStringLiteral("x"));
        const QPoint at = PointOf(*view_, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view_->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(ed.DropOffset(), TOffset(5));
        const auto caret = view_->CaretRect();
        QVERIFY(caret);
        QCOMPARE(caret->top, ed.Metrics().rowHeight);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(view_->viewport(), &leave);
        QCOMPARE(ed.DropOffset(), TOffset(-1));
        QCOMPARE(ed.Caret(), TOffset(0));
    }
};

QTEST_MAIN(TessaryDragDropTest)
#include "TessaryDragDrop_test.moc"
