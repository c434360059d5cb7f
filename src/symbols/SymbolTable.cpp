#include "symbols/SymbolTable.h"

#include "platform/FileSystem.h"

#include <filesystem>
#include <limits>
#include <unordered_set>

namespace torvane::symbols {
namespace fs = std::filesystem;

constexpr size_t kMaxUseText = 200;

const TSymbol* TSymbolTable::Find(std::string_view name) const {
    const auto it = byName_.find(UpperName(name));
    return it == byName_.end() ? nullptr : &symbols[it->second];
}

void TSymbolTable::Index() {
    byName_.clear();
    byName_.reserve(symbols.size());
    for (size_t i = 0; i < symbols.size(); ++i)
        if (symbols[i].kind != TSymbolKind::Device) byName_.try_emplace(UpperName(symbols[i].name), i);
}

std::string TDiskFiles::Identity(const std::string& path) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(platform::PathOf(path), ec);
    return ec ? path : platform::NameOf(canonical);
}

std::optional<uint64_t> TDiskFiles::FileSize(const std::string& path) {
    std::error_code ec;
    const fs::path file = platform::PathOf(path);
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    const uintmax_t size = fs::file_size(file, ec);
    if (ec) return std::nullopt;
    return static_cast<uint64_t>(size);
}

bool TDiskFiles::Read(const std::string& path, std::string& bytes) {
    // The scan weighs the size against its own limits after the read.
    return platform::ReadRegularFile(path, std::numeric_limits<size_t>::max(), bytes) ==
           platform::FileReadError::None;
}

std::optional<std::string> ResolveInclude(const std::string& name, const std::string& sourcePath,
                                          const std::vector<std::string>& includeDirs, TSourceFiles& files) {
    const auto lookUp = [&](const std::string& written) -> std::optional<std::string> {
        const fs::path named = platform::PathOf(written);
        if (named.is_absolute()) {
            if (files.FileSize(written)) return written;
            return std::nullopt;
        }
        std::vector<fs::path> dirs;
        if (!sourcePath.empty()) dirs.push_back(platform::PathOf(sourcePath).parent_path());
        for (const std::string& dir : includeDirs)
            dirs.push_back(platform::PathOf(dir));
        for (const fs::path& dir : dirs) {
            const std::string candidate = platform::NameOf(dir / named);
            if (files.FileSize(candidate)) return candidate;
        }
        return std::nullopt;
    };
    if (auto found = lookUp(name)) return found;
    // Sources written on Windows name sub-folders with backslashes.
    if (name.find('\\') != std::string::npos && fs::path::preferred_separator == '/') {
        std::string slashed = name;
        for (char& c : slashed)
            if (c == '\\') c = '/';
        return lookUp(slashed);
    }
    return std::nullopt;
}

namespace {

class ProjectScan {
public:
    ProjectScan(const TScanInput& input, TSourceFiles& files, const TScanLimits& limits)
        : input_(input), files_(files), limits_(limits) {}

    TSymbolTable Run() {
        table_.files.push_back(input_.sourcePath);
        if (!input_.sourcePath.empty()) {
            const std::string id = files_.Identity(input_.sourcePath);
            seen_.insert(id);
            stack_.insert(id);
        }
        Scan(0, input_.text, 0);
        table_.Index();
        return std::move(table_);
    }

private:
    void Scan(int32_t file, std::string_view text, int depth) {
        TLineSink sink;
        sink.symbol = [&](int32_t line, TLineSymbol&& s) {
            table_.symbols.push_back(
                TSymbol{std::move(s.name), s.kind, std::move(s.value), file, line, s.column});
        };
        sink.include = [&](int32_t line, TLineInclude&& inc) { Include(file, line, inc.name, depth); };
        ScanText(input_.dialect, text, sink);
    }

    void Include(int32_t from, int32_t line, const std::string& name, int depth) {
        using Kind = TScanProblem::Kind;
        const std::optional<std::string> path =
            ResolveInclude(name, input_.sourcePath, input_.includeDirs, files_);
        if (!path) {
            Report(Kind::Missing, UpperName(name), name, {}, from, line);
            return;
        }
        const std::string id = files_.Identity(*path);
        if (stack_.count(id)) {
            Report(Kind::Cycle, id, name, *path, from, line);
            return;
        }
        if (seen_.count(id)) return;
        if (depth + 1 > limits_.maxDepth) {
            Report(Kind::TooDeep, id, name, *path, from, line);
            return;
        }
        const uint64_t size = files_.FileSize(*path).value_or(0);
        if (size > limits_.maxIncludeBytes) {
            Report(Kind::TooLarge, id, name, *path, from, line);
            return;
        }
        if (static_cast<int>(table_.files.size()) >= limits_.maxFiles ||
            totalBytes_ + size > limits_.maxTotalBytes) {
            Report(Kind::TooMany, id, name, *path, from, line);
            return;
        }
        std::string bytes;
        seen_.insert(id);
        if (!files_.Read(*path, bytes) || bytes.size() > limits_.maxIncludeBytes) {
            // The size may have changed between the look and the read.
            Report(bytes.size() > limits_.maxIncludeBytes ? Kind::TooLarge : Kind::Unreadable, id, name,
                   *path, from, line);
            return;
        }
        totalBytes_ += bytes.size();
        const auto index = static_cast<int32_t>(table_.files.size());
        table_.files.push_back(*path);
        stack_.insert(id);
        Scan(index, bytes, depth + 1);
        stack_.erase(id);
    }

    // Each problem is told once per file it concerns, however often the file
    // is named.
    void Report(TScanProblem::Kind kind, const std::string& key, const std::string& name,
                const std::string& path, int32_t from, int32_t line) {
        if (!reported_.insert(std::to_string(static_cast<int>(kind)) + '|' + key).second) return;
        table_.problems.push_back(TScanProblem{kind, name, path, from, line});
    }

    const TScanInput& input_;
    TSourceFiles& files_;
    const TScanLimits& limits_;
    TSymbolTable table_;
    std::unordered_set<std::string> seen_;  // identities of files read (or being read)
    std::unordered_set<std::string> stack_; // identities on the current include chain
    std::unordered_set<std::string> reported_;
    uint64_t totalBytes_ = 0;
};

} // namespace

TSymbolTable ScanProject(const TScanInput& input, TSourceFiles& files, const TScanLimits& limits) {
    return ProjectScan(input, files, limits).Run();
}

std::vector<TUse> FindProjectUses(const TSymbolTable& table, std::string_view sourceText,
                                  std::string_view name, TSourceFiles& files) {
    std::vector<TUse> uses;
    const TScanLimits limits;
    std::string bytes;
    for (size_t f = 0; f < table.files.size(); ++f) {
        std::string_view text = sourceText;
        if (f > 0) {
            const std::optional<uint64_t> size = files.FileSize(table.files[f]);
            if (!size || *size > limits.maxIncludeBytes || !files.Read(table.files[f], bytes)) continue;
            text = bytes;
        }
        FindUses(text, name, [&](int32_t line, int32_t column, std::string_view lineText) {
            uses.push_back(
                TUse{static_cast<int32_t>(f), line, column, std::string(lineText.substr(0, kMaxUseText))});
        });
    }
    return uses;
}

} // namespace torvane::symbols
