// Time from process start to the viewer's window shown (goal: under 250 ms).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/window/application.h"
#include "first_paint.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"

extern char** environ;

namespace {

// A whole process: exec, Qt start-up, window creation, port scan, first
// paint, and exit. The offscreen platform stands in for a display.
void BM_ProcessStartToWindowShown(benchmark::State& state) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0) env.emplace_back(*e);
  }
  env.emplace_back("QT_QPA_PLATFORM=offscreen");
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  char probe[] = QV_STARTUP_PROBE;
  char* argv[] = {probe, nullptr};

  for (auto _ : state) {
    pid_t pid = 0;
    if (posix_spawn(&pid, probe, nullptr, nullptr, argv, envp.data()) != 0) {
      state.SkipWithError("cannot start the probe");
      return;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("probe failed");
      return;
    }
  }
}
BENCHMARK(BM_ProcessStartToWindowShown)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Inside a running application: build the window, show it, first paint.
void BM_WindowCreateShowPaint(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    CreateModuleObjects();
    state.ResumeTiming();
    {
      TMainForm form;
      FirstPaint paint;
      form.installEventFilter(&paint);
      form.show();
      paint.Wait();
      state.PauseTiming();
      form.close();
    }
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowCreateShowPaint)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

}  // namespace
