// Code templates, auto-correct and the scheme's key map as the user meets
// them in the document window's editor: keys through the real view, the
// bundled 8051 scheme, the pick list as a child of the view.

#include "app/TessaryControl.h"
#include "editor/TessaryTemplates.h"
#include "editor/qt/TemplatePickList.h"
#include "highlight/Parser.h"
#include "scheme/SchemeCompiler.h"

#include <QFile>
#include <QTest>

using namespace torvane;
using namespace torvane::app;
using torvane::editor::qt::TemplatePickList;

namespace {

std::string BundledScript(const char* name) {
    QFile f(QStringLiteral(TORVANE_SOURCE_DIR "/Scripts/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

} // namespace

class TemplateFlows : public QObject {
    Q_OBJECT

    TTessaryParser parser;
    std::unique_ptr<TTessary> memo;

    TemplatePickList* PickList() const { return memo->findChild<TemplatePickList*>(); }
    void Start(const char* text) {
        memo->Control().Perform(editor::WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text));
        const auto end = memo->Store().TextLength();
        memo->Control().SetSelection(end, end, true);
    }
    std::string Text() const { return memo->Store().Text(); }
    void CtrlJ() { QTest::keyClick(&memo->View(), Qt::Key_J, Qt::ControlModifier); }

private slots:
    void init() {
        scheme::CompileSchemeText(parser, BundledScript("asm51.tsc"));
        memo = std::make_unique<TTessary>();
        memo->resize(600, 300);
        memo->SetParser(&parser);
        memo->show();
        memo->activateWindow();
        memo->View().setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(memo.get()));
    }
    void cleanup() { memo.reset(); }

    void hotKeyExpandsAtTheCaretColumn() {
        Start("start:\r        isr");
        CtrlJ();
        QCOMPARE(Text(), std::string("start:\r        PUSH  ACC\r        PUSH  PSW\r        \r"
                                     "        POP   PSW\r        POP   ACC\r        RETI\r        "));
        QCOMPARE(memo->CaretLine(), 4);
        QCOMPARE(memo->CaretColumn(), 9);
        QVERIFY(!PickList());
        QCOMPARE(memo->UndoStep(), int32_t(editor::ugTemplate));
        QCOMPARE(Text(), std::string("start:\r        isr"));
    }

    void unknownWordOpensThePickListWithTypeAheadAndEnter() {
        Start("        MOV A,#1\r        del");
        CtrlJ();
        TemplatePickList* list = PickList();
        QVERIFY(list && list->isVisible());
        QCOMPARE(Text(), std::string("        MOV A,#1\r        del"));
        QCOMPARE(memo->Control().SelStart(), 25);
        QCOMPARE(memo->Control().SelEnd(), 28);
        QVERIFY(list->hasFocus());
        QVERIFY(memo->View().viewport()->rect().contains(list->geometry()));
        QVERIFY(list->geometry().top() > 0); // below the caret line: room enough there
        QCOMPARE(list->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("delay"));

        QTest::keyClicks(list, "ad");
        QCOMPARE(list->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("add16"));
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_VERIFY(!PickList());
        QVERIFY(memo->View().hasFocus());
        // "del" is no part of "add16": it stays and the template follows.
        QVERIFY(Text().rfind("        MOV A,#1\r        delMOV   A,R7", 0) == 0);
    }

    void escapeClosesTheListAndCollapsesTheSelection() {
        Start("        zz");
        CtrlJ();
        QVERIFY(PickList());
        QCOMPARE(PickList()->currentRow(), 0);
        QTest::keyClick(PickList(), Qt::Key_Escape);
        QTRY_VERIFY(!PickList());
        QCOMPARE(Text(), std::string("        zz"));
        QCOMPARE(memo->Control().SelStart(), memo->Control().SelEnd());
        QCOMPARE(memo->Control().Caret(), 10);

        // Choosing by a double click replaces a word that starts the name.
        Start("        uar");
        CtrlJ();
        QVERIFY(PickList());
        const QRect row = PickList()->visualItemRect(PickList()->currentItem());
        QTest::mouseClick(PickList()->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(PickList()->viewport(), Qt::LeftButton, {}, row.center());
        QTRY_VERIFY(!PickList());
        QVERIFY(Text().rfind("        MOV   TMOD,#20H", 0) == 0);
    }

    void listOpensAboveTheCaretAtTheBottomOfTheView() {
        std::string text;
        for (int i = 0; i < 40; ++i)
            text += "        NOP\r";
        text += "        zz";
        Start(text.c_str());
        CtrlJ();
        QVERIFY(PickList());
        int x = 0, y = 0;
        memo->Control().Geometry().PointOfOffset(memo->Control().Caret(), &x, &y);
        QVERIFY(PickList()->geometry().bottom() < y);
        QTest::keyClick(PickList(), Qt::Key_Escape);
    }

    void autoCorrectOnWholeWordsWithOneUndo() {
        Start("        ");
        QTest::keyClicks(&memo->View(), "mvo A,R7");
        QCOMPARE(Text(), std::string("        MOV A,R7"));
        QTest::keyClicks(&memo->View(), " xmvo mvoz ");
        QCOMPARE(Text(), std::string("        MOV A,R7 xmvo mvoz "));
        Start("        mvo");
        QTest::keyClick(&memo->View(), Qt::Key_Space);
        QCOMPARE(Text(), std::string("        MOV "));
        memo->UndoStep();
        QCOMPARE(Text(), std::string("        mvo"));
    }

    void schemeKeyBindingsFollowTheScheme() {
        // F2 goes to the start of the document only in the scheme that says so.
        scheme::CompileSchemeText(parser, "%%Keys\ncaDOCSTART ( F2 ) 'Document start'\n"
                                          "caRIGHT ( RIGHT )\n");
        parser.ReselectInClients();
        Start("abc\rdef");
        QTest::keyClick(&memo->View(), Qt::Key_F2);
        QCOMPARE(memo->Control().Caret(), 0);

        scheme::CompileSchemeText(parser, BundledScript("asm51.tsc"));
        parser.ReselectInClients();
        Start("abc\rdef");
        QTest::keyClick(&memo->View(), Qt::Key_F2);
        QCOMPARE(memo->Control().Caret(), 7);
    }

    void editorIsRegisteredAndASchemeNeedingCustomStepsStaysPlain() {
        QCOMPARE(parser.Clients().size(), size_t(1));
        Start("        MOV A,#1 ; note");
        QTRY_VERIFY(!memo->HighlightPending());
        QVERIFY(memo->Store().NodeStyles(0)[8] != 0);

        parser.Tables().customRoutines = true; // and no OnCustomParse
        QVERIFY(!parser.CanHighlight());
        parser.ReselectInClients();
        for (uint8_t token : memo->Store().NodeStyles(0))
            QCOMPARE(int(token), 0);

        memo->SetParser(nullptr);
        QVERIFY(parser.Clients().empty());
        QCOMPARE(parser.Settings().AttachedCount(), 0);
    }
};

QTEST_MAIN(TemplateFlows)
#include "TemplateFlows_test.moc"
