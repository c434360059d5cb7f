#include "asm51/Assembler.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>

namespace torvane::asm51 {

namespace {

constexpr int kMaxPasses = 40;
constexpr size_t kMaxLineLength = 4096;
constexpr size_t kMaxIncludeDepth = 16;
constexpr size_t kMaxExpansionDepth = 64;
constexpr size_t kMaxLinesPerPass = 4'000'000;
// Bounds the time of a program whose values keep changing from pass to pass.
constexpr size_t kMaxLinesAllPasses = 16'000'000;
// Bounds the memory macro and repeat expansions take in one pass.
constexpr size_t kMaxBytesExpanded = 64 * 1024 * 1024;
constexpr size_t kMaxErrors = 1000;

bool StartsBlock(const std::vector<Token>& tokens) {
    for (size_t i = 0; i < tokens.size() && i < 2; ++i)
        if (tokens[i].IsWord("MACRO") ||
            (i == 0 && (tokens[i].IsWord("REPT") || tokens[i].IsWord("IRP") || tokens[i].IsWord("IRPC"))))
            return true;
    return false;
}

std::string TrimText(const std::string& s) {
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string Unquote(std::string s) {
    s = TrimText(s);
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'' || s.front() == '<') &&
        (s.back() == '"' || s.back() == '\'' || s.back() == '>'))
        s = s.substr(1, s.size() - 2);
    return TrimText(s);
}

std::string Hex4(int64_t v) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(v & 0xFFFF));
    return buffer;
}

} // namespace

namespace {

Assembly RunGuarded(const std::string& path, const std::string& shownName, const std::string* text,
                    const AssemblerOptions& options) {
    try {
        Assembler assembler(options);
        return assembler.Run(path, shownName, text);
    } catch (const std::bad_alloc&) {
        Assembly failed;
        failed.errors.push_back({shownName, 1, "out of memory"});
        return failed;
    }
}

} // namespace

Assembly AssembleFile(const std::string& path, const std::string& shownName,
                      const AssemblerOptions& options) {
    return RunGuarded(path, shownName, nullptr, options);
}

Assembly AssembleText(const std::string& text, const std::string& path, const std::string& shownName,
                      const AssemblerOptions& options) {
    return RunGuarded(path, shownName, &text, options);
}

Assembler::Assembler(const AssemblerOptions& options)
    : options_(options), files_(options.includeDirs, options.deviceDir), reader_(files_) {}

Assembly Assembler::Run(const std::string& path, const std::string& shownName, const std::string* text) {
    Assembly result;
    mainFile_ = text ? files_.Add(path, shownName, *text) : files_.Load(path, shownName);
    if (mainFile_ < 0) {
        result.errors.push_back({shownName, 1, "cannot open source file"});
        return result;
    }
    int pass = 1;
    for (;; ++pass) {
        pass_ = pass;
        RunPass();
        if (tooManyErrors_ && pass >= 2) break;
        const bool changed = symbols_.ChangedSinceLastPass() || jumpGrew_ || basesChanged_;
        if (pass >= 2 && !changed) break;
        if (linesReadAllPasses_ > kMaxLinesAllPasses) {
            errors_.push_back({files_.Shown(mainFile_), 1,
                               "addresses still change after " + std::to_string(pass) + " passes over " +
                                   std::to_string(linesReadAllPasses_) + " lines; giving up"});
            break;
        }
        if (pass == kMaxPasses) {
            errors_.push_back({files_.Shown(mainFile_), 1,
                               "addresses still change after " + std::to_string(kMaxPasses) + " passes"});
            break;
        }
    }
    result.passes = pass;
    result.errors = std::move(errors_);
    if (result.errors.empty()) result.code = image_;
    if (options_.listing) result.listing = MakeListing();
    return result;
}

