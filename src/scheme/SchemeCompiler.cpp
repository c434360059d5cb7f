#include "scheme/SchemeCompiler.h"

#include "platform/FileSystem.h"
#include "scheme/SchemeGrammar.h"
#include "scheme/ScriptLexer.h"

#include <filesystem>
#include <memory>

namespace torvane::scheme {
namespace {

std::string DirectoryOf(const std::string& fileName) {
    return platform::NameOf(platform::PathOf(fileName).parent_path());
}

// Runs the grammar over a lexer made by makeLexer (which may already raise:
// the lexer runs the directives before the first token) and records where
// it stopped however the compilation ends.
template <typename MakeLexer>
void Compile(TTessaryParser& parser, TScriptPosition* position, MakeLexer makeLexer) {
    parser.Reset();
    TScriptPosition where;
    where.context = "Header";
    try {
        std::unique_ptr<TTES_Compiler> lexer = makeLexer();
        TSchemeGrammar grammar(parser, *lexer);
        auto record = [&] {
            where.line = grammar.ErrorLine();
            where.column = grammar.ErrorColumn();
            where.context = grammar.Context();
        };
        try {
            grammar.Run();
        } catch (...) {
            record();
            throw;
        }
        record();
    } catch (...) {
        // An error before the first token (in a leading directive) has the
        // position in its text only.
        if (position) *position = where;
        throw;
    }
    if (position) *position = where;
    parser.FinishCompile();
}

} // namespace

void CompileScheme(TTessaryParser& parser, TStream& script, const std::string& fileName,
                   TScriptPosition* position) {
    Compile(parser, position, [&] { return std::make_unique<TTES_Compiler>(script, DirectoryOf(fileName)); });
}

void CompileSchemeText(TTessaryParser& parser, const std::string& scriptText, const std::string& fileName,
                       TScriptPosition* position) {
    Compile(parser, position,
            [&] { return std::make_unique<TTES_Compiler>(scriptText, DirectoryOf(fileName)); });
}

void InstallSchemeCompiler() {
    TTessaryParser::SetCompiler([](TTessaryParser& parser, TStream& script, const std::string& fileName) {
        CompileScheme(parser, script, fileName);
    });
}

} // namespace torvane::scheme
