#pragma once
// File names of the libraries and programs that Torvane finds beside itself or
// starts, and the table of the assemblers a document can be built with. Every
// message that names one of them takes it from here.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

namespace torvane::platform {

#ifdef _WIN32
inline constexpr const char kBridgeLibrary[] = "Pelorin.dll";
inline constexpr const char kResourceLibrary[] = "Quendal.dll";
inline constexpr const char kAsem51Program[] = "asemw.exe";
inline constexpr const char kAvrAsmProgram[] = "avrasm32.exe";
inline constexpr char kPathSeparator = '\\';
// Both separators end a folder part, and so does a drive's colon.
inline constexpr const char kPathDelimiters[] = "\\/:";
#else
inline constexpr const char kBridgeLibrary[] = "libPelorin.so";
inline constexpr const char kResourceLibrary[] = "libQuendal.so";
inline constexpr const char kAsem51Program[] = "asemw";
inline constexpr const char kAvrAsmProgram[] = "avrasm32";
inline constexpr char kPathSeparator = '/';
inline constexpr const char kPathDelimiters[] = "/";
#endif

// A document never saved is named kUntitledPrefix, a blank and the smallest
// free number ("Nový soubor 1"); any name that starts with the prefix is
// untitled and cannot be built. UTF-8.
inline constexpr const char kUntitledPrefix[] = "Nový soubor";

// The folder of scheme scripts among the program's data, and the settings file.
inline constexpr const char kScriptsFolder[] = "Scripts";
inline constexpr const char kSettingsFileName[] = "Torvane.ini";

// Exported lookup function of the resource library.
inline constexpr const char kResourceLookupSymbol[] = "QuendalFindResource";

// Names of the single-instance lock and of the running instance's endpoint.
inline constexpr const char kInstanceLockName[] = "Torvane";
inline constexpr const char kInstanceWindowClass[] = "TfrmTorvane";

// The assemblers, in the order the program counts them everywhere it shows a
// list (the choice dialog, the highlighting menu): none, 8051, AVR.
enum class Assembler : uint8_t { None, Asem51, AvrAsm };

// Everything the layers know of one assembler. Texts are UTF-8; fields an
// assembler without a build does not have are empty, never null.
struct AssemblerFacts {
    Assembler id;
    const char* choiceText;   // entry of the assembler choice list
    const char* menuText;     // highlighting menu item
    const char* schemeName;   // short name of its scheme in torvane-cli
    const char* scriptFile;   // scheme script in the Scripts folder
    const char* marker;       // the whole first line of a document built with it
    const char* exportName;   // the bridge library's export
    const char* section;      // settings section holding Path, Lib and Bin
    const char* programName;  // the front end a first settings file names
    const char* deviceFolder; // its device headers beside the front end
};

inline constexpr AssemblerFacts kAssemblerTable[] = {
    {Assembler::None, "Žádný", "Žádné", "txt", "txt.tsc", "", "", "", "", ""},
    {Assembler::Asem51, "ASEM51", "assembler 8051", "asm51", "asm51.tsc", ";compiler: asem51", "ASEM51",
     "ASEM51", kAsem51Program, "asemw-devices"},
    {Assembler::AvrAsm, "AVRasm", "assembler AVR", "avr", "AvrAsm.tsc", ";compiler: avrasm", "AVRASM",
     "AvrAsm32", kAvrAsmProgram, "avrdevices"},
};
inline constexpr int kAssemblerCount = static_cast<int>(std::size(kAssemblerTable));

// The assemblers a document can be built with.
inline constexpr Assembler kBuildAssemblers[] = {Assembler::Asem51, Assembler::AvrAsm};

constexpr const AssemblerFacts& FactsOf(Assembler assembler) noexcept {
    return kAssemblerTable[static_cast<size_t>(assembler)];
}

// The position of an assembler in the lists the user chooses from.
constexpr int IndexOf(Assembler assembler) noexcept {
    return static_cast<int>(assembler);
}

// The checked way in from a number that came from outside (a list index, a
// menu tag, a stored setting): nothing for a number no assembler has.
constexpr std::optional<Assembler> AssemblerAt(int index) noexcept {
    if (index < 0 || index >= kAssemblerCount) return std::nullopt;
    return kAssemblerTable[index].id;
}

constexpr bool TableFollowsEnum() noexcept {
    for (int i = 0; i < kAssemblerCount; ++i)
        if (IndexOf(kAssemblerTable[i].id) != i) return false;
    return true;
}
static_assert(TableFollowsEnum(), "kAssemblerTable must list the assemblers in the order of the enum");

// The summary line both front ends end their output with, as the bridge reads
// it: "no errors", or the count, a blank and kSummaryErrorsDetected.
inline constexpr char kSummaryNoErrors[] = "no errors";
inline constexpr char kSummaryErrorsDetected[] = "errors detected";

} // namespace torvane::platform
