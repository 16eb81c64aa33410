#include <benchmark/benchmark.h>

#include "app/window/application.h"

// The window's benchmarks run inside the viewer's own application object,
// offscreen unless a platform is asked for.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  PrepareApplicationEnvironment();
  QuorvaneApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
