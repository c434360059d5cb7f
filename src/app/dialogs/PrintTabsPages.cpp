#include "app/dialogs/PrintTabsPages.h"

#include "highlight/Settings.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

namespace torvane::app {
namespace {

constexpr std::array<uint32_t, 5> kPrintBits = {smoPrintWrap, smoPrintLineNos, smoPrintFilename, smoPrintDate,
                                                smoPrintPageNos};
constexpr std::array<const char*, 5> kPrintNames = {"&Zalamovat dlouhé řádky", "Čísla řá&dků",
                                                    "&Název souboru", "&Datum", "Čísla &stránek"};

} // namespace

TPrintPage::TPrintPage(QWidget* parent)
    : TOptionsPage(parent), chkMonoPrint(new QCheckBox(QStringLiteral("Černobílý &tisk"), this)) {
    auto* layout = new QVBoxLayout(this);
    for (size_t i = 0; i < chkOptions.size(); ++i) {
        chkOptions[i] = new QCheckBox(QString::fromUtf8(kPrintNames[i]), this);
        layout->addWidget(chkOptions[i]);
    }
    chkMonoPrint->setObjectName(QStringLiteral("chkMonoPrint"));
    layout->addWidget(chkMonoPrint);
    layout->addStretch();
}

void TPrintPage::Load(const TTE_Settings& settings) {
    for (size_t i = 0; i < chkOptions.size(); ++i)
        chkOptions[i]->setChecked(settings.values.options & kPrintBits[i]);
}

bool TPrintPage::Commit(TTE_Settings& settings, QString&) {
    for (size_t i = 0; i < chkOptions.size(); ++i) {
        if (chkOptions[i]->isChecked())
            settings.values.options |= kPrintBits[i];
        else
            settings.values.options &= ~kPrintBits[i];
    }
    return true;
}

TTabsPage::TTabsPage(QWidget* parent)
    : TOptionsPage(parent), spnTabDefault(new QSpinBox(this)), edtColumns(new QLineEdit(this)) {
    spnTabDefault->setObjectName(QStringLiteral("spnTabDefault"));
    edtColumns->setObjectName(QStringLiteral("edtColumns"));
    spnTabDefault->setRange(1, kMaxTabDefault);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Výchozí šířka tabulátoru:"), spnTabDefault);
    form->addRow(QStringLiteral("&Sloupce tabulátorů:"), edtColumns);
}

void TTabsPage::Load(const TTE_Settings& settings) {
    spnTabDefault->setValue(settings.values.tabDefault);
    QStringList columns;
    for (int32_t c : settings.values.tabColumns) {
        if (c < 0) break;
        columns << QString::number(c + 1);
    }
    edtColumns->setText(columns.join(QLatin1Char(' ')));
}

std::optional<std::vector<int>> TTabsPage::ParseColumns(const QString& text, QString& error) {
    std::vector<int> columns;
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const int column = part.toInt(&ok);
        if (!ok || column < 1 || column > kMaxColumn) {
            error = QStringLiteral("„%1“ není sloupec tabulátoru (1 až %2).").arg(part).arg(kMaxColumn);
            return std::nullopt;
        }
        if (!columns.empty() && column - 1 <= columns.back()) {
            error = QStringLiteral("Sloupce tabulátorů musí jít vzestupně („%1“).").arg(part);
            return std::nullopt;
        }
        columns.push_back(column - 1);
    }
    if (columns.size() > static_cast<size_t>(TSettingsValues::kTabColumns)) {
        error = QStringLiteral("Nejvýše %1 sloupců tabulátorů.").arg(TSettingsValues::kTabColumns);
        return std::nullopt;
    }
    return columns;
}

bool TTabsPage::Commit(TTE_Settings& settings, QString& error) {
    const std::optional<std::vector<int>> columns = ParseColumns(edtColumns->text(), error);
    if (!columns) return false;
    settings.values.tabDefault = spnTabDefault->value();
    settings.values.tabColumns.fill(-1);
    for (size_t i = 0; i < columns->size(); ++i)
        settings.values.tabColumns[i] = (*columns)[i];
    return true;
}

} // namespace torvane::app