void Assembler::RunPass() {
    symbols_.BeginPass();
    symbols_.SetPredefined(Predefined::Mod51);
    errors_.clear();
    image_.Clear();
    macros_.clear();
    defines_.clear();
    conditions_.clear();
    collecting_.clear();
    listing_.clear();
    segments_.clear();
    for (SegmentType t :
         {SegmentType::Code, SegmentType::Data, SegmentType::IData, SegmentType::XData, SegmentType::Bit})
        segments_.push_back(Segment{"", t, false, false, 1, 0, 0, 0, 0, {}});
    current_ = 0;
    jumpSite_ = 0;
    localCounter_ = 0;
    using_ = highestBank_ = 0;
    linesRead_ = 0;
    bytesExpanded_ = 0;
    errorCount_ = 0;
    tooManyErrors_ = codeOverflowed_ = false;
    ended_ = jumpGrew_ = basesChanged_ = false;

    reader_.Stop();
    reader_.PushFile(mainFile_);
    SourceLine line;
    while (!ended_ && reader_.Next(line)) {
        ++linesReadAllPasses_;
        if (++linesRead_ > kMaxLinesPerPass) {
            Error(line.origin, "the program expands to more than " + std::to_string(kMaxLinesPerPass) +
                                   " lines (runaway REPT or macro?)");
            break;
        }
        ProcessLine(line);
    }
    reader_.Stop();
    if (!collecting_.empty()) {
        const char* what[] = {"MACRO", "REPT", "IRP", "IRPC"};
        Error(collecting_.front().origin,
              std::string(what[static_cast<int>(collecting_.front().kind)]) + " without ENDM");
    }
    for (const Condition& c : conditions_)
        Error(c.origin, "IF without ENDIF");
    Locate();
}

void Assembler::Error(const Origin& origin, const std::string& message) {
    if (tooManyErrors_) return;
    if (++errorCount_ > kMaxErrors) {
        // Hostile or hopeless input: stop the pass instead of collecting more.
        tooManyErrors_ = true;
        errors_.push_back({files_.Shown(origin.file), origin.line, "too many errors; assembly stopped here"});
        reader_.Stop();
        return;
    }
    Diagnostic d{files_.Shown(origin.file), origin.line,
                 origin.macro.empty() ? message : "in macro " + origin.macro + ": " + message};
    for (auto it = errors_.rbegin(); it != errors_.rend() && it - errors_.rbegin() < 4; ++it)
        if (it->file == d.file && it->line == d.line && it->message == d.message) return;
    errors_.push_back(std::move(d));
}

void Assembler::ProcessLine(const SourceLine& line) {
    if (line.text.size() > kMaxLineLength) {
        if (Active() && collecting_.empty())
            Error(line.origin, "line is longer than " + std::to_string(kMaxLineLength) + " characters");
        return;
    }
    try {
        if (!collecting_.empty()) {
            Collect(line);
            return;
        }
        const size_t first = line.text.find_first_not_of(" \t");
        if (first == std::string::npos) return;
        const char lead = line.text[first];
        const bool directiveFollows = first + 1 < line.text.size() && IsNameStart(line.text[first + 1]);
        if (lead == '#' && directiveFollows) {
            HandleHashLine(line.text.substr(first + 1), line.origin);
            return;
        }
        if (lead == '$' && directiveFollows) {
            if (Active()) HandleControls(line.text.substr(first + 1), line.origin);
            return;
        }
        std::vector<Token> tokens = Tokenize(line.text);
        if (HandleCondition(tokens, line.text, line.origin) || !Active()) return;
        std::string text = line.text;
        if (!defines_.empty()) {
            text = ExpandDefines(text, defines_);
            tokens = Tokenize(text);
        }
        if (options_.listing) listing_.push_back({line.origin, 0, false, {}, text});
        Statement(tokens, text, line.origin);
    } catch (const AsmError& e) {
        Error(line.origin, e.what());
    }
}

bool Assembler::HandleCondition(const std::vector<Token>& tokens, const std::string& text,
                                const Origin& origin) {
    (void)text;
    if (tokens.empty() || tokens[0].kind != TokenKind::Name) return false;
    const std::string word = Upper(tokens[0].text);
    if (word == "IF") {
        OpenConditionOn([&] { return EvaluateCondition(tokens, 1); }, origin);
    } else if (word == "IFDEF" || word == "IFNDEF") {
        bool defined = false;
        if (Active()) {
            if (tokens.size() < 2 || tokens[1].kind != TokenKind::Name)
                throw AsmError(word + " needs a name");
            defined = IsDefined(tokens[1].text);
        }
        OpenCondition(Active() && (word == "IFDEF") == defined, origin);
    } else if (word == "ELSEIF" || word == "ELSIF") {
        if (conditions_.empty()) throw AsmError(word + " without IF");
        Condition& c = conditions_.back();
        const bool hit = c.parentActive && !c.taken && EvaluateCondition(tokens, 1);
        c.active = hit;
        c.taken = c.taken || hit;
    } else if (word == "ELSE") {
        if (conditions_.empty()) throw AsmError("ELSE without IF");
        Condition& c = conditions_.back();
        if (c.elseSeen) throw AsmError("second ELSE for one IF");
        c.elseSeen = true;
        c.active = c.parentActive && !c.taken;
        c.taken = true;
    } else if (word == "ENDIF") {
        if (conditions_.empty()) throw AsmError("ENDIF without IF");
        conditions_.pop_back();
    } else {
        return false;
    }
    return true;
}

