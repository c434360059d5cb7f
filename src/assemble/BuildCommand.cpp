#include "assemble/BuildCommand.h"

#include "assemble/Assemblers.h"
#include "bridge/Export.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/ProgramLayout.h"

#include <algorithm>
#include <limits>

namespace torvane::build {
namespace {

bool IsUntitled(const std::string& fileName) {
    return fileName.rfind(platform::kUntitledPrefix, 0) == 0;
}

// Keeps the progress popup up exactly as long as the call runs.
class ProgressShown {
public:
    ProgressShown(BuildUi& ui, const std::string& text) : ui_(ui) { ui_.ShowProgress(text); }
    ~ProgressShown() { ui_.HideProgress(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    BuildUi& ui_;
};

} // namespace

bool LoadLines(const std::string& path, std::vector<std::string>& lines) {
    std::string text;
    if (platform::ReadRegularFile(path, std::numeric_limits<size_t>::max(), text) !=
        platform::FileReadError::None)
        return false;
    lines.clear();
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return true;
}

BuildOutcome RunBuild(BuildUi& ui, const TMemIniFile& settings, const std::string& programDirectory) {
    BuildOutcome outcome;
    const std::string fileName = ui.DocumentFileName();
    if (IsUntitled(fileName)) {
        ui.ShowError(LoadStr(msg::SBuildUntitled));
        return outcome;
    }

    Assembler assembler = AssemblerOfFirstLine(ui.DocumentFirstLine());
    if (assembler == Assembler::None) {
        assembler = ui.AskAssembler(LoadStr(msg::SBuildChooseAssembler));
        if (assembler != Assembler::None) ui.InsertFirstLine(platform::FactsOf(assembler).marker);
    }

    const platform::ProgramLayout layout = platform::LayoutOf(programDirectory);
    const std::string logPath = layout.scratchDir + kBuildLogName;
    platform::DeleteFile(logPath);
    outcome.assembler = assembler;
    if (assembler == Assembler::None) {
        outcome.status = BuildStatus::NoAssembler;
        return outcome;
    }
    const platform::AssemblerFacts& facts = platform::FactsOf(assembler);

    const std::string asmPath = settings.ReadString(facts.section, "Path", "");
    const std::string lib = settings.ReadString(facts.section, "Lib", "");
    const bool bin = settings.ReadBool(facts.section, "Bin", false);

    platform::DynamicLibrary library;
    if (!library.Load(layout.libraryDir + platform::kBridgeLibrary)) {
        ui.ShowError(FormatStr<msg::SBuildCannotLoadLibrary>(platform::kBridgeLibrary));
        outcome.status = BuildStatus::LibraryNotLoaded;
        return outcome;
    }
    auto call = reinterpret_cast<PelorinExport>(library.Symbol(facts.exportName));
    // Optional: a library without them builds under its own limits and cannot be stopped.
    auto setLimits = reinterpret_cast<PelorinSetLimits>(library.Symbol("SETLIMITS"));
    auto cancel = reinterpret_cast<PelorinCancel>(library.Symbol("CANCELRUN"));
    if (setLimits) {
        const int idle = settings.ReadInteger(facts.section, "IdleTimeout", 0);
        const int total = settings.ReadInteger(facts.section, "TotalTimeout", 0);
        setLimits(static_cast<uint32_t>(std::max(idle, 0)), static_cast<uint32_t>(std::max(total, 0)));
    }

    ProgressShown progress(ui, FormatStr<msg::SBuildProgress>(fileName.c_str()));
    std::vector<std::string> log;
    if (call)
        outcome.result = ui.RunCall(
            [&] {
                return call(fileName.c_str(), logPath.c_str(), asmPath.c_str(), lib.c_str(), bin ? 1 : 0);
            },
            [cancel] {
                if (cancel) cancel();
            });
    if (call && outcome.result != bridge::kCallFailed && LoadLines(logPath, log)) {
        ui.SetMessages(log);
        outcome.status = BuildStatus::Called;
    } else {
        ui.AppendMessage(LoadStr(msg::SBuildLibraryFailure));
        outcome.status = BuildStatus::LibraryFailed;
    }
    return outcome;
}

} // namespace torvane::build
