#include "common/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace torvane;

namespace {

// Whether a call FormatStr<Id>(Args...) compiles.
template <int Id, typename... Args>
concept Formattable = requires(const Args&... args) {
    FormatStr<Id>(args...);
};

// A wrong call does not compile: MessageArgumentsFit refuses it.
static_assert(Formattable<msg::SFOpenError, const char*>);
static_assert(Formattable<msg::SFOpenError, std::string>);
static_assert(!Formattable<msg::SFOpenError, int>);            // a number for %s
static_assert(!Formattable<msg::SInvalidSetId, const char*>);  // a text for %d
static_assert(!Formattable<msg::SInvalidSetId, long long>);    // wider than %d holds
static_assert(!Formattable<msg::SInvalidSetId, unsigned>);     // values %d cannot show
static_assert(Formattable<msg::SBadTerminatorCount, uint8_t>); // a byte is a number
static_assert(!Formattable<msg::SInvalidSetId, char>);         // a character is not
static_assert(!Formattable<msg::SInvalidSetId, bool>);
static_assert(!Formattable<msg::SFOpenError, std::nullptr_t>);
static_assert(!Formattable<msg::SFOpenError>);                               // too few
static_assert(!Formattable<msg::SFOpenError, const char*, int>);             // too many
static_assert(!Formattable<msg::SCompileErrorFrame, const char*, int, int>); // out of order

struct Row {
    int id;
    std::string formatted;
    std::string expected;
};

// Every message with conversions, formatted as the program formats it. The
// expected texts are what printf-style formatting of the same texts gave.
const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {msg::SFOpenError, FormatStr<msg::SFOpenError>("a.asm"), "Cannot open file \"a.asm\""},
        {msg::SFCreateError, FormatStr<msg::SFCreateError>("/x/y"), "Cannot create file \"/x/y\""},
        {msg::SFileOpenForReading, FormatStr<msg::SFileOpenForReading>("a.asm"),
         "File 'a.asm' cannot be opened for reading"},
        {msg::SFileSaveFailed, FormatStr<msg::SFileSaveFailed>("b.asm", "disk full"),
         "Cannot save file \"b.asm\": disk full"},
        {msg::SNotRegularFile, FormatStr<msg::SNotRegularFile>("/dev/zero"),
         "\"/dev/zero\" is not a regular file (a pipe, device or system file); it is not read"},
        {msg::SSearchNotFound, FormatStr<msg::SSearchNotFound>(""), "Search string \"\" not found."},
        {msg::SSearchReplaceConfirm, FormatStr<msg::SSearchReplaceConfirm>("50%", "%s"),
         "Replace this occurence of '50%' with '%s' ?"},
        {msg::SBridgeSourceMissing, FormatStr<msg::SBridgeSourceMissing>("C:\\p\\x.asm"),
         "Chyba: Soubor \"C:\\p\\x.asm\" neexistuje"},
        {msg::SHexMalformedRecord, FormatStr<msg::SHexMalformedRecord>(":10000000"),
         "Malformed HEX record: :10000000"},
        {msg::SBridgeTooFewLines, FormatStr<msg::SBridgeTooFewLines>(0, 4),
         "The assembler printed 0 lines, 4 expected"},
        {msg::SBridgeIdleTimeout, FormatStr<msg::SBridgeIdleTimeout>(60),
         "Překladač neodpověděl do 60 s a byl ukončen"},
        {msg::SBridgeTotalTimeout, FormatStr<msg::SBridgeTotalTimeout>(600),
         "Překladač nedokončil práci do 600 s a byl ukončen"},
        {msg::SBridgeOutputCut, FormatStr<msg::SBridgeOutputCut>(100000, 16),
         "... zbytek výstupu překladače byl vynechán (nad 100000 řádků nebo 16 MB)"},
        {msg::SBuildCannotLoadLibrary, FormatStr<msg::SBuildCannotLoadLibrary>("libPelorin.so"),
         "Nelze inicializovat knihovnu libPelorin.so!"},
        {msg::SBuildProgress, FormatStr<msg::SBuildProgress>("/home/u/prog.asm"),
         "Překládám soubor \"/home/u/prog.asm\" ..."},
        {msg::SInvalidSetId, FormatStr<msg::SInvalidSetId>(-1), "Invalid Set ID (-1)"},
        {msg::SDuplicateKeySequence, FormatStr<msg::SDuplicateKeySequence>(std::string("Undo"), "Redo"),
         "Duplicate key sequence definition for\r\n\"Undo\" and \"Redo\""},
        {msg::SCannotAssignClass, FormatStr<msg::SCannotAssignClass>("TTE_CharGroup", "TTE_Keywords"),
         "Cannot assign a TTE_CharGroup to a TTE_Keywords"},
        {msg::SKeywordTooLong, FormatStr<msg::SKeywordTooLong>(std::string(300, 'k')),
         "Keyword longer than 255 characters - '" + std::string(32, 'k') + "...'"},
        {msg::STooManyKeyTables, FormatStr<msg::STooManyKeyTables>(21),
         "Too many keyword tables (at most 21)"},
        {msg::SParserStreamError, FormatStr<msg::SParserStreamError>("prsAsm", "Stream read error"),
         "prsAsm: Stream read error"},
        {msg::SBadTerminatorCount, FormatStr<msg::SBadTerminatorCount>(uint8_t{200}),
         "Invalid terminator group count (200)"},
        {msg::SCompressorTooLarge, FormatStr<msg::SCompressorTooLarge>(INT_MIN, 64),
         "Compressor decompression : stated size -2147483648 exceeds the limit of 64 MB !"},
        {msg::SScriptNumberTooLarge, FormatStr<msg::SScriptNumberTooLarge>("99999999999"),
         "Number too large: 99999999999"},
        {msg::SScriptExpansionTooLarge, FormatStr<msg::SScriptExpansionTooLarge>(4194304u),
         "Macros and #include files expand to more than 4194304 bytes"},
        {msg::SScriptTooLarge, FormatStr<msg::SScriptTooLarge>(UINT_MAX),
         "The script is larger than 4294967295 bytes"},
        {msg::SExpressionTooDeep, FormatStr<msg::SExpressionTooDeep>(1000),
         "Expression nested deeper than 1000 levels"},
        {msg::SRecursiveMacro, FormatStr<msg::SRecursiveMacro>("M"), "Recursive expansion of macro 'M'"},
        {msg::SCompileErrorFrame, FormatStr<msg::SCompileErrorFrame>(12, 3, "'=' expected"),
         "** ERROR near line 12, Column 3: '=' expected"},
        {msg::SIncludeUnterminated, FormatStr<msg::SIncludeUnterminated>(">"),
         "#include filename missing terminating >"},
        {msg::SIncludeCannotOpen, FormatStr<msg::SIncludeCannotOpen>("<", "reg.inc", ">"),
         "Unable to open #include file <reg.inc>"},
        {msg::SUnknownCharacter, FormatStr<msg::SUnknownCharacter>(7),
         "Unknown character in input stream: #$07"},
        {msg::SParserVersion, FormatStr<msg::SParserVersion>("prsAsm", 51, 52),
         "prsAsm: KVR file saved by different version of TTessaryParser.\n\rRecompile script to update KVR "
         "file.\n\rExpected version was 51 read version was 52"},
        {msg::SRangeError, FormatStr<msg::SRangeError>(0, 255), "Range error, value outwith 0 .. 255"},
        {msg::SContextRespecified, FormatStr<msg::SContextRespecified>(17),
         "Token value 17 re-specified in ContextState"},
        {msg::SDuplicateKeyword, FormatStr<msg::SDuplicateKeyword>("MOV"), "Duplicate keyword - 'MOV'"},
    };
    return rows;
}

} // namespace

