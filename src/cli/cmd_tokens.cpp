// torvane-cli tokens [--scheme txt|asm51|avr|PATH] SOURCE
// The token ids the editor gives a source file: SOURCE is loaded into a text
// store (any line ends), highlighted from scratch as after opening it, and
// every stored line is printed as space-separated runs "ID*COUNT" that cover
// each of its characters, its line break (one character 13) included. A
// line split by the store's node length is printed whole.
// The scheme is one of the bundled scripts among the program's data (Scripts/),
// or PATH: a scheme script or a compiled scheme stream. Without --scheme
// the built-in plain-text scheme is used.
// Exit code: 0 done, 1 unreadable input or a scheme that does not load,
// 2 bad usage.

#include "cli/Command.h"
#include "cli/ParserBinding.h"
#include "cli/Schemes.h"
#include "highlight/BuiltinScheme.h"

#include <cstdio>
#include <string>

namespace torvane::cli {
namespace {

int RunTokens(const std::vector<std::string>& args);

const CliCommand kCommand{"tokens", "tokens [--scheme txt|asm51|avr|PATH] SOURCE", RunTokens};
const CliCommand::Registrar kRegistrar(kCommand);

std::string FormatRuns(const std::vector<uint8_t>& ids) {
    std::string out;
    for (size_t c = 0; c < ids.size();) {
        size_t end = c + 1;
        while (end < ids.size() && ids[end] == ids[c])
            ++end;
        if (!out.empty()) out += ' ';
        out += std::to_string(ids[c]) + '*' + std::to_string(end - c);
        c = end;
    }
    return out;
}

void PrintRuns(const editor::TTextStore& store) {
    // Ids of the current line; a line longer than a node spans several.
    std::vector<uint8_t> line;
    for (editor::TLineIndex i = 0; i < store.LineCount(); ++i) {
        const std::string_view text = store.NodeText(i);
        const std::span<const uint8_t> ids = store.NodeStyles(i);
        if (ids.empty())
            line.resize(line.size() + text.size(), 0);
        else
            line.insert(line.end(), ids.begin(), ids.end());
        if (text.empty() || text.back() == '\r' || i + 1 == store.LineCount()) {
            std::printf("%s\n", FormatRuns(line).c_str());
            line.clear();
        }
    }
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
    if (scheme.empty())
        LoadBuiltinPlainTextScheme(parser);
    else if (!LoadScheme(parser, SchemePath(scheme)))
        return 1;
    editor::TTextStore store;
    store.LoadFromFile(source);
    HighlightWholeStore(parser, store);
    PrintRuns(store);
    return 0;
}

} // namespace
} // namespace torvane::cli
