#pragma once
// TfrmNajit: the find and replace dialog, created once and reused so that its
// two histories last for the whole run. The searching is the editor's; the
// dialog decides what to pass to it and drives replacing.

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace torvane::app {

// What the dialog needs of an editor. Offsets are character offsets into the
// stored text; every stored byte is one character, so the lengths of these
// texts are lengths in the text too (the adapter maps the bytes).
class SearchTarget {
public:
    virtual ~SearchTarget() = default;
    // Remembers text and flags for FindAgain and searches from the caret;
    // on success *position is the match's offset. Raises no event itself.
    virtual bool FindText(const QString& text, int flags, int* position) = 0;
    // Repeats the remembered search and selects its match; raises the
    // search-failure event when nothing is found; false without a search.
    virtual bool FindAgain() = 0;
    virtual QString SelText() = 0;
    virtual void SetSelText(const QString& text) = 0;
    virtual int SelStart() = 0;
    virtual int SelLength() = 0;
    virtual void SetSelection(int start, int length) = 0;
    virtual void MoveCaret(int offset) = 0;
    virtual int TextLength() = 0;
    virtual int CaretOffset() = 0;
    virtual QString GetTokenAt(int offset) = 0;
    virtual void BeginUpdate() = 0;
    virtual void EndUpdate() = 0;
    // The editor's search-failure event (the document window's message).
    virtual void SearchFailed(const QString& text) = 0;
    // The document window's change handler on (tag 1) or off (tag 0).
    virtual void SetChangeHandlerEnabled(bool enabled) = 0;
};

// Answers of the replace confirmation.
enum class ReplaceAnswer { Yes, No, Cancel, YesToAll };

class TfrmNajit : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Find, Replace };
    // Results of the dialog besides Accepted (OK) and Rejected (cancel).
    static constexpr int ResultAll = 2;

    // Search option bits passed to the editor.
    static constexpr int kSelectMatch = 0x08;
    static constexpr int kMatchCase = 0x10;
    static constexpr int kWholeWord = 0x40;
    static constexpr int kBackwards = 0x80;

    explicit TfrmNajit(QWidget* owner = nullptr);

    // Asks "Nahradit za "X"?"; withAll adds "Ano vše&m". Tests replace it.
    std::function<ReplaceAnswer(const QString& question, bool withAll)> askReplace;
    // Shows the dialog modally and returns its result; tests replace it to
    // set the controls and close it with a chosen result.
    std::function<int(TfrmNajit&)> run;

    void Hledat(SearchTarget& editor);
    void HledatDalsi(SearchTarget& editor);
    void Nahradit(SearchTarget& editor);
    bool Najit(const QString& text, int flags, SearchTarget& editor);

    int Flags() const noexcept { return flags_; }
    Mode CurrentMode() const noexcept { return mode_; }
    void SetMode(Mode mode);

    QComboBox* cbHledat = nullptr;
    QComboBox* cbNahradit = nullptr;
    QLabel* lblNahradit = nullptr;
    QGroupBox* grpMoznosti = nullptr;
    QCheckBox* chkCase = nullptr;
    QCheckBox* chkWord = nullptr;
    QCheckBox* chkOdZacatku = nullptr;
    QCheckBox* chkPotvrzovat = nullptr;
    QRadioButton* rbNahoru = nullptr;
    QRadioButton* rbDolu = nullptr;
    QPushButton* btnNahraditVse = nullptr;
    QPushButton* btnHledat = nullptr;
    QPushButton* btnZavrit = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Closing with any result but cancel adds the texts to the histories.
    void done(int result) override;

private:
    void UpdateFlags();
    void UpdateButtons();
    void ApplyLayout();
    void Replace(SearchTarget& editor, int result);

    Mode mode_ = Mode::Find;
    int flags_ = kSelectMatch;
    QComboBox* lastFocus_ = nullptr;
};

// Trims blanks and control characters from both ends (the proposed search text).
QString TrimBlanksAndControls(const QString& text);

} // namespace torvane::app
