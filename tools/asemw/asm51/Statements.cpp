// Statements of the Intel dialect: labels, symbol definitions, directives,
// instructions, and the segments they fill.

#include "asm51/Assembler.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace torvane::asm51 {

namespace {

const std::set<std::string>& DirectiveWords() {
    static const std::set<std::string> words = {"ORG",  "DB",     "DW",    "DS",     "DBIT", "USING", "END",
                                                "NAME", "PUBLIC", "EXTRN", "EXTERN", "CSEG", "DSEG",  "XSEG",
                                                "ISEG", "BSEG",   "RSEG",  "MACRO",  "ENDM", "EXITM", "LOCAL",
                                                "REPT", "IRP",    "IRPC",  "INCLUDE"};
    return words;
}

const char* SegmentTypeName(SegmentType type) {
    switch (type) {
    case SegmentType::Code:
        return "CODE";
    case SegmentType::Data:
        return "DATA";
    case SegmentType::IData:
        return "IDATA";
    case SegmentType::XData:
        return "XDATA";
    case SegmentType::Bit:
        return "BIT";
    }
    return "";
}

// One past the highest address a segment of this type may use.
int64_t MemoryEnd(SegmentType type) {
    return type == SegmentType::Code || type == SegmentType::XData ? 0x10000 : 0x100;
}

// Comma-separated items of tokens[begin, end) at the top level.
std::vector<std::pair<size_t, size_t>> Items(const std::vector<Token>& tokens, size_t begin, size_t end) {
    std::vector<std::pair<size_t, size_t>> items;
    int depth = 0;
    size_t start = begin;
    for (size_t i = begin; i <= end; ++i) {
        if (i < end && tokens[i].Is("(")) ++depth;
        if (i < end && tokens[i].Is(")")) --depth;
        if (i == end || (depth == 0 && tokens[i].Is(","))) {
            if (i == start) throw AsmError("missing value in list");
            items.emplace_back(start, i);
            start = i + 1;
        }
    }
    return items;
}

std::string RegisterKeyword(const Token& t) {
    if (t.kind != TokenKind::Name) return {};
    const std::string u = Upper(t.text);
    if (u == "A" || u == "AB" || u == "C" || u == "DPTR") return u;
    if (u.size() == 2 && u[0] == 'R' && u[1] >= '0' && u[1] <= '7') return u;
    return {};
}

} // namespace

bool Assembler::KnownWord(const std::string& upper) const {
    return DirectiveWords().count(upper) || IsMnemonic(upper) || macros_.count(upper);
}

Value Assembler::Expression(const std::vector<Token>& tokens, size_t begin, size_t end) {
    return Evaluate(tokens, begin, end, *this);
}

void Assembler::Statement(const std::vector<Token>& tokens, const std::string& text, const Origin& origin) {
    if (tokens.empty()) return;
    if (tokens.back().kind == TokenKind::Error) throw AsmError(tokens.back().text);
    undefined_.clear();
    statementStart_ = Current().base + Current().offset;
    if (options_.listing) {
        listing_.back().address = statementStart_;
        listing_.back().hasAddress = true;
    }
    if (!DefinitionDirective(tokens, text, origin)) {
        size_t at = 0;
        if (tokens.size() >= 2 && tokens[0].kind == TokenKind::Name && tokens[1].Is(":")) {
            DefineLabel(tokens[0]);
            at = 2;
        }
        if (at >= tokens.size()) return;
        if (tokens[at].kind != TokenKind::Name)
            throw AsmError("unexpected " + Shown(tokens[at]) + " at the start of a statement");
        std::string word = Upper(tokens[at].text);
        if (at == 0 && !KnownWord(word) && tokens.size() > 1 && tokens[1].kind == TokenKind::Name &&
            KnownWord(Upper(tokens[1].text))) {
            // A label written without its colon, as some sources do.
            DefineLabel(tokens[0]);
            at = 1;
            word = Upper(tokens[1].text);
        }
        if (Directive(word, tokens, at, text, origin)) {
        } else if (macros_.count(word)) {
            InvokeMacro(word, text, tokens[at].column + tokens[at].text.size(), origin);
        } else if (word == "CALL" || (word == "JMP" && !(tokens.size() > at + 1 && tokens[at + 1].Is("@")))) {
            GenericJump(word, tokens, at);
        } else if (IsMnemonic(word)) {
            Instruction(word, tokens, at + 1);
        } else {
            throw AsmError("unknown instruction or directive '" + tokens[at].text + "'");
        }
    }
    // In the first pass a name may simply be defined further on.
    if (!undefined_.empty() && pass_ > 1) throw AsmError("undefined symbol '" + undefined_ + "'");
}

