// Word wrap and printing over large texts.
//   WrapWidthChange   a 100 MB text (lines of 40..160 characters) wrapped at
//                     60 columns, re-cut in full at 50 and back at 60
//   WrapTypeOneChar   one character typed into the middle of a wrapped line
//                     of that text (and taken out again, so it stays the same)
//   PrintToPdf        10,000 lines printed to a PDF file (its size is
//                     reported as a counter)

#include "editor/PdfSurface.h"
#include "editor/Printing.h"
#include "editor/Tessary.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

using namespace torvane;
using namespace torvane::editor;

namespace {

std::string MakeText(size_t bytes) {
    std::mt19937 random(7);
    std::string text;
    text.reserve(bytes + 200);
    while (text.size() < bytes) {
        const int length = 40 + static_cast<int>(random() % 120);
        for (int i = 0; i < length; ++i)
            text += (random() % 6 == 0) ? ' ' : static_cast<char>('a' + random() % 26);
        text += "\r\n";
    }
    return text;
}

TCustomTessary& WrappedControl() {
    static TessaryHost host;
    static TCustomTessary control(&host);
    static bool ready = false;
    if (!ready) {
        control.SetClientSize(800, 600);
        control.SetWrapAtColumn(60);
        control.SetOptions(control.Options() | smoWordWrap);
        control.Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(MakeText(100u << 20).c_str()));
        ready = true;
    }
    return control;
}

void WrapWidthChange(benchmark::State& state) {
    TCustomTessary& control = WrappedControl();
    int32_t width = 60;
    for (auto _ : state) {
        width = width == 60 ? 50 : 60;
        control.SetWrapAtColumn(width);
    }
    state.counters["nodes"] = control.Store().LineCount();
    control.SetWrapAtColumn(60);
}
BENCHMARK(WrapWidthChange)->Unit(benchmark::kMillisecond)->Iterations(4);

void WrapTypeOneChar(benchmark::State& state) {
    TCustomTessary& control = WrappedControl();
    const TOffset at = control.Store().TextLength() / 2;
    for (auto _ : state) {
        control.SetSelection(at, at, false);
        control.ReplaceSel("x");
        control.SetSelection(at, at + 1, false);
        control.ReplaceSel("");
    }
    state.SetLabel("one insert and one delete per iteration");
}
BENCHMARK(WrapTypeOneChar)->Unit(benchmark::kMicrosecond);

void PrintToPdf(benchmark::State& state) {
    TTextStore store;
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += "        MOV     R" + std::to_string(i % 8) + ",#" + std::to_string(i % 256) + "    ; line " +
                std::to_string(i) + "\r\n";
    store.SetText(text);
    TTabStops tabs;
    TStyleTable styles;
    TAppearance appearance;
    TPrintSetup setup;
    setup.options = smoPrintLineNos | smoPrintFilename | smoPrintDate | smoPrintPageNos;
    setup.title = "bench.asm";
    setup.dateTime = ShortDateTime();
    const std::string file = (std::filesystem::temp_directory_path() / "torvane_print_bench.pdf").string();
    int pages = 0;
    for (auto _ : state) {
        TPdfSurface pdf(file);
        pages = PrintLines(pdf, store, tabs, styles, appearance, {0, store.LineCount() - 2}, setup).pages;
    }
    state.counters["pages"] = pages;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}
BENCHMARK(PrintToPdf)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
