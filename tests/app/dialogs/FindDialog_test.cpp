#include "app/dialogs/FindDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace torvane::app;

namespace {

// An editor over a QString: forward and backward plain search from the caret,
// with the selection-skip rule of find next.
class FakeEditor : public SearchTarget {
public:
    explicit FakeEditor(QString t) : text(std::move(t)) {}
    QString text;
    int caret = 0, selStart = 0, selLength = 0;
    QString lastText;
    int lastFlags = 0;
    bool haveSearch = false;
    QStringList failures;
    int updatesBegun = 0, updatesEnded = 0;
    QList<bool> handlerStates;

    int Search(int from) {
        auto cs = (lastFlags & TfrmNajit::kMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (lastFlags & TfrmNajit::kBackwards)
            return from <= 0 ? -1 : text.lastIndexOf(lastText, from - 1, cs);
        return text.indexOf(lastText, from, cs);
    }
    bool FindText(const QString& t, int flags, int* position) override {
        lastText = t, lastFlags = flags, haveSearch = true;
        int p = Search(caret);
        if (p < 0) return false;
        *position = p;
        return true;
    }
    bool FindAgain() override {
        if (!haveSearch) return false;
        int from = caret;
        if (!(lastFlags & TfrmNajit::kBackwards) && SelText().compare(lastText, Qt::CaseInsensitive) == 0)
            from = selStart + 1;
        if (lastFlags & TfrmNajit::kBackwards) from = selStart;
        int p = Search(from);
        if (p < 0) {
            SearchFailed(lastText);
            return false;
        }
        SetSelection(p, lastText.size());
        return true;
    }
    QString SelText() override { return text.mid(selStart, selLength); }
    void SetSelText(const QString& t) override {
        text.replace(selStart, selLength, t);
        caret = selStart + t.size();
        selStart = caret;
        selLength = 0;
    }
    int SelStart() override { return selStart; }
    int SelLength() override { return selLength; }
    void SetSelection(int start, int length) override {
        selStart = start, selLength = length, caret = start + length;
    }
    void MoveCaret(int offset) override { caret = selStart = offset, selLength = 0; }
    int TextLength() override { return text.size(); }
    int CaretOffset() override { return caret; }
    QString GetTokenAt(int offset) override {
        int b = offset, e = offset;
        while (b > 0 && text[b - 1].isLetterOrNumber())
            --b;
        while (e < text.size() && text[e].isLetterOrNumber())
            ++e;
        return text.mid(b, e - b);
    }
    void BeginUpdate() override { ++updatesBegun; }
    void EndUpdate() override { ++updatesEnded; }
    void SearchFailed(const QString& t) override { failures << t; }
    void SetChangeHandlerEnabled(bool enabled) override { handlerStates << enabled; }
};

// Closes the dialog with `result` after letting `setup` fill its controls.
std::function<int(TfrmNajit&)> Answer(int result, std::function<void(TfrmNajit&)> setup = {}) {
    return [result, setup](TfrmNajit& d) {
        d.show();
        if (setup) setup(d);
        d.done(result);
        return result;
    };
}

} // namespace

class FindDialogTest : public QObject {
    Q_OBJECT
private slots:
    void layoutsFollowTheMode() {
        TfrmNajit d;
        d.SetMode(TfrmNajit::Mode::Find);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Hledat text"));
        QCOMPARE(d.grpMoznosti->title(), QString("Možnosti hledání"));
        QCOMPARE(d.btnHledat->text(), QString("Najít"));
        QVERIFY(!d.cbNahradit->isVisible() && !d.chkPotvrzovat->isVisible() &&
                !d.btnNahraditVse->isVisible());
        QCOMPARE(d.grpMoznosti->y(), 40);
        QCOMPARE(d.btnHledat->y(), 144);
        QCOMPARE(d.height(), 200);
        d.SetMode(TfrmNajit::Mode::Replace);
        QCOMPARE(d.windowTitle(), QString("Nahradit text"));
        QCOMPARE(d.grpMoznosti->title(), QString("Možnosti hledání/nahrazení"));
        QCOMPARE(d.btnHledat->text(), QString("Nahradit"));
        QVERIFY(d.cbNahradit->isVisible() && d.chkPotvrzovat->isVisible() && d.btnNahraditVse->isVisible());
        QCOMPARE(d.grpMoznosti->y(), 72);
        QCOMPARE(d.btnHledat->y(), 176);
        QCOMPARE(d.height(), 233);
    }

    void buttonsNeedASearchTextAndFlagsFollowTheOptions() {
        TfrmNajit d;
        d.SetMode(TfrmNajit::Mode::Replace);
        d.cbHledat->setEditText("");
        QVERIFY(!d.btnHledat->isEnabled() && !d.btnNahraditVse->isEnabled());
        d.cbHledat->setEditText("mov");
        QVERIFY(d.btnHledat->isEnabled() && d.btnNahraditVse->isEnabled());
        d.SetMode(TfrmNajit::Mode::Find);
        QVERIFY(d.btnHledat->isEnabled() && !d.btnNahraditVse->isEnabled());
        QCOMPARE(d.Flags(), 0x08);
        d.show();
        d.chkCase->click();
        d.rbNahoru->click();
        QCOMPARE(d.Flags(), 0x98);
        d.chkWord->click();
        QCOMPARE(d.Flags(), 0xD8);
        d.chkCase->click();
        d.rbDolu->click();
        QCOMPARE(d.Flags(), 0x48);
    }

