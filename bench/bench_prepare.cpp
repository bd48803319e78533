// Template expansion of a key action in a well-filled bot: 200 variables, 1000 users in the
// channel, 500 keys and 5000 user records. The action names three built-ins and no variable, so
// the cost is mostly that of ruling the other names out.
#include <benchmark/benchmark.h>

#include <string>

#include "harness/session.h"

namespace tc::test {
namespace {

class FilledBot {
 public:
  FilledBot() {
    s.StartUp();
    s.LogIn("talvexbot", "Busy Channel");
    Client& core = s.core();
    const char* products[] = {"[STAR]", "[SEXP]", "[W2BN]", "[CHAT]", "[D2DV]"};
    for (int i = 0; i < 5000; ++i) {
      core.database().UpdateUser("known" + std::to_string(i),
                                 {{UserField::kProduct, products[i % 5]}});
    }
    for (int i = 0; i < 999; ++i) {
      s.Server("1001 USER known" + std::to_string(i) + " 0000 " + products[i % 5]);
    }
    for (int i = 0; i < 200; ++i) {
      const std::string n = std::to_string(1000 + i).substr(1);
      core.variables().Append({"$macro" + n + "$", "value number " + n + " of the bot"});
    }
    for (int i = 0; i < 500; ++i) {
      const std::string n = std::to_string(i);
      core.keys().Append({i % 10 == 0 ? "#Event" + n : "trigger" + n, "answer " + n, "Everyone;",
                          "Messages;", "", OnOffText::FromText("On;")});
    }
    s.Written();
    s.ui.TakeLines();
  }
  Session s;
};

void BM_PrepareKeyAction(benchmark::State& state) {
  FilledBot bot;
  Client& core = bot.s.core();
  // 100 characters.
  const TaintedText action(
      "/w <user> Welcome to <channel current>, the time here is <time>; enjoy your stay here, my "
      "friend!!!!");
  const std::string event = "hello everyone, how is the game going?";
  size_t length = 0;
  for (auto _ : state) {
    const TaintedText out = core.Prepare(action, "known42", event);
    length = out.size();
    benchmark::DoNotOptimize(out);
  }
  state.counters["input"] = static_cast<double>(action.size());
  state.counters["output"] = static_cast<double>(length);
}
BENCHMARK(BM_PrepareKeyAction)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tc::test

BENCHMARK_MAIN();
