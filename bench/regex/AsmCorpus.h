#pragma once
// A large generated 8051 assembler text for the search benchmarks, written to
// a temporary file (CR LF line ends) so that grep can read the same bytes.

#include <string>

namespace torvane::bench {

struct AsmCorpus {
    std::string path;   // the file, CR LF line ends
    std::string stored; // the same text in stored form (line breaks as CR)
};

// Builds (once per process) about `megabytes` MB of assembler text. When
// `needle` is not empty it is placed once, in the last line but one.
const AsmCorpus& GetAsmCorpus(size_t megabytes, const std::string& needle = "");

// Runs `grep <options> -c <pattern> <file>` and returns its count, or -1 when
// grep cannot be run. A benchmark tool may start a process; the product may not.
long GrepCount(const std::string& options, const std::string& pattern, const std::string& path);

} // namespace torvane::bench
