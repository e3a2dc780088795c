#include "support/benchmain.h"

#include "support/figures.h"

#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <exception>
#include <memory>

int runBenchmarks(int argc, char** argv, const char* name, const std::function<void()>& prepare,
                  const char* targets, bool gui) {
    std::unique_ptr<QCoreApplication> app;
    if (gui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (prepare) {
        try {
            prepare();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", name, e.what());
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    figures().print(targets);
    benchmark::Shutdown();
    return 0;
}
