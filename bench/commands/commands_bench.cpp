// Editing commands in a 3-million-line text: typing in the middle (with the
// repaint of the visible rows), Ctrl+End, page down, undo of 10,000 typed
// characters, and what the undo log costs per typed character. None of it
// may depend on the size of the text beyond a logarithmic lookup.
#include "editor/Painter.h"
#include "editor/TessaryCommands.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <string>

namespace torvane::editor {
namespace {

constexpr int kLines = 3'000'000;
constexpr int kRows = 50;

class NullSurface final : public Surface {
public:
    void FillRect(const TRect& r, TColor) override { sink += r.right; }
    void SetFont(const TFontSpec& f) override { sink += f.style; }
    TFontMetrics Metrics() override { return {15, 1, 8}; }
    int TextWidth(std::string_view b) override { return static_cast<int>(b.size()) * 8; }
    void TextRun(const TRect&, int x, int, std::string_view b, TColor, TColor, bool) override {
        sink += x + static_cast<int64_t>(b.size());
    }
    void Line(int x1, int, int, int, TColor, TPenStyle) override { sink += x1; }
    void XorLine(int x1, int, int, int) override { sink += x1; }
    void DrawImage(const TImageStrip&, int index, int, int) override { sink += index; }
    int64_t sink = 0;
};

struct RowsHost : TessaryHost {};

// One control over one big text, shared by all benchmarks (building the
// text takes seconds).
struct Fixture {
    RowsHost host;
    TCustomTessary control{&host};
    TTessaryCommands commands{control};
    Fixture() {
        // kRows rows and 120 columns of the default metrics.
        const TCaretMetrics m = control.Metrics();
        control.SetClientSize(m.textLeft + 120 * m.charWidth, kRows * m.rowHeight);
        std::string text;
        text.reserve(static_cast<size_t>(kLines) * 32);
        for (int i = 0; i < kLines; ++i) {
            text += "label";
            text += std::to_string(i % 1000);
            text += ":\tmov\ta, #0x12\t; note\r";
        }
        control.Store().SetText(text);
        control.SetModified(false);
    }
    TOffset MiddleOfLine(TLineIndex line) const { return control.Store().LineStart(line) + 10; }
};

Fixture& Big() {
    static Fixture fixture;
    return fixture;
}

void BM_TypeOneCharacterMidText(benchmark::State& state) {
    Fixture& f = Big();
    const TOffset at = f.MiddleOfLine(kLines / 2);
    f.control.SetSelection(at, at, false);
    for (auto _ : state)
        f.commands.KeyPress('x');
    f.control.Perform(EM_EMPTYUNDOBUFFER);
}
BENCHMARK(BM_TypeOneCharacterMidText)->Unit(benchmark::kMicrosecond);

void BM_TypeAndRepaintVisibleRows(benchmark::State& state) {
    Fixture& f = Big();
    TTabStops tabs;
    TStyleTable styles;
    TAppearance look;
    TPainter painter(f.control.Store(), tabs, styles, look);
    NullSurface surface;
    painter.Measure(surface);
    TViewState view;
    view.clientWidth = 1200;
    view.clientHeight = kRows * painter.Metrics().rowHeight;
    const TOffset at = f.MiddleOfLine(kLines / 2);
    f.control.SetSelection(at, at, false);
    for (auto _ : state) {
        f.commands.KeyPress('x');
        view.topLine = f.control.TopLine();
        view.anchor = f.control.Anchor();
        view.caret = f.control.Caret();
        painter.PaintRows(surface, view, 0, painter.VisibleLines(view));
        benchmark::DoNotOptimize(surface.sink);
    }
    f.control.Perform(EM_EMPTYUNDOBUFFER);
}
BENCHMARK(BM_TypeAndRepaintVisibleRows)->Unit(benchmark::kMicrosecond);

void BM_CtrlEnd(benchmark::State& state) {
    Fixture& f = Big();
    for (auto _ : state) {
        state.PauseTiming();
        f.control.SetSelection(0, 0, false);
        f.control.SetTopLine(0);
        state.ResumeTiming();
        f.commands.KeyDown(ShortCut(vk::End, kscCtrl));
    }
}
BENCHMARK(BM_CtrlEnd)->Unit(benchmark::kMicrosecond);

void BM_PageDown(benchmark::State& state) {
    Fixture& f = Big();
    const TOffset at = f.MiddleOfLine(kLines / 2);
    for (auto _ : state) {
        state.PauseTiming();
        f.control.SetSelection(at, at, false);
        state.ResumeTiming();
        f.commands.KeyDown(vk::Next);
    }
}
BENCHMARK(BM_PageDown)->Unit(benchmark::kMicrosecond);

// 10,000 characters typed in the middle, then taken back one undo step each.
void BM_Undo10000TypedCharacters(benchmark::State& state) {
    Fixture& f = Big();
    TUndoStack* log = f.control.Store().UndoLog();
    double logBytes = 0, heapBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.control.Perform(EM_EMPTYUNDOBUFFER);
        const TOffset at = f.MiddleOfLine(kLines / 3);
        f.control.SetSelection(at, at, false);
        const size_t heapBefore = mallinfo2().uordblks;
        for (int i = 0; i < 10'000; ++i)
            f.commands.KeyPress(static_cast<uint8_t>('a' + i % 26));
        heapBytes = static_cast<double>(mallinfo2().uordblks - heapBefore) / 10'000;
        logBytes = static_cast<double>(log->Size()) / 10'000;
        state.ResumeTiming();
        for (int i = 0; i < 10'000; ++i)
            f.control.Perform(EM_UNDO);
    }
    state.counters["log_bytes_per_char"] = logBytes;
    state.counters["heap_bytes_per_char"] = heapBytes;
}
BENCHMARK(BM_Undo10000TypedCharacters)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace torvane::editor

BENCHMARK_MAIN();
