#pragma once
// Compiling a scheme script into a parser component's tables.
//
// A script is a series of sections, each introduced by a %% keyword, in any
// order and as often as wanted:
//   %%Language     name, options, fonts, colours, states ...   (settings)
//   %%Words        'word' 'follow' token [states]               (keywords)
//   %%KwTables     forstate [states] endswith 'follow' ( token is 'w', ... )
//   %%Handlers     token body [?] [terminator include]          (keyword continuations)
//   %%Tokens       token start body [?] [terminator include] [states]
//                  InState state ( rules )                      (first-character rules)
//   %%Map          token style
//   %%Effects      style [font styles] fg [*] bg [*] ['hotspot']
//   %%States       token [push|pop] ( +set -set ) [push|pop]
//   %%Containers   token ( +set -set )
//   %%Keys         command ( [mods] key [, key] | ... ) ['name']
//   %%AutoReplace  'word' = 'replacement' | actionkeys = 'chars'
//   %%Templates    'name' [( 'description' )] = 'text' | hotkey = ( [mods] key )
// The grammar itself, with its value notation, is described in
// SchemeGrammar.h.
//
// Errors are ETES_COMP_ERROR "** ERROR near line L, Column C: text" for
// everything the script gets wrong, except values outside their range and a
// token given twice in contextstates, which are plain ETessary (their
// position is still in the TScriptPosition). On an error the tables keep
// what was filled so far; the caller decides what to show.

#include "common/Stream.h"
#include "highlight/Parser.h"

#include <string>

namespace torvane::scheme {

// Where the lexer stood when a compilation ended (0-based): on an error,
// the token the error is about.
struct TScriptPosition {
    int line = 0;
    int column = 0;
    std::string context; // the section or entry being parsed ("%%Tokens - 3")
};

// Resets parser, compiles the script read from stream (its #include <...>
// directory is the directory of fileName), and finishes the tables: empty
// ContextState entries become Startstate, the state-table set is
// recomputed. position, when given, receives where the compilation ended,
// whether it succeeded or not.
void CompileScheme(TTessaryParser& parser, TStream& script, const std::string& fileName,
                   TScriptPosition* position = nullptr);

// The same for a script held in memory (tests and tools).
void CompileSchemeText(TTessaryParser& parser, const std::string& scriptText,
                       const std::string& fileName = {}, TScriptPosition* position = nullptr);

// Makes this compiler the one TTessaryParser::CompileScript uses. The
// program and the command-line tool call it once at start.
void InstallSchemeCompiler();

} // namespace torvane::scheme
