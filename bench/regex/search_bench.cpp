// Plain search through the editor's search engine for a word that occurs once,
// near the end of about 100 MB of assembler text in a text store, with and
// without match case, next to grep -c (-i) on the same file in the same run.
#include "AsmCorpus.h"
#include "editor/Search.h"
#include "editor/TextStore.h"

#include <benchmark/benchmark.h>

using namespace torvane;
using namespace torvane::editor;

namespace {

constexpr size_t kMegabytes = 100;
const std::string kNeedle = "Zq_Needle_Label";

const TTextStore& Store() {
    static TTextStore store;
    static bool loaded = false;
    if (!loaded) {
        store.LoadFromFile(bench::GetAsmCorpus(kMegabytes, kNeedle).path);
        loaded = true;
    }
    return store;
}

void BM_PlainSearch(benchmark::State& state) {
    const bool matchCase = state.range(0) != 0;
    const TTextStore& store = Store();
    TSearchEngine engine(store);
    const std::string text = matchCase ? kNeedle : "zq_needle_label";
    TSearchResult result;
    for (auto _ : state)
        result = engine.Find(text, matchCase ? kSearchMatchCase : 0, 0);
    if (!result.Found()) state.SkipWithError("the needle was not found");
    state.SetLabel(matchCase ? "match case" : "any case");
    state.counters["at"] = static_cast<double>(result.start);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * store.TextLength());
}

// The pattern search of the find dialog over the same store: every match of
// an assembler pattern, one find after the other.
void BM_PatternSearchInStore(benchmark::State& state) {
    const TTextStore& store = Store();
    TSearchEngine engine(store);
    long matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (TSearchResult r = engine.Find("MOV\\s+A,#\\d+", kSearchRegExp, 0); r.Found();
             r = engine.Find("MOV\\s+A,#\\d+", kSearchRegExp, r.start + r.length))
            ++matches;
    }
    state.counters["matches"] = static_cast<double>(matches);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * store.TextLength());
}

void BM_GrepCount(benchmark::State& state) {
    const bool matchCase = state.range(0) != 0;
    const auto& corpus = bench::GetAsmCorpus(kMegabytes, kNeedle);
    long lines = 0;
    for (auto _ : state)
        lines = bench::GrepCount(matchCase ? "-F" : "-F -i", kNeedle, corpus.path);
    if (lines != 1) state.SkipWithError("grep did not find the needle once");
    state.SetLabel(matchCase ? "grep -cF" : "grep -ciF");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(corpus.stored.size()));
}

} // namespace

BENCHMARK(BM_PlainSearch)->Arg(1)->Arg(0)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternSearchInStore)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepCount)->Arg(1)->Arg(0)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
