#include "scheme/ScriptLexer.h"

#include "common/Exceptions.h"
#include "common/Messages.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"

#include <filesystem>
#include <iterator>
#include <limits>

namespace torvane::scheme {
namespace {

constexpr int kNonBreakingSpace = 160;

bool IsInlineBlank(int c) {
    return c == ' ' || c == '\t' || c == kNonBreakingSpace;
}
bool IsLineEnd(int c) {
    return c == '\r' || c == '\n';
}
bool IsLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// The stream from its position to its end, but no more than `maxBytes` + 1
// bytes: a script past the limit is refused without reading all of it.
std::string ReadWholeStream(TStream& stream, size_t maxBytes) {
    std::string text;
    char chunk[4096];
    for (size_t n; text.size() <= maxBytes && (n = stream.Read(chunk, sizeof chunk)) != 0;)
        text.append(chunk, n);
    return text;
}

// `name` inside `directory` (as given when the directory is empty).
std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    const char last = directory.back();
    const bool endsWithSeparator = last == '/' || last == '\\';
    return directory + (endsWithSeparator ? "" : std::string(1, platform::kPathSeparator)) + name;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

TTES_Compiler::TTES_Compiler(TStream& script, std::string includeDirectory)
    : TTES_Compiler(ReadWholeStream(script, kMaxExpansionBytes), std::move(includeDirectory)) {}

TTES_Compiler::TTES_Compiler(std::string scriptText, std::string includeDirectory)
    : includeDirectory_(std::move(includeDirectory)) {
    // The script itself counts against the same limit as what it brings in.
    if (scriptText.size() > kMaxExpansionBytes)
        ErrorAt(0, 0, FormatStr<msg::SScriptTooLarge>(static_cast<unsigned>(kMaxExpansionBytes)));
    sources_.push_back(Source{std::string(), std::move(scriptText), 0, includeDirectory_});
    AddScriptKeywords(keywords_);
    AddPredefinedMacros(macros_);
    SkipBetweenTokens();
    tokenLine_ = line_;
    tokenColumn_ = column_;
}

// ---- characters --------------------------------------------------------------

int TTES_Compiler::Peek() {
    while (sources_.back().pos >= sources_.back().text.size()) {
        if (sources_.size() == 1) return kEnd;
        PopSource(); // an included file's text goes with it
    }
    const Source& s = sources_.back();
    return static_cast<uint8_t>(s.text[s.pos]);
}

int TTES_Compiler::CurrentChar() const {
    const Source& s = sources_.back();
    return s.pos < s.text.size() ? static_cast<uint8_t>(s.text[s.pos]) : kEnd;
}

int TTES_Compiler::NextChar() const {
    const Source& s = sources_.back();
    return s.pos + 1 < s.text.size() ? static_cast<uint8_t>(s.text[s.pos + 1]) : kEnd;
}

void TTES_Compiler::Advance() {
    Source& s = sources_.back();
    const int c = static_cast<uint8_t>(s.text[s.pos++]);
    // A line ends at CR, at LF, and at CR LF (counted once).
    if (c == '\r' || (c == '\n' && previousChar_ != '\r')) {
        ++line_;
        column_ = 0;
    } else if (c != '\n') {
        ++column_;
    }
    previousChar_ = c;
}

std::string TTES_Compiler::ReadWordInSource() {
    std::string word;
    for (int c = CurrentChar(); c != kEnd && IsWordChar(c); c = CurrentChar()) {
        word += static_cast<char>(c);
        Advance();
    }
    return word;
}

// ---- between tokens ------------------------------------------------------------

void TTES_Compiler::SkipBetweenTokens() {
    for (;;) {
        const int c = Peek();
        if (c == kEnd) return;
        if (IsInlineBlank(c) || IsLineEnd(c)) {
            Advance();
        } else if (c == '#') {
            if (!TryDirective()) return;
        } else if (c == '/' && NextChar() == '*') {
            Advance();
            Advance();
            for (int d = Peek(); d != kEnd; d = Peek()) {
                if (d == '*' && NextChar() == '/') {
                    Advance();
                    Advance();
                    break;
                }
                Advance();
            }
        } else if (c == '/' && NextChar() == '/') {
            while (Peek() != kEnd && !IsLineEnd(CurrentChar()))
                Advance();
        } else if (IsWordStart(c) && !skipping_) {
            const Source& s = sources_.back();
            size_t end = s.pos;
            while (end < s.text.size() && IsWordChar(static_cast<uint8_t>(s.text[end])))
                ++end;
            const std::string word = s.text.substr(s.pos, end - s.pos);
            const std::string* replacement = macros_.Text(word);
            if (!replacement) return;        // a keyword or an identifier: the token reader's
            std::string text = *replacement; // a copy: the text may redefine its own macro
            while (sources_.back().pos < end)
                Advance();
            PushSource(Lower(word), std::move(text), sources_.back().directory);
        } else {
            return;
        }
    }
}

bool TTES_Compiler::TryDirective() {
    const Source& s = sources_.back();
    size_t end = s.pos + 1;
    while (end < s.text.size() && IsLetter(static_cast<uint8_t>(s.text[end])))
        ++end;
    const std::string_view name = std::string_view(s.text).substr(s.pos + 1, end - s.pos - 1);
    void (TTES_Compiler::*run)() = nullptr;
    bool wantDefined = false;
    if (name == "define") {
        run = &TTES_Compiler::DefineDirective;
    } else if (name == "ifdef" || name == "ifndef") {
        wantDefined = name == "ifdef";
    } else if (name == "else") {
        run = &TTES_Compiler::ElseDirective;
    } else if (name == "endif") {
        run = &TTES_Compiler::EndifDirective;
    } else if (name == "include") {
        run = &TTES_Compiler::IncludeDirective;
    } else {
        return false; // the '#' is left for the token reader
    }
    const bool isIf = run == nullptr;
    while (sources_.back().pos < end)
        Advance();
    if (isIf) {
        IfDirective(wantDefined);
    } else {
        (this->*run)();
    }
    return true;
}

void TTES_Compiler::SkipInlineBlanks() {
    while (IsInlineBlank(CurrentChar()))
        Advance();
}

void TTES_Compiler::SkipRestOfLine() {
    for (int c = CurrentChar(); c != kEnd && !IsLineEnd(c); c = CurrentChar())
        Advance();
}

void TTES_Compiler::DefineDirective() {
    if (skipping_) {
        SkipRestOfLine();
        return;
    }
    SkipInlineBlanks();
    if (!IsWordStart(CurrentChar())) ErrorHere(LoadStr(msg::SMacroNameExpected));
    const std::string name = ReadWordInSource();
    SkipInlineBlanks();
    std::string text;
    for (int c = CurrentChar(); c != kEnd && !IsLineEnd(c); c = CurrentChar()) {
        text += static_cast<char>(c);
        Advance();
    }
    while (!text.empty() && (static_cast<uint8_t>(text.back()) <= ' ' ||
                             static_cast<uint8_t>(text.back()) == kNonBreakingSpace))
        text.pop_back();
    // "#define A A" would only ever expand into a recursion error.
    if (EqualsIgnoringCase(text, name)) return;
    macros_.AddText(name, std::move(text));
}

void TTES_Compiler::IfDirective(bool wantDefined) {
    conditions_.push_back(skipping_);
    if (skipping_) return; // nested in a skipped region: only keeps the nesting
    SkipInlineBlanks();
    if (!IsWordStart(CurrentChar())) ErrorHere(LoadStr(msg::SIfdefNameExpected));
    const std::string name = ReadWordInSource();
    skipping_ = macros_.Contains(name) != wantDefined;
}

void TTES_Compiler::ElseDirective() {
    if (conditions_.empty()) ErrorHere(LoadStr(msg::SScriptElseWithoutIf));
    if (!conditions_.back()) skipping_ = !skipping_;
}

void TTES_Compiler::EndifDirective() {
    if (conditions_.empty()) ErrorHere(LoadStr(msg::SScriptEndifWithoutIf));
    skipping_ = conditions_.back();
    conditions_.pop_back();
}

void TTES_Compiler::IncludeDirective() {
    if (skipping_) {
        SkipRestOfLine();
        return;
    }
    SkipInlineBlanks();
    const int open = CurrentChar();
    const char close = open == '"' ? '"' : open == '<' ? '>' : '\0';
    if (close == '\0') ErrorHere(LoadStr(msg::SIncludeNotEnclosed));
    Advance();
    std::string name;
    for (int c = CurrentChar(); c != close; c = CurrentChar()) {
        if (c == kEnd || IsLineEnd(c))
            ErrorHere(FormatStr<msg::SIncludeUnterminated>(std::string(1, close).c_str()));
        name += static_cast<char>(c);
        Advance();
    }
    Advance();

    const std::string path = open == '<' ? JoinPath(includeDirectory_, name) : QuotedIncludePath(name);
    std::string text;
    switch (platform::ReadRegularFile(path, kMaxExpansionBytes - expandedBytes_, text)) {
    case platform::FileReadError::None:
        break;
    case platform::FileReadError::TooLarge:
        ExpansionTooLarge();
    case platform::FileReadError::NotRegular:
    case platform::FileReadError::CannotOpen: {
        // Only the name is shown: nothing of a file that was refused.
        const std::string openText(1, static_cast<char>(open));
        const std::string closeText(1, close);
        ErrorHere(FormatStr<msg::SIncludeCannotOpen>(openText.c_str(), path.c_str(), closeText.c_str()));
    }
    }
    PushSource("-file-: " + Lower(path), std::move(text), platform::ExtractFilePath(path));
}

std::string TTES_Compiler::QuotedIncludePath(const std::string& name) const {
    if (name.empty() || platform::PathOf(name).is_absolute()) return name;
    const std::string beside = JoinPath(sources_.back().directory, name);
    std::error_code error;
    if (std::filesystem::exists(platform::PathOf(beside), error)) return beside;
    return name;
}

void TTES_Compiler::PushSource(std::string name, std::string text, std::string directory) {
    if (activeSources_.count(name)) ErrorHere(FormatStr<msg::SRecursiveMacro>(name.c_str()));
    expandedBytes_ += text.size();
    if (expandedBytes_ > kMaxExpansionBytes) ExpansionTooLarge();
    activeSources_.insert(name);
    sources_.push_back(Source{std::move(name), std::move(text), 0, std::move(directory)});
}

void TTES_Compiler::PopSource() {
    activeSources_.erase(sources_.back().name);
    sources_.pop_back();
}

// ---- tokens --------------------------------------------------------------------

int TTES_Compiler::NextToken() {
    for (;;) {
        SkipBetweenTokens();
        const int code = ReadToken();
        if (skipping_ && code != tkEndOfInput) continue; // an open condition at the end simply ends the input
        token_ = code;
        if (code == tkIdentifier) {
            CompileError(std::string(LoadStr(msg::SIdentifierWord)) + " \"" + tokenText_ + "\" " +
                         LoadStr(msg::SUnknownWord));
        }
        if (code == tkUnknown) CompileError(FormatStr<msg::SUnknownCharacter>(unknownChar_));
        if (code == tkNumber && numberTooLarge_)
            CompileError(FormatStr<msg::SScriptNumberTooLarge>(tokenText_.c_str()));
        return code;
    }
}

int TTES_Compiler::ReadToken() {
    const int c = Peek();
    tokenLine_ = line_;
    tokenColumn_ = column_;
    tokenText_.clear();
    if (c == kEnd) return tkEndOfInput;

    const Source& s = sources_.back();
    int code;
    const size_t length = keywords_.Match(s.text.data() + s.pos, s.text.size() - s.pos, code);
    if (length != 0) {
        tokenText_ = s.text.substr(s.pos, length);
        for (size_t i = 0; i < length; ++i)
            Advance();
        return code;
    }
    if (c == '\'') {
        ReadStringToken();
        return tkString;
    }
    if (IsDigit(c)) {
        int64_t value = 0;
        numberTooLarge_ = false;
        for (int d = CurrentChar(); d != kEnd && IsDigit(d); d = CurrentChar()) {
            tokenText_ += static_cast<char>(d);
            value = value * 10 + (d - '0');
            if (value > std::numeric_limits<int32_t>::max()) {
                numberTooLarge_ = true;
                value = std::numeric_limits<int32_t>::max();
            }
            Advance();
        }
        number_ = static_cast<int32_t>(value);
        return tkNumber;
    }
    if (IsWordStart(c)) {
        tokenText_ = ReadWordInSource();
        return tkIdentifier;
    }
    unknownChar_ = c;
    tokenText_ = static_cast<char>(c);
    Advance();
    return tkUnknown;
}

void TTES_Compiler::ReadStringToken() {
    Advance(); // the opening quote
    std::string raw;
    for (int c = Peek(); c != kEnd; c = Peek()) {
        if (c == '\'') {
            Advance();
            break;
        }
        Advance();
        if (c != '\\') {
            raw += static_cast<char>(c);
            continue;
        }
        const int next = Peek();
        if (next == kEnd) {
            raw += '\\';
            break;
        }
        if (IsLineEnd(next)) {
            // Line continuation: the backslash, the line end, the blanks that
            // indent the next line and one backslash that may start it vanish.
            while (Peek() != kEnd && (Peek() < '!' || Peek() == kNonBreakingSpace))
                Advance();
            if (Peek() == '\\') Advance();
            continue;
        }
        raw += '\\';
        raw += static_cast<char>(next);
        Advance();
    }
    stringRaw_ = raw;
    tokenText_ = std::move(raw);
}

std::string TTES_Compiler::ResolveEscapes(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
            continue;
        }
        if (++i == raw.size()) break; // a backslash at the very end stands for nothing
        const char c = raw[i];
        if (c >= '0' && c <= '7') {
            unsigned code = 0;
            for (; i < raw.size() && raw[i] >= '0' && raw[i] <= '7'; ++i)
                code = (code * 8 + (raw[i] - '0')) & 0xFF;
            --i;
            out += static_cast<char>(code);
            continue;
        }
        switch (LowerAscii(c)) {
        case 'b':
            out += '\b';
            break;
        case 'e':
            out += '\x1B';
            break;
        case 'n':
            out += '\r';
            break; // the editor's line break is CR
        case 'r':
            out += '\n';
            break;
        case 's':
            out += ' ';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            unsigned code = 0;
            for (; i + 1 < raw.size() && HexDigitValue(raw[i + 1]) >= 0; ++i)
                code = (code * 16 + static_cast<unsigned>(HexDigitValue(raw[i + 1]))) & 0xFF;
            out += static_cast<char>(code);
            break;
        }
        default:
            out += c;
            break;
        }
    }
    return out;
}

// ---- errors --------------------------------------------------------------------

void TTES_Compiler::CompileError(const std::string& message) const {
    ErrorAt(tokenLine_, tokenColumn_, message);
}

void TTES_Compiler::ExpansionTooLarge() const {
    ErrorHere(FormatStr<msg::SScriptExpansionTooLarge>(static_cast<unsigned>(kMaxExpansionBytes)));
}

void TTES_Compiler::ErrorHere(const std::string& message) const {
    ErrorAt(line_, column_, message);
}

void TTES_Compiler::ErrorAt(int line, int column, const std::string& message) const {
    throw ETES_COMP_ERROR(FormatStr<msg::SCompileErrorFrame>(line + 1, column + 1, message.c_str()));
}

} // namespace torvane::scheme
