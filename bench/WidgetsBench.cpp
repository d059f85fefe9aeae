// Rendering a colour button's two faces (done at every resize and colour change) and painting
// the gradient background of a full-screen window (done at every repaint of the login window).
#include "widgets/ButtonFace.h"
#include "widgets/TdxfBackGround.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace zelm;

static void BM_ButtonFaces(benchmark::State& state) {
    const QSize size(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        QImage raised = renderFace(size, QColor(192, 255, 192), false);
        QImage pressed = renderFace(size, QColor(192, 255, 192), true);
        benchmark::DoNotOptimize(raised.constBits());
        benchmark::DoNotOptimize(pressed.constBits());
    }
}
BENCHMARK(BM_ButtonFaces)->Args({74, 34})->Args({100, 40})->Args({300, 120});

static void BM_Gradient(benchmark::State& state) {
    QImage target(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&target);
        TdxfBackGround::paintGradient(p, target.rect(), QColor(0, 255, 255), QColor(0, 0, 128),
                                      TdxfFillStyle::fsVert);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_Gradient)->Args({420, 230})->Args({1280, 1024});

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