TEST(Messages, TableIsSortedWithoutRepeats) {
    EXPECT_TRUE(MessageTableIsSorted());
    EXPECT_STREQ(LoadStr(999999), "");
    // Texts read as they are keep their percent signs.
    EXPECT_STREQ(LoadStr(msg::SDuplicateWordEntry), "Duplicate entry in %%word table");
}

TEST(Messages, EveryMessageWithConversionsFormatsAsBefore) {
    for (const Row& row : Rows())
        EXPECT_EQ(row.formatted, row.expected) << "message " << row.id;
    // A new message with conversions needs its row here.
    for (const MessageEntry& entry : kMessageTable) {
        if (message_format::SlotsOf(entry.text).count == 0) continue;
        EXPECT_TRUE(
            std::any_of(Rows().begin(), Rows().end(), [&](const Row& row) { return row.id == entry.id; }))
            << "no row for message " << entry.id << " \"" << entry.text << "\"";
    }
}

TEST(Messages, ArgumentsAreCopiedAsBytes) {
    // Windows-1250 bytes, a NUL-free text shorter than the precision, and a
    // null pointer (shown as nothing rather than read).
    EXPECT_EQ(FormatStr<msg::SFOpenError>("\x8a\xe8\x9e.asm"), "Cannot open file \"\x8a\xe8\x9e.asm\"");
    EXPECT_EQ(FormatStr<msg::SKeywordTooLong>("short"), "Keyword longer than 255 characters - 'short...'");
    EXPECT_EQ(FormatStr<msg::SFOpenError>(static_cast<const char*>(nullptr)), "Cannot open file \"\"");
    EXPECT_EQ(FormatStr<msg::SUnknownCharacter>(0xABC), "Unknown character in input stream: #$abc");
}
