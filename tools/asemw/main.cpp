// asemw: the 8051 assembler the bridge starts, built over as31.
//
//   asemw SOURCE /includes:DIR;DIR;...
//
// Output (stdout): a line of its own, the banner, a third line, then either
// "no errors" or "N errors detected" followed by one "FILE(LINE): message"
// per error. FILE is SOURCE as given, or the absolute path of an include
// file. On success SOURCE.hex (CR LF lines) is written beside the source;
// a stale one is deleted before the run. Exit code 0 on success, else 1.
//
// How: the source is translated (IntelTranslator) into a scratch folder, as31
// runs there, and its "Warning, line N, ..." / "Error, line N, ..." messages
// are mapped back through the translation's line origins.

#include "asemw/IntelTranslator.h"
#include "common/ToolSupport.h"

#include <algorithm>
#include <cstdio>
#include <regex>

using namespace torvane::tools;

namespace {

struct Error {
    size_t outputLine;
    std::string text;
};

std::vector<std::string> IncludeDirs(const std::string& option) {
    std::vector<std::string> dirs;
    std::string list = option.substr(std::string("/includes:").size()), dir;
    for (char c : list + ";") {
        if (c != ';') {
            dir += c;
        } else if (!dir.empty()) {
            dirs.push_back(dir);
            dir.clear();
        }
    }
    return dirs;
}

bool IsIncludesOption(const std::string& arg) {
    std::string head = arg.substr(0, 10);
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    return head == "/includes:";
}

// The hex file with CR LF line ends, as the bridge's converter reads it.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (const auto& line : SplitLines(text))
        out += line + "\r\n";
    return out;
}

// as31 quotes the text near a syntax error with its blanks and line end;
// drop those and close the quote the line end cut off.
std::string TidyMessage(std::string text) {
    if (std::count(text.begin(), text.end(), '"') % 2 == 1) text += '"';
    static const std::regex kBlanksBeforeQuote(R"x("([^"]*?)[ \t]+")x");
    return std::regex_replace(text, kBlanksBeforeQuote, "\"$1\"");
}

void PrintResult(const std::vector<std::string>& errorLines) {
    if (errorLines.empty()) {
        PrintLine("no errors");
        return;
    }
    PrintLine(std::to_string(errorLines.size()) + " errors detected");
    for (const auto& line : errorLines)
        PrintLine(line);
}

} // namespace

int main(int argc, char** argv) {
    PrintLine("asemw: 8051 assembler front end");
    PrintLine("ASEM-51 compatible adapter 1.0 (Intel syntax over as31)");
    if (argc < 2 || argc > 3 || (argc == 3 && !IsIncludesOption(argv[2]))) {
        PrintLine("usage: asemw SOURCE /includes:DIR;...");
        PrintResult({"asemw(0): bad command line"});
        return 1;
    }
    const std::string source = argv[1];
    PrintLine("Source: " + source);
    const std::string hexBeside = WithExtension(source, ".hex");
    std::remove(hexBeside.c_str());

    IntelTranslator translator(argc == 3 ? IncludeDirs(argv[2]) : std::vector<std::string>{});
    Translation translation;
    if (!translator.TranslateFile(source, source, translation)) {
        PrintResult({source + "(1): cannot open source file"});
        return 1;
    }

    ScratchFolder scratch("torvane-asemw");
    std::string program;
    for (const auto& line : translation.lines)
        program += line + "\n";
    if (!scratch.Ok() || !WriteText(scratch.Path() + "/src.asm", program)) {
        PrintResult({source + "(1): cannot write a scratch file"});
        return 1;
    }
    Captured as31 = RunCaptured({"as31", "-Fhex", "src.asm"}, scratch.Path());
    if (!as31.started) {
        PrintResult({source + "(1): cannot start as31"});
        return 1;
    }

    std::vector<Error> errors;
    for (const auto& e : translation.errors)
        errors.push_back({e.outputLine, e.text});
    static const std::regex kMessage(R"(^(?:Warning|Error), line (\d+), (.*?)\.?$)");
    std::vector<std::string> unmapped;
    for (const auto& line : SplitLines(as31.err + as31.out)) {
        std::smatch m;
        if (std::regex_match(line, m, kMessage)) {
            size_t n = std::stoul(m[1].str());
            size_t index = n >= 1 && n <= translation.lines.size() ? n - 1 : translation.lines.size() - 1;
            errors.push_back({index, TidyMessage(m[2].str())});
        } else if (line.rfind("Cannot", 0) == 0) {
            unmapped.push_back(line);
        }
    }
    std::stable_sort(errors.begin(), errors.end(),
                     [](const Error& a, const Error& b) { return a.outputLine < b.outputLine; });

    std::vector<std::string> errorLines;
    for (const auto& e : errors) {
        const Origin& o = translation.origins.empty() ? Origin{source, 1} : translation.origins[e.outputLine];
        errorLines.push_back(o.file + "(" + std::to_string(o.line) + "): " + e.text);
    }
    std::string hex;
    const bool produced = ReadText(scratch.Path() + "/src.hex", hex);
    if (errorLines.empty() && (as31.exitCode != 0 || !produced)) {
        std::string why = unmapped.empty() ? "as31 failed" : unmapped.front();
        errorLines.push_back(source + "(1): " + why);
    }
    if (errorLines.empty() && !WriteText(hexBeside, WithCrLf(hex)))
        errorLines.push_back(source + "(1): cannot write " + hexBeside);
    PrintResult(errorLines);
    return errorLines.empty() ? 0 : 1;
}
