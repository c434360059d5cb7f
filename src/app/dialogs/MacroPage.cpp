#include "app/dialogs/MacroPage.h"

#include "highlight/Settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace torvane::app {
namespace {

constexpr size_t kMaxNameBytes = 255; // the stream form's length byte

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The text as the widget shows it: the table keeps each line break as 13.
QString ShownText(const std::string& expansion) {
    QString text = OptionsText(expansion);
    text.replace(QChar(13), QChar(10));
    return text;
}

} // namespace

TMacroPage::TMacroPage(Kind kind, QWidget* parent)
    : TOptionsPage(parent), tblMacros(new QTableWidget(0, 2, this)), edtName(new QLineEdit(this)),
      edtDescription(new QLineEdit(this)), edtText(new QPlainTextEdit(this)), edtTrigger(new QLineEdit(this)),
      chkEnabled(new QCheckBox(QStringLiteral("&Aktivní"), this)),
      btnAdd(new QPushButton(QStringLiteral("&Přidat"), this)),
      btnChange(new QPushButton(QStringLiteral("&Změnit"), this)),
      btnRemove(new QPushButton(QStringLiteral("&Odebrat"), this)), kind_(kind) {
    const bool templates = kind == Kind::Templates;
    tblMacros->setObjectName(QStringLiteral("tblMacros"));
    edtName->setObjectName(QStringLiteral("edtName"));
    edtDescription->setObjectName(QStringLiteral("edtDescription"));
    edtText->setObjectName(QStringLiteral("edtText"));
    edtTrigger->setObjectName(QStringLiteral("edtTrigger"));
    tblMacros->setHorizontalHeaderLabels(
        templates ? QStringList{QStringLiteral("Název"), QStringLiteral("Popis")}
                  : QStringList{QStringLiteral("Slovo"), QStringLiteral("Náhrada")});
    tblMacros->horizontalHeader()->setStretchLastSection(true);
    tblMacros->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblMacros->setSelectionMode(QAbstractItemView::SingleSelection);
    tblMacros->setEditTriggers(QAbstractItemView::NoEditTriggers);
    edtText->setTabChangesFocus(false);

    auto* fields = new QFormLayout;
    fields->addRow(templates ? QStringLiteral("&Název:") : QStringLiteral("&Slovo:"), edtName);
    if (templates) fields->addRow(QStringLiteral("P&opis:"), edtDescription);
    edtDescription->setVisible(templates);
    fields->addRow(templates ? QStringLiteral("&Text (znak | určuje místo kurzoru):")
                             : QStringLiteral("&Náhrada:"),
                   edtText);
    auto* trigger = new QHBoxLayout;
    trigger->addWidget(edtTrigger, 1);
    trigger->addWidget(chkEnabled);
    fields->addRow(templates ? QStringLiteral("&Klávesa:") : QStringLiteral("&Spouštěcí znaky:"), trigger);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {btnAdd, btnChange, btnRemove})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(tblMacros, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(fields);

    connect(tblMacros, &QTableWidget::currentCellChanged, this, &TMacroPage::ShowSelected);
    connect(btnAdd, &QPushButton::clicked, this, &TMacroPage::AddFromFields);
    connect(btnChange, &QPushButton::clicked, this, &TMacroPage::ChangeSelected);
    connect(btnRemove, &QPushButton::clicked, this, &TMacroPage::RemoveSelected);
}

void TMacroPage::Load(const TTE_Settings& settings) {
    const TMacroKeywords& table = kind_ == Kind::Templates
                                      ? static_cast<const TMacroKeywords&>(settings.CodeTemplates())
                                      : settings.AutoReplace();
    rows_.clear();
    for (const TMacro& m : table.Macros()) {
        // The table folds a word to lower case unless it was added case-sensitively.
        const bool caseSensitive = std::any_of(
            m.name.begin(), m.name.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)); });
        rows_.push_back(Row{m.name, m.description, m.expansion, caseSensitive});
    }
    if (kind_ == Kind::Templates)
        edtTrigger->setText(QString::fromStdString(ShortCutToText(table.TriggerKey())));
    else
        edtTrigger->setText(OptionsText(settings.AutoReplace().TriggerText()));
    chkEnabled->setChecked(table.enabled);
    ShowRows();
}

