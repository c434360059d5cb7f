#pragma once
// TREParser: the regular-expression engine of the editor's search.
//
// A pattern is compiled into a byte program of nodes and run by a
// backtracking matcher over a TRECharSource, trying one start position after
// the other, forwards or backwards. Besides success or failure the matcher
// records the start position of every matched element in a table of element
// slots: Position(0) is the match start, Position(SlotCount()) its end, and
// the span between slot n-1 and slot n is element n (the %n of a replace
// text).
//
// Pattern syntax
//   c        any other character matches itself (one node per character)
//   "text"   a quoted literal, one node; escapes are read inside it
//   .        any character but a line break (13)
//   ^        at a line break: consumes it; at the text start or just after a
//            line break: matches without consuming. Fills no slot.
//   $        before a line break or at the end of the text; fills a slot
//   [..] [^..]  character class, items are characters or ranges a-z; the
//            class escapes below may be used inside
//   \d \s \w digits; 13 32 10 12 9 8; letters, digits and _
//   \D \S \W their complements
//   \n=13 \r=10 \t=9 \b=8 \f=12 "\ "=32 (letters compared without case),
//   \ooo     1-3 octal digits (stops before a digit that would pass 255),
//   \xhh     1-2 hexadecimal digits; any other escaped character is itself
//   ( )      group, nesting at most 9 deep; | alternation, left to right
//   A||B     A and/or B, in either order: rewritten to ((A)(B)?)|((B)(A)?)
//            before compiling (error positions refer to the rewritten text)
//   * + ?    greedy; {n} {n,} {,m} {n,m} counted, n and m at most 65535;
//            a quantifier other than ? needs an operand that has width;
//            x{0}, x{,0} and x{0,0} match the empty text
//
// Program layout. Byte 0 is the magic byte 0x9C (0x9D in a fresh object, so
// that running it before a compile fails). Nodes follow from offset 1: one
// opcode byte, a 16-bit link stored high byte first, then the operand. The
// link is the distance from the node's own start to its next node, forwards
// for every opcode but BACK, for which it points backwards; 0 = no next node.
//
//   code    name      operand                       produced by
//   0       END       -                             end of the pattern
//   1       BOL       -                             ^
//   2       EOL       -                             $
//   3       ANY       -                             .
//   4       ANYOF     256 bytes, nonzero = member   [..] \d \s \w
//   5       ANYBUT    256 bytes, nonzero = excluded [^..] \D \S \W
//   6       BRANCH    alternative's first node follows   | and loops
//   7       BACK      - (link points backwards)     loops
//   8       EXACTLY   NUL-terminated literal        characters, "text"
//   9       NOTHING   -                             empty alternative, exits
//   10      STAR      single-width operand follows  * on a simple operand
//   11      PLUS      single-width operand follows  + on a simple operand
//   21..29  OPEN d    -                             ( at nesting depth d
//   41..49  CLOSE d   -                             ) at nesting depth d
//   150     SET       counter, 16-bit LE value      {..}: load a bound
//   152     DEC       counter, 2 spare bytes        {..}: count a pass
//   153     TEST      counter, 2 spare bytes        {..}: counter 0 -> node at
//                                                   +9, else node at +6
//   154     IFGT      counter                       counter > 0 -> next node,
//                                                   else the node 3 beyond it
//   155     IFLE      counter                       counter <= 0 -> next node,
//                                                   else the node 3 beyond it
//
// Node sequences: x* on a simple x is STAR x, otherwise BRANCH(x BACK) |
// BRANCH(NOTHING); x+ is PLUS x or x BRANCH(BACK) | BRANCH(NOTHING); x? is
// BRANCH(x) | BRANCH(NOTHING). With counter k:
//   x{n}    SET(k,n) x DEC(k) TEST(k) BACK->x NOTHING
//   x{n,}   SET(k,n) x DEC(k) IFLE(k) BRANCH(BACK->x) | BRANCH(NOTHING)
//   x{,m}   SET(k,m) L:BRANCH(x DEC(k) TEST(k) BACK->L NOTHING) | BRANCH(NOTHING)
//   x{n,m}  SET(k,n) SET(k+1,m) D:IFLE(k) BRANCH(x DEC(k) DEC(k+1) TEST(k+1)
//           BACK->D NOTHING) | BRANCH(NOTHING)
// {0,} and {1,} compile as * and +; {1} and {1,1} add nothing.
//
// Element slots: EXACTLY, ANY, ANYOF, ANYBUT, STAR, PLUS, EOL and OPEN each
// fill one slot with their start position; an element that would fill slot
// 255 raises "Index range error". A depth-1 group folds everything matched
// inside it into two slots (its own start and the start of its first inner
// element), so the element after it takes the next slot.
//
// What the engine guarantees on any pattern and text: compiling never reads
// outside the pattern and never writes outside the program buffer; a search
// never recurses (backtracking keeps its choice points on the heap), undoes
// counter changes and slots when it backtracks, and stops with "Expression
// too complex, search stopped" once its work passes a budget that grows with
// the number of start positions tried (a pattern cannot run away).

#include "common/Exceptions.h"
#include "regex/CharSource.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// A pattern or search error: the text of message ErrorId(), raised where the
// error was found.
class ERegExpError : public ETessary {
public:
    ERegExpError(int id, int position);
    int Id() const noexcept { return fId; }
    int Position() const noexcept { return fPosition; }

private:
    int fId;
    int fPosition;
};

