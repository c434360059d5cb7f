#pragma once
// SourceView: the editor area of a document window until the editor control
// takes its place. The document's bytes live in a TTextStore; opening and
// saving go through the store, and every edit made in the view is applied to
// the store as it happens, so the store always holds what the user sees.
// The view shows the bytes through the Windows-1250 table; a typed character
// without a byte in that code page is refused with a beep.
//
// Positions map one to one: the view counts a line break as one character,
// as the store does, and every Windows-1250 character is one UTF-16 unit.

#include <QColor>
#include <QPlainTextEdit>

#include <memory>
#include <optional>
#include <string>

namespace torvane::editor {
class TTextStore;
}

namespace torvane::app {

// What a change notification carries (a set of these bits).
enum ChangeKind : unsigned {
    ckNone = 0,
    ckText = 1u << 0,  // the text changed
    ckCaret = 1u << 1, // the caret moved
    ckMode = 1u << 2,  // insert/overwrite mode switched
};
using ChangeKinds = unsigned;

class SourceView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit SourceView(QWidget* parent = nullptr);
    ~SourceView() override;

    editor::TTextStore& Store() { return *store_; }

    // Replaces the text by the file's bytes (any line ends). False with a
    // message when the file cannot be read; the text is then unchanged.
    bool LoadFromFile(const QString& path, QString* error);
    // Writes the text safely (CR LF line ends); on success the document is
    // unmodified. On failure the file on disk and the modified state are
    // unchanged.
    bool SaveToFile(const QString& path, QString* error);

    bool Modified() const;
    int LineCount() const;                      // at least 1
    std::string LineBytes(int lineIndex) const; // 0-based line, without its break
    void AppendLine(const std::string& bytes);  // adds a line at the end (undoable, modifies)
    void InsertFirstLine(const std::string& bytes);

    int CaretLine() const;   // 1-based
    int CaretColumn() const; // 1-based
    int SelLength() const;
    bool InsertMode() const { return !overwriteMode(); }
    bool CanUndo() const { return canUndo_; }
    bool CanRedo() const { return canRedo_; }

    void SetCaret(int line, int column); // 1-based, clamped to the text
    int TopLine() const;                 // 1-based
    void SetTopLine(int line);           // as far as the view can scroll
    // Background mark of a line (1-based); an invalid colour removes it.
    void SetLineColor(int line, const QColor& color);
    std::optional<int> MarkedLine() const;

    // Font, size and tab columns ("15 21 60") from the settings.
    void ApplyEditorSettings(const QString& fontName, int fontSize, const QString& tabColumns);

    // While 0 the owner ignores change notifications (settings being applied).
    int Tag = 1;

signals:
    void Changed(torvane::app::ChangeKinds kinds);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void OnContentsChange(int position, int charsRemoved, int charsAdded);
    void ShowStoreText();
    void UpdateMarks();

    std::unique_ptr<editor::TTextStore> store_;
    bool syncing_ = false; // the view is being filled from the store
    bool canUndo_ = false;
    bool canRedo_ = false;
    bool savedUndoAvailable_ = false;
    std::optional<int> markedLine_;
    QColor markColor_;
};

} // namespace torvane::app
