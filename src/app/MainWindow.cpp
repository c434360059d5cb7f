#include "app/MainWindow.h"

#include "app/AppLogic.h"
#include "app/AppTexts.h"
#include "app/EditWin.h"
#include "app/dialogs/FindDialog.h"
#include "app/dialogs/ProgressPopup.h"
#include "app/logic/RecentFiles.h"
#include "app/logic/Recovery.h"
#include "app/navigation/Navigator.h"
#include "assemble/Assemblers.h"
#include "assemble/SettingsFile.h"
#include "common/IniFile.h"
#include "editor/TextStore.h"
#include "platform/FileSystem.h"
#include "platform/Keyboard.h"
#include "platform/SingleInstance.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

#include <cstring>

namespace torvane::app {
namespace {

constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 480;

std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

TfrmTorvane::TfrmTorvane(AppDialogs& dialogs, const QString& programDirectory, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs),
      programDirectory_(QDir::fromNativeSeparators(programDirectory)) {
    setObjectName(QStringLiteral("frmTorvane"));
    setAcceptDrops(true);
    if (!programDirectory_.isEmpty() && !programDirectory_.endsWith(QLatin1Char('/')))
        programDirectory_ += QLatin1Char('/');
    layout_ = platform::LayoutOf(Native(programDirectory_));
    settings_ = std::make_unique<TMemIniFile>(build::PrepareSettingsFile(layout_));

    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &TfrmTorvane::OnSubWindowActivated);

    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreateStatusBar();
    // Numbers and times are formatted the same way whatever the user's locale.
    QLocale::setDefault(QLocale::c());
    ReadWindowSettings();
    if (settings_->ReadBool("Editor", "EngKey", true)) platform::ActivateUsKeyboardLayout();
    frmDialog = new TfrmDialog(this);
    frmNajit = new TfrmNajit(this);
    navigator = new TNavigator(*this);
    NactiHistorii(mnItmHistorie);
    EnableEditorAct(false);
    UpdateTitle();

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    SetRecoveryInterval(0);
    connect(recoveryTimer_, &QTimer::timeout, this, &TfrmTorvane::WriteRecovery);
    // Coming back from another program is when its changes to open files
    // show; the question comes before the user types into the old text.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            if (TEditWin* win = ActiveEditWin()) CheckOutsideChange(*win, false);
    });
}

TfrmTorvane::~TfrmTorvane() {
    // The frame and the tab strip outlive this part of the object and still
    // signal while their windows go; nothing here may answer them.
    mdiArea->disconnect(this);
    mdiArea->disconnect(navigator);
    tabConSoubory->disconnect(this);
    delete frmDialog; // a top-level window of its own, so not deleted with this one
    WriteWindowSettings();
    // A settings file that cannot be written is left as it was.
    (void)settings_->UpdateFile();
}

