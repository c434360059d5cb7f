#include "app/dialogs/SettingsDialog.h"

#include "app/AppTexts.h"
#include "common/IncludeList.h"
#include "common/IniFile.h"
#include "highlight/TabStops.h"
#include "platform/Names.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace torvane::app {
namespace {

std::string Local8(const QString& s) {
    return s.toLocal8Bit().toStdString();
}
QString FromLocal8(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str());
}

// Settings sections of the two assemblers.
constexpr const char* kAsem51Section = platform::FactsOf(platform::Assembler::Asem51).section;
constexpr const char* kAvrSection = platform::FactsOf(platform::Assembler::AvrAsm).section;

} // namespace

SettingsChoosers SettingsChoosers::Native() {
    SettingsChoosers c;
    c.browseForFolder = [](QWidget* parent, const QString& title) -> std::optional<QString> {
        QString dir = QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
        if (dir.isEmpty()) return std::nullopt;
        return dir;
    };
    c.chooseProgram = [](QWidget* parent, const QString& programName) -> std::optional<QString> {
        QFileDialog dialog(parent);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(programName + " (" + programName + ")");
#ifdef Q_OS_WIN
        dialog.setDefaultSuffix(".exe"); // elsewhere programs carry no extension
#endif
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().first();
    };
    return c;
}

TfrmNastaveni::TfrmNastaveni(TMemIniFile& settings, SettingsChoosers choosers, QWidget* owner)
    : QDialog(owner), settings_(settings), choosers_(std::move(choosers)) {
    setObjectName("frmNastaveni");
    setWindowTitle("Nastavení");
    auto* layout = new QVBoxLayout(this);
    pages = new QTabWidget(this);
    pages->addTab(BuildEditorPage(), "Editor");
    pages->addTab(BuildAssemblerPage(asem51, "Překladač ASEM-51:", "Nalistovat překladač ASEM51",
                                     platform::FactsOf(platform::Assembler::Asem51).programName),
                  "ASEM-51");
    pages->addTab(BuildAssemblerPage(avrasm, "Překladač AVRasm:", "Nalistovat překladač AVRasm",
                                     platform::FactsOf(platform::Assembler::AvrAsm).programName),
                  "AVRasm");
    layout->addWidget(pages);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOk = new QPushButton("Ok", this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnStorno = new QPushButton("Storno", this);
    btnStorno->setObjectName("btnStorno");
    buttons->addWidget(btnOk);
    buttons->addWidget(btnStorno);
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &TfrmNastaveni::WriteAndAccept);
    // Esc reaches QDialog::reject as well.
    connect(btnStorno, &QPushButton::clicked, this, &QDialog::reject);

    Fill();
    pages->setCurrentIndex(0);
    // Centred by the size the layout gives, not the size before it.
    adjustSize();
    if (owner) move(owner->geometry().center() - rect().center());
}

QWidget* TfrmNastaveni::BuildEditorPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    chkEngKey = new QCheckBox("Anglická klávesnice", page);
    chkEngKey->setObjectName("chkEngKey");
    chkEngKey->setToolTip("Automatické přepnutí na anglickou klávenici");
    form->addRow(chkEngKey);
    spnFontSize = new QSpinBox(page);
    spnFontSize->setObjectName("spnFontSize");
    spnFontSize->setRange(6, 20);
    form->addRow("Velikost textu:", spnFontSize);
    edTabs = new QLineEdit(page);
    edTabs->setObjectName("edTabs");
    form->addRow("Tabulátory:", edTabs);
    lblTabsError = new QLabel(page);
    lblTabsError->setObjectName("lblTabsError");
    lblTabsError->setWordWrap(true);
    lblTabsError->setStyleSheet("color: #c00000;");
    lblTabsError->hide();
    form->addRow(lblTabsError);
    connect(edTabs, &QLineEdit::textEdited, lblTabsError, &QLabel::hide);
    auto* dataRow = new QHBoxLayout;
    edData = new QLineEdit(page);
    edData->setObjectName("edData");
    btnData = new QPushButton("...", page);
    btnData->setObjectName("btnData");
    btnData->setToolTip("Nalistovat adresář");
    dataRow->addWidget(edData);
    dataRow->addWidget(btnData);
    form->addRow("Umístění dat:", dataRow);
    connect(btnData, &QPushButton::clicked, this, [this] {
        if (auto dir = choosers_.browseForFolder(this, "Adresář s projekty")) edData->setText(*dir);
    });
    return page;
}

