// avrasm32: the AVR assembler the bridge starts, built over avra.
//
//   avrasm32 -w SOURCE -e EEPROM -fI -I DIR [-I DIR]...
//
// Output (stdout): "AVRASM: " and a banner, a second line, then one line per
// message: "FULLPATH(N) : error : msg" or "FULLPATH(N) : warning : msg"
// (FULLPATH is SOURCE as given for the source itself, else the absolute path
// of the include file), and last "no errors" or "N errors detected". On
// success SOURCE.hex and EEPROM exist (an empty EEPROM file when the program
// has no EEPROM data). Exit code 0 on success, 1 on errors, 2 on a bad
// command line.
//
// avra runs in the source's folder on the bare file name (it prefixes include
// names with the source's folder otherwise), with its device files folder
// last in the include path. It exits 0 even on option errors, so success also
// needs its "Assembly complete with no errors" and the hex file.

#include "common/ToolSupport.h"

#include <cstdio>
#include <regex>

using namespace torvane::tools;

namespace {

constexpr char kDeviceFiles[] = "/usr/share/avra";
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

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintLine("AVRASM: AVR assembler adapter (over avra)");
        PrintLine("usage: avrasm32 -w SOURCE -e EEPROM -fI -I DIR [-I DIR]...");
        return 2;
    }
    const std::string folder = DirectoryOf(options.source);
    const std::string name = FileNameOf(options.source);
    const std::string hex = folder + "/" + FileNameOf(WithExtension(options.source, ".hex"));
    const std::string object = WithExtension(hex, ".obj");
    const std::string eeprom = AbsolutePath(options.eeprom);
    for (const auto& stale : {hex, eeprom})
        std::remove(stale.c_str());
    const bool hadObject = FileExists(object);

    std::vector<std::string> args{"avra", "-o", hex, "-e", eeprom, "-fI"};
    for (const auto& dir : options.includeDirs)
        args.insert(args.end(), {"-I", dir});
    args.insert(args.end(), {"-I", kDeviceFiles, name});
    Captured avra = RunCaptured(args, folder);
    if (!hadObject) std::remove(object.c_str());

    std::string banner = "AVR assembler adapter";
    static const std::regex kVersion(R"(\(version ([^)]+)\))");
    std::smatch version;
    if (std::regex_search(avra.out, version, kVersion)) banner += " over AVRA " + version[1].str();
    PrintLine("AVRASM: " + banner);
    PrintLine("Source: " + options.source);

    static const std::regex kMessage(R"(^(.*)\((\d+)\) : (Error|Warning)\s*: (.*)$)");
    size_t errors = 0;
    for (const auto& line : SplitLines(avra.err + avra.out)) {
        std::smatch m;
        if (!std::regex_match(line, m, kMessage)) continue; // progress and other noise
        std::string file = m[1].str();
        if (file == name)
            file = options.source;
        else if (!file.empty() && file[0] != '/')
            file = AbsolutePath(folder + "/" + file);
        const bool isError = m[3].str() == "Error";
        errors += isError;
        PrintLine(file + "(" + m[2].str() + ") : " + (isError ? "error" : "warning") + " : " + m[4].str());
    }
    const bool complete = avra.out.find("Assembly complete with no errors") != std::string::npos;
    if (errors == 0 && !(avra.started && avra.exitCode == 0 && complete && FileExists(hex))) {
        std::string why = avra.started ? "avra did not complete the assembly" : "cannot start avra";
        PrintLine(options.source + "(1) : error : " + why);
        errors = 1;
    }
    if (errors == 0 && !FileExists(eeprom) && !WriteText(eeprom, kEmptyHex)) {
        PrintLine(options.source + "(1) : error : cannot write " + eeprom);
        errors = 1;
    }
    PrintLine(errors == 0 ? "no errors" : std::to_string(errors) + " errors detected");
    return errors == 0 ? 0 : 1;
}
