// Replace-all and find-again through the editor control, on generated 8051
// assembler text of state.range(0) lines (every line holds one "mov" word
// and one "movx"). Replace-all runs in one undo group with painting locked;
// the measured pass includes undoing it, so each pass starts from the same
// text.
#include "editor/Tessary.h"
#include "editor/TessarySearch.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace torvane::editor;

namespace {

std::string Corpus(int64_t lines) {
    std::string text;
    text.reserve(static_cast<size_t>(lines) * 40);
    for (int64_t i = 0; i < lines; ++i) {
        text += "loop";
        text += std::to_string(i);
        text += ":\tmov a,@r0\t; movx a,@dptr\r\n";
    }
    return text;
}

void Load(TCustomTessary& ed, const std::string& text) {
    ed.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
}

void BM_ReplaceAllAndUndo(benchmark::State& state) {
    const int64_t lines = state.range(0);
    TCustomTessary ed;
    TTessarySearch search(ed);
    Load(ed, Corpus(lines));
    const TOffset length = ed.Store().TextLength();
    size_t replaced = 0;
    for (auto _ : state) {
        ed.SetSelection(0, 0, false);
        replaced = search.ReplaceAll("mov", "ld", kSearchWholeWord);
        ed.Undo();
    }
    if (replaced != static_cast<size_t>(lines) || ed.Store().TextLength() != length)
        state.SkipWithError("replace-all or its undo went wrong");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
}
BENCHMARK(BM_ReplaceAllAndUndo)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_FindAgainThroughTheText(benchmark::State& state) {
    const int64_t lines = state.range(0);
    TCustomTessary ed;
    TTessarySearch search(ed);
    Load(ed, Corpus(lines));
    int64_t found = 0;
    for (auto _ : state) {
        ed.SetSelection(0, 0, false);
        TOffset at = -1;
        found = 0;
        if (!search.FindText("movx", &at, kSearchDirect | kSearchMatchCase)) break;
        ed.SetSelection(at, at + 4, false);
        ++found;
        while (search.FindAgain(&at))
            ++found;
    }
    if (found != lines) state.SkipWithError("find-again missed matches");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
}
BENCHMARK(BM_FindAgainThroughTheText)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
