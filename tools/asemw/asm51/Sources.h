#pragma once
// Source files and the stream of lines the assembler reads: the main file,
// included files, and the expansions of macros and repeat blocks, each line
// with the place it came from. Comments (';', '//' and '/* */', which may
// span lines) are removed here, so the lexer sees statements only.
//
// Include files are looked up in the including file's folder, then in the
// include folders in order, then in the bundled device folder. For sources
// written on Windows a name is tried as written first, then matched without
// regard to case, and an absolute Windows path (C:\...\X.INC) falls back to
// its base name on that search path.

#include <memory>
#include <string>
#include <vector>

namespace torvane::asm51 {

struct Origin {
    int file = 0;      // index into SourceFiles
    int line = 0;      // 1-based
    std::string macro; // set for lines of a macro expansion: `line` is then the invocation's
};

struct SourceLine {
    std::string text;
    Origin origin;
};

class SourceFiles {
public:
    SourceFiles(std::vector<std::string> includeDirs, std::string deviceDir);

    // Loads a file once; -1 when it cannot be read or is larger than
    // kMaxFileSize. `shown` is how messages name it.
    int Load(const std::string& path, const std::string& shown);
    // A file given as text (`path` still places it for include lookup).
    int Add(const std::string& path, const std::string& shown, const std::string& text);

    static constexpr size_t kMaxFileSize = 16 * 1024 * 1024;
    // The path of an include file named in file `from`, or empty.
    std::string Resolve(const std::string& name, int from) const;

    const std::vector<std::string>& Lines(int file) const { return files_[file].lines; }
    const std::string& Shown(int file) const { return files_[file].shown; }
    const std::string& Path(int file) const { return files_[file].path; }

private:
    struct File {
        std::string path, shown;
        std::vector<std::string> lines;
    };
    std::vector<std::string> includeDirs_;
    std::string deviceDir_;
    std::vector<File> files_;
};

// Removes comments from one line; `inBlock` carries an open /* */ comment
// from line to line.
std::string StripComments(const std::string& line, bool& inBlock);

class LineReader {
public:
    explicit LineReader(SourceFiles& files) : files_(files) {}

    // The next line, or false at the end of the main file (or after Stop()).
    bool Next(SourceLine& out);

    void PushFile(int file);
    // The lines of a macro, REPT, IRP or IRPC expansion.
    void PushExpansion(std::shared_ptr<const std::vector<SourceLine>> lines);
    // Leaves the innermost expansion (EXITM); false when the line being read
    // is not part of one.
    bool ExitExpansion();
    void Stop() { frames_.clear(); }

    size_t FileDepth() const;
    size_t ExpansionDepth() const;

private:
    struct Frame {
        int file = -1; // file frames
        size_t next = 0;
        bool inBlockComment = false;
        std::shared_ptr<const std::vector<SourceLine>> lines; // expansion frames
    };
    SourceFiles& files_;
    std::vector<Frame> frames_;
};

} // namespace torvane::asm51
