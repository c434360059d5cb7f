#include "ProgramTranslation.h"

#include "IncludeLookup.h"
#include "SourceLine.h"
#include "common/ToolSupport.h"

#include <algorithm>

namespace torvane::avrasm {

namespace {

// Lines ended by CR LF, LF or a lone CR (the editor takes each as a line end,
// so avra must count them alike).
std::vector<std::string> SourceLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

} // namespace

ProgramTranslation::ProgramTranslation(std::string workFolder, std::vector<std::string> folders)
    : work_(std::move(workFolder)), folders_(std::move(folders)) {}

bool ProgramTranslation::Translate(const std::string& source, std::string& error) {
    const std::string translated = TranslateFile(tools::AbsolutePath(source), source, error);
    if (translated.empty()) return false;
    mainFile_ = tools::FileNameOf(translated);
    return true;
}

std::string ProgramTranslation::Translated(const std::string& printed) const {
    return printed.find('/') == std::string::npos ? work_ + "/" + printed : printed;
}

std::string ProgramTranslation::OriginalOf(const std::string& printed) const {
    auto it = originalOf_.find(Translated(printed));
    return it == originalOf_.end() ? printed : it->second;
}

std::optional<std::string> ProgramTranslation::MissingIncludeAt(const std::string& printed, int line) const {
    auto it = missing_.find({Translated(printed), line});
    if (it == missing_.end()) return std::nullopt;
    return it->second;
}

std::string ProgramTranslation::TranslateFile(const std::string& original, const std::string& shownName,
                                              std::string& error) {
    auto known = translatedOf_.find(original);
    if (known != translatedOf_.end()) return known->second;
    std::string text;
    if (!tools::ReadText(original, text)) {
        error = "cannot read " + shownName;
        return {};
    }
    const std::string translated =
        work_ + "/f" + std::to_string(translatedOf_.size()) + (translatedOf_.empty() ? ".asm" : ".inc");
    // Entered before the lines are read, so a file that includes itself finds
    // its translation instead of recursing.
    translatedOf_[original] = translated;
    originalOf_[translated] = shownName;
    open_.push_back(original);

    CommentStripper stripper;
    std::string out;
    int lineNumber = 0;
    for (const std::string& line : SourceLines(text)) {
        out += TranslateLine(stripper.Strip(line), original, translated, ++lineNumber, error);
        if (!error.empty()) return {};
        out += '\n';
    }
    open_.pop_back();
    if (!tools::WriteText(translated, out)) {
        error = "cannot write " + translated;
        return {};
    }
    return translated;
}

std::string ProgramTranslation::TranslateLine(const std::string& line, const std::string& original,
                                              const std::string& translated, int lineNumber,
                                              std::string& error) {
    if (std::optional<std::string> name = IncludedName(line)) {
        std::vector<std::string> folders{tools::DirectoryOf(original)};
        folders.insert(folders.end(), folders_.begin(), folders_.end());
        const std::string found = FindInclude(*name, folders);
        if (found.empty()) {
            // avra stops at an include it cannot open; point it at a path that
            // cannot exist and report the name as written when it gets there.
            missing_[{translated, lineNumber}] = *name;
            return ".include \"" + work_ + "/missing/" + std::to_string(lineNumber) + ".inc\"";
        }
        if (!cycle_ && std::find(open_.begin(), open_.end(), found) != open_.end())
            cycle_ = IncludeCycle{original, lineNumber, *name};
        const std::string included = TranslateFile(found, found, error);
        return included.empty() ? std::string() : ".include \"" + included + "\"";
    }
    if (std::optional<std::string> part = DeviceName(line)) {
        std::string avraPart = StandInDevice(*part);
        if (avraPart.empty()) avraPart = *part;
        if (device_.empty()) device_ = avraPart;
        // Sources often name their part and then include its definition
        // file, which names it again; avra refuses the second naming.
        else if (EqualNoCase(device_, avraPart))
            return {};
        return ".device " + avraPart;
    }
    return line;
}

} // namespace torvane::avrasm
