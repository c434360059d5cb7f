// The editor's options dialog as the user reaches it from the Zvýraznění
// menu: the edited copy reaches every open document of the scheme, is kept
// in the settings file across a restart and dropped again by "Výchozí"; keys,
// templates and a damaged stored form.

#include "AppTestBed.h"
#include "app/EditWin.h"
#include "app/MainWindow.h"
#include "app/dialogs/ColorButton.h"
#include "app/dialogs/HighlightPage.h"
#include "app/dialogs/KeysPage.h"
#include "app/dialogs/MacroPage.h"
#include "app/logic/SchemeSettings.h"
#include "common/IniFile.h"
#include "editor/qt/TessaryWidget.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace torvane;
using namespace torvane::app;
using namespace torvane::app::test;

namespace {

const QString kSourceDir = QStringLiteral(TORVANE_SOURCE_DIR);
const std::string kScheme = "8051 Assembler";
const QColor kGreen(0, 160, 0);
// ";compiler: asem51" and its line break: the comment line starts here.
constexpr editor::TOffset kCommentSpace = 18 + 1;

uint8_t CommentStyle(const TTE_Settings& settings) {
    for (const TEditableStyle& s : settings.values.editable)
        if (s.name == "Comment") return s.styleId;
    return 0;
}

bool ImageHas(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

} // namespace

class SchemeOptionsTest : public QObject {
    Q_OBJECT

    AppTestBed bed_;

    void Start() { bed_.StartMain(); }
    void Restart() {
        bed_.StopMain();
        Start();
    }

    TEditWin* Open(const QString& name, const QByteArray& text) {
        const QString path = bed_.dir->path() + QLatin1Char('/') + name;
        QFile f(path);
        if (!f.exists() && f.open(QIODevice::WriteOnly)) f.write(text);
        f.close();
        bed_.main->CreateEditor(path, false);
        return bed_.main->ActiveEditWin();
    }
    TEditWin* OpenProgram() {
        return Open(QStringLiteral("prog.asm"), ";compiler: asem51\r\n; a note\r\n    NOP\r\n");
    }

    // The colour painted in the middle of the character cell at offset.
    static QColor PaintedAt(TEditWin* win, editor::TOffset offset) {
        editor::qt::TessaryWidget& view = win->sMemo->View();
        view.viewport()->repaint();
        const auto p = view.Painter().PointOfOffset(win->sMemo->Control().ViewState(), offset);
        const int half = view.Painter().Metrics().charWidth / 2;
        return view.viewport()->grab().toImage().pixelColor(p.x + half, p.y + 2);
    }

private slots:
    void init() {
        QVERIFY(bed_.Prepare(TestScripts::kBundled));
        TColorButton::SetPicker([](const QColor&, QWidget*) { return std::optional<QColor>(kGreen); });
        Start();
    }

    void cleanup() {
        TColorButton::SetPicker(nullptr);
        bed_.Finish();
    }

    void commentColourReachesDocumentsSurvivesRestartAndDefaultsDropIt() {
        TEditWin* other = Open(QStringLiteral("other.asm"), ";compiler: asem51\r\n    RET\r\n");
        TEditWin* win = OpenProgram();
        QVERIFY(bed_.main->actNastaveniZvyrazneni->isEnabled());
        const uint8_t comment = CommentStyle(win->sMemoParser.Settings());
        QVERIFY(comment != 0);
        QCOMPARE(PaintedAt(win, kCommentSpace), QColor(Qt::white));

        auto pickGreenForComments = [](TEditorOptionsDialog& dialog) {
            if (dialog.pages->count() != 6 || !dialog.highlightPage->SelectStyle(QStringLiteral("Comment")))
                return false;
            dialog.highlightPage->btnBackground->click();
            return true;
        };
        // Storno: the change stays in the dialog.
        bed_.dialogs.optionsEdit = [&](TEditorOptionsDialog& dialog) {
            pickGreenForComments(dialog);
            return false;
        };
        bed_.main->actNastaveniZvyrazneni->trigger();
        QCOMPARE(bed_.dialogs.optionsDialogs, 1);
        QCOMPARE(PaintedAt(win, kCommentSpace), QColor(Qt::white));
        QVERIFY(!bed_.main->Settings().SectionExists(SchemeSection(kScheme)));

        bool previewShowsIt = false;
        bed_.dialogs.optionsEdit = [&](TEditorOptionsDialog& dialog) {
            const bool picked = pickGreenForComments(dialog);
            dialog.preview->viewport()->repaint();
            previewShowsIt = ImageHas(dialog.preview->viewport()->grab().toImage(), kGreen);
            return picked;
        };
        bed_.main->actNastaveniZvyrazneni->trigger();
        QVERIFY(previewShowsIt);
        QCOMPARE(PaintedAt(win, kCommentSpace), kGreen);
        QCOMPARE(other->sMemoParser.Settings().GetStyle(comment).background,
                 TColorButton::FromQColor(kGreen));

        Restart();
        win = OpenProgram();
        QCOMPARE(PaintedAt(win, kCommentSpace), kGreen);

        bed_.dialogs.optionsEdit = [](TEditorOptionsDialog& dialog) {
            dialog.btnDefaults->click();
            return true;
        };
        bed_.main->actNastaveniZvyrazneni->trigger();
        QCOMPARE(PaintedAt(win, kCommentSpace), QColor(Qt::white));
        QVERIFY(!bed_.main->Settings().ValueExists(SchemeSection(kScheme), "Settings"));
    }

