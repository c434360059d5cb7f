#pragma once
// Torvane's 8051 assembler: Intel-dialect source in, code image, errors and
// an optional listing out. No Qt, no processes; the `asemw` front end wraps it.
//
// Passes. Every pass reads the whole program again (includes, macros,
// conditions and all) and defines every symbol afresh; a name used before its
// definition takes the previous pass's value. Passes repeat until a pass ends
// with the same symbol values and segment places as the one before it; the
// errors of that last pass are the ones reported, so a forward reference is
// never an error.
//
// Generic JMP and CALL. Each one (counted in reading order) starts short: SJMP
// when the target is within -128..+127, else AJMP when it lies in the same
// 2 KB page, ACALL for CALL. When its target is out of the short reach it
// becomes LJMP/LCALL for good. Sizes only grow, so the passes cannot
// oscillate and end after at most one growth per jump.
//
// Segments. CSEG, DSEG, XSEG, ISEG and BSEG are the absolute segments, each
// with its own location counter (AT sets it, like ORG). `name SEGMENT type`
// declares a relocatable segment and RSEG selects it; at the end of each pass
// a locator places the relocatable segments in declaration order behind the
// highest address the absolute part of the same memory uses: CODE and XDATA
// behind the absolute code or xdata, DATA from 08H (or above the register
// banks USING asked for) with BITADDRESSABLE ones first and inside 20H..2FH,
// IDATA behind DATA, BIT behind BSEG. The placement attributes of a CODE or
// XDATA segment move it on: PAGE starts it at a 256-byte page, INPAGE keeps
// it inside one page and INBLOCK inside one 2 KB block (what AJMP, ACALL and
// jump tables read with MOVC rely on); a segment larger than its page or
// block is an error. Other attributes (OVERLAYABLE, UNIT ...) are accepted
// and change nothing.
//
// Bounded work: include depth, macro nesting, line length, the number of
// lines one pass may read (which bounds nested REPTs), the bytes expansions
// may take and the errors one pass may collect are limited; passing a limit is an
// error, never a hang.

#include "asm51/CodeImage.h"
#include "asm51/Instructions.h"
#include "asm51/Macros.h"
#include "asm51/Sources.h"
#include "asm51/Symbols.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace torvane::asm51 {

struct AssemblerOptions {
    std::vector<std::string> includeDirs; // searched after the including file's folder
    std::string deviceDir;                // the bundled device headers, searched last
    bool listing = false;
};

struct Diagnostic {
    std::string file; // as the file is named to the user
    int line = 0;
    std::string message;
};

struct Assembly {
    std::vector<Diagnostic> errors;
    CodeImage code;
    std::string listing; // when asked for
    int passes = 0;
    bool Ok() const { return errors.empty(); }
};

// `shownName` names the main file in messages; include files are named by
// their full path.
Assembly AssembleFile(const std::string& path, const std::string& shownName, const AssemblerOptions& options);
// The same for a source held in memory; `path` places it for include lookup.
Assembly AssembleText(const std::string& text, const std::string& path, const std::string& shownName,
                      const AssemblerOptions& options);

enum class SegmentType { Code, Data, IData, XData, Bit };

// The assembler's state; AssembleFile is its only public use.
class Assembler final : public OperandContext {
public:
    explicit Assembler(const AssemblerOptions& options);
    // `text` null: the file at `path` is read.
    Assembly Run(const std::string& path, const std::string& shownName, const std::string* text);

    // OperandContext
    bool Lookup(const std::string& name, Value& value) override;
    int64_t Location() const override { return statementStart_; }
    bool IsDefined(const std::string& name) override;
    std::string RegisterAlias(const std::string& upperName) override;

private:
    struct Segment {
        std::string name;
        SegmentType type = SegmentType::Code;
        bool relocatable = false;
        bool bitAddressable = false;
        // PAGE: the alignment of its start; INPAGE, INBLOCK: the span it
        // must not cross (0: none).
        int64_t align = 1, within = 0;
        int64_t base = 0, offset = 0, size = 0;
        Origin declared;
    };
    struct Condition {
        bool parentActive, active, taken, elseSeen;
        Origin origin;
    };
    enum class BlockKind { Macro, Rept, Irp, Irpc };
    struct Collecting {
        BlockKind kind;
        std::string name;                // macro name
        std::vector<std::string> params; // macro parameters, or the IRP/IRPC parameter
        std::vector<std::string> values; // IRP values / IRPC characters
        int64_t count = 0;               // REPT
        int depth = 0;
        std::vector<SourceLine> body;
        Origin origin;
    };
    struct ListingRow {
        Origin origin;
        int64_t address;
        bool hasAddress;
        std::vector<uint8_t> bytes;
        std::string text;
    };

