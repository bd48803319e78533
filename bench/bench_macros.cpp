// One quick-button click on a 10 KiB macro cut by 500 "<break>"s, connected with anti-flood on:
// expansion, the cut and the lines queued. A click must never stall the window.
#include <benchmark/benchmark.h>

#include <string>

#include "harness/session.h"

namespace tc {
namespace {

void BM_HugeMacroClick(benchmark::State& state) {
  test::Session s;
  s.StartUp();
  s.LogIn();
  std::string value;
  for (int i = 0; i < 500; ++i) value += "line " + std::to_string(1000 + i) + " padding<break>";
  s.core().SendText(TaintedText("/edit $macro01$;" + value));
  for (auto _ : state) {
    s.core().RunMacro(1);
    state.PauseTiming();
    s.core().SendText("/buffer");  // the queue empties between clicks
    s.Written();
    s.ui.TakeLines();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_HugeMacroClick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tc

BENCHMARK_MAIN();
