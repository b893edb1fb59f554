// Runs every benchmark of brellow-bench. When the desktop program's code is linked in,
// a QApplication exists first so that widget benchmarks can run beside the engine's,
// on the offscreen platform unless another one is asked for.

#ifdef BRELLOW_HAVE_GUI
#include <QApplication>
#endif

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
#ifdef BRELLOW_HAVE_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
