#pragma once
// TTessary: the editor of a document window. It composes the editor view
// (TessaryWidget, which holds the control, its commands, the re-highlighter
// and the slice timer) and sets only what is the document's: fonts,
// colours, the option set of the document window and the parser whose
// scheme highlights the text. Every piece of editor state lives in the
// control (View().Control()); this class keeps only the line marked after
// a failed build.
//
// Changed is the control's change report: every change made through the
// control (keys, its messages and typed operations, find and replace) is
// reported when it is done. An application command of several steps runs
// them in one batch of the control (TCustomTessary::Batch), so it is
// reported once, at its end.

#include "editor/ParserAdapter.h"
#include "editor/Printing.h"
#include "editor/Tessary.h"
#include "editor/TessaryCommands.h"
#include "editor/qt/TessaryWidget.h"

#include <QWidget>

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

class TTessary : public QWidget {
    Q_OBJECT
public:
    explicit TTessary(QWidget* parent = nullptr);
    ~TTessary() override;

    editor::qt::TessaryWidget& View() noexcept { return *view_; }
    editor::TCustomTessary& Control() noexcept { return view_->Control(); }
    const editor::TCustomTessary& Control() const noexcept { return view_->Control(); }
    editor::TTessaryCommands& Commands() noexcept { return view_->Commands(); }
    editor::TTextStore& Store() noexcept { return Control().Store(); }

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
    // *errorCode: the system's error number of a failed save (0 when unknown).
    bool SaveToFile(const QString& path, QString* error, int* errorCode = nullptr);
    // Writes the whole text as RTF or HTML in its current highlighting; the
    // document stays as it is. False with the reason when it cannot.
    bool ExportToFile(const QString& path, editor::TSaveFormat format, QString* error);

    bool Modified() const { return Control().Modified(); }
    int LineCount() const { return Control().Store().LineCount(); }
    std::string LineBytes(int lineIndex) const; // 0-based line, without its break
    void AppendLine(const std::string& bytes);  // adds a line at the end (undoable)
    void InsertFirstLine(const std::string& bytes);

    int CaretLine() const;   // 1-based
    int CaretColumn() const; // 1-based display column
    // The character code at the caret, 0 at the end of its line.
    int CaretCharCode() const;
    // As plain text is written: a line break inside the selection counts 2.
    int SelLength() const { return static_cast<int>(Control().SelLength()); }
    bool InsertMode() const { return Control().InsertMode(); }
    bool CanUndo() const { return Control().CanUndo(); }
    bool CanRedo() const { return Control().CanRedo(); }

    // Lines from outside the control (build messages, symbols, the outline)
    // are 1-based text lines, which a line longer than a node spans several
    // nodes of.
    int TextLineCount() const { return Control().Store().TextLineCount(); }
    void SetCaret(int line, int column); // clamped to the text
    int TopLine() const { return Control().TopLine() + 1; }
    void SetTopLine(int line); // as far as the view can scroll
    // The line highlight (style value) of a text line; -1 removes it.
    void SetLineMark(int line, int value);
    std::optional<int> MarkedLine() const { return markedLine_; }

    // Undoes (redoes) the next step of the log; steps of typing (14) and
    // deleting (15) take the adjoining steps of the same kind with them.
    // Returns the step's group kind, or 0 when there was nothing to do.
    int32_t UndoStep() { return Control().UndoStepMerged(); }
    int32_t RedoStep() { return Control().RedoStepMerged(); }

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

    // Lines wait for re-highlighting (the event loop finishes them).
    bool HighlightPending() const noexcept { return view_->HighlightPending(); }

    // While 0 the owner ignores change notifications (settings being applied).
    int Tag = 1;

signals:
    void Changed(torvane::app::ChangeKinds kinds);

private:
    editor::TLineIndex NodeOfLine(int line) const;
    // Hands the styles, font and colours shown, and the date now in the
    // system's short format, to the control's RTF and HTML writers (copy
    // with RTF and the export).
    void SyncExportLook();

    // The adapters outlive the view, which points at them.
    std::unique_ptr<editor::TParserAdapter> parserAdapter_;
    std::unique_ptr<editor::TSettingsStyleSource> styleSource_;
    editor::qt::TessaryWidget* view_; // a child widget
    std::optional<int> markedLine_;
};

} // namespace torvane::app
