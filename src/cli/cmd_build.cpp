// torvane-cli build SOURCE [--ini PATH]: the program's build command without
// windows. The assembler comes from the source's first line, the settings
// from PATH or the program's settings file (the one the editor uses); the
// log goes to "compiler.log" where the editor writes it, and is printed.
// Exit code: 0 assembled, 1 the assembler reported errors, 2 bad usage or no
// assembler marker, 3 the bridge library failed or could not be loaded.

#include "assemble/Assemblers.h"
#include "assemble/BuildCommand.h"
#include "assemble/SettingsFile.h"
#include "bridge/Export.h"
#include "cli/Command.h"
#include "common/IniFile.h"
#include "common/Messages.h"
#include "platform/FileSystem.h"
#include "platform/ProgramLayout.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace torvane::cli {
namespace {

constexpr int kExitErrors = 1;
constexpr int kExitLibrary = 3;

int RunBuildCommand(const std::vector<std::string>& args);

const CliCommand kCommand{"build", "build SOURCE [--ini PATH]", RunBuildCommand};
const CliCommand::Registrar kRegistrar(kCommand);

// The build command's questions answered for a terminal: messages go to the
// streams, nothing is ever asked.
class ConsoleUi : public build::BuildUi {
public:
    ConsoleUi(std::string fileName, std::string firstLine)
        : fileName_(std::move(fileName)), firstLine_(std::move(firstLine)) {}

    std::string DocumentFileName() const override { return fileName_; }
    std::string DocumentFirstLine() const override { return firstLine_; }
    platform::Assembler AskAssembler(const std::string&) override { return platform::Assembler::None; }
    void InsertFirstLine(const std::string&) override {}
    void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void ShowProgress(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void HideProgress() override {}
    void SetMessages(const std::vector<std::string>& lines) override {
        for (const auto& line : lines)
            std::printf("%s\n", line.c_str());
    }
    void AppendMessage(const std::string& line) override { std::printf("%s\n", line.c_str()); }

private:
    std::string fileName_, firstLine_;
};

// The source's first line, read no further than a marker line can reach.
bool ReadFirstLine(const std::string& source, std::string& line) {
    platform::FileReadError error = platform::FileReadError::None;
    std::FILE* file = platform::OpenRegularFile(source, &error);
    if (!file) {
        if (error == platform::FileReadError::NotRegular)
            std::fprintf(stderr, "%s\n", FormatStr<msg::SNotRegularFile>(source.c_str()).c_str());
        else
            std::fprintf(stderr, "cannot read %s\n", source.c_str());
        return false;
    }
    constexpr size_t kMaxFirstLine = 4096;
    char buffer[kMaxFirstLine];
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    line.assign(buffer, got);
    line.erase(std::min(line.find_first_of("\r\n"), line.size()));
    return true;
}

int RunBuildCommand(const std::vector<std::string>& args) {
    std::string source, iniPath;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--ini" && i + 1 < args.size())
            iniPath = args[++i];
        else if (source.empty() && args[i].rfind("--", 0) != 0)
            source = args[i];
        else
            return UsageError(kCommand);
    }
    if (source.empty()) return UsageError(kCommand);

    std::string firstLine;
    if (!ReadFirstLine(source, firstLine)) return kExitUsage;
    if (build::AssemblerOfFirstLine(firstLine) == platform::Assembler::None) {
        std::fprintf(stderr, "%s: the first line names no assembler (\"%s\" or \"%s\")\n", source.c_str(),
                     platform::FactsOf(platform::Assembler::Asem51).marker,
                     platform::FactsOf(platform::Assembler::AvrAsm).marker);
        return kExitUsage;
    }

    const std::string programDir = platform::ProgramDirectory();
    const TMemIniFile settings(iniPath.empty() ? build::PrepareSettingsFile(platform::LayoutOf(programDir))
                                               : iniPath);
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(platform::PathOf(source), error);
    ConsoleUi ui(error ? source : platform::NameOf(absolute.lexically_normal()), firstLine);
    const build::BuildOutcome outcome = build::RunBuild(ui, settings, programDir);
    switch (outcome.status) {
    case build::BuildStatus::Called:
        return outcome.result == bridge::kAssembled ? 0 : kExitErrors;
    case build::BuildStatus::LibraryNotLoaded:
    case build::BuildStatus::LibraryFailed:
        return kExitLibrary;
    default:
        return kExitUsage;
    }
}

} // namespace
} // namespace torvane::cli
