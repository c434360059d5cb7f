// torvane-cli pack [--method block|lzhuf|auto] IN OUT
// torvane-cli unpack IN OUT
// The compressor's stream format (marker, size, payload, checksum) to and
// from files; unpack also takes streams without a checksum.
// The output file is written only after the whole conversion succeeded, so a
// damaged input never leaves a half-written file behind.
// Exit code: 0 done, 1 unreadable or damaged input (the compressor's text is
// printed), 2 bad usage.

#include "cli/Command.h"
#include "common/Exceptions.h"
#include "common/Messages.h"
#include "common/Stream.h"
#include "compressor/Compressor.h"

#include <cstdio>
#include <optional>

namespace torvane::cli {
namespace {

int RunPack(const std::vector<std::string>& args);
int RunUnpack(const std::vector<std::string>& args);

const CliCommand kPack{"pack", "pack [--method block|lzhuf|auto] IN OUT", RunPack};
const CliCommand kUnpack{"unpack", "unpack IN OUT", RunUnpack};
const CliCommand::Registrar kPackRegistrar(kPack);
const CliCommand::Registrar kUnpackRegistrar(kUnpack);

std::optional<TCompressor::Method> ParseMethod(const std::string& name) {
    if (name == "block") return TCompressor::Method::Block;
    if (name == "lzhuf") return TCompressor::Method::Lzhuf;
    if (name == "auto") return TCompressor::Method::Auto;
    return std::nullopt;
}

void WriteFile(const std::string& name, const TMemoryStream& content) {
    TFileStream out(name, TFileStream::fmCreate);
    out.WriteBuffer(content.Memory(), content.Bytes().size());
    out.Flush();
}

// Far above any compiled scheme; the stream is decoded into memory first.
constexpr int32_t kMaxUnpackedBytes = int32_t{256} << 20;

// Runs the compressor from the file IN into memory and, on success, to OUT.
int Convert(const std::string& inName, const std::string& outName, TCompressor::Method method, bool pack) {
    TFileStream in(inName, TFileStream::fmOpenRead);
    TMemoryStream out;
    TCompressor compressor;
    compressor.SetMethod(method);
    // Files written here carry a checksum, so unpack notices any damaged byte.
    compressor.SetChecksum(true);
    compressor.SetInputStream(&in);
    compressor.SetOutputStream(&out);
    if (pack) {
        compressor.Compress();
    } else {
        // A file holds exactly one stream, and nothing may follow its payload.
        compressor.SetMaxOutputSize(kMaxUnpackedBytes);
        compressor.Decompress();
        if (in.Position() != in.Size()) throw ECompressorException(LoadStr(msg::SCompressorTrailingData));
    }
    WriteFile(outName, out);
    return 0;
}

int RunPack(const std::vector<std::string>& args) {
    TCompressor::Method method = TCompressor::Method::Block;
    size_t first = 0;
    if (!args.empty() && args[0] == "--method") {
        if (args.size() < 2) return UsageError(kPack);
        auto parsed = ParseMethod(args[1]);
        if (!parsed) return UsageError(kPack);
        method = *parsed;
        first = 2;
    }
    if (args.size() != first + 2) return UsageError(kPack);
    return Convert(args[first], args[first + 1], method, true);
}

int RunUnpack(const std::vector<std::string>& args) {
    if (args.size() != 2) return UsageError(kUnpack);
    return Convert(args[0], args[1], TCompressor::Method::Block, false);
}

} // namespace
} // namespace torvane::cli
