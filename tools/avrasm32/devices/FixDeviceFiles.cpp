// Writes corrected copies of avra's device files that do not assemble with
// avra: those naming a part that avra's device table lacks get the part's
// stand-in (SourceLine.h) on their `.device` line, and nothing else changes.
//
//   fix_avr_device_files FROM_FOLDER TO_FOLDER
//
// Only corrected files are written, each under its own name; the front end
// searches TO_FOLDER before FROM_FOLDER. Exit code 0, or 1 when a file cannot
// be read or written.

#include "SourceLine.h"
#include "common/ToolSupport.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;
using namespace torvane;

namespace {

// The file with its `.device` line corrected, or "" when it needs none.
std::string Corrected(const std::string& text) {
    std::string out;
    bool changed = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        const std::optional<std::string> part = avrasm::DeviceName(line);
        const std::string standIn = part ? avrasm::StandInDevice(*part) : std::string();
        if (!standIn.empty()) {
            const std::string eol = line.size() >= 2 && line[line.size() - 2] == '\r' ? "\r\n" : "\n";
            line = ".device " + standIn + "\t; avra does not know " + *part + "; " + standIn +
                   " has the same memories and core" + eol;
            changed = true;
        }
        out += line;
    }
    return changed ? out : std::string();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fix_avr_device_files FROM_FOLDER TO_FOLDER\n");
        return 2;
    }
    std::error_code ec;
    fs::create_directories(argv[2], ec);
    int status = 0;
    for (fs::directory_iterator it(argv[1], ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() != ".inc") continue;
        std::string text;
        if (!tools::ReadText(it->path().string(), text)) {
            std::fprintf(stderr, "cannot read %s\n", it->path().c_str());
            status = 1;
            continue;
        }
        const std::string corrected = Corrected(text);
        const fs::path target = fs::path(argv[2]) / it->path().filename();
        if (!corrected.empty() && !tools::WriteText(target.string(), corrected)) {
            std::fprintf(stderr, "cannot write %s\n", target.c_str());
            status = 1;
        }
    }
    if (ec) {
        std::fprintf(stderr, "cannot list %s\n", argv[1]);
        status = 1;
    }
    return status;
}