    void historiesTakeNewTextsAtTheTopExceptOnCancel() {
        TfrmNajit d;
        FakeEditor e("abc");
        d.run = Answer(QDialog::Accepted, [](TfrmNajit& x) { x.cbHledat->setEditText("Mov"); });
        d.Hledat(e);
        d.run = Answer(QDialog::Accepted, [](TfrmNajit& x) { x.cbHledat->setEditText("MOV"); });
        d.Hledat(e);
        d.run = Answer(QDialog::Rejected, [](TfrmNajit& x) { x.cbHledat->setEditText("djnz"); });
        d.Hledat(e);
        d.run = Answer(QDialog::Accepted, [](TfrmNajit& x) { x.cbHledat->setEditText("sjmp"); });
        d.Hledat(e);
        QCOMPARE(d.cbHledat->count(), 2);
        QCOMPARE(d.cbHledat->itemText(0), QString("sjmp"));
        QCOMPARE(d.cbHledat->itemText(1), QString("Mov"));
    }

    void findProposesTheWordAtTheCaretAndSelectsTheMatch() {
        TfrmNajit d;
        FakeEditor e("  mov a,b\n  mov r0,a");
        e.caret = 3;
        QString proposed;
        d.run = Answer(QDialog::Accepted, [&](TfrmNajit& x) { proposed = x.cbHledat->currentText(); });
        d.Hledat(e);
        QCOMPARE(proposed, QString("mov"));
        QCOMPARE(e.selStart, 12); // the search starts at the caret
        QCOMPARE(e.selLength, 3);
        QVERIFY(e.failures.isEmpty());
    }

    void fromTheStartSearchesFromTheBeginningWhereverTheCaretIs() {
        TfrmNajit d;
        FakeEditor e("mov a; mov b; nop");
        e.caret = 15;
        d.chkOdZacatku->setChecked(true);
        d.run = Answer(QDialog::Accepted, [](TfrmNajit& x) { x.cbHledat->setEditText("mov"); });
        d.Hledat(e);
        QCOMPARE(e.selStart, 0);
    }

    void findNextBeforeAnySearchDoesNothing() {
        TfrmNajit d;
        FakeEditor e("abc");
        d.HledatDalsi(e);
        QVERIFY(e.failures.isEmpty());
        QCOMPARE(e.selLength, 0);
    }

    void replaceAllWithoutConfirmationReplacesEveryMatchAfterTheCaretInOneUpdate() {
        TfrmNajit d;
        FakeEditor e("a a a a");
        e.caret = 1;
        d.run = Answer(TfrmNajit::ResultAll, [](TfrmNajit& x) {
            x.cbHledat->setEditText("a");
            x.cbNahradit->setEditText("bb");
            x.chkPotvrzovat->setChecked(false);
        });
        d.Nahradit(e);
        QCOMPARE(e.text, QString("a bb bb bb"));
        QCOMPARE(e.failures, QStringList{"a"});
        QCOMPARE(e.updatesBegun, 1);
        QCOMPARE(e.updatesEnded, 1);
        QCOMPARE(e.handlerStates, (QList<bool>{false, true}));
    }

    void replaceAllConfirmationAnswers() {
        { // Cancel on the first question leaves the text unchanged.
            TfrmNajit d;
            FakeEditor e("x a x a");
            d.askReplace = [](const QString&, bool) { return ReplaceAnswer::Cancel; };
            d.run = Answer(TfrmNajit::ResultAll, [](TfrmNajit& x) {
                x.cbHledat->setEditText("a");
                x.cbNahradit->setEditText("b");
            });
            d.Nahradit(e);
            QCOMPARE(e.text, QString("x a x a"));
            QVERIFY(e.failures.isEmpty());
        }
        { // No skips one; "Ano všem" replaces this and the rest without asking.
            TfrmNajit d;
            FakeEditor e("a a a a");
            QStringList questions;
            QList<ReplaceAnswer> answers{ReplaceAnswer::No, ReplaceAnswer::YesToAll};
            d.askReplace = [&](const QString& q, bool withAll) {
                questions << q;
                Q_ASSERT(withAll);
                return answers.takeFirst();
            };
            d.run = Answer(TfrmNajit::ResultAll, [](TfrmNajit& x) {
                x.cbHledat->setEditText("a");
                x.cbNahradit->setEditText("b");
                x.chkPotvrzovat->setChecked(true);
            });
            d.Nahradit(e);
            QCOMPARE(e.text, QString("a b b b"));
            QCOMPARE(questions, (QStringList{"Nahradit za \"b\"?", "Nahradit za \"b\"?"}));
            QCOMPARE(e.updatesBegun, 1);
            QCOMPARE(e.updatesEnded, 1);
        }
    }

    void replaceWithoutAMatchOnlyReportsIt() {
        TfrmNajit d;
        FakeEditor e("nop");
        bool asked = false;
        d.askReplace = [&](const QString&, bool) {
            asked = true;
            return ReplaceAnswer::Yes;
        };
        d.run = Answer(QDialog::Accepted, [](TfrmNajit& x) {
            x.cbHledat->setEditText("mov");
            x.cbNahradit->setEditText("x");
        });
        d.Nahradit(e);
        QCOMPARE(e.text, QString("nop"));
        QCOMPARE(e.failures, QStringList{"mov"});
        QVERIFY(!asked);
    }
};

QTEST_MAIN(FindDialogTest)
#include "FindDialog_test.moc"
