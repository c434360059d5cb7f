// Tokenizer throughput over a generated 8051-like source of 100 MB.
//   parser_bench --benchmark_filter=Tokenize
// reports bytes_per_second (MB/s) for the built-in plain-text scheme.

#include "highlight/BuiltinScheme.h"
#include "highlight/CompiledScheme.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

using namespace torvane;

namespace {

constexpr size_t kTextBytes = 100u << 20;

// Lines as an 8051 source has them: labels, mnemonics with operands,
// numbers in several radixes and comments; line breaks are character 13.
const std::string& SourceText() {
    static const std::string text = [] {
        static const char* const kMnemonics[] = {
            "mov",  "movx", "add",   "addc",  "subb", "inc",  "dec",  "anl", "orl",  "xrl", "cjne", "djnz",
            "sjmp", "ljmp", "acall", "lcall", "ret",  "reti", "push", "pop", "setb", "clr", "cpl",  "jnb"};
        static const char* const kOperands[] = {"a,#0FFh", "r7,#10", "dptr,#table", "a,@r0",
                                                "@dptr,a", "P1.0",   "c",           "acc",
                                                "r0,loop", "a,20h",  "b",           "a,#'x'"};
        std::mt19937 rng(51);
        std::string out;
        out.reserve(kTextBytes + 128);
        int label = 0;
        while (out.size() < kTextBytes) {
            switch (rng() % 8) {
            case 0:
                out += "label" + std::to_string(label++) + ":";
                break;
            case 1:
                out += "; comment: counter, loop and flags +1";
                break;
            default:
                out += "        ";
                out += kMnemonics[rng() % std::size(kMnemonics)];
                out += "  ";
                out += kOperands[rng() % std::size(kOperands)];
                if (rng() % 3 == 0) out += "      ; note";
            }
            out += '\r';
        }
        out.resize(kTextBytes);
        return out;
    }();
    return text;
}

void TokenizeBuiltinScheme(benchmark::State& state) {
    const std::string& text = SourceText();
    TTessaryParser parser;
    LoadBuiltinPlainTextScheme(parser);
    size_t tokens = 0;
    for (auto _ : state) {
        TStringCursor cursor(text);
        parser.ResetState(0);
        int32_t length = 0;
        while (!cursor.AtEnd()) {
            benchmark::DoNotOptimize(parser.NextToken(nullptr, cursor, length));
            ++tokens;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["tokens"] =
        benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kAvgIterations);
}
BENCHMARK(TokenizeBuiltinScheme)->Unit(benchmark::kMillisecond)->Iterations(3);

void SaveLoadCompiledScheme(benchmark::State& state) {
    TTessaryParser source, target;
    LoadBuiltinPlainTextScheme(source);
    for (auto _ : state) {
        TMemoryStream stream;
        source.SaveToStream(stream);
        stream.SetPosition(0);
        target.LoadFromStream(stream);
    }
}
BENCHMARK(SaveLoadCompiledScheme)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
