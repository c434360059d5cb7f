#include "assemble/SettingsFile.h"

#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/ProgramLayout.h"

namespace torvane::build {

std::string PrepareSettingsFile(const platform::ProgramLayout& layout) {
    const std::string path = layout.settingsDir + platform::kSettingsFileName;
    if (!layout.installed || platform::FileExists(path)) return path;

    TMemIniFile settings(path);
    for (platform::Assembler assembler : platform::kBuildAssemblers) {
        const platform::AssemblerFacts& facts = platform::FactsOf(assembler);
        settings.WriteString(facts.section, "Path", layout.libraryDir + facts.programName);
        settings.WriteString(facts.section, "Lib", "");
        settings.WriteBool(facts.section, "Bin", false);
    }
    (void)settings.UpdateFile();
    return path;
}

} // namespace torvane::build
