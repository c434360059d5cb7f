#pragma once
// The program's string table: every message text, found by its id. Ids from
// 4096 up are the editor component's own numbered table; the ids below 4096
// name the texts of the stream library, the platform layer and the program.
// Add a text here once and refer to it by id everywhere else.

#include <string>

namespace torvane {

namespace msg {
enum : int {
    // Stream library.
    SReadError = 1,       // "Stream read error"
    SWriteError,          // "Stream write error"
    SFOpenError,          // "Cannot open file \"%s\""
    SFCreateError,        // "Cannot create file \"%s\""
    SFileOpenForReading,  // "File '%s' cannot be opened for reading"
    SBadStreamInstance,   // "Bad TStream instance"
    SCouldNotSaveStream,  // "Could not save text to stream"
    SReadOnlyStream,      // "Cannot write to a read-only stream"
    SFileSaveFailed,      // "Cannot save file \"%s\": %s"
    SNotRegularFile = 20, // "\"%s\" is not a regular file (a pipe, device or system file); it is not read"

    // Text store and tab stops.
    SNotEnoughMemory = 100, // "Not enough memory for operation"
    STabColumnExpected,     // "Tab stop column value expected"
    STooManyTabStops,       // "Too many tab stops - maximum of "
    STabColumnsOrder,       // "Tab columns must be in order and unique"
    STabColumnGreaterOne,   // "Tab column must be > 1"
    SIllegalTabDefault,     // "=Illegal default tab stop value, must be > 0"

    // Regular expressions and search (240-259).
    SRegExpTooComplex = 240, // "Expression too complex, search stopped"
    SRegExpTooLong,          // "Expression too long"
    SSearchNotFound,         // "Search string \"%s\" not found."
    SSearchReplaceConfirm,   // "Replace this occurence of '%s' with '%s' ?"

    // Assembler bridge log and the build command (300-349).
    SBridgeSourceMissing = 300, // "Chyba: Soubor \"%s\" neexistuje"
    SBridgeBadAssemblerPath,    // "Chyba: Neplatná cesta k překladači"
    SBridgeAssembled,           // "Soubor byl úspěšně přeložen"
    SBridgeNotAssembled,        // "Soubor nelze přeložit:"
    SHexChecksum,               // "Chyba při převedou HEX -> BIN (Neplatný kontrolní součet)"
    SHexCannotOpen,             // "Chyba při převedou HEX -> BIN (Soubor nelze otevřít)"
    SHexCannotSave,             // "Chyba při převedou HEX -> BIN (Soubor nelze uložit)"
    SHexFormat,                 // "Chyba při převedou HEX -> BIN (Format)"
    SHexMalformedRecord,        // "Malformed HEX record: %s"
    SBridgeTooFewLines,         // "The assembler printed %d lines, %d expected"
    SBridgeIdleTimeout = 320,   // "Překladač neodpověděl do %d s a byl ukončen"
    SBridgeTotalTimeout,        // "Překladač nedokončil práci do %d s a byl ukončen"
    SBridgeCancelled,           // "Překlad byl přerušen"
    SBridgeOutputCut,        // "... zbytek výstupu překladače byl vynechán (nad %d řádků nebo %d MB)"
    SBuildUntitled = 330,    // "Neplatný název souboru!"
    SBuildChooseAssembler,   // "Výběr překladače"
    SBuildCannotLoadLibrary, // "Nelze inicializovat knihovnu %s!"
    SBuildProgress,          // "Překládám soubor \"%s\" ..."
    SBuildLibraryFailure,    // "Chyba v DLL knihovně, nebo neexistuje daný export funkce"
    SBuildCancel,            // "Přerušit"

