// torvane-cli print [--scheme NAME|PATH] [--lines FIRST-LAST] [--wrap] [--color] SOURCE OUT.pdf
// Prints lines of SOURCE (1-based, both included; default all) as the
// editor's print command does, with the document window's print options:
// the title (SOURCE as given) and the date at the top, line numbers, page
// numbers at the bottom, black on white. --wrap continues long lines on the
// next row instead of cutting them at the page edge; --color prints the
// scheme's colours. The scheme (see SchemeLoading.h) gives the highlighting;
// without one the text is plain.
// The PDF is written by the editor's own PDF printer, so this tool needs no
// window system.
// Exit code: 0 printed, 1 unreadable source or scheme, or a PDF that cannot
// be written, 2 bad usage.

#include "cli/Command.h"
#include "cli/Schemes.h"
#include "editor/ParserAdapter.h"
#include "editor/PdfSurface.h"
#include "editor/Printing.h"

#include <charconv>
#include <clocale>
#include <cstdio>
#include <string>

namespace torvane::cli {
namespace {

int RunPrint(const std::vector<std::string>& args);

const CliCommand kCommand{
    "print", "print [--scheme NAME|PATH] [--lines FIRST-LAST] [--wrap] [--color] SOURCE OUT.pdf", RunPrint};
const CliCommand::Registrar kRegistrar(kCommand);

constexpr uint32_t kDocumentPrintOptions =
    smoPrintLineNos | smoPrintFilename | smoPrintDate | smoPrintPageNos;
constexpr int32_t kDocumentTabDefault = 4;

bool ParseNumber(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 1;
}

// "FIRST-LAST", 1-based and ascending.
bool ParseLines(const std::string& text, int& first, int& last) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    return ParseNumber(std::string_view(text).substr(0, dash), first) &&
           ParseNumber(std::string_view(text).substr(dash + 1), last) && first <= last;
}

int RunPrint(const std::vector<std::string>& args) {
    std::string scheme;
    std::vector<std::string> files;
    int first = 1, last = 0; // last 0: to the end
    editor::TPrintSetup setup;
    setup.options = kDocumentPrintOptions;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scheme" && i + 1 < args.size())
            scheme = args[++i];
        else if (args[i] == "--lines" && i + 1 < args.size()) {
            if (!ParseLines(args[++i], first, last)) return UsageError(kCommand);
        } else if (args[i] == "--wrap")
            setup.options |= smoPrintWrap;
        else if (args[i] == "--color")
            setup.monoPrint = false;
        else if (args[i].starts_with("--"))
            return UsageError(kCommand);
        else
            files.push_back(args[i]);
    }
    if (files.size() != 2) return UsageError(kCommand);
    const std::string& source = files[0];

    TTessaryParser parser;
    parser.name = "print";
    editor::TTextStore store;
    if (!LoadHighlighted(parser, scheme, source, store)) return 1;

    // Lines are counted as the user sees them; a line split into several
    // nodes prints whole.
    // Without a range the empty line after a final line break is left out,
    // as when the whole text is selected.
    editor::TLineIndex firstNode = -1, lastNode = editor::PrintedLines(store, 0, store.TextLength()).last;
    int line = 0;
    for (editor::TLineIndex node = 0; node < store.LineCount(); ++node) {
        if (store.Node(node).IsContinuation()) continue;
        ++line;
        if (line == first) firstNode = node;
        if (last > 0 && line == last + 1) {
            lastNode = node - 1;
            break;
        }
    }
    // An empty file still gives its one (empty) page.
    if (lastNode < 0) lastNode = 0;
    if (firstNode < 0) {
        std::fprintf(stderr, "%s has fewer than %d lines\n", source.c_str(), first);
        return 1;
    }

    TTabStops tabs;
    tabs.SetDefault(kDocumentTabDefault);
    const editor::TSettingsStyleSource styles(parser.Settings());
    const editor::TAppearance appearance;
    setup.title = source;
    std::setlocale(LC_TIME, ""); // the user's short date and time formats
    setup.dateTime = editor::ShortDateTime();
    editor::TPdfSurface pdf(files[1]);
    const editor::TPrintResult result =
        editor::PrintLines(pdf, store, tabs, styles, appearance, {firstNode, lastNode}, setup);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return 1;
    }
    std::printf("%d page%s written to %s\n", result.pages, result.pages == 1 ? "" : "s", files[1].c_str());
    return 0;
}

} // namespace
} // namespace torvane::cli
