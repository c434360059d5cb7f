#include "app/dialogs/FindDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace torvane::app {
namespace {

// Fixed geometry of the two layouts: option group top, button row top and
// dialog height for find and for replace.
constexpr int kWidth = 432;
constexpr int kFindGroupTop = 40, kFindButtonsTop = 144, kFindHeight = 200;
constexpr int kReplaceGroupTop = 72, kReplaceButtonsTop = 176, kReplaceHeight = 233;

// Inserts a non-empty text at the top of a history unless it is there
// already (compared ignoring case).
void Remember(QComboBox* box) {
    const QString text = box->currentText();
    if (text.isEmpty()) return;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) return;
    box->insertItem(0, text);
    box->setCurrentIndex(0);
}

} // namespace

QString TrimBlanksAndControls(const QString& text) {
    int b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 32)
        ++b;
    while (e > b && text[e - 1].unicode() <= 32)
        --e;
    return text.mid(b, e - b);
}

TfrmNajit::TfrmNajit(QWidget* owner) : QDialog(owner) {
    setObjectName("frmNajit");
    setModal(true);
    auto* lblHledat = new QLabel("Hledaný text:", this);
    lblHledat->setGeometry(8, 12, 100, 20);
    cbHledat = new QComboBox(this);
    cbHledat->setObjectName("cbHledat");
    cbHledat->setEditable(true);
    cbHledat->setInsertPolicy(QComboBox::NoInsert);
    cbHledat->setGeometry(112, 8, kWidth - 120, 24);
    lblNahradit = new QLabel("Nahradit za:", this);
    lblNahradit->setGeometry(8, 44, 100, 20);
    cbNahradit = new QComboBox(this);
    cbNahradit->setObjectName("cbNahradit");
    cbNahradit->setEditable(true);
    cbNahradit->setInsertPolicy(QComboBox::NoInsert);
    cbNahradit->setGeometry(112, 40, kWidth - 120, 24);

    grpMoznosti = new QGroupBox(this);
    chkCase = new QCheckBox("Rozlišovat Velká/malá", grpMoznosti);
    chkCase->setGeometry(10, 20, 190, 20);
    chkWord = new QCheckBox("Pouze celá slova", grpMoznosti);
    chkWord->setGeometry(10, 44, 190, 20);
    chkOdZacatku = new QCheckBox("Hledat od začátku textu", grpMoznosti);
    chkOdZacatku->setGeometry(10, 68, 190, 20);
    chkPotvrzovat = new QCheckBox("Potvrzovat nahrazení", grpMoznosti);
    chkPotvrzovat->setGeometry(210, 20, 200, 20);
    chkPotvrzovat->setChecked(true);
    auto* lblSmer = new QLabel("Směr prohledávání textu:", grpMoznosti);
    lblSmer->setGeometry(210, 44, 200, 20);
    rbNahoru = new QRadioButton("Nahoru", grpMoznosti);
    rbNahoru->setGeometry(210, 68, 90, 20);
    rbDolu = new QRadioButton("Dolů", grpMoznosti);
    rbDolu->setGeometry(300, 68, 90, 20);
    rbDolu->setChecked(true);

    btnNahraditVse = new QPushButton("Nahradit vše", this);
    btnHledat = new QPushButton("Najít", this);
    btnHledat->setDefault(true);
    btnZavrit = new QPushButton("Zavřít", this);
    connect(btnNahraditVse, &QPushButton::clicked, this, [this] { done(ResultAll); });
    connect(btnHledat, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnZavrit, &QPushButton::clicked, this, &QDialog::reject);

    // The flags follow the three controls that feed them; every option click
    // hands the focus back to the text box the user left.
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(chkCase), static_cast<QAbstractButton*>(chkWord),
          static_cast<QAbstractButton*>(rbNahoru), static_cast<QAbstractButton*>(rbDolu)})
        connect(b, &QAbstractButton::clicked, this, &TfrmNajit::UpdateFlags);
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(chkCase), static_cast<QAbstractButton*>(chkWord),
          static_cast<QAbstractButton*>(chkOdZacatku), static_cast<QAbstractButton*>(chkPotvrzovat),
          static_cast<QAbstractButton*>(rbNahoru), static_cast<QAbstractButton*>(rbDolu)})
        connect(b, &QAbstractButton::clicked, this, [this] {
            if (lastFocus_) lastFocus_->setFocus();
        });
    connect(cbHledat, &QComboBox::editTextChanged, this, &TfrmNajit::UpdateButtons);
    connect(cbNahradit, &QComboBox::editTextChanged, this, &TfrmNajit::UpdateButtons);
    cbHledat->installEventFilter(this);
    cbNahradit->installEventFilter(this);
    lastFocus_ = cbHledat;

    askReplace = [this](const QString& question, bool withAll) {
        QMessageBox box(QMessageBox::Question, "Potvrzení", question, QMessageBox::NoButton, this);
        QPushButton* yes = box.addButton("&Ano", QMessageBox::YesRole);
        QPushButton* no = box.addButton("&Ne", QMessageBox::NoRole);
        QPushButton* cancel = box.addButton("S&torno", QMessageBox::RejectRole);
        QPushButton* all = withAll ? box.addButton("Ano vše&m", QMessageBox::YesRole) : nullptr;
        box.setDefaultButton(yes);
        box.exec();
        if (box.clickedButton() == yes) return ReplaceAnswer::Yes;
        if (box.clickedButton() == no) return ReplaceAnswer::No;
        if (all && box.clickedButton() == all) return ReplaceAnswer::YesToAll;
        (void)cancel;
        return ReplaceAnswer::Cancel;
    };
    run = [](TfrmNajit& dialog) { return dialog.exec(); };

    ApplyLayout();
    UpdateFlags();
    UpdateButtons();
}

