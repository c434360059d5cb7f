#include "common/Messages.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>

namespace torvane {
namespace {

struct Entry {
    int id;
    const char* text;
};

// Kept sorted by id; a test checks the order and that no id repeats.
constexpr Entry kTable[] = {
    // Stream library.
    {msg::SReadError, "Stream read error"},
    {msg::SWriteError, "Stream write error"},
    {msg::SFOpenError, "Cannot open file \"%s\""},
    {msg::SFCreateError, "Cannot create file \"%s\""},
    {msg::SFileOpenForReading, "File '%s' cannot be opened for reading"},
    {msg::SBadStreamInstance, "Bad TStream instance"},
    {msg::SCouldNotSaveStream, "Could not save text to stream"},
    {msg::SReadOnlyStream, "Cannot write to a read-only stream"},
    {msg::SFileSaveFailed, "Cannot save file \"%s\": %s"},
    {msg::SNotRegularFile, "\"%s\" is not a regular file (a pipe, device or system file); it is not read"},

    // Text store and tab stops.
    {msg::SNotEnoughMemory, "Not enough memory for operation"},
    {msg::STabColumnExpected, "Tab stop column value expected"},
    {msg::STooManyTabStops, "Too many tab stops - maximum of "},
    {msg::STabColumnsOrder, "Tab columns must be in order and unique"},
    {msg::STabColumnGreaterOne, "Tab column must be > 1"},
    {msg::SIllegalTabDefault, "=Illegal default tab stop value, must be > 0"},

    // Regular expressions and search (240-259).
    {msg::SRegExpTooComplex, "Expression too complex, search stopped"},
    {msg::SRegExpTooLong, "Expression too long"},
    {msg::SSearchNotFound, "Search string \"%s\" not found."},
    {msg::SSearchReplaceConfirm, "Replace this occurence of '%s' with '%s' ?"},

    // Assembler bridge log and the build command (300-349).
    {msg::SBridgeSourceMissing, "Chyba: Soubor \"%s\" neexistuje"},
    {msg::SBridgeBadAssemblerPath, "Chyba: Neplatná cesta k překladači"},
    {msg::SBridgeAssembled, "Soubor byl úspěšně přeložen"},
    {msg::SBridgeNotAssembled, "Soubor nelze přeložit:"},
    {msg::SHexChecksum, "Chyba při převedou HEX -> BIN (Neplatný kontrolní součet)"},
    {msg::SHexCannotOpen, "Chyba při převedou HEX -> BIN (Soubor nelze otevřít)"},
    {msg::SHexCannotSave, "Chyba při převedou HEX -> BIN (Soubor nelze uložit)"},
    {msg::SHexFormat, "Chyba při převedou HEX -> BIN (Format)"},
    {msg::SHexMalformedRecord, "Malformed HEX record: %s"},
    {msg::SBridgeTooFewLines, "The assembler printed %d lines, %d expected"},
    {msg::SBridgeIdleTimeout, "Překladač neodpověděl do %d s a byl ukončen"},
    {msg::SBridgeTotalTimeout, "Překladač nedokončil práci do %d s a byl ukončen"},
    {msg::SBridgeCancelled, "Překlad byl přerušen"},
    {msg::SBridgeOutputCut, "... zbytek výstupu překladače byl vynechán (nad %d řádků nebo %d MB)"},
    {msg::SBuildUntitled, "Neplatný název souboru!"},
    {msg::SBuildChooseAssembler, "Výběr překladače"},
    {msg::SBuildCannotLoadLibrary, "Nelze inicializovat knihovnu %s!"},
    {msg::SBuildProgress, "Překládám soubor \"%s\" ..."},
    {msg::SBuildLibraryFailure, "Chyba v DLL knihovně, nebo neexistuje daný export funkce"},
    {msg::SBuildCancel, "Přerušit"},

    // Highlighting data: character groups, keyword tables, key map, settings (600-649).
    {msg::SInvalidSetId, "Invalid Set ID (%d)"},
    {msg::SRangeOrder, "Characters not in correct order for range specifier"},
    {msg::SAmbiguousKeyTable, "Ambigious key table state definition"},
    {msg::SDuplicateKeySequence, "Duplicate key sequence definition for\r\n\"%s\" and \"%s\""},
    {msg::SCannotAssignClass, "Cannot assign a %s to a %s"},
    {msg::SBadKeySpecifier, "Bad key specifier"},
    {msg::SRegistryDisabled, "Registry interface disabled in: "},
    {msg::SKeywordTooLong, "Keyword longer than 255 characters - '%.32s...'"},
    {msg::STooManyKeyTables, "Too many keyword tables (at most %d)"},

    // Parser component: compiled scheme stream and tokenizer (650-669).
    {msg::SParserStreamError, "%s: %s"},
    {msg::SBadTerminatorCount, "Invalid terminator group count (%d)"},
    {msg::STooManyCharGroups, "Too many character groups in a compiled scheme"},

    // Stream compressor (700-719).
    {msg::SCompressorNoMemory, "Compressor (de)compression : Failed to get memory for I/O buffers !"},
    {msg::SCompressorInputSize, "Compressor compression : Failed to obtain the size of the input stream !"},
    {msg::SCompressorInputInit, "Compressor (de)compression : Failed to initialize input stream !"},
    {msg::SCompressorOutputInit, "Compressor (de)compression : Failed to initialize output stream !"},
    {msg::SCompressorWriteError, "Compressor : Error writing to output stream !"},
    {msg::SCompressorReadError, "Compressor : Error reading from input stream !"},
    {msg::SCompressorReadErrorBlock, "Compressor : Error reading from input stream ! (Compressor/Vexo)"},
    {msg::SCompressorReadErrorLzh, "Compressor : Error reading from input stream ! (LZH)"},
    {msg::SCompressorNoHeader, "Compressor decompression : input stream contains no valid header !"},
    {msg::SCompressorBlockSizeMismatch,
     "Compressor (decompression Compressor/Vexo) : Original and compressed sizes do not match !"},
    {msg::SCompressorLzhSizeMismatch,
     "Compressor (LZH decompression) : Original and compressed sizes do not match !"},
    {msg::SLzhNoMemory, "LZH : Cannot get memory for dictionary tables"},
    {msg::SCompressorTrailingData,
     "Compressor decompression : data follows the end of the compressed stream !"},
    {msg::SCompressorTooLarge, "Compressor decompression : stated size %d exceeds the limit of %d MB !"},
    {msg::SCompressorChecksum, "Compressor decompression : checksum mismatch, the stream is damaged !"},

    // Scheme script lexer (720-739).
    {msg::SScriptElseWithoutIf, "#else without #ifdef or #ifndef"},
    {msg::SScriptEndifWithoutIf, "#endif without #ifdef or #ifndef"},
    {msg::SScriptNumberTooLarge, "Number too large: %s"},
    {msg::SScriptExpansionTooLarge, "Macros and #include files expand to more than %u bytes"},
    {msg::SScriptTooLarge, "The script is larger than %u bytes"},

    // Scheme section grammar (740-759).
    {msg::SScriptEndsWithExpected, "'endswith' expected"},
    {msg::SScriptIsExpected, "'is' expected"},
    {msg::SExpressionTooDeep, "Expression nested deeper than %d levels"},

    // Painting and bookmarks (800-819).
    {msg::SBookmarkIndexRange, "Bookmark index range error"},

    // The editor component's numbered table (4096 up).
    {msg::SEqualsExpected, "'=' expected"},
    {msg::SOpenParenExpected, "'(' expected"},
    {msg::SCloseParenExpected, "')' expected"},
    {msg::SCommaExpected, "',' expected"},
    {msg::SOpenBracketExpected, "'[' expected"},
    {msg::SCloseBracketExpected, "']' expected"},
    {msg::SStringExpected, "String value expected"},
    {msg::SScriptSyntaxError, "Script syntax error"},
    {msg::SExpressionExpected, "Expression expected"},
    {msg::STooManyEditableStyles, "Too many editable styles"},
    {msg::SValueMustBeByte, "Value must be 0..255"},
    {msg::SDuplicateWordEntry, "Duplicate entry in %%word table"},
    {msg::SSingleSpecifierExpected, "Single character specifier expected"},
    {msg::SMaxFourSpecifiers, "Maximum of 4 character specifier allowed"},
    {msg::SDuplicateHandlerEntry, "Duplicate entry in %%handler table"},
    {msg::SAmbiguousStartSet, "Ambigious start set in %%token table"},
    {msg::SDuplicateEffectEntry, "Duplicate %%effect entry"},
    {msg::SBadFontStyle, "Bad font style specifier"},
    {msg::SKeyNameBlank, "Key function name cannot be blank"},
    {msg::SKeySpecRequired, "Key specification required"},
    {msg::SRecursiveMacro, "Recursive expansion of macro '%s'"},
    {msg::SCompileErrorFrame, "** ERROR near line %d, Column %d: %s"},
    {msg::SIncludeUnterminated, "#include filename missing terminating %s"},
    {msg::SIncludeCannotOpen, "Unable to open #include file %s%s%s"},
    {msg::SIdentifierWord, "Identifier"},
    {msg::SUnknownWord, "Unknown"},
    {msg::SUnknownCharacter, "Unknown character in input stream: #$%.2x"},
    {msg::SCustomLanguage, "<Custom language>"},
    {msg::SParserVersion, "%s: KVR file saved by different version of TTessaryParser.\n\rRecompile script to "
                          "update KVR file.\n\rExpected version was %d read version was %d"},
    {msg::SRangeError, "Range error, value outwith %d .. %d"},
    {msg::SContextRespecified, "Token value %d re-specified in ContextState"},
    {msg::SIfdefNameExpected, "Macro name expected after #ifdef"},
    {msg::SIncludeNotEnclosed, "#include filename not enclosed in \"...\" or <...>"},
    {msg::SMacroNameExpected, "Macro name expected"},
    {msg::SCommandNameFirst + 0, "Cursor left"},
    {msg::SCommandNameFirst + 1, "Cursor right"},
    {msg::SCommandNameFirst + 2, "Line start"},
    {msg::SCommandNameFirst + 3, "Line end"},
    {msg::SCommandNameFirst + 4, "Up one line"},
    {msg::SCommandNameFirst + 5, "Down one line"},
    {msg::SCommandNameFirst + 6, "Up one page"},
    {msg::SCommandNameFirst + 7, "Down one page"},
    {msg::SCommandNameFirst + 8, "Move to word before"},
    {msg::SCommandNameFirst + 9, "Move to word after"},
    {msg::SCommandNameFirst + 10, "Document start"},
    {msg::SCommandNameFirst + 11, "Document end"},
    {msg::SCommandNameFirst + 12, "Cut to clipboard"},
    {msg::SCommandNameFirst + 13, "Copy to clipboard"},
    {msg::SCommandNameFirst + 14, "Paste from clipboard"},
    {msg::SCommandNameFirst + 15, "Delete character at cursor"},
    {msg::SCommandNameFirst + 16, "Delete character before caret"},
    {msg::SCommandNameFirst + 17, "Indent selected block"},
    {msg::SCommandNameFirst + 18, "Un-indent selected block"},
    {msg::SCommandNameFirst + 19, "Toggle insert/overwrite mode"},
    {msg::SCommandNameFirst + 20, "Set Bookmark 0"},
    {msg::SCommandNameFirst + 21, "Set Bookmark 1"},
    {msg::SCommandNameFirst + 22, "Set Bookmark 2"},
    {msg::SCommandNameFirst + 23, "Set Bookmark 3"},
    {msg::SCommandNameFirst + 24, "Set Bookmark 4"},
    {msg::SCommandNameFirst + 25, "Set Bookmark 5"},
    {msg::SCommandNameFirst + 26, "Set Bookmark 6"},
    {msg::SCommandNameFirst + 27, "Set Bookmark 7"},
    {msg::SCommandNameFirst + 28, "Set Bookmark 8"},
    {msg::SCommandNameFirst + 29, "Set Bookmark 9"},
    {msg::SCommandNameFirst + 30, "Goto Bookmark 0"},
    {msg::SCommandNameFirst + 31, "Goto Bookmark 1"},
    {msg::SCommandNameFirst + 32, "Goto Bookmark 2"},
    {msg::SCommandNameFirst + 33, "Goto Bookmark 3"},
    {msg::SCommandNameFirst + 34, "Goto Bookmark 4"},
    {msg::SCommandNameFirst + 35, "Goto Bookmark 5"},
    {msg::SCommandNameFirst + 36, "Goto Bookmark 6"},
    {msg::SCommandNameFirst + 37, "Goto Bookmark 7"},
    {msg::SCommandNameFirst + 38, "Goto Bookmark 8"},
    {msg::SCommandNameFirst + 39, "Goto Bookmark 9"},
    {msg::SCommandNameFirst + 40, "Delete current line"},
    {msg::SCommandNameFirst + 41, "Undo"},
    {msg::SCommandNameFirst + 42, "Redo"},
    {msg::SCommandNameFirst + 43, "Delete previous word"},
    {msg::SCommandNameFirst + 44, "Print selection"},
    {msg::SCommandNameFirst + 45, "Delete next word"},
    {msg::SCommandNameFirst + 46, "Scroll display up one line"},
    {msg::SCommandNameFirst + 47, "Scroll display down one line"},
    {msg::SBadTransactionLog, "Bad transaction log entry"},
    {msg::SBadUndoStackState, "Bad do/undo stack state"},
    {msg::SStackUnderflow, "Stack underflow"},
    {msg::SDuplicateKeyword, "Duplicate keyword - '%s'"},
    {msg::SRENoErrors, "No errors detected"},
    {msg::SRENotFound, "Expression not found"},
    {msg::SREInvalidParameter, "Invalid parameter"},
    {msg::SREOutOfMemory, "Out of memory"},
    {msg::SRETooManySubexpr, "Too many sub-expressions"},
    {msg::SREUnmatchedParen, "Unmatched parenthesis"},
    {msg::SREInvalidRepeat, "Invalid repeat"},
    {msg::SRENestedRepeat, "Nested repeat"},
    {msg::SREInvalidRange, "Invalid range"},
    {msg::SREUnmatchedBracket, "Unmatched bracket"},
    {msg::SREHexDigitExpected, "Hex digit expected"},
    {msg::SREUnexpectedEnd, "Unexpected end of input"},
    {msg::SREQuoteExpected, "' expected"},
    {msg::SREIndexRange, "Index range error"},
    {msg::SREInternalError, "Internal error"},
};

} // namespace

const char* LoadStr(int id) noexcept {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kTable) && it->id == id ? it->text : "";
}

std::string FormatStr(int id, ...) {
    const char* fmt = LoadStr(id);
    va_list args;
    va_start(args, id);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

bool MessageTableIsSorted() noexcept {
    return std::adjacent_find(std::begin(kTable), std::end(kTable), [](const Entry& a, const Entry& b) {
               return a.id >= b.id;
           }) == std::end(kTable);
}

} // namespace torvane