    // Highlighting data: character groups, keyword tables, key map, settings (600-649).
    SInvalidSetId = 600,   // "Invalid Set ID (%d)"
    SRangeOrder,           // "Characters not in correct order for range specifier"
    SAmbiguousKeyTable,    // "Ambigious key table state definition"
    SDuplicateKeySequence, // "Duplicate key sequence definition for\r\n\"%s\" and \"%s\""
    SCannotAssignClass,    // "Cannot assign a %s to a %s"
    SBadKeySpecifier,      // "Bad key specifier"
    SRegistryDisabled,     // "Registry interface disabled in: "
    SKeywordTooLong,       // "Keyword longer than 255 characters - '%.32s...'"
    STooManyKeyTables,     // "Too many keyword tables (at most %d)"

    // Parser component: compiled scheme stream and tokenizer (650-669).
    SParserStreamError = 650, // "%s: %s"
    SBadTerminatorCount,      // "Invalid terminator group count (%d)"
    STooManyCharGroups,       // "Too many character groups in a compiled scheme"

    // Stream compressor (700-719).
    SCompressorNoMemory = 700, // "Compressor (de)compression : Failed to get memory for I/O buffers !"
    SCompressorInputSize,      // "Compressor compression : Failed to obtain the size of the input stream !"
    SCompressorInputInit,      // "Compressor (de)compression : Failed to initialize input stream !"
    SCompressorOutputInit,     // "Compressor (de)compression : Failed to initialize output stream !"
    SCompressorWriteError,     // "Compressor : Error writing to output stream !"
    SCompressorReadError,      // "Compressor : Error reading from input stream !"
    SCompressorReadErrorBlock, // "Compressor : Error reading from input stream ! (Compressor/Vexo)"
    SCompressorReadErrorLzh,   // "Compressor : Error reading from input stream ! (LZH)"
    SCompressorNoHeader,       // "Compressor decompression : input stream contains no valid header !"
    SCompressorBlockSizeMismatch, // "Compressor (decompression Compressor/Vexo) : Original and ..."
    SCompressorLzhSizeMismatch,   // "Compressor (LZH decompression) : Original and compressed ..."
    SLzhNoMemory,                 // "LZH : Cannot get memory for dictionary tables"
    SCompressorTrailingData =
        715,             // "Compressor decompression : data follows the end of the compressed stream !"
    SCompressorTooLarge, // "Compressor decompression : stated size %d exceeds the limit of %d MB !"
    SCompressorChecksum, // "Compressor decompression : checksum mismatch, the stream is damaged !"

    // Scheme script lexer (720-739).
    SScriptElseWithoutIf = 720, // "#else without #ifdef or #ifndef"
    SScriptEndifWithoutIf,      // "#endif without #ifdef or #ifndef"
    SScriptNumberTooLarge,      // "Number too large: %s"
    SScriptExpansionTooLarge,   // "Macros and #include files expand to more than %u bytes"
    SScriptTooLarge = 730,      // "The script is larger than %u bytes"

    // Scheme section grammar (740-759).
    SScriptEndsWithExpected = 740, // "'endswith' expected"
    SScriptIsExpected,             // "'is' expected"
    SExpressionTooDeep = 750,      // "Expression nested deeper than %d levels"

    // Painting and bookmarks (800-819).
    SBookmarkIndexRange = 800, // "Bookmark index range error"

