// Repainting a screen in the middle of a 3-million-line text: the cost must
// not depend on the size of the text.
#include "editor/Painter.h"
#include "editor/Rehighlight.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace torvane::editor {
namespace {

// Draws nothing; counts what it is asked to draw, so the work cannot be
// optimised away.
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

constexpr int kLines = 3'000'000;

TTextStore& BigStore() {
    static std::unique_ptr<TTextStore> store = [] {
        auto s = std::make_unique<TTextStore>();
        std::string text;
        text.reserve(static_cast<size_t>(kLines) * 32);
        for (int i = 0; i < kLines; ++i) {
            text += "label";
            text += std::to_string(i % 1000);
            text += ":\tmov\ta, #0x12\t; note\r";
        }
        s->SetText(text);
        return s;
    }();
    return *store;
}

void BM_PaintVisibleRowsMidText(benchmark::State& state) {
    TTextStore& store = BigStore();
    TTabStops tabs;
    TStyleTable styles;
    TAppearance look;
    look.options |= smoLineNumbers;
    TPainter painter(store, tabs, styles, look);
    NullSurface surface;
    painter.Measure(surface);
    TViewState view;
    view.clientWidth = 1200;
    view.clientHeight = 50 * painter.Metrics().rowHeight; // 50 rows
    view.topLine = kLines / 2;
    view.anchor = store.LineStart(view.topLine + 3);
    view.caret = store.LineStart(view.topLine + 7) + 5;
    for (auto _ : state) {
        painter.PaintRows(surface, view, 0, painter.VisibleLines(view));
        benchmark::DoNotOptimize(surface.sink);
    }
    state.counters["rows"] = painter.VisibleLines(view) + 1;
}
BENCHMARK(BM_PaintVisibleRowsMidText)->Unit(benchmark::kMicrosecond);

void BM_PaintAfterScrollingOneLine(benchmark::State& state) {
    TTextStore& store = BigStore();
    TTabStops tabs;
    TStyleTable styles;
    TAppearance look;
    TPainter painter(store, tabs, styles, look);
    NullSurface surface;
    painter.Measure(surface);
    TViewState view;
    view.clientWidth = 1200;
    view.clientHeight = 50 * painter.Metrics().rowHeight;
    TLineIndex top = kLines / 3;
    for (auto _ : state) {
        view.topLine = ++top;
        painter.PaintRows(surface, view, 0, painter.VisibleLines(view));
        benchmark::DoNotOptimize(surface.sink);
    }
}
BENCHMARK(BM_PaintAfterScrollingOneLine)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace torvane::editor

BENCHMARK_MAIN();
