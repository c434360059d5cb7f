// torvane-cli tokens [--scheme FILE] SOURCE: the token ids the highlighter
// gives a source file, one output line per source line as runs "id:length"
// (the line break not counted). FILE is a compiled scheme stream; without it
// the built-in plain-text scheme is used. Line ends CR LF, LF and CR are all
// read as the editor stores them (one character 13).

#include "cli/Command.h"
#include "common/Stream.h"
#include "highlight/BuiltinScheme.h"
#include "highlight/ParserText.h"

#include <cstdio>
#include <string>

namespace torvane::cli {
namespace {

int RunTokens(const std::vector<std::string>& args);

const CliCommand kCommand{"tokens", "tokens [--scheme COMPILED-SCHEME] SOURCE", RunTokens};
const CliCommand::Registrar kRegistrar(kCommand);

std::string ReadFile(const std::string& name) {
    TFileStream file(name, TFileStream::fmOpenRead);
    std::string bytes(static_cast<size_t>(file.Size()), '\0');
    file.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

int RunTokens(const std::vector<std::string>& args) {
    std::string scheme, source;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scheme" && i + 1 < args.size())
            scheme = args[++i];
        else if (source.empty())
            source = args[i];
        else
            return UsageError(kCommand);
    }
    if (source.empty()) return UsageError(kCommand);

    TTessaryParser parser;
    parser.name = "tokens";
    if (scheme.empty()) {
        LoadBuiltinPlainTextScheme(parser);
    } else {
        TFileStream file(scheme, TFileStream::fmOpenRead);
        bool versionError = false;
        parser.OnParserVersionError = [&](TTessaryParser&, uint16_t, uint16_t) { versionError = true; };
        parser.LoadFromStream(file);
        if (versionError) {
            std::fprintf(stderr, "%s: not a compiled scheme of version 51\n", scheme.c_str());
            return 1;
        }
    }
    const std::string text = WithEditorLineBreaks(ReadFile(source));
    std::fputs(FormatTokenRuns(text, ScanTokenIds(parser, text)).c_str(), stdout);
    return 0;
}

} // namespace
} // namespace torvane::cli