void Assembler::OpenConditionOn(const std::function<bool()>& condition, const Origin& origin) {
    // The IF is opened even when its condition is in error, so its ELSE and
    // ENDIF still pair up.
    bool hit = false;
    std::string error;
    try {
        hit = Active() && condition();
    } catch (const AsmError& e) {
        error = e.what();
    }
    OpenCondition(hit, origin);
    if (!error.empty()) throw AsmError(error);
}

void Assembler::OpenCondition(bool condition, const Origin& origin) {
    const bool parent = Active();
    conditions_.push_back({parent, parent && condition, condition, false, origin});
}

bool Assembler::EvaluateCondition(const std::vector<Token>& tokens, size_t begin) {
    undefined_.clear();
    Value v = Expression(tokens, begin, tokens.size());
    if (!undefined_.empty() && pass_ > 1)
        throw AsmError("undefined symbol '" + undefined_ + "' in condition");
    return v.number != 0;
}

bool Assembler::HandleHashLine(const std::string& text, const Origin& origin) {
    size_t end = 0;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    const std::string word = text.substr(0, end);
    const std::string rest = TrimText(text.substr(end));
    const std::vector<Token> tokens = Tokenize(rest);
    auto firstName = [&]() -> std::string {
        if (tokens.empty() || tokens[0].kind != TokenKind::Name) throw AsmError("#" + word + " needs a name");
        return tokens[0].text;
    };
    if (word == "if") {
        OpenConditionOn([&] { return EvaluateCondition(Tokenize(ExpandDefines(rest, defines_)), 0); },
                        origin);
    } else if (word == "ifdef" || word == "ifndef") {
        const bool defined = Active() && IsDefined(firstName());
        OpenCondition(Active() && (word == "ifdef") == defined, origin);
    } else if (word == "elif") {
        if (conditions_.empty()) throw AsmError("#elif without #if");
        Condition& c = conditions_.back();
        const bool hit =
            c.parentActive && !c.taken && EvaluateCondition(Tokenize(ExpandDefines(rest, defines_)), 0);
        c.active = hit;
        c.taken = c.taken || hit;
    } else if (word == "else") {
        HandleCondition(Tokenize("ELSE"), "", origin);
    } else if (word == "endif") {
        HandleCondition(Tokenize("ENDIF"), "", origin);
    } else if (!Active()) {
        // Other directives in a skipped branch do nothing.
    } else if (word == "include") {
        Include(Unquote(rest), origin);
    } else if (word == "define") {
        size_t nameEnd = 0;
        while (nameEnd < rest.size() && IsNameChar(rest[nameEnd]))
            ++nameEnd;
        if (nameEnd == 0 || !IsNameStart(rest[0])) throw AsmError("#define needs a name");
        CDefine d;
        size_t bodyStart = nameEnd;
        if (nameEnd < rest.size() && rest[nameEnd] == '(') {
            const size_t close = rest.find(')', nameEnd);
            if (close == std::string::npos) throw AsmError("missing ')' in #define parameters");
            d.functionLike = true;
            for (const std::string& p : SplitArguments(rest.substr(nameEnd + 1, close - nameEnd - 1)))
                d.params.push_back(p);
            bodyStart = close + 1;
        }
        d.body = TrimText(rest.substr(bodyStart));
        defines_[rest.substr(0, nameEnd)] = std::move(d);
    } else if (word == "undef") {
        defines_.erase(firstName());
    } else if (word == "error") {
        throw AsmError("#error " + rest);
    }
    // #pragma, #line and the like mean nothing to an assembler.
    return true;
}

