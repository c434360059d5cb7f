#pragma once
// The program's string table: every message text, found by its id. Ids from
// 4096 up are the editor component's own numbered table; the ids below 4096
// name the texts of the stream library, the platform layer and the program.
// Add a text here once and refer to it by id everywhere else.
//
// Texts with conversions are filled in by FormatStr<id>(arguments...). The
// table is visible to the compiler, so each call is checked against its text:
// the number of arguments must equal the number of conversions, and each
// argument must suit its conversion (MessageArgumentsFit below), or the call
// does not compile. Conversions: %s (text; %.Ns at most N bytes), %d (a
// number whose values all fit an int), %u and %x (numbers no wider than an
// int, shown as unsigned; %.Nx at least N digits), %% (a percent sign). Texts
// read with LoadStr keep their '%' characters as they are.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace torvane {

namespace msg {
enum : int {
    // Stream library.
    SReadError = 1,
    SWriteError,
    SFOpenError,
    SFCreateError,
    SFileOpenForReading,
    SBadStreamInstance,
    SCouldNotSaveStream,
    SReadOnlyStream,
    SFileSaveFailed,
    SNotRegularFile = 20,

    // Text store and tab stops.
    SNotEnoughMemory = 100,
    STabColumnExpected,
    STooManyTabStops,
    STabColumnsOrder,
    STabColumnGreaterOne,
    SIllegalTabDefault,

    // Regular expressions and search (240-259).
    SRegExpTooComplex = 240,
    SRegExpTooLong,
    SSearchNotFound,
    SSearchReplaceConfirm,

    // Assembler bridge log and the build command (300-349).
    SBridgeSourceMissing = 300,
    SBridgeBadAssemblerPath,
    SBridgeAssembled,
    SBridgeNotAssembled,
    SHexChecksum,
    SHexCannotOpen,
    SHexCannotSave,
    SHexFormat,
    SHexMalformedRecord,
    SBridgeTooFewLines,
    SBridgeIdleTimeout = 320,
    SBridgeTotalTimeout,
    SBridgeCancelled,
    SBridgeOutputCut,
    SBuildUntitled = 330,
    SBuildChooseAssembler,
    SBuildCannotLoadLibrary,
    SBuildProgress,
    SBuildLibraryFailure,
    SBuildCancel,

    // Highlighting data: character groups, keyword tables, key map, settings (600-649).
    SInvalidSetId = 600,
    SRangeOrder,
    SAmbiguousKeyTable,
    SDuplicateKeySequence,
    SCannotAssignClass,
    SBadKeySpecifier,
    SRegistryDisabled,
    SKeywordTooLong,
    STooManyKeyTables,

    // Parser component: compiled scheme stream and tokenizer (650-669).
    SParserStreamError = 650,
    SBadTerminatorCount,
    STooManyCharGroups,

    // Stream compressor (700-719).
    SCompressorNoMemory = 700,
    SCompressorInputSize,
    SCompressorInputInit,
    SCompressorOutputInit,
    SCompressorWriteError,
    SCompressorReadError,
    SCompressorReadErrorBlock,
    SCompressorReadErrorLzh,
    SCompressorNoHeader,
    SCompressorBlockSizeMismatch,
    SCompressorLzhSizeMismatch,
    SLzhNoMemory,
    SCompressorTrailingData = 715,
    SCompressorTooLarge,
    SCompressorChecksum,

    // Scheme script lexer (720-739).
    SScriptElseWithoutIf = 720,
    SScriptEndifWithoutIf,
    SScriptNumberTooLarge,
    SScriptExpansionTooLarge,
    SScriptTooLarge = 730,

    // Scheme section grammar (740-759).
    SScriptEndsWithExpected = 740,
    SScriptIsExpected,
    SExpressionTooDeep = 750,

    // Painting and bookmarks (800-819).
    SBookmarkIndexRange = 800,

    // The editor component's numbered table.
    kEditorTableFirst = 4096,
    // Scheme section grammar, numbered texts (4096-4119, 4130-4131).
    SEqualsExpected = 4096,
    SOpenParenExpected = 4097,
    SCloseParenExpected = 4098,
    SCommaExpected = 4099,
    SOpenBracketExpected = 4100,
    SCloseBracketExpected = 4101,
    SStringExpected = 4102,
    SScriptSyntaxError = 4103,
    SExpressionExpected = 4104,
    STooManyEditableStyles = 4105,
    SValueMustBeByte = 4106,
    SDuplicateWordEntry = 4108,
    SSingleSpecifierExpected = 4109,
    SMaxFourSpecifiers = 4110,
    SDuplicateHandlerEntry = 4112,
    SAmbiguousStartSet = 4113,
    SDuplicateEffectEntry = 4114,
    SBadFontStyle = 4115,
    SKeyNameBlank = 4118,
    SKeySpecRequired = 4119,
    SRangeError = 4130,
    SContextRespecified = 4131,
    // Scheme script lexer, numbered texts (4121-4127, 4134-4136).
    SRecursiveMacro = 4121,
    SCompileErrorFrame = 4122,
    SIncludeUnterminated = 4123,
    SIncludeCannotOpen = 4124,
    SIdentifierWord = 4125,
    SUnknownWord = 4126,
    SUnknownCharacter = 4127,
    SIfdefNameExpected = 4134,
    SIncludeNotEnclosed = 4135,
    SMacroNameExpected = 4136,
    SCustomLanguage = 4128,
    SParserVersion = 4129,
    SCommandNameFirst = 4146, // names of the editing commands, 4146 + ActionCode (0..47)
    SCommandNameLast = 4193,
    SBadTransactionLog = 4199,
    SBadUndoStackState = 4200,
    SStackUnderflow = 4201,
    SDuplicateKeyword = 4202,
    // Regular-expression engine (4246-4262).
    SRENoErrors = 4246,
    SRENotFound = 4247,
    SREInvalidParameter = 4248,
    SREOutOfMemory = 4250,
    SRETooManySubexpr = 4251,
    SREUnmatchedParen = 4252,
    SREInvalidRepeat = 4253,
    SRENestedRepeat = 4254,
    SREInvalidRange = 4255,
    SREUnmatchedBracket = 4256,
    SREHexDigitExpected = 4258,
    SREUnexpectedEnd = 4259,
    SREQuoteExpected = 4260,
    SREIndexRange = 4261,
    SREInternalError = 4262,
};
} // namespace msg

