#include "bridge/Bridge.h"

#include "bridge/AsmLog.h"
#include "bridge/CommandLine.h"
#include "bridge/HexToBin.h"
#include "common/Messages.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/ProcessRunner.h"

#include <atomic>
#include <cstdio>
#include <stdexcept>

namespace torvane::bridge {
namespace {

constexpr uint32_t kDefaultIdleSeconds = 60;
constexpr uint32_t kDefaultTotalSeconds = 10 * 60;

std::atomic<uint32_t> idleSeconds{kDefaultIdleSeconds};
std::atomic<uint32_t> totalSeconds{kDefaultTotalSeconds};
std::atomic<bool> cancelRequested{false};

struct Arguments {
    std::string source, logFile, asmPath, lib;
    bool bin = false;
};

bool IsBundledFrontEnd(Assembler assembler, const std::string& asmPath) {
    return platform::ExtractFileName(asmPath) == platform::FactsOf(assembler).programName;
}

// A killed assembler's output is incomplete, so it is not interpreted: the
// log says why the build stopped instead of blaming the library.
void LogStoppedRun(platform::ProcessEnd end, const platform::ProcessLimits& limits, Lines& log) {
    using std::chrono::duration_cast;
    using std::chrono::seconds;
    log.push_back("(" + LongTimeNow() + ") ");
    log.emplace_back();
    log.push_back(LoadStr(msg::SBridgeNotAssembled));
    if (end == platform::ProcessEnd::Cancelled)
        log.push_back(LoadStr(msg::SBridgeCancelled));
    else if (end == platform::ProcessEnd::IdleTimeout)
        log.push_back(FormatStr<msg::SBridgeIdleTimeout>(
            static_cast<int>(duration_cast<seconds>(limits.idle).count())));
    else
        log.push_back(FormatStr<msg::SBridgeTotalTimeout>(
            static_cast<int>(duration_cast<seconds>(limits.total).count())));
}

bool Assemble(Assembler assembler, const Arguments& args, Lines& log) {
    // No export passes it; a caller of the core that does gets a failed call.
    if (assembler == Assembler::None) throw std::invalid_argument("no assembler");
    if (!platform::FileExists(args.source)) {
        log.push_back(FormatStr<msg::SBridgeSourceMissing>(args.source.c_str()));
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
    platform::ProcessLimits limits;
    limits.idle = std::chrono::seconds(idleSeconds.load());
    limits.total = std::chrono::seconds(totalSeconds.load());
    limits.cancel = &cancelRequested;
    limits.cutNotice = FormatStr<msg::SBridgeOutputCut>(static_cast<int>(limits.maxLines),
                                                        static_cast<int>(limits.maxBytes >> 20));
    const platform::ProcessResult run =
        platform::RunProcess(commandLine, platform::ExtractFilePath(args.source), output, limits);
    if (run.end != platform::ProcessEnd::Exited && run.end != platform::ProcessEnd::NotStarted) {
        LogStoppedRun(run.end, limits, log);
        return false;
    }
    // The bundled front ends exit non-zero whenever they report errors, so
    // their status must agree with the summary line.
    const bool exitStatusOk = !IsBundledFrontEnd(assembler, args.asmPath) || run.exitCode == 0;
    const bool assembled = assembler == Assembler::Asem51
                               ? InterpretAsem51Output(output, LongTimeNow(), log, exitStatusOk)
                               : InterpretAvrAsmOutput(output, LongTimeNow(), log, exitStatusOk);
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

void SetRunLimits(uint32_t idle, uint32_t total) noexcept {
    idleSeconds = idle ? idle : kDefaultIdleSeconds;
    totalSeconds = total ? total : kDefaultTotalSeconds;
    cancelRequested = false;
}

void CancelRun() noexcept {
    cancelRequested = true;
}

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
