#include "bridge/CommandLine.h"

#include "platform/FileSystem.h"
#include "platform/Names.h"

namespace torvane::bridge {

std::string QuoteIfNeeded(const std::string& text) {
    if (text.find_first_of(" \t\"") == std::string::npos) return text;
    // Backslashes count only before a quote: there they are doubled, and the
    // quote itself gets one more; the closing quote doubles a trailing run.
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string SourceArgument(const std::string& source) {
    if (source.empty() || source[0] != '-') return source;
    return std::string(".") + platform::kPathSeparator + source;
}

std::string ChangeFileExt(const std::string& path, const std::string& extension) {
    size_t dot = path.find_last_of('.');
    size_t sep = path.find_last_of("/\\");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return path + extension;
    return path.substr(0, dot) + extension;
}

namespace {

// Quotes each ';'-ended piece of an include list on its own, so the list
// keeps its separators outside the quotes.
std::string QuoteListPieces(const std::string& lib) {
    std::string out, piece;
    for (char c : lib) {
        if (c == ';') {
            out += QuoteIfNeeded(piece) + ';';
            piece.clear();
        } else {
            piece += c;
        }
    }
    return out + QuoteIfNeeded(piece);
}

} // namespace

std::string Asem51CommandLine(const std::string& asmPath, const std::string& source, const std::string& lib) {
    return QuoteIfNeeded(asmPath) + " " + QuoteIfNeeded(SourceArgument(source)) +
           " /includes:" + QuoteIfNeeded(platform::ExtractFilePath(source)) + ";" + QuoteListPieces(lib);
}

std::string AvrIncludeOptions(const std::string& lib, const DirectoryProbe& directoryExists) {
    std::string options, dir;
    for (char c : lib) {
        if (c != ';') {
            dir += c;
            continue;
        }
        if (directoryExists(dir)) options += " -I " + QuoteIfNeeded(dir);
        dir.clear();
    }
    return options;
}

std::string AvrAsmCommandLine(const std::string& asmPath, const std::string& source, const std::string& lib,
                              const DirectoryProbe& directoryExists) {
    return QuoteIfNeeded(asmPath) + " -w " + QuoteIfNeeded(SourceArgument(source)) + " -e " +
           QuoteIfNeeded(SourceArgument(ChangeFileExt(source, ".eep"))) + " -fI -I " +
           QuoteIfNeeded(platform::ExtractFilePath(source)) + AvrIncludeOptions(lib, directoryExists);
}

} // namespace torvane::bridge
