#include "app/dialogs/KeysPage.h"

#include "editor/qt/TessaryWidget.h"
#include "highlight/Settings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace torvane::app {
namespace {

constexpr int kFirstRole = Qt::UserRole, kSecondRole = Qt::UserRole + 1;

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

} // namespace

TKeyWizard::TKeyWizard(const QString& commandName, QWidget* parent)
    : QDialog(parent), lblKeys_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Přiřazení klávesy"));
    auto* prompt = new QLabel(
        QStringLiteral("Stiskněte klávesu nebo dvojici kláves pro příkaz „%1“.").arg(commandName), this);
    prompt->setWordWrap(true);
    lblKeys_->setObjectName(QStringLiteral("lblKeys"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOk_ = buttons->button(QDialogButtonBox::Ok);
    btnOk_->setEnabled(false);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("S&torno"));
    // Keys are what is recorded here: no button may take them.
    for (QAbstractButton* b : buttons->buttons())
        b->setFocusPolicy(Qt::NoFocus);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(lblKeys_);
    layout->addWidget(buttons);
    setFocusPolicy(Qt::StrongFocus);
    installEventFilter(this);
}

bool TKeyWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept(); // Return, Escape and the like are keys to record too
        return true;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (!IsModifierKey(key.key())) {
        TShortCut shortCut = editor::qt::TessaryWidget::ShortCutOf(key);
        if (!shortCut) shortCut = editor::qt::TessaryWidget::PunctuationShortCutOf(key);
        if (shortCut) Record(shortCut);
    }
    return true;
}

void TKeyWizard::Record(TShortCut key) {
    // A third key starts over: the map holds at most two.
    if (!first_ || second_) {
        first_ = key;
        second_ = 0;
    } else {
        second_ = key;
    }
    lblKeys_->setText(TKeysPage::KeysText(first_, second_));
    btnOk_->setEnabled(true);
}

std::optional<std::pair<TShortCut, TShortCut>> TKeyWizard::Keys() const {
    if (!first_) return std::nullopt;
    return std::pair{first_, second_};
}

TKeysPage::TKeysPage(TTE_Settings& settings, const TTE_Settings* defaults, QWidget* parent)
    : TOptionsPage(parent), treeCommands(new QTreeWidget(this)),
      btnAssign(new QPushButton(QStringLiteral("&Přiřadit klávesu ..."), this)),
      btnRemove(new QPushButton(QStringLiteral("&Odebrat klávesu"), this)),
      btnResetMap(new QPushButton(QStringLiteral("Vý&chozí klávesy"), this)), lblConflict(new QLabel(this)),
      settings_(settings), defaults_(defaults) {
    treeCommands->setObjectName(QStringLiteral("treeCommands"));
    treeCommands->setHeaderLabels({QStringLiteral("Příkaz")});
    lblConflict->setObjectName(QStringLiteral("lblConflict"));
    lblConflict->setWordWrap(true);
    lblConflict->setStyleSheet(QStringLiteral("color: #b00000"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnAssign);
    buttons->addWidget(btnRemove);
    buttons->addWidget(btnResetMap);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(treeCommands, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(lblConflict);

    connect(btnAssign, &QPushButton::clicked, this, &TKeysPage::RunWizard);
    connect(btnRemove, &QPushButton::clicked, this, &TKeysPage::RemoveSelected);
    connect(btnResetMap, &QPushButton::clicked, this, &TKeysPage::ResetMap);
}

QString TKeysPage::KeysText(TShortCut first, TShortCut second) {
    QString text = QString::fromStdString(ShortCutToText(first));
    if (second) text += QLatin1Char(' ') + QString::fromStdString(ShortCutToText(second));
    return text;
}

void TKeysPage::Load(const TTE_Settings&) {
    const int32_t selected = SelectedCommand();
    treeCommands->clear();
    TKeyboardActionContoller& map = settings_.KeyMap();
    for (const auto& [code, name] : map.Names()) {
        auto* item = new QTreeWidgetItem(treeCommands, {OptionsText(name)});
        item->setData(0, Qt::UserRole, code);
        for (auto keys = map.FindKeys(code); keys.first; keys = map.FindNextKeys(code)) {
            auto* binding = new QTreeWidgetItem(item, {KeysText(keys.first, keys.second)});
            binding->setData(0, kFirstRole, keys.first);
            binding->setData(0, kSecondRole, keys.second);
        }
    }
    treeCommands->expandAll();
    if (selected >= 0) SelectCommand(selected);
}

bool TKeysPage::SelectCommand(int32_t command) {
    for (int i = 0; i < treeCommands->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = treeCommands->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == command) {
            treeCommands->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

int32_t TKeysPage::SelectedCommand() const {
    QTreeWidgetItem* item = treeCommands->currentItem();
    if (item && item->parent()) item = item->parent();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

bool TKeysPage::AssignKeys(int32_t command, TShortCut first, TShortCut second) {
    try {
        settings_.KeyMap().AddKey(first, second, command);
    } catch (const std::exception& e) {
        lblConflict->setText(OptionsText(e.what()));
        return false;
    }
    lblConflict->clear();
    Load(settings_);
    SelectCommand(command);
    return true;
}

void TKeysPage::RunWizard() {
    const int32_t command = SelectedCommand();
    if (command < 0) return;
    TKeyWizard wizard(treeCommands->currentItem()->text(0), this);
    if (wizard.exec() != QDialog::Accepted || !wizard.Keys()) return;
    AssignKeys(command, wizard.Keys()->first, wizard.Keys()->second);
}

void TKeysPage::RemoveSelected() {
    const QTreeWidgetItem* item = treeCommands->currentItem();
    if (!item || !item->parent()) return;
    const auto first = static_cast<TShortCut>(item->data(0, kFirstRole).toUInt());
    const auto second = static_cast<TShortCut>(item->data(0, kSecondRole).toUInt());
    const int32_t command = SelectedCommand();
    // The map has no removal of its own: it is rebuilt without the binding.
    TKeyboardActionContoller& map = settings_.KeyMap();
    const auto bindings = map.AllBindings();
    const auto names = map.Names();
    map.Clear();
    for (const auto& [code, name] : names)
        map.SetName(code, name);
    for (const auto& b : bindings)
        if (!(b.first == first && b.second == second && b.code == command))
            map.AddKey(b.first, b.second, b.code);
    lblConflict->clear();
    Load(settings_);
}

void TKeysPage::ResetMap() {
    if (defaults_)
        settings_.KeyMap().Assign(defaults_->KeyMap());
    else
        settings_.KeyMap().LoadDefaults();
    lblConflict->clear();
    Load(settings_);
}

} // namespace torvane::app
