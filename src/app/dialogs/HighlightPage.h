#pragma once
// Zvýraznění: the scheme's editable styles by name; for the chosen one the
// font style bits and the text and background colours, each colour with its
// "default" flag (paint with style 0's colour). Changes go straight into the
// working copy, so the dialog's preview follows them.

#include "app/dialogs/OptionsPage.h"

#include <array>
#include <cstdint>

class QCheckBox;
class QListWidget;

namespace torvane::app {

class TColorButton;

class THighlightPage final : public TOptionsPage {
    Q_OBJECT
public:
    explicit THighlightPage(TTE_Settings& settings, QWidget* parent = nullptr);
    void Load(const TTE_Settings& settings) override;
    bool Commit(TTE_Settings&, QString&) override { return true; }

    // Chooses the editable style with that name; false when the scheme has none.
    bool SelectStyle(const QString& name);

    QListWidget* lstStyles;
    std::array<QCheckBox*, 4> chkFontStyle{}; // bold, italic, underline, strike-out
    TColorButton* btnForeground;
    TColorButton* btnBackground;
    QCheckBox* chkFgDefault;
    QCheckBox* chkBgDefault;

private:
    void ShowStyle();
    void StoreStyle();
    int CurrentStyleId() const;

    TTE_Settings& settings_;
    bool showing_ = false;
};

} // namespace torvane::app