bool Assembler::DefinitionDirective(const std::vector<Token>& tokens, const std::string& text,
                                    const Origin& origin) {
    (void)text;
    if (tokens.size() < 2 || tokens[0].kind != TokenKind::Name || tokens[1].kind != TokenKind::Name)
        return false;
    const std::string word = Upper(tokens[1].text);
    const std::string name = Upper(tokens[0].text);
    static const std::set<std::string> kWords = {"EQU", "SET",  "DATA",    "IDATA", "XDATA",
                                                 "BIT", "CODE", "SEGMENT", "MACRO"};
    // A macro may be defined again; other known words cannot be names.
    if (!kWords.count(word) || (KnownWord(name) && !(word == "MACRO" && macros_.count(name)))) return false;
    if (word == "MACRO") {
        Collecting block{BlockKind::Macro, name, {}, {}, 0, 0, {}, origin};
        for (size_t i = 2; i < tokens.size(); ++i) {
            if (tokens[i].kind == TokenKind::Name)
                block.params.push_back(Upper(tokens[i].text));
            else if (!tokens[i].Is(","))
                throw AsmError("unexpected " + Shown(tokens[i]) + " in macro parameters");
        }
        collecting_.push_back(std::move(block));
        return true;
    }
    if (word == "SEGMENT") {
        DeclareSegment(name, tokens, 1, origin);
        return true;
    }
    if (tokens.size() == 2) throw AsmError(word + " needs a value");
    Symbol symbol;
    symbol.redefinable = word == "SET";
    if (word == "EQU" || word == "SET") {
        std::string reg = tokens.size() == 3 ? RegisterKeyword(tokens[2]) : std::string();
        if (reg.empty() && tokens.size() == 3 && tokens[2].kind == TokenKind::Name)
            reg = RegisterAlias(Upper(tokens[2].text));
        if (!reg.empty()) {
            symbol.type = SymbolType::Register;
            symbol.reg = reg;
            DefineSymbol(name, symbol);
            return true;
        }
    }
    const Value v = Expression(tokens, 2, tokens.size());
    static const std::map<std::string, std::pair<SymbolType, int64_t>> kTypes = {
        {"EQU", {SymbolType::Number, 0xFFFF}},  {"SET", {SymbolType::Number, 0xFFFF}},
        {"DATA", {SymbolType::Data, 0xFF}},     {"IDATA", {SymbolType::IData, 0xFF}},
        {"XDATA", {SymbolType::XData, 0xFFFF}}, {"CODE", {SymbolType::Code, 0xFFFF}},
        {"BIT", {SymbolType::Bit, 0xFF}}};
    const auto& [type, limit] = kTypes.at(word);
    if (v.known && v.number > limit)
        throw AsmError(word + " value " + std::to_string(v.number) + " is out of range for '" +
                       tokens[0].text + "'");
    symbol.type = type;
    symbol.value = v.number;
    DefineSymbol(name, symbol);
    return true;
}

void Assembler::DefineSymbol(const std::string& name, Symbol symbol) {
    if (KnownWord(name) || !RegisterKeyword(Token{TokenKind::Name, name}).empty())
        throw AsmError("'" + name + "' is a reserved word and cannot be defined");
    const std::string error = symbols_.Define(name, symbol);
    if (!error.empty()) throw AsmError(error);
}

void Assembler::DefineLabel(const Token& name) {
    Symbol symbol;
    static const SymbolType kTypes[] = {SymbolType::Code, SymbolType::Data, SymbolType::IData,
                                        SymbolType::XData, SymbolType::Bit};
    symbol.type = kTypes[static_cast<int>(Current().type)];
    symbol.value = statementStart_;
    DefineSymbol(Upper(name.text), symbol);
}

