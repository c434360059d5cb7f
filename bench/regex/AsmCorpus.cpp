#include "AsmCorpus.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

namespace torvane::bench {

namespace {

const char* const kMnemonics[] = {"ADD  A,R",     "ADDC A,@R", "ANL  A,#", "ORL  P1,#", "INC  R", "DEC  R",
                                  "MOVX A,@DPTR", "CJNE A,#",  "DJNZ R",   "SETB C",    "CLR  A", "RRC  A"};

std::string GenerateLines(size_t bytes, std::mt19937& random) {
    std::string out;
    out.reserve(bytes + 256);
    auto number = [&](int limit) {
        return std::to_string(std::uniform_int_distribution<int>(0, limit)(random));
    };
    for (long line = 0; out.size() < bytes; ++line) {
        switch (std::uniform_int_distribution<int>(0, 9)(random)) {
        case 0:
            out += "L" + std::to_string(line) + ":";
            break;
        case 1:
            out += "        MOV  A,#" + number(255) + "        ; load the counter";
            break;
        case 2:
            out += "        SJMP L" + number(100000);
            break;
        case 3:
            out += "; ---- section " + number(999) + " ----";
            break;
        default:
            out += "        ";
            out += kMnemonics[std::uniform_int_distribution<int>(0, 11)(random)];
            out += number(7);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace

const AsmCorpus& GetAsmCorpus(size_t megabytes, const std::string& needle) {
    static std::map<std::pair<size_t, std::string>, AsmCorpus> cache;
    auto key = std::make_pair(megabytes, needle);
    if (auto it = cache.find(key); it != cache.end()) return it->second;

    std::mt19937 random(42);
    std::string text = GenerateLines(megabytes * 1024 * 1024, random);
    if (!needle.empty()) {
        size_t lastButOne = text.rfind("\r\n", text.size() - 3);
        text.insert(lastButOne, "  " + needle);
    }
    AsmCorpus corpus;
    corpus.path = (std::filesystem::temp_directory_path() / ("torvane-bench-" + std::to_string(megabytes) +
                                                             "-" + std::to_string(needle.size()) + ".asm"))
                      .string();
    std::ofstream(corpus.path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    corpus.stored.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        corpus.stored.push_back(text[i] == '\n' ? '\r' : text[i]);
    }
    return cache.emplace(key, std::move(corpus)).first->second;
}

long GrepCount(const std::string& options, const std::string& pattern, const std::string& path) {
    std::string command = "grep " + options + " -c -- '" + pattern + "' '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    long count = -1;
    if (std::fscanf(pipe, "%ld", &count) != 1) count = -1;
    pclose(pipe);
    return count;
}

} // namespace torvane::bench
