#include "app/dialogs/EditorOptionsDialog.h"

#include "app/dialogs/HighlightPage.h"
#include "app/dialogs/KeysPage.h"
#include "app/dialogs/MacroPage.h"
#include "app/dialogs/PrintTabsPages.h"
#include "editor/ParserAdapter.h"
#include "editor/TessaryMessages.h"
#include "editor/qt/TessaryWidget.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace torvane::app {
namespace {

constexpr int kPreviewHeight = 180;

} // namespace

TEditorOptionsDialog::TEditorOptionsDialog(const TTessaryParser& parser, TTE_Settings& settings,
                                           uint32_t shown, const TTE_Settings* defaults, QWidget* parent)
    : QDialog(parent), pages(new QTabWidget(this)),
      btnDefaults(new QPushButton(QStringLiteral("&Výchozí"), this)), lblError(new QLabel(this)),
      target_(settings), defaults_(defaults) {
    setObjectName(QStringLiteral("EditorOptionsDialog"));
    setWindowTitle(
        QStringLiteral("Nastavení zvýraznění – %1").arg(OptionsText(settings.values.languageName)));
    pages->setObjectName(QStringLiteral("pages"));
    btnDefaults->setObjectName(QStringLiteral("btnDefaults"));
    btnDefaults->setEnabled(defaults != nullptr);
    lblError->setObjectName(QStringLiteral("lblError"));
    lblError->setStyleSheet(QStringLiteral("color: #b00000"));
    lblError->setWordWrap(true);

    preview_.name = "PreviewParser";
    preview_.Assign(parser);
    preview_.Settings().Assign(settings);
    TTE_Settings& working = preview_.Settings();

    if (shown & ppHighlight)
        AddPage(highlightPage = new THighlightPage(working, this), QStringLiteral("&Zvýraznění"));
    if (shown & ppKeys)
        AddPage(keysPage = new TKeysPage(working, defaults, this), QStringLiteral("&Klávesy"));
    if (shown & ppPrint) AddPage(printPage = new TPrintPage(this), QStringLiteral("&Tisk"));
    if (shown & ppTabs) AddPage(tabsPage = new TTabsPage(this), QStringLiteral("T&abulátory"));
    if (shown & ppAutoCorrect)
        AddPage(autoCorrectPage = new TMacroPage(TMacroPage::Kind::AutoCorrect, this),
                QStringLiteral("Automatické &opravy"));
    if (shown & ppTemplates)
        AddPage(templatesPage = new TMacroPage(TMacroPage::Kind::Templates, this),
                QStringLiteral("Ša&blony"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    if (shown & ppHighlight) {
        // The example text in the working copy's styles, kept read-only.
        preview = new editor::qt::TessaryWidget(this);
        preview->setObjectName(QStringLiteral("preview"));
        preview->setMinimumHeight(kPreviewHeight);
        preview->Control().Perform(editor::WM_SETTEXT, 0,
                                   reinterpret_cast<intptr_t>(working.values.exampleText.c_str()));
        preview->Control().SetReadOnly(true);
        styles_ = std::make_unique<editor::TSettingsStyleSource>(working);
        adapter_ = std::make_unique<editor::TParserAdapter>(preview_, [this] { RefreshPreview(); });
        preview->SetStyleSource(styles_.get());
        RefreshPreview();
        layout->addWidget(new QLabel(QStringLiteral("Ukázka:"), this));
        layout->addWidget(preview);
    }
    layout->addWidget(lblError);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("S&torno"));
    buttons->addButton(btnDefaults, QDialogButtonBox::ResetRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TEditorOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TEditorOptionsDialog::reject);
    connect(btnDefaults, &QPushButton::clicked, this, &TEditorOptionsDialog::RestoreDefaults);
    LoadPages();
    resize(640, 560);
}

TEditorOptionsDialog::~TEditorOptionsDialog() {
    // The preview goes before the adapter and style source it points at.
    delete preview;
}

void TEditorOptionsDialog::AddPage(TOptionsPage* page, const QString& title) {
    pageList_.push_back(page);
    pages->addTab(page, title);
    connect(page, &TOptionsPage::changed, this, [this] { preview_.ReselectInClients(); });
}

void TEditorOptionsDialog::LoadPages() {
    for (TOptionsPage* page : pageList_)
        page->Load(Working());
}

void TEditorOptionsDialog::RefreshPreview() {
    if (!preview) return;
    preview->SetHighlighter(preview_.CanHighlight() ? adapter_.get() : nullptr);
    preview->SettingsChanged();
}

bool TEditorOptionsDialog::MonoPrint() const {
    return printPage && printPage->chkMonoPrint->isChecked();
}

void TEditorOptionsDialog::SetMonoPrint(bool mono) {
    if (printPage) printPage->chkMonoPrint->setChecked(mono);
}

void TEditorOptionsDialog::RestoreDefaults() {
    if (!defaults_) return;
    preview_.ApplySettings(*defaults_);
    lblError->clear();
    LoadPages();
}

void TEditorOptionsDialog::accept() {
    // Every page first, so a refused one leaves the caller's settings as they were.
    for (TOptionsPage* page : pageList_) {
        QString error;
        if (!page->Commit(Working(), error)) {
            pages->setCurrentWidget(page);
            lblError->setText(error);
            return;
        }
    }
    target_.Assign(Working());
    QDialog::accept();
}

bool RunEditorOptionsDialog(QWidget* parent, const TTessaryParser& parser, TTE_Settings& settings,
                            uint32_t pages, const TTE_Settings* defaults, bool& mono) {
    TEditorOptionsDialog dialog(parser, settings, pages, defaults, parent);
    dialog.SetMonoPrint(mono);
    if (dialog.exec() != QDialog::Accepted) return false;
    mono = dialog.MonoPrint();
    return true;
}

} // namespace torvane::app
