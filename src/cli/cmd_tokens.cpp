// torvane-cli tokens [--scheme txt|asm51|avr|PATH] SOURCE
// The tokens the editor gives a source file: SOURCE is loaded into a text
// store (any line ends), highlighted from scratch as after opening it, and
// printed as a token listing (highlight/TokenListing.h): each line, then its
// runs of characters with the name of the style each run paints in. Bytes
// show as Windows-1250 characters, as the editor shows them.
// The scheme is one of the bundled scripts among the program's data (Scripts/),
// or PATH: a scheme script or a compiled scheme stream. Without --scheme
// the built-in plain-text scheme is used.
// Exit code: 0 done, 1 unreadable input or a scheme that does not load,
// 2 bad usage.

#include "cli/Command.h"
#include "cli/ParserBinding.h"
#include "cli/Schemes.h"
#include "editor/Cp1250Table.h"
#include "highlight/TokenListing.h"

#include <cstdio>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace torvane::cli {
namespace {

int RunTokens(const std::vector<std::string>& args);

const CliCommand kCommand{"tokens", "tokens [--scheme txt|asm51|avr|PATH] SOURCE", RunTokens};
const CliCommand::Registrar kRegistrar(kCommand);

// The stored text in one piece, line breaks included, and the token of each
// of its characters. A line longer than a node spans several nodes; a node
// without tokens yet counts as plain text.
std::pair<std::string, std::vector<uint8_t>> TextAndTokens(const editor::TTextStore& store) {
    std::string text;
    std::vector<uint8_t> ids;
    for (editor::TLineIndex i = 0; i < store.LineCount(); ++i) {
        const std::string_view node = store.NodeText(i);
        const std::span<const uint8_t> styles = store.NodeStyles(i);
        text += node;
        ids.insert(ids.end(), styles.begin(), styles.end());
        ids.resize(text.size(), 0);
    }
    return {std::move(text), std::move(ids)};
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
    editor::TTextStore store;
    if (!LoadHighlighted(parser, scheme, source, store)) return 1;
    const auto [text, ids] = TextAndTokens(store);
    const std::string listing = FormatTokenListing(text, ids, parser.Settings(), editor::Cp1250ToUnicode);
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return 0;
}

} // namespace
} // namespace torvane::cli