// Work budget of one search, in steps (a node run, a character counted by
// STAR/PLUS, a shorter run retried). It grows with each start position so
// that long texts can be searched, and one start position may not take more
// than `attempt`: a runaway pattern ends in an error within a fraction of a
// second instead of hanging the editor.
struct TREWorkLimits {
    std::uint64_t base = 20'000'000;
    std::uint64_t perStart = 4096;
    std::uint64_t attempt = 20'000'000;
    size_t choicePoints = size_t{1} << 22;
};

class TREParser {
public:
    static constexpr int kSlotCount = 256;
    static constexpr int kCounterCount = 256;
    static constexpr std::uint8_t kMagic = 0x9C;
    static constexpr std::uint8_t kFreshMagic = 0x9D;

    TREParser();
    TREParser(const TREParser&) = delete;
    TREParser& operator=(const TREParser&) = delete;

    // Compiles the pattern unless it is the one compiled last. On an error
    // returns false with ErrorId() and ErrorPosition() set.
    bool Compile(std::string_view pattern);

    // Searches from the source's current position; on success the source
    // stands after the match. Raises ERegExpError on a search error.
    bool Execute(TRECharSource* stream, bool forward);

    void SetWorkLimits(const TREWorkLimits& limits) noexcept { fLimits = limits; }

    // Stream position of element slot `index` (-1 when not filled); raises
    // "Index range error" for an index outside 0..255.
    TREPos Position(int index) const;
    int SlotCount() const noexcept { return fSlotCount; }
    // The start position whose attempt matched last. Position(0) can lie
    // after it: ^ consumes the line break it matches and fills no slot.
    TREPos AttemptPosition() const noexcept { return fAttempt; }

    int ErrorId() const noexcept { return fErrorId; }
    // 0-based, just past the character that was being examined.
    int ErrorPosition() const noexcept { return fErrorPosition; }
    std::string ErrorMessage() const;

    // The text that was parsed last: the pattern after the A||B rewrite, to
    // which ErrorPosition() refers.
    const std::string& ParsedText() const noexcept { return fWork; }
    // The program (magic byte first), for inspection.
    const std::vector<std::uint8_t>& Program() const noexcept { return fProgram; }
    size_t ProgramSize() const noexcept { return fProgramSize; }
    // How many times a pattern was actually parsed (the cache skips a parse).
    int ParseCount() const noexcept { return fParseCount; }

private:
    // Compiler (RECompile.cpp).
    void Parse();
    int Reg(bool paren, int& flags);
    int Branch(int& flags);
    int Piece(int& flags);
    int Atom(int& flags);
    int Class();
    int QuotedLiteral(int& flags);
    int ReadEscapedChar();
    bool ClassEscape(char c, std::array<std::uint8_t, 256>& table, bool& negated);
    void Quantify(char op, int operand, int& flags);
    void Counted(int operand, int& flags);
    int Node(std::uint8_t op);
    int CounterNode(std::uint8_t op, int counter, int value);
    void WriteCounterOperand(int node, int counter, int value);
    void EmitByte(std::uint8_t b);
    void InsertNode(int at, std::uint8_t op, int operandBytes);
    void SetLink(int node, int target);
    void Tail(int chain, int target);
    void CloseCountedLoop(int test, int again, int loop);
    void OpTail(int node, int target);
    int NextNode(int node) const;
    int TakeCounter();
    [[noreturn]] void Fail(int id, size_t examined);
    bool AtPatternEnd() const { return fParse >= fWork.size(); }
    char Cur() const { return AtPatternEnd() ? '\0' : fWork[fParse]; }

    // Matcher (REMatch.cpp).
    bool MatchHere();
    bool Backtrack(int& pc);
    void FillSlot(TREPos position);
    void SetCounter(int counter, std::int32_t value);
    void ComputeFirstChars();
    bool FirstCharsFrom(int node, std::array<bool, 256>& set, int depth) const;
    std::int32_t CountRun(int operand);
    void Spend();

    struct ChoicePoint {
        int pc;             // alternative's BRANCH, or the node after STAR/PLUS
        int star;           // the STAR/PLUS node, 0 for an alternative
        TREPos position;    // where the alternative starts / where the run starts
        std::int32_t count; // run length being tried (STAR/PLUS)
        std::int16_t slotCount;
        std::int16_t groupSlot;
        std::uint32_t trail;
    };
    struct CounterChange {
        std::uint8_t counter;
        std::int32_t old;
    };

    std::string fPattern; // last pattern compiled successfully ("" = none)
    std::string fWork;    // the text being parsed (after the A||B rewrite)
    size_t fParse = 0;
    std::vector<std::uint8_t> fProgram;
    size_t fProgramSize = 0;
    size_t fEmit = 0;
    size_t fPeak = 0; // largest fEmit of the sizing pass
    bool fSizing = false;
    int fDepth = 1;
    int fNextCounter = 0;
    int fParseCount = 0;

    std::array<TREPos, kSlotCount> fSlots{};
    int fSlotCount = 0;
    int fSlotsDirty = 0; // slots below this may hold positions of an earlier attempt
    int fGroupSlot = -1;
    TREPos fAttempt = -1;
    std::array<std::int32_t, kCounterCount> fCounters{};

    int fErrorId = 0;
    int fErrorPosition = 0;
    TRECharSource* fStream = nullptr;

    // Search state.
    std::vector<ChoicePoint> fChoices;
    std::vector<CounterChange> fTrail;
    std::array<bool, 256> fFirstChars{};
    bool fHasFirstChars = false;
    TREWorkLimits fLimits;
    std::uint64_t fSteps = 0;
    std::uint64_t fStepLimit = 0;
};

} // namespace torvane
