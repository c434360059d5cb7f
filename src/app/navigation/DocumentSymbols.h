#pragma once
// What navigation needs to know about open documents: the dialect a document
// is written in, its text as the scanner reads it, and include files read
// from the editor when they are open (so unsaved edits count), else from disk.

#include "symbols/SymbolTable.h"

#include <QString>

#include <string>
#include <vector>

namespace torvane::app {

class TEditWin;
class TfrmTorvane;

// The dialect of a document: from its highlighting, else from the dialect it
// was opened for (an include reached from a source), else guessed from the
// text ("." directives mean AVR).
symbols::TDialect DialectOf(TEditWin& win);
// Remembers the dialect of an include opened from a source of that dialect.
void SetDialect(TEditWin& win, symbols::TDialect dialect);

// The kind as the outline and the tooltips show it.
QString KindText(symbols::TSymbolKind kind);

// The document's file name in the file system's encoding, empty for an
// untitled document.
std::string DocumentPath(const TEditWin& win);

class TOpenDocuments final : public symbols::TSourceFiles {
public:
    explicit TOpenDocuments(TfrmTorvane& main) : main_(main) {}
    std::string Identity(const std::string& path) override { return disk_.Identity(path); }
    std::optional<uint64_t> FileSize(const std::string& path) override;
    bool Read(const std::string& path, std::string& bytes) override;
    // The open document of that file, or null.
    TEditWin* Document(const std::string& path);

private:
    TfrmTorvane& main_;
    symbols::TDiskFiles disk_;
};

// Scans a document and its includes with the include folders the build
// uses for its dialect.
symbols::TSymbolTable ScanDocument(TfrmTorvane& main, TEditWin& win, symbols::TSourceFiles& files);

// Line `line` (0-based) of a text with any line ends.
std::string LineOfText(std::string_view text, int32_t line);

} // namespace torvane::app