bool Assembler::Directive(const std::string& word, const std::vector<Token>& tokens, size_t at,
                          const std::string& text, const Origin& origin) {
    if (!DirectiveWords().count(word)) return false;
    const size_t first = at + 1, end = tokens.size();
    auto needValue = [&]() {
        if (first >= end) throw AsmError(word + " needs a value");
        return Expression(tokens, first, end);
    };
    if (word == "ORG") {
        const Value v = needValue();
        Segment& s = Current();
        if (v.number >= MemoryEnd(s.type))
            throw AsmError("ORG address is outside " + std::string(SegmentTypeName(s.type)));
        s.offset = s.relocatable ? v.number : v.number - s.base;
    } else if (word == "DB") {
        std::vector<uint8_t> bytes;
        if (first >= end) throw AsmError("DB needs a value");
        for (auto [b, e] : Items(tokens, first, end)) {
            if (e == b + 1 && tokens[b].kind == TokenKind::String && tokens[b].text.size() != 1) {
                bytes.insert(bytes.end(), tokens[b].text.begin(), tokens[b].text.end());
                continue;
            }
            const Value v = Expression(tokens, b, e);
            if (v.known && v.number > 0xFF && v.number < 0xFF00)
                throw AsmError("DB value " + std::to_string(v.number) + " does not fit in a byte");
            bytes.push_back(static_cast<uint8_t>(v.number));
        }
        Emit(bytes);
    } else if (word == "DW") {
        std::vector<uint8_t> bytes;
        if (first >= end) throw AsmError("DW needs a value");
        for (auto [b, e] : Items(tokens, first, end)) {
            const Value v = Expression(tokens, b, e);
            bytes.push_back(static_cast<uint8_t>(v.number >> 8));
            bytes.push_back(static_cast<uint8_t>(v.number));
        }
        Emit(bytes);
    } else if (word == "DS") {
        Reserve(needValue().number);
    } else if (word == "DBIT") {
        if (Current().type != SegmentType::Bit) throw AsmError("DBIT belongs in a BIT segment");
        Reserve(needValue().number);
    } else if (word == "USING") {
        const Value v = needValue();
        if (v.number > 3) throw AsmError("USING takes a register bank 0..3");
        using_ = static_cast<int>(v.number);
        highestBank_ = std::max(highestBank_, using_);
    } else if (word == "END") {
        ended_ = true;
    } else if (word == "EXTRN" || word == "EXTERN") {
        throw AsmError("EXTRN needs a linker; this build assembles one module, so define the symbol in it "
                       "(or include its file)");
    } else if (word == "CSEG" || word == "DSEG" || word == "XSEG" || word == "ISEG" || word == "BSEG") {
        static const std::map<std::string, SegmentType> kTypes = {{"CSEG", SegmentType::Code},
                                                                  {"DSEG", SegmentType::Data},
                                                                  {"XSEG", SegmentType::XData},
                                                                  {"ISEG", SegmentType::IData},
                                                                  {"BSEG", SegmentType::Bit}};
        SelectAbsolute(kTypes.at(word), tokens, at);
    } else if (word == "RSEG") {
        if (first + 1 != end || tokens[first].kind != TokenKind::Name)
            throw AsmError("RSEG needs a segment name");
        const std::string name = Upper(tokens[first].text);
        auto it = std::find_if(segments_.begin(), segments_.end(),
                               [&](const Segment& s) { return s.name == name; });
        if (it == segments_.end()) throw AsmError("unknown segment '" + tokens[first].text + "'");
        current_ = static_cast<size_t>(it - segments_.begin());
    } else if (word == "MACRO") {
        // The other order some sources use: MACRO name params
        if (first >= end || tokens[first].kind != TokenKind::Name) throw AsmError("MACRO needs a name");
        std::vector<Token> reordered{tokens[first], tokens[at]};
        reordered.insert(reordered.end(), tokens.begin() + static_cast<long>(first) + 1, tokens.end());
        DefinitionDirective(reordered, text, origin);
    } else if (word == "REPT") {
        // The body is read (and dropped) even when the count is refused, so its
        // ENDM does not stand alone. Counts are 16-bit values; the lines one
        // pass may read bound nested repeats.
        collecting_.push_back({BlockKind::Rept, {}, {}, {}, 0, 0, {}, origin});
        const Value v = needValue();
        collecting_.back().count = v.known ? v.number : 0;
    } else if (word == "IRP" || word == "IRPC") {
        if (first + 1 >= end || tokens[first].kind != TokenKind::Name || !tokens[first + 1].Is(","))
            throw AsmError(word + " needs a parameter name and a list");
        const std::string list = text.substr(tokens[first + 1].column + 1);
        Collecting block{word == "IRP" ? BlockKind::Irp : BlockKind::Irpc,
                         {},
                         {Upper(tokens[first].text)},
                         {},
                         0,
                         0,
                         {},
                         origin};
        if (word == "IRP") {
            std::string items = list;
            const size_t open = items.find('<'), close = items.rfind('>');
            if (open != std::string::npos && close != std::string::npos && open < close)
                items = items.substr(open + 1, close - open - 1);
            block.values = SplitArguments(items);
        } else {
            std::string chars = SplitArguments(list).empty() ? std::string() : SplitArguments(list)[0];
            for (char c : chars)
                block.values.emplace_back(1, c);
        }
        collecting_.push_back(std::move(block));
    } else if (word == "ENDM") {
        throw AsmError("ENDM without MACRO, REPT, IRP or IRPC");
    } else if (word == "EXITM") {
        if (!reader_.ExitExpansion()) throw AsmError("EXITM outside a macro");
    } else if (word == "LOCAL") {
        throw AsmError("LOCAL outside a macro");
    } else if (word == "INCLUDE") {
        std::string name = text.substr(tokens[at].column + tokens[at].text.size());
        size_t b = name.find_first_not_of(" \t(\"'<"), e = name.find_last_not_of(" \t)\"'>");
        Include(b == std::string::npos ? std::string() : name.substr(b, e - b + 1), origin);
    }
    // NAME and PUBLIC mean nothing without a linker.
    return true;
}