struct MessageEntry {
    int id;
    const char* text;
};

// Kept sorted by id with no id twice (checked below).
inline constexpr MessageEntry kMessageTable[] = {
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

// The text of an id; an unknown id gives an empty text.
const char* LoadStr(int id) noexcept;

// True when the table is sorted by id with no id twice.
constexpr bool MessageTableIsSorted() noexcept {
    for (size_t i = 1; i < std::size(kMessageTable); ++i)
        if (kMessageTable[i - 1].id >= kMessageTable[i].id) return false;
    return true;
}
static_assert(MessageTableIsSorted(), "kMessageTable must be sorted by id without repeats");

namespace message_format {

// What one conversion of a text takes.
enum class Slot : uint8_t { Text, Signed, Unsigned };

inline constexpr int kMaxSlots = 8;

struct Slots {
    int count = 0;
    Slot slot[kMaxSlots]{};
    bool supported = true; // false: a conversion FormatStr does not know
};

constexpr bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// The conversions of a text, in order.
constexpr Slots SlotsOf(const char* text) noexcept {
    constexpr Slots kUnsupported{0, {}, false};
    Slots conversions;
    for (const char* p = text; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        if (*p == '.') {
            ++p;
            if (!IsDigit(*p)) return kUnsupported;
            while (IsDigit(*p))
                ++p;
        }
        Slot slot = Slot::Text;
        if (*p == 'd')
            slot = Slot::Signed;
        else if (*p == 'u' || *p == 'x')
            slot = Slot::Unsigned;
        else if (*p != 's')
            return kUnsupported;
        if (conversions.count == kMaxSlots) return kUnsupported;
        conversions.slot[conversions.count++] = slot;
    }
    return conversions;
}

constexpr bool EveryTextSupported() noexcept {
    for (const MessageEntry& entry : kMessageTable)
        if (!SlotsOf(entry.text).supported) return false;
    return true;
}
static_assert(EveryTextSupported(), "a message text uses a conversion FormatStr does not know");

// The text of an id at compile time; an id without a text stops the build.
consteval const char* TextOf(int id) {
    for (const MessageEntry& entry : kMessageTable)
        if (entry.id == id) return entry.text;
    throw "no message text has this id";
}

template <int Id> inline constexpr Slots kSlots = SlotsOf(TextOf(Id));

template <typename T>
concept CharacterType = std::same_as<T, char> || std::same_as<T, wchar_t> || std::same_as<T, char8_t> ||
    std::same_as<T, char16_t> || std::same_as<T, char32_t>;

// A number for %d, %u or %x: an integer no wider than an int (int8_t and
// uint8_t count as numbers); bool and the character types are refused, as
// they are never meant as numbers here.
template <typename T>
concept NumberArgument =
    std::integral<T> && !std::same_as<T, bool> && !CharacterType<T> && sizeof(T) <= sizeof(int);

// A text for %s: anything a string_view can be made of, except a null pointer.
template <typename T>
concept TextArgument = !std::same_as<T, std::nullptr_t> && std::convertible_to<const T&, std::string_view>;

template <typename T> constexpr bool Fits(Slot slot) noexcept {
    switch (slot) {
    case Slot::Text:
        return TextArgument<T>;
    case Slot::Signed:
        // Every value must fit an int: unsigned types only when narrower.
        return NumberArgument<T> && (std::signed_integral<T> || sizeof(T) < sizeof(int));
    case Slot::Unsigned:
        return NumberArgument<T>;
    }
    return false;
}

template <int Id, typename... Args, size_t... I> constexpr bool AllFit(std::index_sequence<I...>) noexcept {
    return (Fits<std::remove_cvref_t<Args>>(kSlots<Id>.slot[I]) && ...);
}

// One argument as the run-time formatter takes it; its kind was checked
// against the text when the call was compiled.
struct Argument {
    std::string_view text;
    long long number = 0;

    Argument(const char* s) noexcept : text(s ? std::string_view(s) : std::string_view()) {}
    Argument(std::string_view s) noexcept : text(s) {}
    Argument(const std::string& s) noexcept : text(s) {}
    template <NumberArgument T> Argument(T n) noexcept : number(static_cast<long long>(n)) {}
};

// Fills the conversions of `text` in order from `args`.
std::string Format(const char* text, std::initializer_list<Argument> args);

} // namespace message_format

template <int Id, typename... Args>
concept MessageArgumentCountFits = sizeof...(Args) == message_format::kSlots<Id>.count;

template <int Id, typename... Args>
concept MessageArgumentsFit = MessageArgumentCountFits<Id, Args...> &&
    message_format::AllFit<Id, Args...>(std::index_sequence_for<Args...>{});

// The text of message Id with its conversions filled in. A call whose
// arguments do not suit the text fails the concept MessageArgumentsFit.
template <int Id, typename... Args>
requires MessageArgumentsFit<Id, Args...> std::string FormatStr(const Args&... args) {
    return message_format::Format(message_format::TextOf(Id), {message_format::Argument(args)...});
}

} // namespace torvane