QWidget* TfrmNastaveni::BuildAssemblerPage(AssemblerPage& p, const QString& assemblerLabel,
                                           const QString& browseHint, const QString& programName) {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    auto* formatRow = new QHBoxLayout;
    p.rbHex = new QRadioButton("HEX", page);
    p.rbBin = new QRadioButton("BIN", page);
    auto* group = new QButtonGroup(page);
    group->addButton(p.rbHex);
    group->addButton(p.rbBin);
    formatRow->addWidget(p.rbHex);
    formatRow->addWidget(p.rbBin);
    formatRow->addStretch();
    form->addRow("Výstupní formát:", formatRow);

    auto* pathRow = new QHBoxLayout;
    p.edPath = new QLineEdit(page);
    p.btnBrowse = new QPushButton("...", page);
    p.btnBrowse->setToolTip(browseHint);
    pathRow->addWidget(p.edPath);
    pathRow->addWidget(p.btnBrowse);
    form->addRow(assemblerLabel, pathRow);

    p.lstLib = new QListWidget(page);
    p.lstLib->setSelectionMode(QAbstractItemView::SingleSelection);
    form->addRow("Knihovny:", p.lstLib);
    auto* libButtons = new QHBoxLayout;
    p.btnSmazat = new QPushButton("Smazat", page);
    p.btnPridat = new QPushButton("Přidat", page);
    libButtons->addStretch();
    libButtons->addWidget(p.btnSmazat);
    libButtons->addWidget(p.btnPridat);
    form->addRow(libButtons);

    QLineEdit* edPath = p.edPath;
    QListWidget* list = p.lstLib;
    connect(p.btnBrowse, &QPushButton::clicked, this, [this, edPath, programName] {
        if (auto file = choosers_.chooseProgram(this, programName)) edPath->setText(*file);
    });
    connect(p.btnPridat, &QPushButton::clicked, this, [this, list] {
        if (auto dir = choosers_.browseForFolder(this, "Adresář s knihovnami")) list->addItem(*dir);
    });
    connect(p.btnSmazat, &QPushButton::clicked, this, [list] {
        if (QListWidgetItem* item = list->currentItem(); item && item->isSelected()) delete item;
    });
    return page;
}

void TfrmNastaveni::Fill() {
    chkEngKey->setChecked(settings_.ReadBool("Editor", "EngKey", true));
    spnFontSize->setValue(settings_.ReadInteger("Editor", "FontSize", 10));
    edTabs->setText(FromLocal8(settings_.ReadString("Editor", "TabColumns", "15 21 60")));
    edData->setText(FromLocal8(settings_.ReadString("Paths", "Data", "")));
    for (auto [page, section] : {std::pair{&asem51, kAsem51Section}, std::pair{&avrasm, kAvrSection}}) {
        bool bin = settings_.ReadBool(section, "Bin", false);
        page->rbBin->setChecked(bin);
        page->rbHex->setChecked(!bin);
        page->edPath->setText(FromLocal8(settings_.ReadString(section, "Path", "")));
        for (const auto& dir : SplitIncludeList(settings_.ReadString(section, "Lib", "")))
            page->lstLib->addItem(FromLocal8(dir));
    }
}

void TfrmNastaveni::WriteAndAccept() {
    // A value the editor cannot take is said here, with the dialog still
    // open, and nothing is written.
    try {
        TTabStops().SetColumns(Local8(edTabs->text()));
    } catch (const std::exception&) {
        lblTabsError->setText(QString::fromUtf8(text::kBadTabColumns));
        lblTabsError->show();
        pages->setCurrentIndex(0);
        edTabs->setFocus();
        edTabs->selectAll();
        return;
    }
    settings_.WriteBool("Editor", "EngKey", chkEngKey->isChecked());
    settings_.WriteInteger("Editor", "FontSize", spnFontSize->value());
    settings_.WriteString("Editor", "TabColumns", Local8(edTabs->text()));
    settings_.WriteString("Paths", "Data", Local8(edData->text()));
    for (auto [page, section] : {std::pair{&asem51, kAsem51Section}, std::pair{&avrasm, kAvrSection}}) {
        settings_.WriteString(section, "Path", Local8(page->edPath->text()));
        std::vector<std::string> dirs;
        for (int i = 0; i < page->lstLib->count(); ++i)
            dirs.push_back(Local8(page->lstLib->item(i)->text()));
        settings_.WriteString(section, "Lib", JoinIncludeList(dirs));
        settings_.WriteBool(section, "Bin", page->rbBin->isChecked());
    }
    accept();
}

} // namespace torvane::app