void Assembler::Instruction(const std::string& mnemonic, const std::vector<Token>& tokens, size_t at) {
    const std::vector<Operand> operands = ParseOperands(tokens, at, tokens.size(), *this);
    Emit(Encode(mnemonic, operands, tokens, *this, statementStart_));
}

void Assembler::GenericJump(const std::string& mnemonic, const std::vector<Token>& tokens, size_t at) {
    const std::vector<Operand> operands = ParseOperands(tokens, at + 1, tokens.size(), *this);
    if (operands.size() != 1 || operands[0].kind != OperandKind::Expression)
        throw AsmError(mnemonic + " needs one target address");
    const size_t site = jumpSite_++;
    if (site >= longJumps_.size()) longJumps_.resize(site + 1, false);
    const Value target = Expression(tokens, operands[0].begin, operands[0].end);
    const int64_t after = statementStart_ + 2;
    const bool samePage = (after & 0xF800) == (target.number & 0xF800);
    const int64_t offset = target.number - after;
    const bool isJump = mnemonic == "JMP";
    std::string concrete;
    if (!longJumps_[site]) {
        if (isJump && (!target.known || (offset >= -128 && offset <= 127)))
            concrete = "SJMP";
        else if (samePage || !target.known)
            concrete = isJump ? "AJMP" : "ACALL";
    }
    if (concrete.empty()) {
        if (!longJumps_[site]) jumpGrew_ = true;
        longJumps_[site] = true;
        concrete = isJump ? "LJMP" : "LCALL";
    }
    Emit(Encode(concrete, operands, tokens, *this, statementStart_));
}

void Assembler::Emit(const std::vector<uint8_t>& bytes) {
    Segment& s = Current();
    if (s.type != SegmentType::Code)
        throw AsmError(std::string("code and DB/DW belong in a CODE segment, not in ") +
                       SegmentTypeName(s.type));
    // Code written over code (an ORG or segment placed back into what is
    // already there) would silently replace bytes in the HEX file.
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int64_t address = s.base + s.offset + static_cast<int64_t>(i);
        if (address >= CodeImage::kSize || !image_.Has(address)) continue;
        char at[8];
        std::snprintf(at, sizeof at, "%04X", static_cast<unsigned>(address));
        throw AsmError(std::string("code overlaps earlier code at ") + (at[0] > '9' ? "0" : "") + at + "H");
    }
    for (uint8_t b : bytes) {
        const int64_t address = s.base + s.offset;
        if (address >= CodeImage::kSize) {
            if (codeOverflowed_) return; // said once per pass
            codeOverflowed_ = true;
            throw AsmError("code runs past address 0FFFFH");
        }
        image_.Put(address, b);
        ++s.offset;
        if (options_.listing && !listing_.empty()) listing_.back().bytes.push_back(b);
    }
    s.size = std::max(s.size, s.offset);
}