void TMacroPage::ShowRows() {
    tblMacros->setRowCount(static_cast<int>(rows_.size()));
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        const int r = static_cast<int>(i);
        tblMacros->setItem(r, 0, new QTableWidgetItem(OptionsText(row.name)));
        tblMacros->setItem(r, 1,
                           new QTableWidgetItem(kind_ == Kind::Templates ? OptionsText(row.description)
                                                                         : ShownText(row.expansion)));
    }
}

void TMacroPage::ShowSelected() {
    const int r = tblMacros->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size())) return;
    const Row& row = rows_[static_cast<size_t>(r)];
    edtName->setText(OptionsText(row.name));
    edtDescription->setText(OptionsText(row.description));
    edtText->setPlainText(ShownText(row.expansion));
}

void TMacroPage::ShowProblem(const QString& text) {
    QMessageBox::warning(this, QStringLiteral("Upozornění"), text);
}

bool TMacroPage::RowFromFields(Row& row) {
    const QString name = edtName->text().trimmed();
    if (name.isEmpty() || name.contains(QRegularExpression(QStringLiteral("\\s")))) {
        ShowProblem(QStringLiteral("Název musí být jedno slovo bez mezer."));
        return false;
    }
    row.name = OptionsBytes(name);
    if (row.name.size() > kMaxNameBytes) {
        ShowProblem(QStringLiteral("Název je delší než %1 znaků.").arg(kMaxNameBytes));
        return false;
    }
    row.description = OptionsBytes(edtDescription->text()).substr(0, kMaxNameBytes);
    row.expansion = TMacroKeywords::NormaliseLineBreaks(OptionsBytes(edtText->toPlainText()));
    row.caseSensitive = false; // a name typed here matches in any case
    return true;
}

bool TMacroPage::AddFromFields() {
    Row row;
    if (!RowFromFields(row)) return false;
    auto same =
        std::find_if(rows_.begin(), rows_.end(), [&](const Row& r) { return SameName(r.name, row.name); });
    if (same != rows_.end())
        *same = row;
    else
        same = rows_.insert(rows_.end(), row);
    ShowRows();
    tblMacros->setCurrentCell(static_cast<int>(same - rows_.begin()), 0);
    return true;
}

bool TMacroPage::ChangeSelected() {
    const int r = tblMacros->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size())) return AddFromFields();
    Row row;
    if (!RowFromFields(row)) return false;
    rows_[static_cast<size_t>(r)] = row;
    ShowRows();
    tblMacros->setCurrentCell(r, 0);
    return true;
}

void TMacroPage::RemoveSelected() {
    const int r = tblMacros->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size())) return;
    rows_.erase(rows_.begin() + r);
    ShowRows();
}

bool TMacroPage::Commit(TTE_Settings& settings, QString& error) {
    TMacroKeywords& table = kind_ == Kind::Templates ? static_cast<TMacroKeywords&>(settings.CodeTemplates())
                                                     : settings.AutoReplace();
    // Check the trigger before anything changes, so a refusal leaves the table as it was.
    if (kind_ == Kind::Templates) {
        const TShortCut key = TextToShortCut(OptionsBytes(edtTrigger->text().trimmed()));
        if (!key) {
            error = QStringLiteral("„%1“ není klávesa šablon.").arg(edtTrigger->text());
            return false;
        }
        table.SetTriggerKey(key);
    } else {
        try {
            settings.AutoReplace().SetTriggerText(OptionsBytes(edtTrigger->text()));
        } catch (const std::exception& e) {
            error = QStringLiteral("Spouštěcí znaky oprav: %1").arg(OptionsText(e.what()));
            return false;
        }
    }
    table.enabled = chkEnabled->isChecked();
    table.ClearMacros();
    for (const Row& row : rows_)
        table.AddMacro(row.name, row.description, row.caseSensitive ? 1 : 0, row.expansion);
    return true;
}

} // namespace torvane::app
