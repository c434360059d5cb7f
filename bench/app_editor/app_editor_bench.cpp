// The document window's editor control with the bundled asm51.tsc, on the
// offscreen platform:
//   app_editor_bench --benchmark_filter=OpenAndHighlight
//     loading a generated 8051 source of kLines lines from a file and
//     running the event loop until every line is highlighted (the window
//     stays usable meanwhile: highlighting runs in slices);
//   app_editor_bench --benchmark_filter=TypeInLargeText
//     one typed character in the middle of that text, with its
//     re-highlighting and change report (what a keystroke costs).

#include "app/TessaryControl.h"
#include "common/Stream.h"
#include "highlight/Parser.h"
#include "scheme/SchemeCompiler.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

using namespace torvane;

namespace {

constexpr int kLines = 500000;

const char* const kSourceLines[] = {
    "        MOV   A,#0FFh          ; load the mask",
    "loop:   MOVX  @DPTR,A",
    "        CJNE  R7,#10,next_byte",
    "        SETB  P1.0",
    "        DB    'text', 0Dh, 0Ah",
    "",
};

QString WriteSource(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("big.asm"));
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary);
    for (int i = 0; i < kLines; ++i)
        out << kSourceLines[i % std::size(kSourceLines)] << "\r\n";
    return path;
}

void CompileAsm51(TTessaryParser& parser) {
    TFileStream script(TORVANE_SCRIPTS_DIR "/asm51.tsc", TFileStream::fmOpenRead);
    scheme::CompileScheme(parser, script, TORVANE_SCRIPTS_DIR "/asm51.tsc");
}

void FinishHighlighting(app::TTessary& memo) {
    while (memo.HighlightPending())
        QCoreApplication::processEvents();
}

void BM_OpenAndHighlight(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSource(dir);
    TTessaryParser parser;
    CompileAsm51(parser);
    for (auto _ : state) {
        app::TTessary memo;
        memo.SetParser(&parser);
        QString error;
        if (!memo.LoadFromFile(path, &error)) state.SkipWithError("cannot load");
        FinishHighlighting(memo);
        benchmark::DoNotOptimize(memo.Store().NodeStyles(kLines - 2).data());
        memo.SetParser(nullptr);
    }
    state.counters["Lines"] = kLines;
}
BENCHMARK(BM_OpenAndHighlight)->Unit(benchmark::kMillisecond);

void BM_TypeInLargeText(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSource(dir);
    TTessaryParser parser;
    CompileAsm51(parser);
    app::TTessary memo;
    memo.resize(800, 600);
    memo.SetParser(&parser);
    QString error;
    memo.LoadFromFile(path, &error);
    FinishHighlighting(memo);
    memo.SetCaret(kLines / 2, 9);
    for (auto _ : state)
        memo.Commands().KeyPress('a');
    memo.SetParser(nullptr);
}
BENCHMARK(BM_TypeInLargeText)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
