// The compiler of TREParser: a recursive-descent parser (alternation of
// branches, a branch is a sequence of pieces, a piece an atom with
// quantifiers) that runs twice over the pattern. The sizing pass only counts
// bytes; the emitting pass writes the nodes into a buffer of that size.
#include "common/Messages.h"
#include "regex/REEitherOrBoth.h"
#include "regex/RENodes.h"
#include "regex/REParser.h"

#include <cstring>

namespace torvane {

using namespace re;

namespace {

constexpr size_t kFreshProgramSize = 256;
constexpr int kNoBound = -1;
constexpr int kMaxCount = 0xFFFF;

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void AddRange(std::array<std::uint8_t, 256>& table, int from, int to) {
    for (int c = from; c <= to; ++c)
        table[static_cast<size_t>(c)] = 1;
}

// The members of \d, \s and \w.
std::array<std::uint8_t, 256> ClassTable(char letter) {
    std::array<std::uint8_t, 256> t{};
    switch (letter) {
    case 'd':
        AddRange(t, '0', '9');
        break;
    case 's':
        for (int c : {13, 32, 10, 12, 9, 8})
            t[static_cast<size_t>(c)] = 1;
        break;
    case 'w':
        AddRange(t, 'a', 'z');
        AddRange(t, 'A', 'Z');
        AddRange(t, '0', '9');
        t['_'] = 1;
        break;
    }
    return t;
}

bool IsClassEscapeLetter(char c) {
    return c == 'd' || c == 's' || c == 'w' || c == 'D' || c == 'S' || c == 'W';
}

} // namespace

ERegExpError::ERegExpError(int id, int position) : ETessary(LoadStr(id)), fId(id), fPosition(position) {}

TREParser::TREParser() : fProgram(kFreshProgramSize, 0) {
    fProgram[0] = kFreshMagic;
    fSlots.fill(-1);
}

std::string TREParser::ErrorMessage() const {
    return LoadStr(fErrorId);
}

bool TREParser::Compile(std::string_view pattern) {
    if (!pattern.empty() && fProgramSize > 0 && pattern == fPattern) return true;
    fErrorId = msg::SRENoErrors;
    fErrorPosition = 0;
    fPattern.assign(pattern);
    try {
        Parse();
        return true;
    } catch (const ERegExpError&) {
        fPattern.clear();
        fProgramSize = 0;
        return false;
    }
}

void TREParser::Fail(int id, size_t examined) {
    fErrorId = id;
    fErrorPosition = static_cast<int>(examined + 1);
    throw ERegExpError(id, fErrorPosition);
}

void TREParser::Parse() {
    ++fParseCount;
    fProgramSize = 0;
    if (fPattern.empty()) {
        fWork.clear();
        fErrorId = msg::SREInvalidParameter;
        throw ERegExpError(fErrorId, 0);
    }
    auto rewritten = RewriteEitherOrBoth(fPattern);
    if (!rewritten) {
        fWork = fPattern;
        Fail(msg::SRegExpTooLong, 0);
    }
    fWork = std::move(*rewritten);

    // Pass 1: size. Pass 2: emit into a buffer of that size plus slack. The
    // buffer covers the largest size reached while parsing, which exceeds
    // the final size when x{0} drops the code of its operand.
    size_t needed = 0;
    fPeak = 0;
    for (bool sizing : {true, false}) {
        fSizing = sizing;
        if (!sizing) fProgram.assign(fPeak + kFreshProgramSize, 0);
        fParse = 0;
        fDepth = 1;
        fNextCounter = 0;
        fEmit = 0;
        EmitByte(kMagic);
        int flags = 0;
        Reg(false, flags);
        if (sizing) {
            needed = fEmit;
            if (fPeak > static_cast<size_t>(kMaxProgram)) Fail(msg::SRegExpTooLong, fWork.size());
        }
    }
    fSizing = false;
    fProgramSize = needed;
    ComputeFirstChars();
}

// ---- Emitting ----------------------------------------------------------------

void TREParser::EmitByte(std::uint8_t b) {
    if (!fSizing) fProgram[fEmit] = b;
    if (++fEmit > fPeak) fPeak = fEmit;
}

int TREParser::Node(std::uint8_t op) {
    int at = static_cast<int>(fEmit);
    EmitByte(op);
    EmitByte(0);
    EmitByte(0);
    return at;
}

int TREParser::CounterNode(std::uint8_t op, int counter, int value) {
    int at = Node(op);
    EmitByte(static_cast<std::uint8_t>(counter));
    if (op == IFGT || op == IFLE) return at;
    EmitByte(static_cast<std::uint8_t>(value & 0xFF));
    EmitByte(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    return at;
}

// Fills in the operand of a counter node made by InsertNode(); a value of -1
// writes the counter number only (IFGT, IFLE).
void TREParser::WriteCounterOperand(int node, int counter, int value) {
    if (fSizing) return;
    std::uint8_t* p = &fProgram[static_cast<size_t>(node)];
    p[3] = static_cast<std::uint8_t>(counter);
    if (value < 0) return;
    p[4] = static_cast<std::uint8_t>(value & 0xFF);
    p[5] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Inserts a node before the code at `at`; that code moves up by the node's
// size, and its links stay valid because they are relative.
void TREParser::InsertNode(int at, std::uint8_t op, int operandBytes) {
    size_t size = static_cast<size_t>(kNodeHeader + operandBytes);
    if (!fSizing) {
        std::memmove(&fProgram[static_cast<size_t>(at) + size], &fProgram[static_cast<size_t>(at)],
                     fEmit - static_cast<size_t>(at));
        std::memset(&fProgram[static_cast<size_t>(at)], 0, size);
        fProgram[static_cast<size_t>(at)] = op;
    }
    fEmit += size;
    if (fEmit > fPeak) fPeak = fEmit;
}

int TREParser::NextNode(int node) const {
    return NextOf(fProgram, node);
}

void TREParser::SetLink(int node, int target) {
    if (fSizing) return;
    int distance = fProgram[static_cast<size_t>(node)] == BACK ? node - target : target - node;
    fProgram[static_cast<size_t>(node) + 1] = static_cast<std::uint8_t>((distance >> 8) & 0xFF);
    fProgram[static_cast<size_t>(node) + 2] = static_cast<std::uint8_t>(distance & 0xFF);
}

// Links the last node of the chain starting at `chain` to `target`.
void TREParser::Tail(int chain, int target) {
    if (fSizing) return;
    int scan = chain;
    for (int next = NextNode(scan); next != 0; next = NextNode(scan))
        scan = next;
    SetLink(scan, target);
}

// Tail() on the operand of a BRANCH; anything else is left alone.
void TREParser::OpTail(int node, int target) {
    if (fSizing || fProgram[static_cast<size_t>(node)] != BRANCH) return;
    Tail(node + kNodeHeader, target);
}

int TREParser::TakeCounter() {
    if (fNextCounter >= kCounterCount) Fail(msg::SRegExpTooLong, fParse - 1);
    return fNextCounter++;
}

// ---- Parsing -----------------------------------------------------------------

// The top level (paren false) or a group: a chain of BRANCH nodes, one per
// alternative, all leading to one exit (CLOSE or END).
int TREParser::Reg(bool paren, int& flags) {
    flags = kHasWidth;
    int ret = 0;
    int depth = fDepth;
    if (paren) {
        if (fDepth > kMaxDepth) Fail(msg::SRETooManySubexpr, fParse - 1);
        ret = Node(static_cast<std::uint8_t>(OPEN + depth));
        ++fDepth;
    }
    for (;;) {
        int branchFlags = 0;
        int br = Branch(branchFlags);
        if (ret != 0)
            Tail(ret, br);
        else
            ret = br;
        if (!(branchFlags & kHasWidth)) flags &= ~kHasWidth;
        flags |= branchFlags & kSpStart;
        if (Cur() != '|' || AtPatternEnd()) break;
        ++fParse;
    }
    int ender = Node(paren ? static_cast<std::uint8_t>(CLOSE + depth) : static_cast<std::uint8_t>(END));
    Tail(ret, ender);
    if (!fSizing)
        for (int br = ret; br != 0; br = NextNode(br))
            OpTail(br, ender);
    if (paren) {
        fDepth = depth;
        if (AtPatternEnd() || Cur() != ')') Fail(msg::SREUnmatchedParen, fParse);
        ++fParse;
    } else if (!AtPatternEnd()) {
        Fail(Cur() == ')' ? msg::SREUnmatchedParen : msg::SREInternalError, fParse);
    }
    return ret;
}

// One alternative: a BRANCH node followed by its pieces, or by NOTHING when
// it is empty.
int TREParser::Branch(int& flags) {
    flags = 0;
    int ret = Node(BRANCH);
    int chain = 0;
    while (!AtPatternEnd() && Cur() != '|' && Cur() != ')') {
        int pieceFlags = 0;
        int latest = Piece(pieceFlags);
        flags |= pieceFlags & kHasWidth;
        if (chain == 0)
            flags |= pieceFlags & kSpStart;
        else
            Tail(chain, latest);
        chain = latest;
    }
    if (chain == 0) Node(NOTHING);
    return ret;
}

int TREParser::Piece(int& flags) {
    int atomFlags = 0;
    int ret = Atom(atomFlags);
    flags = atomFlags;
    bool quantified = false;
    while (!AtPatternEnd()) {
        char op = Cur();
        if (op != '*' && op != '+' && op != '?' && op != '{') break;
        if (quantified && op != '{') Fail(msg::SRENestedRepeat, fParse);
        if (op != '?' && !(flags & kHasWidth)) Fail(msg::SREInvalidRepeat, fParse);
        ++fParse;
        if (op == '{')
            Counted(ret, flags);
        else
            Quantify(op, ret, flags);
        quantified = true;
    }
    return ret;
}

// *, + and ? on the operand emitted at `operand`.
void TREParser::Quantify(char op, int operand, int& flags) {
    const bool simple = flags & kSimple;
    if (op == '*' && simple) {
        InsertNode(operand, STAR, 0);
    } else if (op == '+' && simple) {
        InsertNode(operand, PLUS, 0);
    } else if (op == '*') {
        // BRANCH(x BACK) | BRANCH(NOTHING)
        InsertNode(operand, BRANCH, 0);
        OpTail(operand, Node(BACK));
        OpTail(operand, operand);
        Tail(operand, Node(BRANCH));
        Tail(operand, Node(NOTHING));
    } else if (op == '+') {
        // x BRANCH(BACK) | BRANCH(NOTHING)
        int branch = Node(BRANCH);
        Tail(operand, branch);
        Tail(Node(BACK), operand);
        Tail(branch, Node(BRANCH));
        Tail(operand, Node(NOTHING));
    } else {
        // BRANCH(x) | BRANCH(NOTHING)
        InsertNode(operand, BRANCH, 0);
        Tail(operand, Node(BRANCH));
        int nothing = Node(NOTHING);
        Tail(operand, nothing);
        OpTail(operand, nothing);
    }
    flags = op == '+' ? kHasWidth : kSpStart;
}

// {n} {n,} {,m} {n,m} on the operand emitted at `operand`; the '{' has been
// read.
// Ends a counted loop after its TEST node: BACK to `again`, the loop's
// NOTHING after the TEST, and the second BRANCH (NOTHING) beside the loop's
// BRANCH at `loop`, both arms meeting in one final NOTHING.
void TREParser::CloseCountedLoop(int test, int again, int loop) {
    SetLink(Node(BACK), again);
    int done = Node(NOTHING);
    SetLink(test, done);
    int leave = Node(BRANCH);
    SetLink(loop, leave);
    int exit = Node(NOTHING);
    SetLink(leave, exit);
    SetLink(done, exit);
}

void TREParser::Counted(int operand, int& flags) {
    auto number = [&](int& value) {
        value = kNoBound;
        while (!AtPatternEnd() && Cur() >= '0' && Cur() <= '9') {
            value = (value == kNoBound ? 0 : value) * 10 + (Cur() - '0');
            if (value > kMaxCount) Fail(msg::SREInvalidRange, fParse);
            ++fParse;
        }
    };
    int low = 0, high = 0;
    number(low);
    bool comma = !AtPatternEnd() && Cur() == ',';
    if (comma) {
        ++fParse;
        number(high);
    } else {
        high = low;
    }
    if (AtPatternEnd() || Cur() != '}') Fail(msg::SREInvalidRange, fParse);
    if (low == kNoBound && high == kNoBound) Fail(msg::SREInvalidRange, fParse); // {} and {,}
    if (low == kNoBound) low = 0;
    if (high != kNoBound && high < low) Fail(msg::SREInvalidRange, fParse);
    ++fParse;

    if (high == 0) {
        // Zero passes: drop the operand's code (both passes drop the same).
        fEmit = static_cast<size_t>(operand);
        Node(NOTHING);
        flags = 0;
        return;
    }
    if (low == 1 && high == 1) return;
    if (high == kNoBound && low <= 1) {
        Quantify(low == 0 ? '*' : '+', operand, flags);
        return;
    }
    flags = low > 0 ? kHasWidth : 0;
    if (low == high) {
        // SET(k,n) x DEC(k) TEST(k) BACK->x NOTHING
        int k = TakeCounter();
        InsertNode(operand, SET, 3);
        int body = operand + kCounterNode;
        WriteCounterOperand(operand, k, low);
        SetLink(operand, body);
        Tail(operand, CounterNode(DEC, k, 0));
        int test = CounterNode(TEST, k, 0);
        Tail(operand, test);
        SetLink(Node(BACK), body);
        SetLink(test, Node(NOTHING));
    } else if (high == kNoBound) {
        // SET(k,n) x DEC(k) IFLE(k) BRANCH(BACK->x) | BRANCH(NOTHING)
        int k = TakeCounter();
        InsertNode(operand, SET, 3);
        int body = operand + kCounterNode;
        WriteCounterOperand(operand, k, low);
        SetLink(operand, body);
        Tail(operand, CounterNode(DEC, k, 0));
        Tail(operand, CounterNode(IFLE, k, 0));
        int loop = Node(BRANCH);
        Tail(operand, loop);
        SetLink(Node(BACK), body);
        int leave = Node(BRANCH);
        SetLink(loop, leave);
        SetLink(leave, Node(NOTHING));
    } else if (low == 0) {
        // SET(k,m) L:BRANCH(x DEC(k) TEST(k) BACK->L NOTHING) | BRANCH(NOTHING)
        int k = TakeCounter();
        InsertNode(operand, BRANCH, 0);
        InsertNode(operand, SET, 3);
        int loop = operand + kCounterNode;
        int body = loop + kNodeHeader;
        WriteCounterOperand(operand, k, high);
        SetLink(operand, loop);
        int dec = CounterNode(DEC, k, 0);
        Tail(body, dec);
        int test = CounterNode(TEST, k, 0);
        SetLink(dec, test);
        CloseCountedLoop(test, loop, loop);
    } else {
        // SET(k,n) SET(k+1,m) D:IFLE(k) BRANCH(x DEC(k) DEC(k+1) TEST(k+1)
        // BACK->D NOTHING) | BRANCH(NOTHING)
        int k = TakeCounter();
        int kMax = TakeCounter();
        InsertNode(operand, BRANCH, 0);
        InsertNode(operand, IFLE, 1);
        InsertNode(operand, SET, 3);
        InsertNode(operand, SET, 3);
        int setMax = operand + kCounterNode;
        int decide = setMax + kCounterNode;
        int loop = decide + kIfNode;
        int body = loop + kNodeHeader;
        WriteCounterOperand(operand, k, low);
        WriteCounterOperand(setMax, kMax, high);
        WriteCounterOperand(decide, k, -1);
        SetLink(operand, setMax);
        SetLink(setMax, decide);
        SetLink(decide, loop);
        int dec = CounterNode(DEC, k, 0);
        Tail(body, dec);
        int decMax = CounterNode(DEC, kMax, 0);
        SetLink(dec, decMax);
        int test = CounterNode(TEST, kMax, 0);
        SetLink(decMax, test);
        CloseCountedLoop(test, decide, loop);
    }
}

int TREParser::Atom(int& flags) {
    flags = 0;
    size_t at = fParse;
    char c = fWork[fParse++];
    switch (c) {
    case '^':
        return Node(BOL);
    case '$':
        return Node(EOL);
    case '.':
        flags = kHasWidth | kSimple;
        return Node(ANY);
    case '[':
        flags = kHasWidth | kSimple;
        return Class();
    case '(': {
        int groupFlags = 0;
        int ret = Reg(true, groupFlags);
        flags = groupFlags & kHasWidth;
        return ret;
    }
    case '|':
    case ')':
        Fail(msg::SREInternalError, at);
    case '?':
    case '+':
    case '*':
        Fail(msg::SREInvalidRepeat, at);
    case '"':
        return QuotedLiteral(flags);
    case '\\':
        if (AtPatternEnd()) Fail(msg::SREUnexpectedEnd, fParse);
        if (IsClassEscapeLetter(Cur())) {
            char letter = fWork[fParse++];
            bool negated = letter >= 'A' && letter <= 'Z';
            int ret = Node(negated ? ANYBUT : ANYOF);
            auto table = ClassTable(Lower(letter));
            for (std::uint8_t b : table)
                EmitByte(b);
            flags = kHasWidth | kSimple;
            return ret;
        }
        c = static_cast<char>(ReadEscapedChar());
        break;
    default:
        break;
    }
    int ret = Node(EXACTLY);
    EmitByte(static_cast<std::uint8_t>(c));
    EmitByte(0);
    flags = kHasWidth | kSimple;
    return ret;
}

// The character of an escape; the backslash has been read.
int TREParser::ReadEscapedChar() {
    if (AtPatternEnd()) Fail(msg::SREUnexpectedEnd, fParse);
    char c = fWork[fParse++];
    switch (Lower(c)) {
    case 'n':
        return 13;
    case 'r':
        return 10;
    case 't':
        return 9;
    case 'b':
        return 8;
    case 'f':
        return 12;
    case 'x': {
        int value = AtPatternEnd() ? -1 : HexValue(Cur());
        if (value < 0) Fail(msg::SREHexDigitExpected, fParse);
        ++fParse;
        if (!AtPatternEnd() && HexValue(Cur()) >= 0) value = value * 16 + HexValue(fWork[fParse++]);
        return value;
    }
    default:
        break;
    }
    if (IsOctal(c)) {
        int value = c - '0';
        for (int digits = 1; digits < 3 && !AtPatternEnd() && IsOctal(Cur()); ++digits) {
            int next = value * 8 + (Cur() - '0');
            if (next > 255) break;
            value = next;
            ++fParse;
        }
        return value;
    }
    return static_cast<unsigned char>(c);
}

// A class escape inside brackets adds its members (or, for \D \S \W, every
// character that is not one).
bool TREParser::ClassEscape(char c, std::array<std::uint8_t, 256>& table, bool& negated) {
    if (!IsClassEscapeLetter(c)) return false;
    negated = c >= 'A' && c <= 'Z';
    auto members = ClassTable(Lower(c));
    for (size_t i = 0; i < 256; ++i)
        if (members[i] != negated) table[i] = 1;
    return true;
}

// [...] or [^...]; the '[' has been read.
int TREParser::Class() {
    bool exclude = false;
    if (!AtPatternEnd() && Cur() == '^') {
        exclude = true;
        ++fParse;
    }
    if (!AtPatternEnd() && Cur() == ']') Fail(msg::SREUnmatchedBracket, fParse);
    std::array<std::uint8_t, 256> table{};
    for (;;) {
        if (AtPatternEnd()) Fail(msg::SREUnmatchedBracket, fParse);
        char c = fWork[fParse++];
        if (c == ']') break;
        int low = static_cast<unsigned char>(c);
        if (c == '\\') {
            bool negated = false;
            if (!AtPatternEnd() && ClassEscape(Cur(), table, negated)) {
                ++fParse;
                continue;
            }
            low = ReadEscapedChar();
        }
        if (AtPatternEnd() || Cur() != '-') {
            table[static_cast<size_t>(low)] = 1;
            continue;
        }
        ++fParse; // the '-'
        if (AtPatternEnd() || Cur() == ']') Fail(msg::SREInvalidRange, fParse);
        int high = static_cast<unsigned char>(fWork[fParse++]);
        if (high == '\\') {
            if (!AtPatternEnd() && IsClassEscapeLetter(Cur())) Fail(msg::SREInvalidRange, fParse);
            high = ReadEscapedChar();
        }
        if (high < low) Fail(msg::SREInvalidRange, fParse - 1);
        AddRange(table, low, high);
    }
    int ret = Node(exclude ? ANYBUT : ANYOF);
    for (std::uint8_t b : table)
        EmitByte(b);
    return ret;
}

// "text": one EXACTLY node; the opening quote has been read. A literal that
// holds the code 0 is stored empty, which never matches: the text store
// holds no NUL characters, and a NUL would end the stored literal early.
int TREParser::QuotedLiteral(int& flags) {
    std::string text;
    bool hasNul = false;
    for (;;) {
        if (AtPatternEnd()) Fail(msg::SREQuoteExpected, fParse);
        char c = fWork[fParse++];
        if (c == '"') break;
        int code = c == '\\' ? ReadEscapedChar() : static_cast<unsigned char>(c);
        if (code == 0) hasNul = true;
        text.push_back(static_cast<char>(code));
    }
    if (hasNul) text.clear();
    int ret = Node(EXACTLY);
    for (char ch : text)
        EmitByte(static_cast<std::uint8_t>(ch));
    EmitByte(0);
    flags = kHasWidth | (text.size() == 1 ? kSimple : 0);
    return ret;
}

} // namespace torvane
