#pragma once
// Klávesy: every command of the key map by name with all its bindings, the
// key-assignment wizard, removal of a binding and a return to the scheme's
// own map. Changes go straight into the working copy's key map; a key that
// is already taken is refused with the key map's own message.

#include "app/dialogs/OptionsPage.h"
#include "highlight/ShortCut.h"

#include <QDialog>

#include <optional>
#include <utility>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace torvane::app {

// Records one key, or a sequence of two, by having the user press it.
class TKeyWizard final : public QDialog {
    Q_OBJECT
public:
    explicit TKeyWizard(const QString& commandName, QWidget* parent = nullptr);
    // The recorded keys; nothing before the first key.
    std::optional<std::pair<TShortCut, TShortCut>> Keys() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Record(TShortCut key);

    QLabel* lblKeys_;
    QPushButton* btnOk_;
    TShortCut first_ = 0, second_ = 0;
};

class TKeysPage final : public TOptionsPage {
    Q_OBJECT
public:
    // defaults: the key map to return to (the scheme's as compiled); null:
    // the program's default map.
    TKeysPage(TTE_Settings& settings, const TTE_Settings* defaults, QWidget* parent = nullptr);
    void Load(const TTE_Settings& settings) override;
    bool Commit(TTE_Settings&, QString&) override { return true; }

    // Binds the keys to the command; false with the conflict shown when the
    // keys are taken (the map is then unchanged).
    bool AssignKeys(int32_t command, TShortCut first, TShortCut second);
    // Selects the command's row; false when the map names no such command.
    bool SelectCommand(int32_t command);
    // "Ctrl+K Q"; a single key alone.
    static QString KeysText(TShortCut first, TShortCut second);

    QTreeWidget* treeCommands;
    QPushButton* btnAssign;
    QPushButton* btnRemove;
    QPushButton* btnResetMap;
    QLabel* lblConflict;

private:
    int32_t SelectedCommand() const;
    void RunWizard();
    void RemoveSelected();
    void ResetMap();

    TTE_Settings& settings_;
    const TTE_Settings* defaults_;
};

} // namespace torvane::app
