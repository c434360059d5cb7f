// avrasm32: the AVR assembler the bridge starts, built over avra.
//
//   avrasm32 -w SOURCE -e EEPROM -fI -I DIR [-I DIR]...
//
// Output (stdout): "AVRASM: " and a banner, a second line, then one line per
// message: "FULLPATH(N) : error : msg", "FULLPATH(N) : warning : msg" or, for
// an include that no folder holds, "FULLPATH(N) : Include file "NAME" not
// found" (FULLPATH is SOURCE as given for the source itself, else the
// absolute path of the include file), and last "no errors" or "N errors
// detected". On success SOURCE.hex and EEPROM exist (an empty EEPROM file
// when the program has no EEPROM data). Exit code 0 on success, 1 on errors,
// 2 on a bad command line.
//
// avra gets a translated copy of the program (ProgramTranslation.h) in a
// scratch folder and runs there on the bare file name. Includes are looked up
// in the including file's folder, the source's folder, the -I folders, the
// corrected device files installed beside this program, and last avra's own
// device files. avra exits 0 even on option errors, so success also needs its
// "Assembly complete with no errors" and the hex file.

#include "ProgramTranslation.h"
#include "common/ToolSupport.h"
#include "platform/Names.h"

#include <climits>
#include <cstdio>
#include <regex>
#include <unistd.h>

using namespace torvane::tools;
using torvane::avrasm::ProgramTranslation;

namespace {

constexpr char kEmptyHex[] = ":00000001FF\r\n";

struct Options {
    std::string source, eeprom;
    std::vector<std::string> includeDirs;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 8 || std::string(argv[1]) != "-w" || std::string(argv[3]) != "-e" ||
        std::string(argv[5]) != "-fI")
        return false;
    options.source = argv[2];
    options.eeprom = argv[4];
    for (int i = 6; i < argc; i += 2) {
        if (std::string(argv[i]) != "-I" || i + 1 >= argc) return false;
        options.includeDirs.push_back(argv[i + 1]);
    }
    return true;
}

bool FileExists(const std::string& path) {
    std::string ignored;
    return ReadText(path, ignored);
}

std::string ProgramDirectory() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? DirectoryOf(std::string(path, static_cast<size_t>(length))) : std::string(".");
}

// The folders includes are looked up in after the including file's own.
std::vector<std::string> IncludeFolders(const Options& options) {
    std::vector<std::string> folders{DirectoryOf(options.source)};
    folders.insert(folders.end(), options.includeDirs.begin(), options.includeDirs.end());
    folders.push_back(ProgramDirectory() + "/" + TORVANE_AVR_DEVICE_FOLDER);
    folders.push_back(AVRA_DEVICE_FILES);
    return folders;
}

// Prints avra's messages in the bridge's form; returns the number of errors.
size_t ReportMessages(const Captured& avra, const ProgramTranslation& program) {
    static const std::regex kMessage(R"(^(.*)\((\d+)\) : (Error|Warning)\s*: (.*)$)");
    size_t errors = 0;
    for (const auto& line : SplitLines(avra.err + avra.out)) {
        std::smatch m;
        if (!std::regex_match(line, m, kMessage)) continue; // progress and other noise
        const std::string where = program.OriginalOf(m[1].str()) + "(" + m[2].str() + ")";
        const bool isError = m[3].str() == "Error";
        errors += isError;
        if (auto missing =
                isError ? program.MissingIncludeAt(m[1].str(), std::stoi(m[2].str())) : std::nullopt)
            PrintLine(where + " : Include file \"" + *missing + "\" not found");
        else
            PrintLine(where + " : " + (isError ? "error" : "warning") + " : " + m[4].str());
    }
    return errors;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintLine("AVRASM: AVR assembler adapter (over avra)");
        PrintLine("usage: avrasm32 -w SOURCE -e EEPROM -fI -I DIR [-I DIR]...");
        return 2;
    }
    const std::string folder = DirectoryOf(options.source);
    const std::string hex = folder + "/" + FileNameOf(WithExtension(options.source, ".hex"));
    const std::string eeprom = AbsolutePath(options.eeprom);
    for (const auto& stale : {hex, eeprom})
        std::remove(stale.c_str());
    // avra writes an object file beside the hex file; only the user's own is kept.
    const std::string object = WithExtension(hex, ".obj");
    const bool hadObject = FileExists(object);

    ScratchFolder work("torvane-avrasm");
    ProgramTranslation program(work.Path(), IncludeFolders(options));
    std::string translationError = work.Ok() ? "" : "cannot create a scratch folder";
    Captured avra;
    if (work.Ok() && program.Translate(options.source, translationError))
        avra = RunCaptured({"avra", "-o", hex, "-e", eeprom, "-fI", program.MainFile()}, work.Path());
    if (!hadObject) std::remove(object.c_str());

    std::string banner = "AVR assembler adapter";
    static const std::regex kVersion(R"(\(version ([^)]+)\))");
    std::smatch version;
    if (std::regex_search(avra.out, version, kVersion)) banner += " over AVRA " + version[1].str();
    PrintLine("AVRASM: " + banner);
    PrintLine("Source: " + options.source);

    size_t errors = ReportMessages(avra, program);
    const bool complete = avra.out.find("Assembly complete with no errors") != std::string::npos;
    if (errors == 0 && !(avra.started && avra.exitCode == 0 && complete && FileExists(hex))) {
        std::string why = avra.started ? "avra did not complete the assembly" : "cannot start avra";
        std::string where = options.source + "(1)";
        if (!translationError.empty()) {
            why = translationError;
        } else if (avra.exitCode >= 128 && program.Cycle()) {
            // avra follows an include cycle until it runs out of stack.
            const auto& cycle = *program.Cycle();
            where = cycle.file + "(" + std::to_string(cycle.line) + ")";
            why = "include file \"" + cycle.name + "\" includes itself";
        }
        PrintLine(where + " : error : " + why);
        errors = 1;
    }
    if (errors == 0 && !FileExists(eeprom) && !WriteText(eeprom, kEmptyHex)) {
        PrintLine(options.source + "(1) : error : cannot write " + eeprom);
        errors = 1;
    }
    PrintLine(errors == 0 ? std::string(torvane::platform::kSummaryNoErrors)
                          : std::to_string(errors) + " " + torvane::platform::kSummaryErrorsDetected);
    return errors == 0 ? 0 : 1;
}
