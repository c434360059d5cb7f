// asemw: the 8051 assembler the bridge starts.
//
//   asemw SOURCE [/includes:DIR;DIR;...] [/list]
//
// Output (stdout): a line of its own, the banner, the source line, then either
// "no errors" or "N errors detected" followed by one "FILE(LINE): message"
// per error. FILE is SOURCE as given, or the full path of an include file. On
// success SOURCE.hex (Intel HEX, CR LF lines) is written beside the source; a
// stale one is deleted before the run. /list writes SOURCE.lst as well. Exit
// code 0 on success, else 1.
//
// Device headers (8051.MCU, REG52.INC ...) are found in the folder
// "asemw-devices" beside this program, after the include folders.

#include "asm51/Assembler.h"
#include "common/ToolSupport.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/SafeSave.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>

using namespace torvane;
using namespace torvane::tools;

namespace {

constexpr size_t kMaxErrorsShown = 500;

bool HasPrefixIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::vector<std::string> IncludeDirs(const std::string& list) {
    std::vector<std::string> dirs;
    std::string dir;
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

void PrintResult(const std::vector<std::string>& errorLines) {
    if (errorLines.empty()) {
        PrintLine(platform::kSummaryNoErrors);
        return;
    }
    PrintLine(std::to_string(errorLines.size()) + " " + platform::kSummaryErrorsDetected);
    for (size_t i = 0; i < errorLines.size() && i < kMaxErrorsShown; ++i)
        PrintLine(errorLines[i]);
    if (errorLines.size() > kMaxErrorsShown)
        PrintLine("(" + std::to_string(errorLines.size() - kMaxErrorsShown) + " more errors not shown)");
}

// Written beside the target first, so a failed write leaves no half file.
bool WriteReplacing(const std::string& path, const std::string& text) {
    platform::TSafeSave save(path);
    if (!save.Open() || !save.Write(text.data(), text.size()) || !save.Commit()) {
        save.Discard();
        return false;
    }
    return true;
}

int Run(int argc, char** argv) {
    PrintLine("asemw: 8051 assembler");
    PrintLine("Torvane 8051 assembler 2.0 (Intel syntax)");
    asm51::AssemblerOptions options;
    bool badLine = argc < 2;
    for (int i = 2; i < argc && !badLine; ++i) {
        const std::string arg = argv[i];
        if (HasPrefixIgnoringCase(arg, "/includes:")) {
            for (const auto& dir : IncludeDirs(arg.substr(10)))
                options.includeDirs.push_back(dir);
        } else if (HasPrefixIgnoringCase(arg, "/list") && arg.size() == 5) {
            options.listing = true;
        } else {
            badLine = true;
        }
    }
    if (badLine) {
        PrintLine("usage: asemw SOURCE /includes:DIR;... [/list]");
        PrintResult({"asemw(0): bad command line"});
        return 1;
    }
    const std::string source = argv[1];
    PrintLine("Source: " + source);
    const std::string hexBeside = WithExtension(source, ".hex");
    std::remove(hexBeside.c_str());
    options.deviceDir =
        platform::ProgramDirectory() + platform::FactsOf(platform::Assembler::Asem51).deviceFolder;

    const asm51::Assembly assembly = asm51::AssembleFile(source, source, options);
    std::vector<std::string> errorLines;
    for (const auto& e : assembly.errors)
        errorLines.push_back(e.file + "(" + std::to_string(e.line) + "): " + e.message);
    if (options.listing && !WriteReplacing(WithExtension(source, ".lst"), assembly.listing))
        errorLines.push_back(source + "(1): cannot write " + WithExtension(source, ".lst"));
    if (errorLines.empty() && !WriteReplacing(hexBeside, assembly.code.IntelHex()))
        errorLines.push_back(source + "(1): cannot write " + hexBeside);
    PrintResult(errorLines);
    return errorLines.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        PrintResult({std::string(argc > 1 ? argv[1] : "asemw") + "(1): internal error: " + e.what()});
    } catch (...) {
        PrintResult({std::string(argc > 1 ? argv[1] : "asemw") + "(1): internal error"});
    }
    return 1;
}