void Assembler::HandleControls(const std::string& text, const Origin& origin) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == ','))
            ++i;
        if (i >= text.size()) break;
        if (!IsNameStart(text[i]))
            throw AsmError(std::string("unexpected '") + text[i] + "' in a $ control line");
        size_t end = i;
        while (end < text.size() && IsNameChar(text[end]))
            ++end;
        const std::string word = Upper(text.substr(i, end - i));
        i = end;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        std::string argument;
        if (i < text.size() && text[i] == '(') {
            int depth = 0;
            char quote = 0;
            size_t start = i + 1;
            for (; i < text.size(); ++i) {
                if (quote) {
                    if (text[i] == quote) quote = 0;
                } else if (text[i] == '\'' || text[i] == '"') {
                    quote = text[i];
                } else if (text[i] == '(') {
                    ++depth;
                } else if (text[i] == ')' && --depth == 0) {
                    break;
                }
            }
            if (i >= text.size()) throw AsmError("missing ')' after $" + word);
            argument = text.substr(start, i - start);
            ++i;
        }
        if (word == "INCLUDE" || word == "INC") {
            Include(Unquote(argument), origin);
        } else if (word == "NOMOD51" || word == "NOMOD") {
            symbols_.SetPredefined(Predefined::None);
        } else if (word == "MOD52") {
            symbols_.SetPredefined(Predefined::Mod52);
        } else if (word.rfind("MOD", 0) == 0) {
            symbols_.SetPredefined(Predefined::Mod51);
        }
        // Listing and paging controls ($TITLE, $NOLIST, $PAGELENGTH ...) do not
        // change the code.
    }
}

void Assembler::Include(std::string name, const Origin& origin) {
    if (name.empty()) throw AsmError("include needs a file name");
    if (reader_.FileDepth() >= kMaxIncludeDepth)
        throw AsmError("include files nested deeper than " + std::to_string(kMaxIncludeDepth) + " levels");
    const std::string path = files_.Resolve(name, origin.file);
    if (path.empty()) throw AsmError("cannot find include file \"" + name + "\"");
    const int file = files_.Load(path, path);
    if (file < 0) throw AsmError("cannot read include file \"" + path + "\"");
    reader_.PushFile(file);
}

void Assembler::Collect(const SourceLine& line) {
    Collecting& block = collecting_.front();
    const std::vector<Token> tokens = Tokenize(line.text);
    if (StartsBlock(tokens)) {
        ++block.depth;
    } else if (!tokens.empty() && tokens[0].IsWord("ENDM")) {
        if (block.depth-- == 0) {
            FinishBlock();
            return;
        }
    }
    block.body.push_back(line);
}

void Assembler::FinishBlock() {
    Collecting block = std::move(collecting_.front());
    collecting_.clear();
    if (block.kind == BlockKind::Macro) {
        macros_[block.name] = MacroDefinition{block.params, std::move(block.body)};
        return;
    }
    if (block.kind == BlockKind::Rept) {
        ExpandBlock(block.body, static_cast<size_t>(block.count), {}, nullptr);
        return;
    }
    std::vector<std::map<std::string, std::string>> copies;
    for (const std::string& v : block.values)
        copies.push_back({{block.params[0], v}});
    ExpandBlock(block.body, copies.size(), copies, nullptr);
}

void Assembler::ExpandBlock(const std::vector<SourceLine>& body, size_t count,
                            const std::vector<std::map<std::string, std::string>>& perCopy,
                            const Origin* invocation) {
    if (reader_.ExpansionDepth() >= kMaxExpansionDepth)
        throw AsmError("macros nested deeper than " + std::to_string(kMaxExpansionDepth) +
                       " levels (does a macro call itself?)");
    size_t bodyBytes = 0;
    for (const SourceLine& line : body)
        bodyBytes += line.text.size() + sizeof(SourceLine);
    // Checked before anything is built, so a refused expansion costs nothing.
    if (bytesExpanded_ + count * bodyBytes > kMaxBytesExpanded)
        throw AsmError("macro and repeat expansions exceed " + std::to_string(kMaxBytesExpanded >> 20) +
                       " MB in one pass");
    std::vector<SourceLine> lines = body;
    const std::vector<std::string> locals = TakeLocals(lines);
    auto expansion = std::make_shared<std::vector<SourceLine>>();
    for (size_t copy = 0; copy < count; ++copy) {
        std::map<std::string, std::string> values;
        if (copy < perCopy.size()) values = perCopy[copy];
        for (const std::string& local : locals) {
            char name[16];
            std::snprintf(name, sizeof name, "??%04d", localCounter_++);
            values[local] = name;
        }
        for (const SourceLine& line : lines) {
            SourceLine out{values.empty() ? line.text : Substitute(line.text, values), line.origin};
            if (invocation) out.origin = *invocation;
            bytesExpanded_ += out.text.size() + sizeof(SourceLine);
            if (bytesExpanded_ > kMaxBytesExpanded)
                throw AsmError("macro and repeat expansions exceed " +
                               std::to_string(kMaxBytesExpanded >> 20) + " MB in one pass");
            expansion->push_back(std::move(out));
        }
        if (linesRead_ + expansion->size() > kMaxLinesPerPass)
            throw AsmError("the program expands to more than " + std::to_string(kMaxLinesPerPass) + " lines");
    }
    reader_.PushExpansion(std::move(expansion));
}

