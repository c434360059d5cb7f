// Compressor throughput on 10 MB of assembler-like source text. Each codec
// reports MB/s (of uncompressed bytes) and its ratio (compressed / original).
//
//   compressor_bench --benchmark_filter='Block|Lz4'

#include "compressor/Compressor.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#ifdef TORVANE_BENCH_LZ4
#include <lz4.h>
#endif

namespace {

using torvane::TCompressor;
using torvane::TMemoryStream;

constexpr size_t kInputSize = 10 * 1024 * 1024;

// 8051 source as people write it: labels, indented instructions with
// operands, comments, blank lines and the occasional data table.
std::vector<uint8_t> AssemblerSource() {
    static const char* const kMnemonics[] = {"mov",  "movx",  "movc",  "add", "addc", "subb", "inc",
                                             "dec",  "anl",   "orl",   "xrl", "clr",  "setb", "cpl",
                                             "jz",   "jnz",   "jc",    "jnc", "djnz", "cjne", "sjmp",
                                             "ljmp", "acall", "lcall", "ret", "reti", "push", "pop"};
    static const char* const kRegisters[] = {"a",    "b",     "r0",      "r1", "r2",   "r3",
                                             "r4",   "r5",    "r6",      "r7", "@r0",  "@r1",
                                             "dptr", "@dptr", "@a+dptr", "c",  "p1.0", "psw"};
    static const char* const kComments[] = {
        "save the accumulator",   "next byte",          "loop until done",  "timer reload value",
        "select register bank 1", "send the character", "wait for the flag"};
    std::mt19937 gen(2024);
    std::string text;
    text.reserve(kInputSize + 200);
    int label = 0;
    while (text.size() < kInputSize) {
        uint32_t kind = gen() % 20;
        if (kind == 0) {
            text += "\r\nloop_" + std::to_string(label++) + ":\r\n";
        } else if (kind == 1) {
            text += "\t\tdb\t";
            for (int i = 0; i < 8; ++i)
                text += (i ? ", " : "") + std::to_string(gen() % 256) + "h";
            text += "\r\n";
        } else {
            text += "\t\t";
            text += kMnemonics[gen() % std::size(kMnemonics)];
            text += '\t';
            text += kRegisters[gen() % std::size(kRegisters)];
            if (gen() % 3) {
                text += ", ";
                text +=
                    gen() % 2 ? kRegisters[gen() % std::size(kRegisters)] : "#" + std::to_string(gen() % 256);
            }
            if (gen() % 4 == 0) {
                text += "\t\t; ";
                text += kComments[gen() % std::size(kComments)];
            }
            text += "\r\n";
        }
    }
    text.resize(kInputSize);
    return {text.begin(), text.end()};
}

const std::vector<uint8_t>& Source() {
    static const std::vector<uint8_t> source = AssemblerSource();
    return source;
}

void Report(benchmark::State& state, size_t packedSize) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kInputSize));
    state.counters["ratio"] = static_cast<double>(packedSize) / static_cast<double>(kInputSize);
}

std::vector<uint8_t> Pack(TCompressor::Method method) {
    TMemoryStream in(Source()), out;
    TCompressor c;
    c.SetMethod(method);
    c.SetInputStream(&in);
    c.SetOutputStream(&out);
    c.Compress();
    return out.Bytes();
}

void Compress(benchmark::State& state, TCompressor::Method method) {
    TMemoryStream in(Source()), out;
    TCompressor c;
    c.SetMethod(method);
    c.SetInputStream(&in);
    c.SetOutputStream(&out);
    for (auto _ : state) {
        in.SetPosition(0);
        out.Clear();
        c.Compress();
        benchmark::DoNotOptimize(out.Memory());
    }
    Report(state, out.Bytes().size());
}

void Decompress(benchmark::State& state, TCompressor::Method method) {
    TMemoryStream in(Pack(method)), out;
    const size_t packedSize = in.Bytes().size();
    TCompressor c;
    c.SetInputStream(&in);
    c.SetOutputStream(&out);
    for (auto _ : state) {
        in.SetPosition(0);
        out.Clear();
        c.Decompress();
        benchmark::DoNotOptimize(out.Memory());
    }
    if (out.Bytes() != Source()) state.SkipWithError("round trip changed the data");
    Report(state, packedSize);
}

void BM_BlockCompress(benchmark::State& state) {
    Compress(state, TCompressor::Method::Block);
}
void BM_BlockDecompress(benchmark::State& state) {
    Decompress(state, TCompressor::Method::Block);
}
void BM_LzhufCompress(benchmark::State& state) {
    Compress(state, TCompressor::Method::Lzhuf);
}
void BM_LzhufDecompress(benchmark::State& state) {
    Decompress(state, TCompressor::Method::Lzhuf);
}

BENCHMARK(BM_BlockCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockDecompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhufCompress)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LzhufDecompress)->Unit(benchmark::kMillisecond)->Iterations(2);

#ifdef TORVANE_BENCH_LZ4
void BM_Lz4Compress(benchmark::State& state) {
    const auto& src = Source();
    std::vector<char> dst(static_cast<size_t>(LZ4_compressBound(static_cast<int>(src.size()))));
    int packed = 0;
    for (auto _ : state) {
        packed = LZ4_compress_default(reinterpret_cast<const char*>(src.data()), dst.data(),
                                      static_cast<int>(src.size()), static_cast<int>(dst.size()));
        benchmark::DoNotOptimize(dst.data());
    }
    Report(state, static_cast<size_t>(packed));
}

void BM_Lz4Decompress(benchmark::State& state) {
    const auto& src = Source();
    std::vector<char> packed(static_cast<size_t>(LZ4_compressBound(static_cast<int>(src.size()))));
    const int packedSize =
        LZ4_compress_default(reinterpret_cast<const char*>(src.data()), packed.data(),
                             static_cast<int>(src.size()), static_cast<int>(packed.size()));
    std::vector<char> out(src.size());
    for (auto _ : state) {
        int n = LZ4_decompress_safe(packed.data(), out.data(), packedSize, static_cast<int>(out.size()));
        benchmark::DoNotOptimize(n);
    }
    Report(state, static_cast<size_t>(packedSize));
}

BENCHMARK(BM_Lz4Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lz4Decompress)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
