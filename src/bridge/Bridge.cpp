#include "bridge/Bridge.h"

#include "bridge/AsmLog.h"
#include "bridge/CommandLine.h"
#include "bridge/HexToBin.h"
#include "common/Messages.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"

#include <cstdio>

namespace torvane::bridge {
namespace {

struct Arguments {
    std::string source, logFile, asmPath, lib;
    bool bin = false;
};

bool Assemble(Assembler assembler, const Arguments& args, Lines& log) {
    if (!platform::FileExists(args.source)) {
        log.push_back(FormatStr(msg::SBridgeSourceMissing, args.source.c_str()));
        return false;
    }
    if (!platform::FileExists(args.asmPath)) {
        log.push_back(LoadStr(msg::SBridgeBadAssemblerPath));
        return false;
    }
    const std::string commandLine =
        assembler == Assembler::Asem51
            ? Asem51CommandLine(args.asmPath, args.source, args.lib)
            : AvrAsmCommandLine(args.asmPath, args.source, args.lib, platform::DirectoryExists);
    Lines output;
    platform::RunProcess(commandLine, platform::ExtractFilePath(args.source), output);
    const bool assembled = assembler == Assembler::Asem51 ? InterpretAsem51Output(output, LongTimeNow(), log)
                                                          : InterpretAvrAsmOutput(output, LongTimeNow(), log);
    if (assembled && args.bin) {
        const std::string hex = ChangeFileExt(args.source, ".hex");
        const int result = HexToBin(hex, ChangeFileExt(args.source, ".bin"));
        if (result != kHexOk) log.push_back(HexResultMessage(result));
        platform::DeleteFile(hex);
    }
    return assembled;
}

bool WriteLog(const std::string& path, const Lines& log) noexcept {
    std::FILE* f = platform::OpenFile(path, "wb");
    if (!f) return false;
    bool ok = true;
    for (const std::string& line : log) {
        ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size();
        ok = ok && std::fwrite("\r\n", 1, 2, f) == 2;
    }
    return std::fclose(f) == 0 && ok;
}

} // namespace

uint8_t CallBridge(Assembler assembler, const char* source, const char* logFile, const char* asmPath,
                   const char* lib, uint8_t bin) noexcept {
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    Lines log;
    uint8_t result = kNotAssembled;
    bool failed = false;
    std::string logPath;
    try {
        logPath = text(logFile);
        Arguments args{text(source), logPath, text(asmPath), text(lib), bin != 0};
        result = Assemble(assembler, args, log) ? kAssembled : kNotAssembled;
    } catch (...) {
        failed = true;
    }
    const bool written = WriteLog(logPath, log);
    if (failed) return kCallFailed;
    return written ? result : kNotAssembled;
}

} // namespace torvane::bridge