void Assembler::InvokeMacro(const std::string& name, const std::string& text, size_t argsColumn,
                            const Origin& origin) {
    const MacroDefinition& macro = macros_.at(name);
    const std::vector<std::string> args =
        SplitArguments(argsColumn < text.size() ? text.substr(argsColumn) : "");
    if (args.size() > macro.params.size())
        throw AsmError("macro " + name + " takes " + std::to_string(macro.params.size()) +
                       " arguments, not " + std::to_string(args.size()));
    std::map<std::string, std::string> values;
    for (size_t i = 0; i < macro.params.size(); ++i)
        values[macro.params[i]] = i < args.size() ? args[i] : std::string();
    Origin invocation = origin;
    invocation.macro = name;
    ExpandBlock(macro.body, 1, {values}, &invocation);
}

bool Assembler::Lookup(const std::string& name, Value& value) {
    if (const Symbol* s = symbols_.Find(name)) {
        if (s->type == SymbolType::Register) throw AsmError("register '" + name + "' used as a value");
        value = {s->value & 0xFFFF, true};
        return true;
    }
    if (name.size() == 3 && name[0] == 'A' && name[1] == 'R' && name[2] >= '0' && name[2] <= '7') {
        value = {using_ * 8 + (name[2] - '0'), true};
        return true;
    }
    if (undefined_.empty()) undefined_ = name;
    return false;
}

bool Assembler::IsDefined(const std::string& name) {
    return defines_.count(name) > 0 || symbols_.DefinedSoFar(Upper(name)) || macros_.count(Upper(name)) > 0;
}

std::string Assembler::RegisterAlias(const std::string& upperName) {
    const Symbol* s = symbols_.Find(upperName);
    return s && s->type == SymbolType::Register ? s->reg : std::string();
}

std::string Assembler::MakeListing() const {
    std::string out = "Torvane 8051 assembler listing of " + files_.Shown(mainFile_) + "\r\n\r\n";
    out += "  LOC  OBJ               LINE  SOURCE\r\n";
    for (const ListingRow& row : listing_) {
        std::string address = row.hasAddress ? Hex4(row.address) : "    ";
        size_t shown = 0;
        do {
            std::string codes;
            for (size_t i = shown; i < row.bytes.size() && i < shown + 6; ++i) {
                char b[4];
                std::snprintf(b, sizeof b, "%02X ", row.bytes[i]);
                codes += b;
            }
            char line[64];
            std::snprintf(line, sizeof line, "%s%c %-18s", address.c_str(),
                          row.origin.macro.empty() ? ' ' : '+', codes.c_str());
            out += std::string("  ") + line;
            if (shown == 0) {
                std::snprintf(line, sizeof line, "%5d  ", row.origin.line);
                out += line + row.text;
            }
            out += "\r\n";
            shown += 6;
            address = row.hasAddress ? Hex4(row.address + static_cast<int64_t>(shown)) : "    ";
        } while (shown < row.bytes.size());
    }
    out += "\r\nSYMBOL TABLE\r\n\r\n";
    for (const auto& [name, s] : symbols_.Sorted()) {
        char line[128];
        std::snprintf(line, sizeof line, "%-32s %-7s %s\r\n", name.c_str(), TypeName(s.type),
                      s.type == SymbolType::Register ? s.reg.c_str() : (Hex4(s.value) + "H").c_str());
        out += line;
    }
    return out;
}

} // namespace torvane::asm51
