// torvane-cli export --format rtf|html [--scheme txt|asm51|avr|PATH] SOURCE OUT
// Writes SOURCE as a coloured RTF document or HTML page, as the editor's
// export does: the source is loaded into an editor control (any line ends),
// highlighted from scratch with the scheme, and its whole text written with
// the scheme's styles and font. Without --scheme the first line picks the
// scheme as it picks the assembler (";compiler: asem51", ";compiler:
// avrasm"), else the plain-text script. The page title is SOURCE as given.
// OUT is replaced only when the new file is complete.
// The HTML page is dated now, or at SOURCE_DATE_EPOCH (seconds, UTC) when
// that is set, so that a build can make the same bytes twice.
// Exit code: 0 done, 1 unreadable source, scheme or unwritable output,
// 2 bad usage.

#include "assemble/Assemblers.h"
#include "cli/Command.h"
#include "cli/ParserBinding.h"
#include "cli/Schemes.h"
#include "editor/Tessary.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace torvane::cli {
namespace {

int RunExport(const std::vector<std::string>& args);

const CliCommand kCommand{"export", "export --format rtf|html [--scheme txt|asm51|avr|PATH] SOURCE OUT",
                          RunExport};
const CliCommand::Registrar kRegistrar(kCommand);

std::string SchemeOfFirstLine(const editor::TTextStore& store) {
    return platform::FactsOf(build::AssemblerOfFirstLine(store.LineText(0))).schemeName;
}

// The page date: SOURCE_DATE_EPOCH when it holds a number of seconds.
std::string PageDate() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch || !*epoch) return {};
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    if (*end || errno || seconds < 0) return {};
    return editor::ShortDateTime(static_cast<std::time_t>(seconds), true);
}

int RunExport(const std::vector<std::string>& args) {
    std::string format, scheme;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format" && i + 1 < args.size())
            format = args[++i];
        else if (args[i] == "--scheme" && i + 1 < args.size())
            scheme = args[++i];
        else if (args[i].starts_with("--"))
            return UsageError(kCommand);
        else
            files.push_back(args[i]);
    }
    if (files.size() != 2 || (format != "rtf" && format != "html")) return UsageError(kCommand);

    editor::TCustomTessary control;
    control.SetOptions(control.Options() | smoTitleAsFilename);
    control.LoadFromFile(files[0]);
    TTessaryParser parser;
    parser.name = "export";
    if (!LoadScheme(parser, SchemePath(scheme.empty() ? SchemeOfFirstLine(control.Store()) : scheme)))
        return 1;
    HighlightWholeStore(parser, control.Store());

    const editor::TSettingsStyleSource styles(parser.Settings());
    const TSettingsValues& values = parser.Settings().values;
    control.SetExportLook({&styles, {values.fontName, values.fontSize, 0}, {}, PageDate()});
    control.SetSaveFormat(format == "rtf" ? editor::sfRTF : editor::sfHTML);
    control.SaveToFile(files[1]);
    return 0;
}

} // namespace
} // namespace torvane::cli