    void documentWindowOffersHighlightingOnly() {
        TEditWin* win = OpenProgram();
        int shown = -1;
        bed_.dialogs.optionsEdit = [&](TEditorOptionsDialog& dialog) {
            shown = dialog.pages->count();
            return dialog.highlightPage && !dialog.keysPage && !dialog.templatesPage;
        };
        QVERIFY(win->sMemoParser.EditProperties());
        QCOMPARE(shown, 1);
    }

    void keyWizardRecordsASequence() {
        TKeyWizard wizard(QStringLiteral("test"));
        QVERIFY(!wizard.Keys());
        QTest::keyClick(&wizard, Qt::Key_Control, Qt::ControlModifier); // a modifier alone is no key
        QVERIFY(!wizard.Keys());
        QTest::keyClick(&wizard, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(&wizard, Qt::Key_Q);
        QCOMPARE(*wizard.Keys(), std::make_pair(ShortCut('K', kscCtrl), ShortCut('Q')));
        // A third key starts over.
        QTest::keyClick(&wizard, Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(*wizard.Keys(), std::make_pair(ShortCut(vk::F1 + 4, kscShift), TShortCut(0)));
    }

    void assignedSequenceWorksAndATakenKeyIsRefused() {
        TEditWin* win = OpenProgram();
        QString conflict;
        std::vector<TKeyboardActionContoller::Binding> before, after;
        bed_.dialogs.optionsEdit = [&](TEditorOptionsDialog& dialog) {
            TKeysPage& keys = *dialog.keysPage;
            before = dialog.Working().KeyMap().AllBindings();
            if (keys.AssignKeys(acDocumentEnd, ShortCut('Y', kscCtrl), 0)) return false;
            conflict = keys.lblConflict->text();
            after = dialog.Working().KeyMap().AllBindings();
            return keys.AssignKeys(acDocumentEnd, ShortCut('K', kscCtrl), 'Q');
        };
        bed_.main->actNastaveniZvyrazneni->trigger();
        QVERIFY(conflict.startsWith(QStringLiteral("Duplicate key sequence definition for")));
        QVERIFY(before == after);

        win->sMemo->Control().SetSelection(0, 0, true);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(&win->sMemo->View(), Qt::Key_Q);
        QCOMPARE(win->sMemo->Control().Caret(), win->sMemo->Store().TextLength());
    }

    void templateAddedInTheDialogExpands() {
        TEditWin* win = OpenProgram();
        bed_.dialogs.optionsEdit = [](TEditorOptionsDialog& dialog) {
            TMacroPage& page = *dialog.templatesPage;
            page.edtName->setText(QStringLiteral("clr2"));
            page.edtDescription->setText(QStringLiteral("clear two"));
            page.edtText->setPlainText(QStringLiteral("CLR   A\nMOV   R0,|#0"));
            page.btnAdd->click();
            return true;
        };
        bed_.main->actNastaveniZvyrazneni->trigger();
        QVERIFY(win->sMemoParser.Settings().CodeTemplates().FindMacro("clr2"));

        const editor::TOffset end = win->sMemo->Store().TextLength();
        win->sMemo->Control().SetSelection(end, end, true);
        QTest::keyClicks(&win->sMemo->View(), "    clr2");
        QTest::keyClick(&win->sMemo->View(), Qt::Key_J, Qt::ControlModifier);
        QCOMPARE(win->sMemo->LineBytes(3), std::string("    CLR   A"));
        QCOMPARE(win->sMemo->LineBytes(4), std::string("    MOV   R0,#0"));
        QCOMPARE(win->sMemo->CaretColumn(), 14); // at the bar, which is gone
    }

    void damagedStoredFormIsIgnoredWithANote() {
        const std::string section = SchemeSection(kScheme);
        for (const char* stored : {"0A0000FF", "zz", ""}) {
            bed_.main->Settings().WriteInteger(section, "Format", 51);
            bed_.main->Settings().WriteString(section, "Settings", stored);
            TEditWin* win = Open(QStringLiteral("d%1.asm").arg(qHash(QByteArray(stored))),
                                 ";compiler: asem51\r\n; a note\r\n");
            QVERIFY(bed_.main->StatusPanel(4)->text().contains(QStringLiteral("nelze načíst")));
            QCOMPARE(PaintedAt(win, kCommentSpace), QColor(Qt::white));
            QVERIFY(CommentStyle(win->sMemoParser.Settings()) != 0);
        }
    }
};

QTEST_MAIN(SchemeOptionsTest)
#include "SchemeOptions_test.moc"
