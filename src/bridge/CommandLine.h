#pragma once
// Command lines of the two assemblers.
//
//   8051: <AsmPath> <Source> /includes:<source dir>;<Lib>
//   AVR:  <AsmPath> -w <Source> -e <Source as .eep> -fI -I <source dir>[ -I <dir>]...
//
// The source directory keeps its trailing separator, `Lib` is passed to the
// 8051 assembler unchanged, and the AVR include options name only the
// directories of `Lib` that exist. A path or directory that contains a blank
// or a double quote is put in double quotes (escaped by the Windows rules, so
// the runner splits it back into the same text); all other paths appear as
// they are, so ordinary command lines are unchanged byte for byte.

#include <functional>
#include <string>

namespace torvane::bridge {

// A source name as an argument: one that begins with '-' gets "./" in front,
// so no assembler can take it for an option.
std::string SourceArgument(const std::string& source);

// `text` quoted when it holds a blank, a tab or a double quote; else as is.
std::string QuoteIfNeeded(const std::string& text);

// The path with its extension (from the last '.' after the last separator)
// replaced by `extension` (which includes its '.'); appended when none.
std::string ChangeFileExt(const std::string& path, const std::string& extension);

std::string Asem51CommandLine(const std::string& asmPath, const std::string& source, const std::string& lib);

using DirectoryProbe = std::function<bool(const std::string&)>;

// " -I <dir>" for every directory of `lib` that ends with ';' and exists.
std::string AvrIncludeOptions(const std::string& lib, const DirectoryProbe& directoryExists);

std::string AvrAsmCommandLine(const std::string& asmPath, const std::string& source, const std::string& lib,
                              const DirectoryProbe& directoryExists);

} // namespace torvane::bridge
