// torvane-cli scheme check SCRIPT
// torvane-cli scheme compile SCRIPT OUT
// Compiles a scheme script. check prints "OK", or the compile error (with
// its line and column) and exits 1; compile writes the compiled scheme
// stream to OUT, which is only created when the script compiled.
// Exit code: 0 done, 1 the script does not compile or cannot be read,
// 2 bad usage.

#include "cli/Command.h"
#include "common/Exceptions.h"
#include "common/Messages.h"
#include "common/Stream.h"
#include "highlight/Parser.h"
#include "scheme/SchemeCompiler.h"

#include <cstdio>

namespace torvane::cli {
namespace {

int RunScheme(const std::vector<std::string>& args);

const CliCommand kCommand{"scheme", "scheme check SCRIPT | scheme compile SCRIPT OUT", RunScheme};
const CliCommand::Registrar kRegistrar(kCommand);

// Compiles the script file into parser; on failure prints the error and
// returns false. Errors without a position of their own (values out of
// range) are framed with the position where the compilation stopped, so
// every message points into the script.
bool Compile(TTessaryParser& parser, const std::string& script) {
    scheme::TScriptPosition position;
    try {
        TFileStream file(script, TFileStream::fmOpenRead);
        scheme::CompileScheme(parser, file, script, &position);
        return true;
    } catch (const ETES_COMP_ERROR& e) {
        std::fprintf(stderr, "%s: %s\n", script.c_str(), e.what());
    } catch (const EStreamError& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(
            stderr, "%s: %s\n", script.c_str(),
            FormatStr<msg::SCompileErrorFrame>(position.line + 1, position.column + 1, e.what()).c_str());
    }
    return false;
}

int RunScheme(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "check") {
        TTessaryParser parser;
        if (!Compile(parser, args[1])) return 1;
        std::printf("OK\n");
        return 0;
    }
    if (args.size() == 3 && args[0] == "compile") {
        TTessaryParser parser;
        if (!Compile(parser, args[1])) return 1;
        TMemoryStream compiled;
        parser.SaveToStream(compiled);
        TFileStream out(args[2], TFileStream::fmCreate);
        out.WriteBuffer(compiled.Memory(), compiled.Bytes().size());
        out.Flush();
        return 0;
    }
    return UsageError(kCommand);
}

} // namespace
} // namespace torvane::cli
