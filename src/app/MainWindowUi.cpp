// The main window's actions, menus, toolbar, tab strip and status bar.

#include "app/AppLogic.h"
#include "app/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include <array>

namespace torvane::app {
namespace {

struct ActionRow {
    QAction* TfrmTorvane::*member;
    const char* name;
    const char* caption;
    const char* shortcut; // portable key name, "" for none
    const char* hint;
    QStyle::StandardPixmap icon; // SP_CustomBase for none
};

constexpr QStyle::StandardPixmap kNoIcon = QStyle::SP_CustomBase;

const std::array<ActionRow, 27> kActions{{
    {&TfrmTorvane::actNovy, "actNovy", "&Nový", "Ctrl+N", "Vytvoří nový soubor", QStyle::SP_FileIcon},
    {&TfrmTorvane::actOtevrit, "actOtevrit", "&Otevřít", "Ctrl+O", "Otevře soubor",
     QStyle::SP_DialogOpenButton},
    {&TfrmTorvane::actImport, "actImport", "Import", "", "", kNoIcon},
    {&TfrmTorvane::actUlozit, "actUlozit", "&Uložit", "Ctrl+S", "Uloží soubor", QStyle::SP_DialogSaveButton},
    {&TfrmTorvane::actUlozitJako, "actUlozitJako", "Uložit &jako ...", "", "Uloží soubor jako", kNoIcon},
    {&TfrmTorvane::actExportHTML, "actExportHTML", "Exportovat do HTML ...", "",
     "Uloží soubor se zvýrazněním jako stránku HTML", kNoIcon},
    {&TfrmTorvane::actExportRTF, "actExportRTF", "Exportovat do RTF ...", "",
     "Uloží soubor se zvýrazněním jako dokument RTF", kNoIcon},
    {&TfrmTorvane::actTisk, "actTisk", "&Tisk", "Ctrl+P", "Vytiskne soubor", kNoIcon},
    {&TfrmTorvane::actZavrit, "actZavrit", "&Zavřít", "", "Zavře soubor", kNoIcon},
    {&TfrmTorvane::actZavritVse, "actZavritVse", "Zavřít &vše", "", "Zavře všechny otevřené soubory",
     kNoIcon},
    {&TfrmTorvane::actNastaveni, "actNastaveni", "Nastavení", "", "", kNoIcon},
    {&TfrmTorvane::actZpet, "actZpet", "Zpět", "Alt+Backspace", "", QStyle::SP_ArrowBack},
    {&TfrmTorvane::actZnovu, "actZnovu", "Znovu", "Shift+Alt+Backspace", "", QStyle::SP_ArrowForward},
    {&TfrmTorvane::actKopirovat, "actKopirovat", "&Kopírovat", "Ctrl+C", "Kopírovat označený text", kNoIcon},
    {&TfrmTorvane::actVyjmout, "actVyjmout", "&Vyjmout", "Ctrl+X", "Vyjmout označený text", kNoIcon},
    {&TfrmTorvane::actVlozit, "actVlozit", "V&ložit", "Ctrl+V", "Vložit obsah schránky", kNoIcon},
    {&TfrmTorvane::actComment, "actComment", "Převést na komentář", "", "", kNoIcon},
    {&TfrmTorvane::actUnComment, "actUnComment", "Odstranit komentář", "", "", kNoIcon},
    {&TfrmTorvane::actVybratVse, "actVybratVse", "Vybrat vše", "Ctrl+A", "Vybrat celý text", kNoIcon},
    {&TfrmTorvane::actNajit, "actNajit", "Najít", "Ctrl+F", "Vyhledání v textu", kNoIcon},
    {&TfrmTorvane::actNajitDalsi, "actNajitDalsi", "Najít další", "F3", "Vyhledá další", kNoIcon},
    {&TfrmTorvane::actNahradit, "actNahradit", "Nahradit", "F7", "Nahrazení textu", kNoIcon},
    {&TfrmTorvane::actPrelozit, "actPrelozit", "Přeložit", "F9", "Přeloží soubor", QStyle::SP_MediaPlay},
    {&TfrmTorvane::actKaskada, "actKaskada", "&Kaskáda", "", "Seřadit okna do kaskády", kNoIcon},
    {&TfrmTorvane::actHorizontalne, "actHorizontalne", "&Horizontálně", "", "Seřadit okna horizontálně",
     kNoIcon},
    {&TfrmTorvane::actVertikalne, "actVertikalne", "&Vertikálně", "", "Seřadit okna vertikálně", kNoIcon},
    {&TfrmTorvane::actOprogramu, "actOprogramu", "&O programu", "", "", kNoIcon},
}};

// Status panels: width in pixels and alignment.
struct PanelRow {
    int width;
    Qt::Alignment alignment;
};
const std::array<PanelRow, 5> kPanels{{
    {75, Qt::AlignLeft},
    {150, Qt::AlignLeft},
    {80, Qt::AlignHCenter},
    {80, Qt::AlignHCenter},
    {50, Qt::AlignLeft},
}};

} // namespace

void TfrmTorvane::CreateActions() {
    for (const ActionRow& row : kActions) {
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        if (*row.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        action->setStatusTip(QString::fromUtf8(row.hint));
        action->setToolTip(QString::fromUtf8(row.hint).isEmpty() ? action->text().remove(QLatin1Char('&'))
                                                                 : QString::fromUtf8(row.hint));
        if (row.icon != kNoIcon) action->setIcon(style()->standardIcon(row.icon));
        this->*row.member = action;
    }
    actKonec = new QAction(QStringLiteral("Konec"), this);
    actKonec->setObjectName(QStringLiteral("actKonec"));

    connect(actNovy, &QAction::triggered, this, &TfrmTorvane::actNovyExecute);
    connect(actOtevrit, &QAction::triggered, this, &TfrmTorvane::actOtevritExecute);
    connect(actUlozit, &QAction::triggered, this, &TfrmTorvane::actUlozitExecute);
    connect(actUlozitJako, &QAction::triggered, this, &TfrmTorvane::actUlozitJakoExecute);
    connect(actExportHTML, &QAction::triggered, this, &TfrmTorvane::actExportHTMLExecute);
    connect(actExportRTF, &QAction::triggered, this, &TfrmTorvane::actExportRTFExecute);
    connect(actTisk, &QAction::triggered, this, &TfrmTorvane::actTiskExecute);
    connect(actZavrit, &QAction::triggered, this, &TfrmTorvane::actZavritExecute);
    connect(actZavritVse, &QAction::triggered, this, &TfrmTorvane::actZavritVseExecute);
    connect(actZpet, &QAction::triggered, this, &TfrmTorvane::actZpetExecute);
    connect(actZnovu, &QAction::triggered, this, &TfrmTorvane::actZnovuExecute);
    connect(actKopirovat, &QAction::triggered, this, &TfrmTorvane::actKopirovatExecute);
    connect(actVyjmout, &QAction::triggered, this, &TfrmTorvane::actVyjmoutExecute);
    connect(actVlozit, &QAction::triggered, this, &TfrmTorvane::actVlozitExecute);
    connect(actVybratVse, &QAction::triggered, this, &TfrmTorvane::actVybratVseExecute);
    connect(actKaskada, &QAction::triggered, this, &TfrmTorvane::actKaskadaExecute);
    connect(actHorizontalne, &QAction::triggered, this, &TfrmTorvane::actHorizontalneExecute);
    connect(actVertikalne, &QAction::triggered, this, &TfrmTorvane::actVertikalneExecute);
    connect(actOprogramu, &QAction::triggered, this, &TfrmTorvane::actOprogramuExecute);
    connect(actNastaveni, &QAction::triggered, this, &TfrmTorvane::actNastaveniExecute);
    connect(actPrelozit, &QAction::triggered, this, &TfrmTorvane::actPrelozitExecute);
    connect(actKonec, &QAction::triggered, this, &QWidget::close);
    connect(actComment, &QAction::triggered, this, &TfrmTorvane::actCommentExecute);
    connect(actUnComment, &QAction::triggered, this, &TfrmTorvane::actUnCommentExecute);
    connect(actImport, &QAction::triggered, this, &TfrmTorvane::actImportExecute);
    connect(actNajit, &QAction::triggered, this, &TfrmTorvane::actNajitExecute);
    connect(actNajitDalsi, &QAction::triggered, this, &TfrmTorvane::actNajitDalsiExecute);
    connect(actNahradit, &QAction::triggered, this, &TfrmTorvane::actNahraditExecute);

    highlightGroup_ = new QActionGroup(this);
    highlightGroup_->setExclusive(true);
    for (int i = 0; i < platform::kAssemblerCount; ++i) {
        auto* item = new QAction(QString::fromUtf8(platform::kAssemblerTable[i].menuText), highlightGroup_);
        item->setObjectName(QStringLiteral("mnItmHighlight%1").arg(i + 1));
        item->setCheckable(true);
        item->setData(i + 1); // the tag
        mnItmHighlight[static_cast<size_t>(i)] = item;
    }
    mnItmHighlight[0]->setChecked(true);
    connect(highlightGroup_, &QActionGroup::triggered, this, &TfrmTorvane::mnItmHighlightClick);
}

void TfrmTorvane::CreateMenus() {
    QMenu* soubor = menuBar()->addMenu(QStringLiteral("&Soubor"));
    soubor->addAction(actNovy);
    soubor->addAction(actOtevrit);
    mnItmHistorie = soubor->addMenu(QStringLiteral("Ot&evřít ..."));
    mnItmHistorie->setObjectName(QStringLiteral("mnItmHistorie"));
    soubor->addAction(actImport);
    soubor->addSeparator();
    soubor->addAction(actUlozit);
    soubor->addAction(actUlozitJako);
    soubor->addAction(actExportHTML);
    soubor->addAction(actExportRTF);
    soubor->addSeparator();
    soubor->addAction(actTisk);
    soubor->addSeparator();
    soubor->addAction(actZavrit);
    soubor->addAction(actZavritVse);
    soubor->addSeparator();
    soubor->addAction(actNastaveni);
    soubor->addSeparator();
    soubor->addAction(actKonec);

    QMenu* upravy = menuBar()->addMenu(QStringLiteral("Úpr&avy"));
    upravy->addAction(actZpet);
    upravy->addAction(actZnovu);
    upravy->addSeparator();
    upravy->addAction(actKopirovat);
    upravy->addAction(actVyjmout);
    upravy->addAction(actVlozit);
    upravy->addSeparator();
    upravy->addAction(actComment);
    upravy->addAction(actUnComment);
    upravy->addSeparator();
    upravy->addAction(actVybratVse);
    upravy->addSeparator();
    upravy->addAction(actNajit);
    upravy->addAction(actNajitDalsi);
    upravy->addAction(actNahradit);
    upravy->addSeparator();
    mnItmZalamovat = upravy->addAction(QStringLiteral("Zalamovat řádky"));
    mnItmZalamovat->setObjectName(QStringLiteral("mnItmZalamovat"));
    mnItmZalamovat->setCheckable(true);
    mnItmZalamovat->setEnabled(false);
    connect(mnItmZalamovat, &QAction::triggered, this, &TfrmTorvane::mnItmZalamovatClick);

    QMenu* zvyrazneni = menuBar()->addMenu(QStringLiteral("&Zvýraznění"));
    zvyrazneni->addAction(mnItmHighlight[0]);
    zvyrazneni->addSeparator();
    zvyrazneni->addAction(mnItmHighlight[1]);
    zvyrazneni->addAction(mnItmHighlight[2]);
    CreateSchemeOptionsAction(zvyrazneni);

    QMenu* prelozit = menuBar()->addMenu(QStringLiteral("&Přeložit"));
    prelozit->addAction(actPrelozit);

    mnuOkno_ = menuBar()->addMenu(QStringLiteral("&Okno"));
    mnuOkno_->addAction(actKaskada);
    mnuOkno_->addAction(actHorizontalne);
    mnuOkno_->addAction(actVertikalne);
    connect(mnuOkno_, &QMenu::aboutToShow, this, &TfrmTorvane::RebuildWindowMenu);

    QMenu* napoveda = menuBar()->addMenu(QStringLiteral("Nápověda"));
    napoveda->addAction(actOprogramu);

    popEditor = new QMenu(this);
    popEditor->setObjectName(QStringLiteral("popEditor"));
    popEditor->addAction(actKopirovat);
    popEditor->addAction(actVyjmout);
    popEditor->addAction(actVlozit);
    popEditor->addSeparator();
    popEditor->addAction(actVybratVse);

    popTab = new QMenu(this);
    popTab->setObjectName(QStringLiteral("popTab"));
    popTab->addAction(actZavrit);
}

void TfrmTorvane::CreateToolBars() {
    QToolBar* tools = addToolBar(QStringLiteral("Nástroje"));
    tools->setObjectName(QStringLiteral("tlbNastroje"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tools->addAction(actNovy);

    popOtevrit = new QMenu(this);
    popOtevrit->setObjectName(QStringLiteral("popOtevrit"));
    // The recent-file list is rebuilt each time the menu drops down.
    connect(popOtevrit, &QMenu::aboutToShow, this, [this] { NactiHistorii(popOtevrit); });
    auto* openButton = new QToolButton(tools);
    openButton->setObjectName(QStringLiteral("btnOtevrit"));
    openButton->setDefaultAction(actOtevrit);
    openButton->setMenu(popOtevrit);
    openButton->setPopupMode(QToolButton::MenuButtonPopup);
    openButton->setAutoRaise(true);
    tools->addWidget(openButton);

    tools->addAction(actUlozit);
    tools->addSeparator();
    tools->addAction(actZpet);
    tools->addAction(actZnovu);
    tools->addSeparator();
    tools->addAction(actKopirovat);
    tools->addAction(actVyjmout);
    tools->addAction(actVlozit);
    tools->addSeparator();
    tools->addAction(actPrelozit);

    addToolBarBreak();
    tlbTabs = addToolBar(QStringLiteral("Soubory"));
    tlbTabs->setObjectName(QStringLiteral("tlbSoubory"));
    tlbTabs->setMovable(false);
    tabConSoubory = new QTabBar(tlbTabs);
    tabConSoubory->setObjectName(QStringLiteral("tabConSoubory"));
    tabConSoubory->setExpanding(false);
    tabConSoubory->setDocumentMode(true);
    tabConSoubory->setContextMenuPolicy(Qt::CustomContextMenu);
    tlbTabs->addWidget(tabConSoubory);
    connect(tabConSoubory, &QTabBar::currentChanged, this, &TfrmTorvane::tabConSouboryChange);
    connect(tabConSoubory, &QWidget::customContextMenuRequested, this, &TfrmTorvane::tabConSouboryMouseUp);
}

void TfrmTorvane::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stBar"));
    bar->setSizeGripEnabled(true);
    for (size_t i = 0; i < kPanels.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("stBarPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment(kPanels[i].alignment | Qt::AlignVCenter);
        // The hint panel is the last one and takes the rest of the bar.
        const bool last = i + 1 == kPanels.size();
        if (last) {
            panel->setMinimumWidth(kPanels[i].width);
        } else {
            panel->setFixedWidth(kPanels[i].width);
        }
        bar->addWidget(panel, last ? 1 : 0);
        panels_[i] = panel;
    }
}

} // namespace torvane::app
