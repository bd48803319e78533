// Writing and reading a large settings profile: 1000 keys, 500 timers, 1000 variables, 1000
// accounts and 100 servers. Both must stay well under 50 ms, as they run at start-up, at shutdown
// and on every profile switch.
#include <benchmark/benchmark.h>

#include <string>

#include "harness/session.h"
#include "persistence/list_lines.h"

namespace tc {
namespace {

const std::string kMark(kFieldMark);

void FillProfile(Client& m) {
  for (int i = 0; i < 1000; ++i) {
    const std::string n = std::to_string(i);
    m.keys().Append({"hello" + n, "/w <user> Hi there, welcome to <channel>! (" + n + ")",
                     "Friends;Enemies;Operators;Other;", "Messages;Whispers;", "",
                     OnOffText::FromText("On;State:Available;")});
    InsertSorted(m.variables(), {"$variable" + n + "$", "a value of some length for #" + n});
    InsertSorted(m.accounts(), {"Account_" + n, "Friend;Operator;", OnOff::kOn});
  }
  for (int i = 0; i < 500; ++i) {
    const std::string n = std::to_string(i);
    m.timers().Append({n, "300", "/me is still here (" + n + ")",
                       "On;State:Operator;State:Away;State:DND;State:Available;", 0});
  }
  m.servers().Clear();
  for (int i = 0; i < 100; ++i) {
    InsertSorted(
        m.servers(),
        {"???", "10.0." + std::to_string(i / 256) + "." + std::to_string(i % 256), "Public"});
  }
}

void BM_WriteProfile(benchmark::State& state) {
  test::Session s;
  s.StartUp();
  FillProfile(s.core());
  // A changed setting each time, so that the profile file is really replaced.
  int round = 0;
  for (auto _ : state) {
    s.core().options().home_channel = "Room " + std::to_string(++round);
    s.core().SaveProfile();
  }
}
BENCHMARK(BM_WriteProfile)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

void BM_ReadProfile(benchmark::State& state) {
  test::Session s;
  s.StartUp();
  FillProfile(s.core());
  s.core().SaveProfile();
  for (auto _ : state) s.core().LoadProfile();
}
BENCHMARK(BM_ReadProfile)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace
}  // namespace tc

BENCHMARK_MAIN();
