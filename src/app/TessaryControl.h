#pragma once
// TTessary: the editor control of a document window, put together from the
// editor layer's parts: the Qt widget that shows and feeds it
// (TessaryWidget), the control model (TCustomTessary) with its commands
// object as the widget's input, and a re-highlighter that keeps the token
// bytes of the text current with the document's highlighting parser.
//
// Re-highlighting runs at the end of every batch of changes (the commands'
// OnChange) before the change is reported, in slices of kHighlightSlice
// lines; what a slice leaves over continues from the event loop, so a huge
// text stays responsive while it is highlighted after loading.
//
// Changes made from outside the commands object (the application's own
// commands, find and replace) are reported by calling ReportChanges().

#include "editor/ParserAdapter.h"
#include "editor/Printing.h"
#include "editor/Rehighlight.h"
#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"
#include "editor/qt/TessaryWidget.h"

#include <QTimer>

#include <memory>
#include <optional>
#include <string>

namespace torvane {
class TTessaryParser;
}

namespace torvane::app {

// What a change notification carries (a set of these bits).
enum ChangeKind : unsigned {
    ckNone = 0,
    ckText = 1u << 0,  // the text changed
    ckCaret = 1u << 1, // the caret moved or the selection changed
    ckMode = 1u << 2,  // insert/overwrite mode switched
};
using ChangeKinds = unsigned;

class TTessary : public editor::qt::TessaryWidget {
    Q_OBJECT
public:
    static constexpr int kHighlightSlice = 20000;

    explicit TTessary(QWidget* parent = nullptr);
    ~TTessary() override;

    editor::TCustomTessary& Control() noexcept { return control_; }
    editor::TTessaryCommands& Commands() noexcept { return commands_; }
    editor::TTextStore& Store() noexcept { return control_.Store(); }

    // The parser whose scheme highlights the text (nullptr: none). The
    // parser must outlive the control or be replaced first.
    void SetParser(TTessaryParser* parser);
    // The parser's scheme or styles changed: re-highlight all, repaint.
    void ReselectParser();

    // Replaces the text by the file's bytes (any line ends). False with a
    // message when the file cannot be read.
    bool LoadFromFile(const QString& path, QString* error);
    // Writes the text (CR LF line ends); on success the document is
    // unmodified. On failure the modified state is unchanged.
    bool SaveToFile(const QString& path, QString* error);

    bool Modified() const { return control_.Modified(); }
    int LineCount() const { return control_.Store().LineCount(); }
    std::string LineBytes(int lineIndex) const; // 0-based line, without its break
    void AppendLine(const std::string& bytes);  // adds a line at the end (undoable)
    void InsertFirstLine(const std::string& bytes);

    int CaretLine() const;   // 1-based
    int CaretColumn() const; // 1-based display column
    // The character code at the caret, 0 at the end of its line.
    int CaretCharCode() const;
    // As plain text is written: a line break inside the selection counts 2.
    int SelLength() const { return static_cast<int>(control_.SelLength()); }
    bool InsertMode() const { return commands_.InsertMode(); }
    bool CanUndo() const { return control_.CanUndo(); }
    bool CanRedo() const { return control_.CanRedo(); }

    void SetCaret(int line, int column); // 1-based, clamped to the text
    int TopLine() const { return control_.TopLine() + 1; }
    void SetTopLine(int line); // 1-based, as far as the view can scroll
    // The line highlight (style value) of a 1-based line; -1 removes it.
    void SetLineMark(int line, int value);
    std::optional<int> MarkedLine() const { return markedLine_; }

    // Undoes (redoes) the next step of the log; steps of typing (14) and
    // deleting (15) take the adjoining steps of the same kind with them.
    // Returns the step's group kind, or 0 when there was nothing to do.
    int32_t UndoStep();
    int32_t RedoStep();

    // Prints the selection's lines, or the whole text, with the document's
    // print options onto printer; the title heads the pages. The control is
    // repainted afterwards.
    editor::TPrintResult Print(editor::TPrinterSurface& printer, bool wholeText, const QString& title);

    void Copy();
    void Cut();
    void Paste();
    void SelectAll();

    // Font, size and tab columns ("15 21 60") from the settings, and the
    // document window's fixed option set.
    void ApplyEditorSettings(const QString& fontName, int fontSize, const QString& tabColumns);

    // Re-highlights what changed and raises Changed for what differs since
    // the last report.
    void ReportChanges() { commands_.NotifyChange(); }
    // Lines wait for re-highlighting (the event loop finishes them).
    bool HighlightPending() const noexcept { return rehighlighter_.PendingLine() >= 0; }

    // While 0 the owner ignores change notifications (settings being applied).
    int Tag = 1;

signals:
    void Changed(torvane::app::ChangeKinds kinds);

private:
    int32_t Step(bool redo);
    void Rehighlight();
    void SyncMetrics();

    editor::TCustomTessary control_;
    editor::TTessaryCommands& commands_;
    editor::TRehighlighter rehighlighter_;
    std::unique_ptr<editor::TParserAdapter> parserAdapter_;
    std::unique_ptr<editor::TSettingsStyleSource> styleSource_;
    QTimer highlightTimer_;
    std::optional<int> markedLine_;
};

} // namespace torvane::app
