#pragma once
// Tisk: the print option bits of the scheme and black-and-white printing.
// Tabulátory: the tab default and the tab columns, the latter typed as
// 1-based columns in ascending order ("15 21 60").

#include "app/dialogs/OptionsPage.h"

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace torvane::app {

class TPrintPage final : public TOptionsPage {
    Q_OBJECT
public:
    explicit TPrintPage(QWidget* parent = nullptr);
    void Load(const TTE_Settings& settings) override;
    bool Commit(TTE_Settings& settings, QString& error) override;

    std::array<QCheckBox*, 5> chkOptions{}; // wrap, line numbers, file name, date, page numbers
    QCheckBox* chkMonoPrint;
};

class TTabsPage final : public TOptionsPage {
    Q_OBJECT
public:
    static constexpr int kMaxTabDefault = 64;
    static constexpr int kMaxColumn = 1024;

    explicit TTabsPage(QWidget* parent = nullptr);
    void Load(const TTE_Settings& settings) override;
    bool Commit(TTE_Settings& settings, QString& error) override;

    // The 0-based columns of a text of 1-based ones; nothing (with the
    // reason) unless they are whole numbers 1..kMaxColumn in ascending
    // order and no more than the settings hold.
    static std::optional<std::vector<int>> ParseColumns(const QString& text, QString& error);

    QSpinBox* spnTabDefault;
    QLineEdit* edtColumns;
};

} // namespace torvane::app