void TfrmTorvane::ReadWindowSettings() {
    const int width = settings_->ReadInteger("Window", "Width", 700);
    const int height = settings_->ReadInteger("Window", "Height", 500);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(std::max(width, kMinimumWidth), std::max(height, kMinimumHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    if (settings_->ReadBool("Window", "Maximized", true)) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmTorvane::WriteWindowSettings() {
    if (isMaximized()) {
        settings_->WriteBool("Window", "Maximized", true);
        return;
    }
    settings_->WriteBool("Window", "Maximized", false);
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    settings_->WriteInteger("Window", "Width", normal.width());
    settings_->WriteInteger("Window", "Height", normal.height());
}

// ---- documents --------------------------------------------------------------

QList<TEditWin*> TfrmTorvane::EditWindows() const {
    QList<TEditWin*> windows;
    for (QMdiSubWindow* sub : mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* win = qobject_cast<TEditWin*>(sub->widget())) windows << win;
    return windows;
}

TEditWin* TfrmTorvane::ActiveEditWin() const {
    // The current window, also while the application is not the active one.
    QMdiSubWindow* sub = mdiArea->currentSubWindow();
    return sub ? qobject_cast<TEditWin*>(sub->widget()) : nullptr;
}

QMdiSubWindow* TfrmTorvane::SubWindowOf(const TEditWin* win) const {
    for (QMdiSubWindow* sub : mdiArea->subWindowList())
        if (sub->widget() == win) return sub;
    return nullptr;
}

bool TfrmTorvane::WindowExists(const QString& fileName) const {
    for (const TEditWin* win : EditWindows())
        if (win->FileName == fileName) return true;
    return false;
}

void TfrmTorvane::ZobrazOkno(const QString& fileName) {
    // An exact match goes first: on a file system that tells letter case
    // apart, two open files may differ only in case, and each tab must reach
    // its own window.
    const QList<TEditWin*> windows = EditWindows();
    TEditWin* target = nullptr;
    for (TEditWin* win : windows)
        if (win->FileName == fileName) {
            target = win;
            break;
        }
    if (!target)
        for (TEditWin* win : windows)
            if (win->FileName.compare(fileName, Qt::CaseInsensitive) == 0) {
                target = win;
                break;
            }
    if (target) {
        QMdiSubWindow* sub = SubWindowOf(target);
        if (mdiArea->currentSubWindow() != sub) mdiArea->setActiveSubWindow(sub);
    }
    for (int i = 0; i < tabConSoubory->count(); ++i)
        if (tabConSoubory->tabText(i).compare(target ? target->FileName : fileName, Qt::CaseInsensitive) ==
            0) {
            if (tabConSoubory->currentIndex() != i) {
                selectingTab_ = true;
                tabConSoubory->setCurrentIndex(i);
                selectingTab_ = false;
            }
            break;
        }
}

void TfrmTorvane::CreateEditor(const QString& name, bool isNew, Assembler assembler) {
    const QString fileName = isNew ? name : AbsoluteName(name);
    if (WindowExists(fileName)) {
        MessageDlgCz(FormatCz(text::kAlreadyOpen, fileName), MsgKind::Information, mbOK, mbOK);
        ZobrazOkno(fileName);
        return;
    }
    const bool first = EditWindows().isEmpty();
    selectingTab_ = true;
    tabConSoubory->setCurrentIndex(tabConSoubory->addTab(fileName));
    selectingTab_ = false;
    if (first) EnableEditorAct(true);

    auto* win = new TEditWin(*this, fileName);
    win->sMemo->Commands().OnPrintSelection = [this, win] { PrintDocument(*win, false); };
    QMdiSubWindow* sub = mdiArea->addSubWindow(win);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(fileName);
    sub->showMaximized();
    mdiArea->setActiveSubWindow(sub);

    if (isNew) {
        win->SetHighlighter(assembler);
    } else {
        if (platform::FileExists(Native(fileName))) {
            QString error;
            if (!win->sMemo->LoadFromFile(fileName, &error)) {
                // An empty document under the name of a file that could not
                // be read would overwrite it on the next save: close it.
                MessageDlgCz(error, MsgKind::Error, mbOK, mbOK);
                win->CloseApproved();
                return;
            }
        }
        TakeStamp(*win);
        win->SetHighlighter(GetCompiler());
    }
    sMemoNastav(*win);
    win->sMemoChange();
    UpdateTitle();
}

bool TfrmTorvane::SaveFile(const QString& name) {
    TEditWin* win = ActiveEditWin();
    if (!win) return false;
    const QString fileName = AbsoluteName(name);
    if (fileName == win->FileName && !CheckOutsideChange(*win, true)) return false;
    QString error;
    int code = 0;
    if (!win->sMemo->SaveToFile(fileName, &error, &code)) {
        MessageDlgCz(SaveFailureText(fileName, code, error), MsgKind::Error, mbOK, mbOK);
        return false;
    }
    ForgetRecovery(*win);
    actPrelozit->setEnabled(true);
    const int tab = tabConSoubory->currentIndex();
    win->FileName = fileName;
    win->setWindowTitle(fileName);
    if (QMdiSubWindow* sub = SubWindowOf(win)) sub->setWindowTitle(fileName);
    if (tab >= 0) tabConSoubory->setTabText(tab, fileName);
    TakeStamp(*win);
    win->sMemoChange();
    UpdateTitle();
    return true;
}

Assembler TfrmTorvane::GetCompiler() const {
    TEditWin* win = ActiveEditWin();
    // A marker is short, so the store's first node holds the whole of it.
    return win ? build::AssemblerOfFirstLine(win->sMemo->Store().LineText(0)) : Assembler::None;
}

void TfrmTorvane::sMemoNastav(TEditWin& win) {
    TTessary& memo = *win.sMemo;
    memo.Tag = 0;
    memo.ApplyEditorSettings(
        QString::fromLocal8Bit(settings_->ReadString("Editor", "FontName", "Courier New")), FontSizeSetting(),
        TabColumnsSetting());
    memo.Tag = 1;
}

int TfrmTorvane::FontSizeSetting() {
    constexpr int kDefault = 10, kLargest = 200;
    const int size = settings_->ReadInteger("Editor", "FontSize", kDefault);
    if (size > 0 && size <= kLargest) return size;
    // A size of 0 would give characters no width to lay the text out by.
    appEventsHint(QString::fromUtf8(text::kBadSetting)
                      .arg(QStringLiteral("FontSize"), QString::number(size), QString::number(kDefault)));
    return kDefault;
}

QString TfrmTorvane::TabColumnsSetting() {
    static constexpr char kDefault[] = "15 21 60";
    const QString columns = QString::fromLocal8Bit(settings_->ReadString("Editor", "TabColumns", kDefault));
    if (ValidTabColumns(columns)) return columns;
    // A hand-edited settings file must not stop the editor: the default
    // stands in, and the status bar says so.
    appEventsHint(QString::fromUtf8(text::kBadSetting)
                      .arg(QStringLiteral("TabColumns"), columns, QString::fromLatin1(kDefault)));
    return QString::fromLatin1(kDefault);
}

void TfrmTorvane::FocusEditor() {
    if (TEditWin* win = ActiveEditWin()) win->sMemo->setFocus(Qt::OtherFocusReason);
}

void TfrmTorvane::EnableEditorAct(bool enabled) {
    mnItmZalamovat->setEnabled(enabled);
    if (!enabled) mnItmZalamovat->setChecked(false);
    for (QAction* a :
         {actUlozit, actUlozitJako, actExportHTML, actExportRTF, actTisk, actZavrit, actZavritVse, actVlozit,
          actNajit, actNajitDalsi, actNahradit, actPrelozit, actVybratVse})
        a->setEnabled(enabled);
    for (QAction* item : mnItmHighlight)
        item->setEnabled(enabled);
    actNastaveniZvyrazneni->setEnabled(enabled);
    tlbTabs->setVisible(enabled);
    if (!enabled)
        for (QAction* a : {actKopirovat, actVyjmout, actZpet, actZnovu, actComment, actUnComment})
            a->setEnabled(false);
}

void TfrmTorvane::SetStatusText(int index, const QString& text) {
    QLabel* panel = StatusPanel(index);
    panel->setText(text);
    const bool fixed = panel->minimumWidth() == panel->maximumWidth();
    const int needed = panel->sizeHint().width();
    if (fixed && needed > panel->maximumWidth()) panel->setFixedWidth(needed);
}

void TfrmTorvane::ClearStatusPanels() {
    for (QLabel* panel : panels_)
        panel->clear();
}

void TfrmTorvane::CheckHighlightItem(Assembler assembler) {
    for (QAction* item : mnItmHighlight)
        if (item->data().toInt() == platform::IndexOf(assembler) + 1) item->setChecked(true);
}

void TfrmTorvane::SelectTab(const QString& fileName) {
    for (int i = 0; i < tabConSoubory->count(); ++i)
        if (tabConSoubory->tabText(i) == fileName) {
            if (tabConSoubory->currentIndex() != i) {
                selectingTab_ = true;
                tabConSoubory->setCurrentIndex(i);
                selectingTab_ = false;
            }
            return;
        }
}

void TfrmTorvane::RemoveTab(const QString& fileName) {
    for (int i = 0; i < tabConSoubory->count(); ++i)
        if (tabConSoubory->tabText(i) == fileName) {
            tabConSoubory->removeTab(i);
            return;
        }
}

void TfrmTorvane::UpdateTitle() {
    const TEditWin* win = ActiveEditWin();
    const QString app = QString::fromUtf8(text::kAppTitle);
    setWindowTitle(win ? app + QStringLiteral(" - [") + win->FileName + QLatin1Char(']') : app);
}

MsgButton TfrmTorvane::MessageDlgCz(const QString& text, MsgKind kind, MsgButtons buttons,
                                    MsgButton defaultButton) {
    const MsgButton answer = dialogs_.MessageDlgCz(this, text, kind, buttons, 0, defaultButton);
    FocusEditor();
    return answer;
}

// ---- start and hand-over ------------------------------------------------------

void TfrmTorvane::OpenCommandLineFile(const QString& argument) {
    const QString name = AbsoluteName(argument);
    if (name.isEmpty() || !platform::FileExists(Native(name))) return;
    CreateEditor(name, false);
    PridejHistorii(name);
    NactiHistorii(mnItmHistorie);
}

void TfrmTorvane::HandleCopyData(const platform::CopyDataRecord& record) {
    // The name is NUL-terminated inside cbData bytes; never read past them.
    // After it may come the sender's current folder, NUL-terminated too: a
    // relative name means a file there, not in this process's folder.
    const auto* bytes = reinterpret_cast<const char*>(record.bytes.data());
    const size_t size = record.bytes.size();
    const size_t length = strnlen(bytes, size);
    if (length == 0) return;
    QString folder;
    if (length + 1 < size) {
        const size_t folderLength = strnlen(bytes + length + 1, size - length - 1);
        folder = QFile::decodeName(QByteArray(bytes + length + 1, static_cast<qsizetype>(folderLength)));
    }
    const QString name =
        AbsoluteName(QFile::decodeName(QByteArray(bytes, static_cast<qsizetype>(length))), folder);
    if (!platform::FileExists(Native(name))) return;
    BringToForeground();
    CreateEditor(name, false);
    // The main menu's list is not rebuilt here; the toolbar's drop-down
    // rebuilds itself when it opens.
    PridejHistorii(name);
}

void TfrmTorvane::BringToForeground() {
    if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

// ---- flows ------------------------------------------------------------------

void TfrmTorvane::actNovyExecute() {
    const std::optional<Assembler> assembler =
        dialogs_.ChooseAssembler(this, QString::fromUtf8(text::kNovySCaption));
    if (!assembler) return;
    QStringList names;
    for (const TEditWin* win : EditWindows())
        names << win->FileName;
    CreateEditor(UntitledName(names), true, *assembler);
    if (*assembler != Assembler::None)
        if (TEditWin* win = ActiveEditWin()) win->sMemo->AppendLine(platform::FactsOf(*assembler).marker);
}

void TfrmTorvane::actOtevritExecute() {
    const std::string dataDir = settings_->ReadString("Paths", "Data", "");
    OpenFiles(dialogs_.OpenFileNames(this, QString::fromLocal8Bit(dataDir)));
}

void TfrmTorvane::OpenFiles(const QStringList& files) {
    for (const QString& file : files) {
        CreateEditor(file, false);
        PridejHistorii(file);
    }
    if (!files.isEmpty()) NactiHistorii(mnItmHistorie);
}

void TfrmTorvane::NactiHistorii(QMenu* menu) {
    menu->clear();
    for (const HistoryEntry& entry : HistoryEntries(*settings_)) {
        const QString path = QString::fromLocal8Bit(entry.path);
        QString caption = QString::fromLocal8Bit(entry.caption);
        QAction* item = menu->addAction(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, path] { HistorieClick(path); });
    }
}

void TfrmTorvane::PridejHistorii(const QString& fileName) {
    AddToHistory(*settings_, AbsoluteName(fileName).toLocal8Bit().toStdString());
}

void TfrmTorvane::HistorieClick(const QString& fileName) {
    if (!platform::FileExists(Native(fileName))) {
        MessageDlgCz(FormatCz(text::kNoSuchFile, fileName), MsgKind::Error, mbOK, mbOK);
        return;
    }
    CreateEditor(fileName, false);
    QDir::setCurrent(QFileInfo(fileName).absolutePath());
    PridejHistorii(fileName);
    NactiHistorii(mnItmHistorie);
}

void TfrmTorvane::actUlozitExecute() {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    if (IsUntitled(win->FileName))
        actUlozitJakoExecute();
    else
        SaveFile(win->FileName);
}

bool TfrmTorvane::SaveAsNameMayClose(const SaveChoice& choice) {
    return NameMayBeWritten(WithDefaultExtension(choice.fileName, choice.filterIndex));
}

bool TfrmTorvane::NameMayBeWritten(const QString& name) {
    for (const TEditWin* win : EditWindows())
        if (win->FileName.compare(name, Qt::CaseInsensitive) == 0) {
            MessageDlgCz(FormatCz(text::kNameInUse, name), MsgKind::Error, mbOK, mbOK);
            return false;
        }
    if (platform::FileExists(Native(name)))
        return MessageDlgCz(FormatCz(text::kOverwrite, name), MsgKind::Confirmation, mbYes | mbNo, mbNo) ==
               mbYes;
    return true;
}

void TfrmTorvane::actUlozitJakoExecute() {
    if (!ActiveEditWin()) return;
    const std::optional<SaveChoice> choice =
        dialogs_.SaveFileName(this, [this](const SaveChoice& c) { return SaveAsNameMayClose(c); });
    if (choice) SaveFile(WithDefaultExtension(choice->fileName, choice->filterIndex));
    FocusEditor();
}

void TfrmTorvane::actZavritExecute() {
    if (QMdiSubWindow* sub = mdiArea->currentSubWindow()) sub->close();
}

void TfrmTorvane::actZavritVseExecute() {
    for (int i = tabConSoubory->count() - 1; i >= 0; --i) {
        if (i >= tabConSoubory->count()) continue;
        ZobrazOkno(tabConSoubory->tabText(i));
        actZavritExecute();
    }
}

void TfrmTorvane::closeEvent(QCloseEvent* event) {
    // The running build holds the document window; the user can stop it first.
    if (building_) {
        event->ignore();
        return;
    }
    const QList<TEditWin*> windows = EditWindows();
    for (TEditWin* win : windows)
        if (!win->FormCloseQuery()) {
            event->ignore();
            return;
        }
    for (TEditWin* win : windows)
        win->CloseApproved();
    // A clean end: nothing is left to recover.
    if (recovery_) recovery_->RemoveOwn();
    event->accept();
}

// ---- editing commands ---------------------------------------------------------

void TfrmTorvane::actZpetExecute() {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    if (const int32_t kind = win->sMemo->UndoStep()) SetStepHint(actZpet, text::kUndoHintPrefix, kind);
}

void TfrmTorvane::actZnovuExecute() {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    if (const int32_t kind = win->sMemo->RedoStep()) SetStepHint(actZnovu, text::kRedoHintPrefix, kind);
}

void TfrmTorvane::SetStepHint(QAction* action, const char* prefix, int kind) {
    // Kinds without a name (the comment commands' 34, indenting ...) have
    // no text: the hint stays as it was.
    const std::optional<QString> name = UndoKindName(kind);
    if (!name) return;
    const QString hint = QString::fromUtf8(prefix) + *name;
    action->setStatusTip(hint);
    action->setToolTip(hint);
}

void TfrmTorvane::actKopirovatExecute() {
    if (TEditWin* win = ActiveEditWin()) win->sMemo->Copy();
}

void TfrmTorvane::actVyjmoutExecute() {
    if (TEditWin* win = ActiveEditWin()) win->sMemo->Cut();
}

void TfrmTorvane::actVlozitExecute() {
    if (TEditWin* win = ActiveEditWin()) win->sMemo->Paste();
}

void TfrmTorvane::actVybratVseExecute() {
    if (TEditWin* win = ActiveEditWin()) win->sMemo->SelectAll();
}

// ---- windows ------------------------------------------------------------------

void TfrmTorvane::actKaskadaExecute() {
    mdiArea->cascadeSubWindows();
}

void TfrmTorvane::actHorizontalneExecute() {
    TileWindows(Qt::Horizontal);
}

void TfrmTorvane::actVertikalneExecute() {
    TileWindows(Qt::Vertical);
}

void TfrmTorvane::TileWindows(Qt::Orientation orientation) {
    // Horizontal tiling stacks the windows one above the other, each as wide
    // as the frame; vertical tiling puts them side by side.
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : mdiArea->subWindowList())
        if (!sub->isMinimized()) subs << sub;
    if (subs.isEmpty()) return;
    const QRect area = mdiArea->viewport()->rect();
    const int n = static_cast<int>(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = subs[i];
        sub->showNormal();
        if (orientation == Qt::Horizontal) {
            const int h = area.height() / n;
            sub->setGeometry(0, i * h, area.width(), i + 1 == n ? area.height() - i * h : h);
        } else {
            const int w = area.width() / n;
            sub->setGeometry(i * w, 0, i + 1 == n ? area.width() - i * w : w, area.height());
        }
    }
}

void TfrmTorvane::RebuildWindowMenu() {
    for (QAction* a : windowListActions_) {
        mnuOkno_->removeAction(a);
        a->deleteLater();
    }
    windowListActions_.clear();
    const QList<TEditWin*> windows = EditWindows();
    if (windows.isEmpty()) return;
    windowListActions_ << mnuOkno_->addSeparator();
    const TEditWin* active = ActiveEditWin();
    int number = 1;
    for (TEditWin* win : windows) {
        QAction* item = mnuOkno_->addAction(QStringLiteral("&%1 %2").arg(number++).arg(win->FileName));
        item->setCheckable(true);
        item->setChecked(win == active);
        connect(item, &QAction::triggered, this, [this, win] {
            if (QMdiSubWindow* sub = SubWindowOf(win)) mdiArea->setActiveSubWindow(sub);
        });
        windowListActions_ << item;
    }
}

void TfrmTorvane::actOprogramuExecute() {
    dialogs_.ShowAbout(this);
    FocusEditor();
}

void TfrmTorvane::actNastaveniExecute() {
    const bool accepted = dialogs_.EditSettings(this, *settings_);
    if (accepted)
        for (TEditWin* win : EditWindows())
            sMemoNastav(*win);
    FocusEditor();
}

// ---- tab strip, highlighting, hints ---------------------------------------------

void TfrmTorvane::tabConSouboryChange(int index) {
    if (selectingTab_ || index < 0) return;
    ZobrazOkno(tabConSoubory->tabText(index));
}

void TfrmTorvane::tabConSouboryMouseUp(const QPoint& pos) {
    const int index = tabConSoubory->tabAt(pos);
    if (index < 0) return;
    tabConSoubory->setCurrentIndex(index); // activates its document
    ZobrazOkno(tabConSoubory->tabText(index));
    popTab->popup(tabConSoubory->mapToGlobal(pos));
}

void TfrmTorvane::mnItmHighlightClick(QAction* item) {
    item->setChecked(true);
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    // The tag is the assembler's position plus one; an unknown tag selects nothing.
    const std::optional<Assembler> assembler = platform::AssemblerAt(item->data().toInt() - 1);
    if (!assembler) return;
    win->SetHighlighter(*assembler);
    sMemoNastav(*win);
}

void TfrmTorvane::appEventsHint(const QString& hint) {
    panels_[4]->setText(QStringLiteral("  ") + hint);
}

bool TfrmTorvane::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        appEventsHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmTorvane::OnSubWindowActivated(QMdiSubWindow* sub) {
    if (!sub) {
        UpdateTitle();
        return;
    }
    if (auto* win = qobject_cast<TEditWin*>(sub->widget())) {
        win->FormActivate();
        mnItmZalamovat->setChecked((win->sMemo->Control().Options() & smoWordWrap) != 0);
        CheckOutsideChange(*win, false);
    }
}

void TfrmTorvane::mnItmZalamovatClick(bool checked) {
    TEditWin* win = ActiveEditWin();
    if (!win) return;
    editor::TCustomTessary& control = win->sMemo->Control();
    control.SetOptions(checked ? control.Options() | smoWordWrap
                               : control.Options() & ~uint32_t{smoWordWrap});
}

} // namespace torvane::app