void TfrmNajit::SetMode(Mode mode) {
    mode_ = mode;
    ApplyLayout();
    UpdateButtons();
}

void TfrmNajit::ApplyLayout() {
    const bool replace = mode_ == Mode::Replace;
    setWindowTitle(replace ? "Nahradit text" : "Hledat text");
    grpMoznosti->setTitle(replace ? "Možnosti hledání/nahrazení" : "Možnosti hledání");
    btnHledat->setText(replace ? "Nahradit" : "Najít");
    lblNahradit->setVisible(replace);
    cbNahradit->setVisible(replace);
    chkPotvrzovat->setVisible(replace);
    btnNahraditVse->setVisible(replace);
    const int groupTop = replace ? kReplaceGroupTop : kFindGroupTop;
    const int buttonsTop = replace ? kReplaceButtonsTop : kFindButtonsTop;
    grpMoznosti->setGeometry(8, groupTop, kWidth - 16, 96);
    btnNahraditVse->setGeometry(kWidth - 316, buttonsTop, 100, 26);
    btnHledat->setGeometry(kWidth - 208, buttonsTop, 96, 26);
    btnZavrit->setGeometry(kWidth - 104, buttonsTop, 96, 26);
    setFixedSize(kWidth, replace ? kReplaceHeight : kFindHeight);
}

void TfrmNajit::UpdateFlags() {
    flags_ = kSelectMatch;
    if (chkCase->isChecked()) flags_ |= kMatchCase;
    if (rbNahoru->isChecked()) flags_ |= kBackwards;
    if (chkWord->isChecked()) flags_ |= kWholeWord;
}

void TfrmNajit::UpdateButtons() {
    const bool any = !cbHledat->currentText().isEmpty();
    btnHledat->setEnabled(any);
    btnNahraditVse->setEnabled(any && mode_ == Mode::Replace);
}

void TfrmNajit::showEvent(QShowEvent* event) {
    ApplyLayout();
    UpdateFlags();
    UpdateButtons();
    QDialog::showEvent(event);
    if (lastFocus_) lastFocus_->setFocus();
}

bool TfrmNajit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == cbHledat || watched == cbNahradit))
        lastFocus_ = static_cast<QComboBox*>(watched);
    return QDialog::eventFilter(watched, event);
}

void TfrmNajit::done(int result) {
    if (result != QDialog::Rejected) {
        Remember(cbHledat);
        Remember(cbNahradit);
    }
    QDialog::done(result);
}

bool TfrmNajit::Najit(const QString& text, int flags, SearchTarget& editor) {
    if (chkOdZacatku->isChecked()) editor.MoveCaret(rbDolu->isChecked() ? 0 : editor.TextLength());
    int position = 0;
    if (editor.FindText(text, flags, &position)) {
        editor.SetSelection(position, static_cast<int>(text.size()));
        return true;
    }
    editor.SearchFailed(text);
    return false;
}

void TfrmNajit::Hledat(SearchTarget& editor) {
    QString text;
    if (editor.SelLength() > 0) {
        text = editor.SelText();
    } else {
        text = TrimBlanksAndControls(editor.GetTokenAt(editor.CaretOffset()));
    }
    cbHledat->setEditText(text);
    SetMode(Mode::Find);
    if (run(*this) == QDialog::Accepted) Najit(cbHledat->currentText(), flags_, editor);
}

void TfrmNajit::HledatDalsi(SearchTarget& editor) {
    editor.FindAgain();
}

void TfrmNajit::Nahradit(SearchTarget& editor) {
    if (editor.SelLength() > 0) {
        cbHledat->setEditText(editor.SelText());
    } else {
        QString token = editor.GetTokenAt(editor.CaretOffset());
        if (!token.isEmpty() && token[0] != '\t' && token[0] != '\n' && token[0] != '\r')
            cbHledat->setEditText(token);
    }
    SetMode(Mode::Replace);
    const int result = run(*this);
    editor.SetChangeHandlerEnabled(false);
    Replace(editor, result);
    editor.SetChangeHandlerEnabled(true);
}

void TfrmNajit::Replace(SearchTarget& editor, int result) {
    if (result != QDialog::Accepted && result != ResultAll) return;
    const QString text = cbHledat->currentText();
    const QString replacement = cbNahradit->currentText();
    const QString question = "Nahradit za \"" + replacement + "\"?";
    bool confirm = chkPotvrzovat->isChecked();

    if (result == QDialog::Accepted) {
        if (Najit(text, flags_, editor) && (!confirm || askReplace(question, false) == ReplaceAnswer::Yes))
            editor.SetSelText(replacement);
        return;
    }

    if (!Najit(text, flags_, editor)) return;
    // Unasked replacements run inside one update of the editor's lines.
    bool updating = false;
    auto replaceUnasked = [&] {
        if (!updating) {
            editor.BeginUpdate();
            updating = true;
        }
        editor.SetSelText(replacement);
    };
    for (;;) {
        if (!confirm) {
            replaceUnasked();
        } else {
            ReplaceAnswer answer = askReplace(question, true);
            if (answer == ReplaceAnswer::Cancel) break;
            if (answer == ReplaceAnswer::Yes) editor.SetSelText(replacement);
            if (answer == ReplaceAnswer::YesToAll) {
                confirm = false;
                replaceUnasked();
            }
        }
        if (!editor.FindAgain()) break;
    }
    if (updating) editor.EndUpdate();
}

} // namespace torvane::app
