// torvane-cli convert: re-writes a text file with other line ends, through
// the editor's text store (so the normalisation is the editor's own).
#include "cli/Command.h"
#include "common/Exceptions.h"
#include "editor/TextStore.h"

#include <cstdio>

namespace torvane::cli {
namespace {

int RunConvert(const std::vector<std::string>& args);

const CliCommand kConvert{"convert", "convert --eol crlf|cr|lf IN OUT", RunConvert};

int RunConvert(const std::vector<std::string>& args) {
    if (args.size() != 4 || args[0] != "--eol") return UsageError(kConvert);
    editor::TTextStore store;
    editor::TSaveFormat format = editor::sfTEXT;
    if (args[1] == "crlf") {
        store.SetLineStyle(editor::lsCRLF);
    } else if (args[1] == "cr") {
        store.SetLineStyle(editor::lsLF); // this style writes CR alone
    } else if (args[1] == "lf") {
        format = editor::sfUNIX;
    } else {
        return UsageError(kConvert);
    }
    try {
        store.LoadFromFile(args[2]);
        store.SaveToFile(args[3], format);
    } catch (const EStreamError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

const CliCommand::Registrar kRegistrar(kConvert);

} // namespace
} // namespace torvane::cli