void Assembler::Reserve(int64_t count) {
    Segment& s = Current();
    if (s.base + s.offset + count > MemoryEnd(s.type))
        throw AsmError(std::string("reservation runs past the end of ") + SegmentTypeName(s.type) +
                       " memory");
    s.offset += count;
    s.size = std::max(s.size, s.offset);
}

void Assembler::SelectAbsolute(SegmentType type, const std::vector<Token>& tokens, size_t at) {
    current_ = static_cast<size_t>(type);
    if (at + 1 >= tokens.size()) return;
    if (!tokens[at + 1].IsWord("AT"))
        throw AsmError("unexpected " + Shown(tokens[at + 1]) + " after " + tokens[at].text);
    const Value v = Expression(tokens, at + 2, tokens.size());
    if (v.number >= MemoryEnd(type))
        throw AsmError("segment address is outside " + std::string(SegmentTypeName(type)));
    Current().offset = v.number;
}

void Assembler::DeclareSegment(const std::string& name, const std::vector<Token>& tokens, size_t at,
                               const Origin& origin) {
    static const std::map<std::string, SegmentType> kTypes = {{"CODE", SegmentType::Code},
                                                              {"DATA", SegmentType::Data},
                                                              {"IDATA", SegmentType::IData},
                                                              {"XDATA", SegmentType::XData},
                                                              {"BIT", SegmentType::Bit}};
    if (at + 1 >= tokens.size() || !kTypes.count(Upper(tokens[at + 1].text)))
        throw AsmError("SEGMENT needs a type: CODE, DATA, IDATA, XDATA or BIT");
    if (std::any_of(segments_.begin(), segments_.end(), [&](const Segment& s) { return s.name == name; }))
        throw AsmError("segment '" + name + "' is declared twice");
    Segment s{name, kTypes.at(Upper(tokens[at + 1].text)), true, false, 1, 0, 0, 0, 0, origin};
    const bool placeable = s.type == SegmentType::Code || s.type == SegmentType::XData;
    for (size_t i = at + 2; i < tokens.size(); ++i) {
        if (tokens[i].IsWord("BITADDRESSABLE")) s.bitAddressable = true;
        if (!placeable) continue;
        if (tokens[i].IsWord("PAGE")) s.align = 0x100;
        if (tokens[i].IsWord("INPAGE")) s.within = 0x100;
        if (tokens[i].IsWord("INBLOCK")) s.within = 0x800;
    }
    auto base = relocationBases_.find(name);
    s.base = base == relocationBases_.end() ? 0 : base->second;
    segments_.push_back(std::move(s));
}

void Assembler::Locate() {
    int64_t absoluteEnd[5];
    for (int t = 0; t < 5; ++t)
        absoluteEnd[t] = segments_[static_cast<size_t>(t)].size;
    std::map<std::string, int64_t> bases;
    auto place = [&](SegmentType type, int64_t cursor, int64_t limit, bool bitAddressable) {
        for (Segment& s : segments_) {
            if (!s.relocatable || s.type != type || s.bitAddressable != bitAddressable) continue;
            if (bitAddressable) cursor = std::max<int64_t>(cursor, 0x20);
            cursor = (cursor + s.align - 1) / s.align * s.align;
            if (s.within) {
                if (s.size > s.within)
                    Error(s.declared, "segment '" + s.name + "' is larger than " +
                                          (s.within == 0x100 ? "a 256-byte page" : "a 2 KB block"));
                else if (s.size > 0 && cursor / s.within != (cursor + s.size - 1) / s.within)
                    cursor = (cursor / s.within + 1) * s.within;
            }
            bases[s.name] = cursor;
            cursor += s.size;
            if (cursor > limit)
                Error(s.declared,
                      "segment '" + s.name + "' does not fit in " + SegmentTypeName(type) + " memory");
        }
        return cursor;
    };
    place(SegmentType::Code, absoluteEnd[0], 0x10000, false);
    place(SegmentType::XData, absoluteEnd[3], 0x10000, false);
    int64_t data = std::max<int64_t>(absoluteEnd[1], 8 * (highestBank_ + 1));
    data = place(SegmentType::Data, data, 0x30, true);
    data = place(SegmentType::Data, data, 0x80, false);
    place(SegmentType::IData, std::max(data, absoluteEnd[2]), 0x100, false);
    place(SegmentType::Bit, absoluteEnd[4], 0x80, false);
    basesChanged_ = bases != relocationBases_;
    relocationBases_ = std::move(bases);
}

} // namespace torvane::asm51
