#pragma once
// The highlighting parser component seen through the editor's parser
// interface lives with the editor (editor/ParserAdapter.h); the tokens
// subcommand and the highlighting benchmark use it under these names.

#include "editor/ParserAdapter.h"

namespace torvane::cli {

using TParserBinding = editor::TParserAdapter;
using editor::HighlightWholeStore;

} // namespace torvane::cli
