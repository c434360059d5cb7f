// torvane-cli hex2bin IN OUT: the bridge's Intel HEX to binary conversion.
// Exit code: the conversion's result code 0..4 (its log line on stderr for
// 1..4); 5 when the HEX text is malformed beyond what a result code says.

#include "bridge/HexToBin.h"
#include "cli/Command.h"

#include <cstdio>

namespace torvane::cli {
namespace {

constexpr int kExitMalformed = 5;

int RunHex2Bin(const std::vector<std::string>& args);

const CliCommand kCommand{"hex2bin", "hex2bin IN.hex OUT.bin", RunHex2Bin};
const CliCommand::Registrar kRegistrar(kCommand);

int RunHex2Bin(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError(kCommand);
    try {
        const int result = bridge::HexToBin(args[0], args[1]);
        if (result != bridge::kHexOk) std::fprintf(stderr, "%s\n", bridge::HexResultMessage(result).c_str());
        return result;
    } catch (const bridge::EHexMalformed& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kExitMalformed;
    }
}

} // namespace
} // namespace torvane::cli
