#pragma once
// Rewrites an AVR program, its source and every file it includes, into a
// work folder in a form avra takes: C-style comments removed, every include
// resolved by Torvane's own lookup (IncludeLookup.h) and written as an
// absolute path, parts avra does not know named by their stand-ins, and a
// `.device` line that repeats the part already named dropped. Each file keeps
// its line count, so a line avra reports is the line in the original; only
// the file names need mapping back, which this class does.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace torvane::avrasm {

// Where an include names a file it is already inside of.
struct IncludeCycle {
    std::string file; // original path of the including file
    int line = 0;     // 1-based
    std::string name; // as written
};

class ProgramTranslation {
public:
    // `folders`: where includes are looked up, in order, after the folder of
    // the including file itself.
    ProgramTranslation(std::string workFolder, std::vector<std::string> folders);

    // Translates `source` (its path as the user gave it) and what it
    // includes. False when the source cannot be read or a translated file
    // cannot be written; `error` then says why.
    bool Translate(const std::string& source, std::string& error);

    // The translated source, relative to the work folder (avra runs there).
    const std::string& MainFile() const { return mainFile_; }

    // The original of a file name avra printed: the source as the user gave
    // it, the absolute path of an included file, or `printed` unchanged.
    std::string OriginalOf(const std::string& printed) const;

    // The include name as written when line `line` of the printed file is an
    // include that no folder holds.
    std::optional<std::string> MissingIncludeAt(const std::string& printed, int line) const;

    // The first include that closes a cycle (avra recurses on such a file
    // until it crashes, unless a conditional stops it).
    const std::optional<IncludeCycle>& Cycle() const { return cycle_; }

private:
    // The translated file's path from the name avra printed (it prints the
    // source as it was given to it, relative to the work folder).
    std::string Translated(const std::string& printed) const;
    std::string TranslateFile(const std::string& original, const std::string& shownName, std::string& error);
    std::string TranslateLine(const std::string& line, const std::string& original,
                              const std::string& translated, int lineNumber, std::string& error);

    std::string work_;
    std::vector<std::string> folders_;
    std::string mainFile_;
    std::string device_; // the part named first (its avra name)
    std::map<std::string, std::string> translatedOf_, originalOf_;
    std::map<std::pair<std::string, int>, std::string> missing_;
    std::vector<std::string> open_; // files being translated, outermost first
    std::optional<IncludeCycle> cycle_;
};

} // namespace torvane::avrasm
