// A channel that only grows and a channel where users never stop coming and going: the user list,
// the account-tracking queue, the hit counter file and the chat log stay fast and bounded.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "harness/session.h"

namespace tc::test {
namespace {

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
  }
  return 0;
}

std::unique_ptr<Session> Channel() {
  auto s = std::make_unique<Session>();
  s->StartUp();
  s->LogIn("talvexbot", "Crowd");
  s->ui.TakeLines();
  return s;
}

// 50,000 players who have never been seen join one channel and stay listed.
void BM_FiftyThousandUsersJoin(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = Channel();
    state.ResumeTiming();
    for (int i = 0; i < 50000; ++i) {
      s->core().OnServerLine("1002 JOIN user" + std::to_string(i) + " 0000 [STAR]");
      if (s->ui.lines.size() > 10000) s->ui.lines.clear();
    }
    state.PauseTiming();
    state.counters["listed"] = s->core().users().RowCount();
    state.counters["tracked"] = static_cast<double>(s->core().account_tracking().Size());
    s.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FiftyThousandUsersJoin)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// 200,000 joins and leaves of players drawn in turn from 5,000 names (the database remembers each
// name once, so what grows with the count of joins is what this measures). Resident memory is
// taken after the first 20,000 and at the end.
void BM_TwoHundredThousandJoinsAndLeaves(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto s = Channel();
    long after_warm_up = 0;
    state.ResumeTiming();
    for (int i = 0; i < 200000; ++i) {
      const std::string name = "player" + std::to_string(i % 5000);
      s->core().OnServerLine("1002 JOIN " + name + " 0000 [SEXP]");
      s->core().OnServerLine("1003 LEAVE " + name + " 0000");
      if (s->ui.lines.size() > 10000) s->ui.lines.clear();
      if (i == 20000) after_warm_up = ResidentKb();
    }
    state.PauseTiming();
    state.counters["rss_kb_at_20k"] = static_cast<double>(after_warm_up);
    state.counters["rss_kb_at_200k"] = static_cast<double>(ResidentKb());
    state.counters["tracked"] = static_cast<double>(s->core().account_tracking().Size());
    state.counters["listed"] = s->core().users().RowCount();
    s.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TwoHundredThousandJoinsAndLeaves)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace tc::test

BENCHMARK_MAIN();