    // The editor component's numbered table.
    kEditorTableFirst = 4096,
    // Scheme section grammar, numbered texts (4096-4119, 4130-4131).
    SEqualsExpected = 4096,          // "'=' expected"
    SOpenParenExpected = 4097,       // "'(' expected"
    SCloseParenExpected = 4098,      // "')' expected"
    SCommaExpected = 4099,           // "',' expected"
    SOpenBracketExpected = 4100,     // "'[' expected"
    SCloseBracketExpected = 4101,    // "']' expected"
    SStringExpected = 4102,          // "String value expected"
    SScriptSyntaxError = 4103,       // "Script syntax error"
    SExpressionExpected = 4104,      // "Expression expected"
    STooManyEditableStyles = 4105,   // "Too many editable styles"
    SValueMustBeByte = 4106,         // "Value must be 0..255"
    SDuplicateWordEntry = 4108,      // "Duplicate entry in %%word table"
    SSingleSpecifierExpected = 4109, // "Single character specifier expected"
    SMaxFourSpecifiers = 4110,       // "Maximum of 4 character specifier allowed"
    SDuplicateHandlerEntry = 4112,   // "Duplicate entry in %%handler table"
    SAmbiguousStartSet = 4113,       // "Ambigious start set in %%token table"
    SDuplicateEffectEntry = 4114,    // "Duplicate %%effect entry"
    SBadFontStyle = 4115,            // "Bad font style specifier"
    SKeyNameBlank = 4118,            // "Key function name cannot be blank"
    SKeySpecRequired = 4119,         // "Key specification required"
    SRangeError = 4130,              // "Range error, value outwith %d .. %d"
    SContextRespecified = 4131,      // "Token value %d re-specified in ContextState"
    // Scheme script lexer, numbered texts (4121-4127, 4134-4136).
    SRecursiveMacro = 4121,      // "Recursive expansion of macro '%s'"
    SCompileErrorFrame = 4122,   // "** ERROR near line %d, Column %d: %s"
    SIncludeUnterminated = 4123, // "#include filename missing terminating %s"
    SIncludeCannotOpen = 4124,   // "Unable to open #include file %s%s%s"
    SIdentifierWord = 4125,      // "Identifier"
    SUnknownWord = 4126,         // "Unknown"
    SUnknownCharacter = 4127,    // "Unknown character in input stream: #$%.2x"
    SIfdefNameExpected = 4134,   // "Macro name expected after #ifdef"
    SIncludeNotEnclosed = 4135,  // "#include filename not enclosed in \"...\" or <...>"
    SMacroNameExpected = 4136,   // "Macro name expected"
    SCustomLanguage = 4128,      // "<Custom language>"
    SParserVersion = 4129,       // "%s: KVR file saved by different version of TTessaryParser. ..."
    SCommandNameFirst = 4146,    // names of the editing commands, 4146 + ActionCode (0..47)
    SCommandNameLast = 4193,
    SBadTransactionLog = 4199, // "Bad transaction log entry"
    SBadUndoStackState = 4200, // "Bad do/undo stack state"
    SStackUnderflow = 4201,    // "Stack underflow"
    SDuplicateKeyword = 4202,  // "Duplicate keyword - '%s'"
    // Regular-expression engine (4246-4262).
    SRENoErrors = 4246,         // "No errors detected"
    SRENotFound = 4247,         // "Expression not found"
    SREInvalidParameter = 4248, // "Invalid parameter"
    SREOutOfMemory = 4250,      // "Out of memory"
    SRETooManySubexpr = 4251,   // "Too many sub-expressions"
    SREUnmatchedParen = 4252,   // "Unmatched parenthesis"
    SREInvalidRepeat = 4253,    // "Invalid repeat"
    SRENestedRepeat = 4254,     // "Nested repeat"
    SREInvalidRange = 4255,     // "Invalid range"
    SREUnmatchedBracket = 4256, // "Unmatched bracket"
    SREHexDigitExpected = 4258, // "Hex digit expected"
    SREUnexpectedEnd = 4259,    // "Unexpected end of input"
    SREQuoteExpected = 4260,    // "' expected"
    SREIndexRange = 4261,       // "Index range error"
    SREInternalError = 4262,    // "Internal error"
};
} // namespace msg

// The text of an id; an unknown id gives an empty text.
const char* LoadStr(int id) noexcept;

// printf-style formatting of the text of an id (the table's texts use %s,
// %d and %x conversions).
std::string FormatStr(int id, ...);

// True when the table is sorted by id with no id twice (checked by a test).
bool MessageTableIsSorted() noexcept;

} // namespace torvane