    // Assembler.cpp: passes, lines, conditions, blocks, includes, listing
    void RunPass();
    void ProcessLine(const SourceLine& line);
    bool HandleHashLine(const std::string& text, const Origin& origin);
    bool HandleCondition(const std::vector<Token>& tokens, const std::string& text, const Origin& origin);
    void OpenCondition(bool condition, const Origin& origin);
    void OpenConditionOn(const std::function<bool()>& condition, const Origin& origin);
    bool Active() const { return conditions_.empty() || conditions_.back().active; }
    bool EvaluateCondition(const std::vector<Token>& tokens, size_t begin);
    void HandleControls(const std::string& text, const Origin& origin);
    void Include(std::string name, const Origin& origin);
    void Collect(const SourceLine& line);
    void FinishBlock();
    // `count` copies of `body`, copy i with the names of perCopy[i] (if any)
    // replaced; lines of a macro take the invocation as their origin.
    void ExpandBlock(const std::vector<SourceLine>& body, size_t count,
                     const std::vector<std::map<std::string, std::string>>& perCopy,
                     const Origin* invocation);
    void Error(const Origin& origin, const std::string& message);
    std::string MakeListing() const;

    // Statements.cpp: statements, directives, segments, the locator
    void Statement(const std::vector<Token>& tokens, const std::string& text, const Origin& origin);
    bool DefinitionDirective(const std::vector<Token>& tokens, const std::string& text, const Origin& origin);
    bool Directive(const std::string& word, const std::vector<Token>& tokens, size_t at,
                   const std::string& text, const Origin& origin);
    void Instruction(const std::string& mnemonic, const std::vector<Token>& tokens, size_t at);
    void GenericJump(const std::string& mnemonic, const std::vector<Token>& tokens, size_t at);
    void InvokeMacro(const std::string& name, const std::string& text, size_t argsColumn,
                     const Origin& origin);
    void DefineLabel(const Token& name);
    void DefineSymbol(const std::string& name, Symbol symbol);
    void Emit(const std::vector<uint8_t>& bytes);
    void Reserve(int64_t count);
    void SelectAbsolute(SegmentType type, const std::vector<Token>& tokens, size_t at);
    void DeclareSegment(const std::string& name, const std::vector<Token>& tokens, size_t at,
                        const Origin& origin);
    Segment& Current() { return segments_[current_]; }
    Value Expression(const std::vector<Token>& tokens, size_t begin, size_t end);
    void Locate();
    bool KnownWord(const std::string& upper) const;

    AssemblerOptions options_;
    SourceFiles files_;
    SymbolTable symbols_;
    LineReader reader_;
    int mainFile_ = -1;

    // kept across passes
    std::vector<bool> longJumps_;
    std::map<std::string, int64_t> relocationBases_;
    bool basesChanged_ = false;

    // one pass
    std::vector<Diagnostic> errors_;
    CodeImage image_;
    std::map<std::string, MacroDefinition> macros_;
    std::map<std::string, CDefine> defines_;
    std::vector<Condition> conditions_;
    std::vector<Collecting> collecting_; // empty or one block being read
    std::vector<Segment> segments_;
    size_t current_ = 0;
    size_t jumpSite_ = 0;
    int localCounter_ = 0;
    int using_ = 0, highestBank_ = 0;
    size_t linesRead_ = 0, linesReadAllPasses_ = 0;
    size_t bytesExpanded_ = 0;
    bool ended_ = false;
    int pass_ = 0;
    size_t errorCount_ = 0;
    bool tooManyErrors_ = false;
    bool codeOverflowed_ = false;
    bool jumpGrew_ = false;
    int64_t statementStart_ = 0;
    std::string undefined_;
    std::vector<ListingRow> listing_;
};

} // namespace torvane::asm51
