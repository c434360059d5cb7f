// Keyword lookup speed: the tokenizer calls Match at every token start of
// every re-scanned line, so it must stay cheap on large tables and on long
// files. Also measures loading a settings stream (done per document window).
#include "highlight/Keywords.h"
#include "highlight/Settings.h"

#include "common/Exceptions.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

using namespace torvane;

namespace {

std::vector<std::string> Words(size_t count) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> letter('a', 'z'), len(2, 8);
    std::vector<std::string> words;
    for (size_t i = 0; i < count; ++i) {
        std::string w;
        for (int n = len(rng); n > 0; --n)
            w.push_back(static_cast<char>(letter(rng)));
        words.push_back(w);
    }
    return words;
}

// Assembler-like text: words from the table, unknown words and separators.
std::string Text(const std::vector<std::string>& words, size_t bytes) {
    std::mt19937 rng(7);
    std::string text;
    while (text.size() < bytes) {
        text += (rng() % 3) ? words[rng() % words.size()] : "lbl" + std::to_string(rng() % 1000);
        text += (rng() % 4) ? " " : ",\r";
    }
    return text;
}

void BM_KeywordMatchOverText(benchmark::State& state) {
    std::vector<std::string> words = Words(static_cast<size_t>(state.range(0)));
    TKeywords k;
    TStateSet zero;
    zero.Include(0);
    k.SetCurrentStates(zero);
    TTE_CharGroup follow;
    size_t p = 0;
    follow.ParseSpecifier("[^a-z0-9_]", p);
    int32_t value = 0;
    for (const std::string& w : words) {
        if (!k.Find(w, 0)) k.AddKeyword(w, 0, ++value, zero, follow);
    }
    const std::string text = Text(words, 1 << 20);
    for (auto _ : state) {
        TStringCursor cursor(text);
        int hits = 0;
        while (!cursor.AtEnd()) {
            int32_t length = 0;
            hits += k.Match(cursor, 0, length) != nullptr;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_KeywordMatchOverText)->Arg(100)->Arg(5000);

void BM_SettingsLoad(benchmark::State& state) {
    TTE_Settings s;
    TStateSet zero;
    zero.Include(0);
    TUserKeywordTable table{zero, "[^a-z]", 0, {}};
    int token = 0;
    for (const std::string& w : Words(500))
        table.words.push_back({w, ++token % 200});
    try {
        s.AddUserKeywordTable(table);
    } catch (const EKeywords&) {
        // a random duplicate: fine for a benchmark
    }
    TMemoryStream bytes;
    s.SaveToStream(bytes);
    for (auto _ : state) {
        bytes.SetPosition(0);
        TTE_Settings loaded;
        loaded.LoadFromStream(bytes);
        benchmark::DoNotOptimize(loaded.values.options);
    }
}
BENCHMARK(BM_SettingsLoad);

} // namespace
BENCHMARK_MAIN();
