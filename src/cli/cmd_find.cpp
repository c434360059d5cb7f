// torvane-cli find / replace: the editor's search engine over a file loaded
// into a text store, as the find and replace dialogs use it.
//
// find: repeats find-next from OFFSET and prints each match as "START LENGTH"
// (offsets in the stored text, where a line break is one character). Exit 0
// with at least one match, 1 with none, 2 on a pattern error (after the
// pattern message) or bad usage.
// replace: replace-all from the start; writes the result to stdout with CR LF
// line ends. Exit 0 when anything was replaced, 1 when nothing matched, 2 as
// for find.
#include "cli/Command.h"
#include "editor/Search.h"
#include "editor/TextStore.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace torvane::cli {
namespace {

using editor::TSearchEngine;
using editor::TSearchStatus;
using editor::TTextStore;

constexpr int kExitFound = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitError = 2;

struct SearchOptions {
    uint32_t flags = 0;
    int64_t from = -1; // -1: the start, or the end when searching backwards
    std::vector<std::string> operands;
};

// Reads the flags shared by find and replace; false on an unknown option.
bool ParseOptions(const std::vector<std::string>& args, bool allowDirection, SearchOptions& out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--case")
            out.flags |= editor::kSearchMatchCase;
        else if (a == "--word")
            out.flags |= editor::kSearchWholeWord;
        else if (a == "--regex")
            out.flags |= editor::kSearchRegExp;
        else if (allowDirection && a == "--backwards")
            out.flags |= editor::kSearchBackwards;
        else if (allowDirection && a == "--from" && i + 1 < args.size()) {
            try {
                size_t used = 0;
                out.from = std::stoll(args[++i], &used);
                if (used != args[i].size() || out.from < 0) return false;
            } catch (const std::exception&) {
                return false;
            }
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0)
            return false;
        else
            out.operands.push_back(a);
    }
    return true;
}

bool LoadStore(TTextStore& store, const std::string& file) {
    try {
        store.LoadFromFile(file);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
}

int RunFind(const std::vector<std::string>& args);
int RunReplace(const std::vector<std::string>& args);

const CliCommand kFind{"find", "find [--case] [--word] [--regex] [--backwards] [--from OFFSET] PATTERN FILE",
                       RunFind};
const CliCommand kReplace{"replace", "replace [--case] [--word] [--regex] PATTERN REPLACEMENT FILE",
                          RunReplace};
const CliCommand::Registrar kFindRegistrar(kFind);
const CliCommand::Registrar kReplaceRegistrar(kReplace);

int RunFind(const std::vector<std::string>& args) {
    SearchOptions options;
    if (!ParseOptions(args, true, options) || options.operands.size() != 2) return UsageError(kFind);
    const std::string& pattern = options.operands[0];
    TTextStore store;
    if (!LoadStore(store, options.operands[1])) return kExitError;
    const bool backwards = options.flags & editor::kSearchBackwards;
    // Checked in 64 bits before it becomes an offset, so that no value wraps into the text.
    if (options.from > static_cast<int64_t>(store.TextLength())) return UsageError(kFind);
    editor::TOffset caret =
        options.from < 0 ? (backwards ? store.TextLength() : 0) : static_cast<editor::TOffset>(options.from);

    // Each match is selected as the control would select it, so the next
    // find-next starts past it.
    TSearchEngine engine(store);
    editor::TOffset anchor = caret;
    int found = 0;
    for (;;) {
        auto result = engine.FindNext(pattern, options.flags, anchor, caret);
        if (result.status == TSearchStatus::PatternError) {
            std::fprintf(stderr, "%s\n", engine.PatternError().c_str());
            return kExitError;
        }
        if (!result.Found()) break;
        std::printf("%d %d\n", result.start, result.length);
        anchor = result.start;
        caret = result.start + result.length;
        ++found;
    }
    if (found == 0) std::fprintf(stderr, "%s\n", TSearchEngine::NotFoundMessage(pattern).c_str());
    return found > 0 ? kExitFound : kExitNotFound;
}

int RunReplace(const std::vector<std::string>& args) {
    SearchOptions options;
    if (!ParseOptions(args, false, options) || options.operands.size() != 3) return UsageError(kReplace);
    TTextStore store;
    if (!LoadStore(store, options.operands[2])) return kExitError;
    TSearchEngine engine(store);
    auto result = engine.ReplaceAll(options.operands[0], options.operands[1], options.flags, 0,
                                    TSearchEngine::StoreReplacer(store));
    if (result.status == TSearchStatus::PatternError) {
        std::fprintf(stderr, "%s\n", engine.PatternError().c_str());
        return kExitError;
    }
    const std::string text = store.PlainText(editor::TLineEnd::CRLF);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return result.count > 0 ? kExitFound : kExitNotFound;
}

} // namespace
} // namespace torvane::cli
