#pragma once
// The symbols of a source and every file it includes.
//
// ScanProject scans the source's text and follows its include directives
// depth first, in the order the assembler reads them: an include's symbols
// come where the directive stands. An include is looked for by the name as
// written when that is an absolute path, else in the source's folder and
// then in each include folder of the build, in order (the same search the
// assembler makes, so the outline and the build agree on which file a name
// means).
//
// Guarantees on hostile input:
//   - a file already being read higher up the chain is not read again (an
//     include cycle is reported once, where it closes); a file included twice
//     without a cycle is read once;
//   - an include larger than TScanLimits::maxIncludeBytes is not read, nor is
//     any include once maxTotalBytes have been read or maxFiles reached; each
//     is reported;
//   - a missing or unreadable include is reported once however often it is
//     named;
//   - nesting deeper than maxDepth stops there, reported.
// Problems are reported in the table; nothing is thrown for bad input.

#include "symbols/Symbols.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace torvane::symbols {

struct TSymbol {
    std::string name;
    TSymbolKind kind;
    std::string value;
    int32_t file = 0; // index into TSymbolTable::files
    int32_t line = 0; // 0-based
    int32_t column = 0;
};

// Something the scan could not read, for the message list.
struct TScanProblem {
    enum class Kind : uint8_t { Missing, Unreadable, Cycle, TooLarge, TooMany, TooDeep };
    Kind kind;
    std::string include; // the name as written in the directive
    std::string path;    // the file it resolved to, when it did
    int32_t file = 0;    // the file holding the directive
    int32_t line = 0;
};

// A use of a name, see FindProjectUses.
struct TUse {
    int32_t file = 0;
    int32_t line = 0;
    int32_t column = 0;
    std::string text; // the line, cut to a length a list can show
};

class TSymbolTable {
public:
    std::vector<std::string> files; // files[0] is the source itself
    std::vector<TSymbol> symbols;   // in the order the assembler meets them
    std::vector<TScanProblem> problems;

    // The first definition of a name (any letter case), or null. Devices
    // name the chip, not a place, and are never found.
    const TSymbol* Find(std::string_view name) const;
    // Builds the name index Find uses; ScanProject calls it.
    void Index();

private:
    std::unordered_map<std::string, size_t> byName_; // upper-case name -> first symbol
};

// Reads include files; the disk by default, replaced in tests and by the
// application, which hands in the text of documents it has open.
class TSourceFiles {
public:
    virtual ~TSourceFiles() = default;
    // A key that is equal for two paths naming one file (for the cycle guard).
    virtual std::string Identity(const std::string& path) = 0;
    // The size of a regular file, nothing when there is none at that path.
    virtual std::optional<uint64_t> FileSize(const std::string& path) = 0;
    // The file's bytes; false when it cannot be read.
    virtual bool Read(const std::string& path, std::string& bytes) = 0;
};

class TDiskFiles : public TSourceFiles {
public:
    std::string Identity(const std::string& path) override;
    std::optional<uint64_t> FileSize(const std::string& path) override;
    bool Read(const std::string& path, std::string& bytes) override;
};

struct TScanLimits {
    uint64_t maxIncludeBytes = 16ull << 20;
    uint64_t maxTotalBytes = 256ull << 20;
    int maxFiles = 10000;
    int maxDepth = 64;
};

struct TScanInput {
    TDialect dialect = TDialect::Asm51;
    std::string sourcePath; // may be empty for an untitled document (no includes are resolved)
    std::string_view text;  // the source's text as the editor holds it
    std::vector<std::string> includeDirs;
};

TSymbolTable ScanProject(const TScanInput& input, TSourceFiles& files, const TScanLimits& limits = {});

// Where the name is used in the source's text and in every include file the
// table lists, in file order then text order.
std::vector<TUse> FindProjectUses(const TSymbolTable& table, std::string_view sourceText,
                                  std::string_view name, TSourceFiles& files);

// The path an include directive names, looked up as the scan does; nothing
// when no candidate exists.
std::optional<std::string> ResolveInclude(const std::string& name, const std::string& sourcePath,
                                          const std::vector<std::string>& includeDirs, TSourceFiles& files);

} // namespace torvane::symbols
