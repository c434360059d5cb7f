#include "assemble/SettingsFile.h"

#include "assemble/Assemblers.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/ProgramLayout.h"

namespace torvane::build {

std::string PrepareSettingsFile(const platform::ProgramLayout& layout) {
    const std::string path = layout.settingsDir + platform::kSettingsFileName;
    if (!layout.installed || platform::FileExists(path)) return path;

    TMemIniFile settings(path);
    for (int index : {kAssembler8051, kAssemblerAvr}) {
        const AssemblerInfo* assembler = FindAssembler(index);
        settings.WriteString(assembler->section, "Path", layout.libraryDir + assembler->programName);
        settings.WriteString(assembler->section, "Lib", "");
        settings.WriteBool(assembler->section, "Bin", false);
    }
    (void)settings.UpdateFile();
    return path;
}

} // namespace torvane::build
