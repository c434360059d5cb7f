#include "cli/Schemes.h"

#include "common/Stream.h"
#include "editor/ParserAdapter.h"
#include "highlight/BuiltinScheme.h"
#include "highlight/CompiledScheme.h"
#include "platform/FileSystem.h"
#include "platform/Names.h"
#include "platform/ProgramLayout.h"
#include "scheme/SchemeCompiler.h"

#include <cstdio>

namespace torvane::cli {
namespace {

// A compiled stream starts with its 16-bit version; a script is text and
// never holds a NUL byte there.
bool IsCompiledStream(TMemoryStream& content) {
    const std::vector<uint8_t>& bytes = content.Bytes();
    return bytes.size() >= 2 && bytes[1] == 0 &&
           (bytes[0] == kCompiledSchemeVersion || bytes[0] == kOldestCompiledSchemeVersion);
}

} // namespace

std::string SchemePath(const std::string& name) {
    for (const platform::AssemblerFacts& facts : platform::kAssemblerTable)
        if (name == facts.schemeName)
            return platform::RunningProgramLayout().dataDir + platform::kScriptsFolder + "/" +
                   facts.scriptFile;
    return name;
}

bool LoadScheme(TTessaryParser& parser, const std::string& path) {
    TMemoryStream content;
    {
        TFileStream file(path, TFileStream::fmOpenRead);
        content.CopyFrom(file, 0);
    }
    content.SetPosition(0);
    if (!IsCompiledStream(content)) {
        scheme::CompileScheme(parser, content, path);
        return true;
    }
    bool versionError = false;
    parser.OnParserVersionError = [&](TTessaryParser&, uint16_t, uint16_t) { versionError = true; };
    parser.LoadFromStream(content);
    if (versionError) std::fprintf(stderr, "%s: not a compiled scheme of version 51\n", path.c_str());
    return !versionError;
}

bool LoadHighlighted(TTessaryParser& parser, const std::string& scheme, const std::string& source,
                     editor::TTextStore& store) {
    if (scheme.empty())
        LoadBuiltinPlainTextScheme(parser);
    else if (!LoadScheme(parser, SchemePath(scheme)))
        return false;
    store.LoadFromFile(source);
    editor::HighlightWholeStore(parser, store);
    return true;
}

} // namespace torvane::cli
