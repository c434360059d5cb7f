#pragma once
// The build command: assembles the active document through the bridge
// library, which is loaded from the program directory for this one build and
// freed after it. The window system is reached only through BuildUi, so the
// same steps run in the program, in torvane-cli and in tests.
//
// Steps, in this order:
//  1. an untitled document is refused ("Neplatný název souboru!");
//  2. the assembler comes from the first line; without a marker the user is
//     asked, and a chosen assembler's marker is inserted as a new first line;
//  3. "compiler.log" is deleted (whatever was chosen); it lives beside a
//     portable program and in the user's scratch folder of an installed one;
//  4. without an assembler nothing else happens;
//  5. Path, Lib and Bin are read from the assembler's settings section;
//  6. the library is loaded (failure: "Nelze inicializovat knihovnu ..."
//     naming the library file) and the export looked up;
//  7. progress is shown around the call, which the UI may run on another
//     thread and cancel; the limits IdleTimeout and TotalTimeout (seconds)
//     of the section are handed to the library first. The message list is
//     then replaced by the log's lines. A missing export, a call that fails (bridge::kCallFailed), or a
//     log that cannot be read appends the library-failure message instead.

#include "platform/Names.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvane {
class TMemIniFile;
}

namespace torvane::build {

class BuildUi {
public:
    virtual ~BuildUi() = default;

    virtual std::string DocumentFileName() const = 0;
    virtual std::string DocumentFirstLine() const = 0;
    // Shows the assembler choice with the caption; Assembler::None when the
    // user cancelled or chose none.
    virtual platform::Assembler AskAssembler(const std::string& caption) = 0;
    // Inserts the line as a new first line (the document becomes modified).
    virtual void InsertFirstLine(const std::string& line) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowProgress(const std::string& text) = 0;
    virtual void HideProgress() = 0;
    // Runs the library call and returns its result. A window runs it on a
    // worker thread, keeps painting, and calls `cancel` (safe from any
    // thread) when the user stops the build; by default it runs right here.
    virtual uint8_t RunCall(const std::function<uint8_t()>& call, const std::function<void()>& cancel) {
        (void)cancel;
        return call();
    }
    virtual void SetMessages(const std::vector<std::string>& lines) = 0;
    virtual void AppendMessage(const std::string& line) = 0;
};

enum class BuildStatus {
    Refused,          // untitled document
    NoAssembler,      // none chosen; only the old log was deleted
    LibraryNotLoaded, // error shown
    LibraryFailed,    // export missing, call failed, or log unreadable
    Called,           // the log is in the message list; see `result`
};

struct BuildOutcome {
    BuildStatus status = BuildStatus::Refused;
    platform::Assembler assembler = platform::Assembler::None;
    uint8_t result = 0; // the export's result byte when status is Called
};

// The log file of every build, in the program's scratch directory.
inline constexpr char kBuildLogName[] = "compiler.log";

// programDirectory ends with a path separator. The bridge library and the
// log are where the program's layout (platform/ProgramLayout.h) puts them.
BuildOutcome RunBuild(BuildUi& ui, const TMemIniFile& settings, const std::string& programDirectory);

// The lines of a text file (CR LF, LF or CR ends); false when it cannot be read.
bool LoadLines(const std::string& path, std::vector<std::string>& lines);

} // namespace torvane::build
