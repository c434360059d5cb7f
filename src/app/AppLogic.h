#pragma once
// The rules of the application that need no window: the assembler table,
// untitled names, default extensions, message formatting and the parsing of
// build messages. Kept apart from the windows so they can be tested alone.

#include "platform/Names.h"

#include <QString>

#include <QStringList>
#include <optional>

#include <string>

namespace torvane::app {

// The assembler table (platform/Names.h) is read by the windows too: an
// assembler's position in it is the row of the choice list and the
// highlighting-menu tag minus one.
using platform::Assembler;

// Replaces "%0:s" in a message by the file name.
QString FormatCz(const char* text, const QString& fileName);

// The message of a failed save: which file, and why in words the user can
// act on (errorCode is the system's error number; detail stands in for its
// text when the number is 0).
QString SaveFailureText(const QString& fileName, int errorCode, const QString& detail);

// A file name made absolute against `base` (the current folder when empty)
// and cleaned of "." and "..": names are stored this way, so that saving never
// depends on the current folder. Untitled and empty names stay as they are.
QString AbsoluteName(const QString& fileName, const QString& base = QString());

// True when the text is a list of tab columns the editor takes.
bool ValidTabColumns(const QString& columns);

// A document is untitled while its name starts with platform::kUntitledPrefix
// (exact).
bool IsUntitled(const QString& fileName);

// The prefix, a blank and the smallest N >= 1 not used by an open document.
QString UntitledName(const QStringList& openNames);

// The save dialog adds the extension (".asm" unless told otherwise) with
// filter 1 when the chosen file name has none; filter 2 keeps the name as
// typed.
QString WithDefaultExtension(const QString& fileName, int filterIndex,
                             const QString& extension = QStringLiteral(".asm"));

// A dialog filter written as "text|pattern|text|pattern" in the form Qt's file
// dialogs take ("text (pattern);;...").
QString QtFileFilter(const char* pipeFilter);

// What a click on a build message asks for.
struct ErrorItemTarget {
    enum Kind {
        NotAnError, // does not start with "[Error]": only focus the editor
        NoLine,     // no valid line number before "):": nothing at all
        OtherFile,  // names another file: nothing at all
        Line        // jump to `line` (when the document has it), then focus
    };
    Kind kind = NotAnError;
    int line = 0;
};

// Parses an item of the form "[Error] <file>(<line>): text". The file name is
// compared with the document's name without regard to letter case.
// The name of an undo step's kind in the Zpět/Znovu hints ("psaní textu"
// for 14 ...); nothing for kinds without a name (only 13..18 have one).
std::optional<QString> UndoKindName(int kind);

ErrorItemTarget ParseErrorItem(const QString& item, const QString& documentName);

} // namespace torvane::app
