// The hot path of a busy channel: a join of a user never seen before into a full database and a
// crowded channel, and a talk line. Each iteration is timed by hand around the one call, so the
// bookkeeping that makes the next iteration start from the same state is not counted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "harness/session.h"

namespace tc::test {
namespace {

class BusyChannel {
 public:
  BusyChannel() {
    s.StartUp();
    s.LogIn("talvexbot", "Busy Channel");
    const char* products[] = {"[STAR]", "[SEXP]", "[W2BN]", "[CHAT]", "[D2DV]"};
    for (int i = 0; i < 4998; ++i) {
      s.core().database().UpdateUser(
          "known" + std::to_string(i),
          {{UserField::kProduct, products[i % 5]}, {UserField::kLocation, "Elsewhere"}});
    }
    for (int i = 0; i < 999; ++i) {
      s.Server("1001 USER known" + std::to_string(i) + " 0000 " + products[i % 5]);
    }
    s.Written();
    s.ui.TakeLines();
  }
  Session s;
};

void BM_JoinOfANewUser(benchmark::State& state) {
  BusyChannel busy;
  Client& core = busy.s.core();
  int n = 0;
  for (auto _ : state) {
    const std::string name = "stranger" + std::to_string(n++);
    const std::string line = "1002 JOIN " + name + " 0000 [SEXP]";
    const auto start = std::chrono::steady_clock::now();
    core.OnServerLine(line);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    // Back to 4999 records and 1000 users for the next round.
    core.database().ClearUserRecord(core.database().FindUser(name));
    core.RemoveChannelUser(name);
    busy.s.ui.lines.clear();
    core.account_tracking().Clear();
  }
  state.counters["records"] = core.database().CountUsers();
}
BENCHMARK(BM_JoinOfANewUser)
    ->UseManualTime()
    ->Iterations(20000)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_TalkLine(benchmark::State& state) {
  BusyChannel busy;
  Client& core = busy.s.core();
  const std::string line = "1005 TALK known42 0000 \"hello everyone, how is the game going?\"";
  for (auto _ : state) {
    core.OnServerLine(line);
    if (busy.s.ui.lines.size() > 10000) busy.s.ui.lines.clear();
  }
}
BENCHMARK(BM_TalkLine)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tc::test

BENCHMARK_MAIN();
