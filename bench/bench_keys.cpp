// The keys on one talk line in a well-filled bot: 500 keys (pieces, condition tags, event keys),
// 300 classified accounts and 5000 user records. Two keys in ten hold the line's words and are
// stopped by a later test, so the run goes past the word match too.
#include <benchmark/benchmark.h>

#include <string>

#include "harness/session.h"

namespace tc::test {
namespace {

class KeyedBot {
 public:
  explicit KeyedBot(bool one_fires) {
    s.StartUp();
    s.core().options().anti_flood = false;
    s.LogIn("talvexbot", "Busy Channel");
    Client& core = s.core();
    const char* products[] = {"[STAR]", "[SEXP]", "[W2BN]", "[CHAT]", "[D2DV]"};
    for (int i = 0; i < 5000; ++i) {
      core.database().UpdateUser("known" + std::to_string(i),
                                 {{UserField::kProduct, products[i % 5]}});
    }
    for (int i = 0; i < 300; ++i) {
      core.accounts().Append(
          {"known" + std::to_string(i * 7), i % 2 ? "Friend;" : "Enemy;Ban;", OnOff::kOn});
    }
    for (int i = 0; i < 500; ++i) {
      const std::string n = std::to_string(i);
      std::string text = "trigger" + n;
      std::string applies = "Friends;Messages;Whispers;State:Available;Product:[STAR];";
      switch (i % 10) {
        case 0:
          text = "#Event" + n;
          break;
        case 1:
          text = "how*game*" + n;
          break;
        case 2:
          text = "is the game";  // selected, stopped by the user type
          break;
        case 3:
          text = "everyone*going";  // selected, stopped by a condition tag
          applies = "All;Messages;State:Available;Product:[SEXP];<%channel;Quiet%><%isainterbot%>";
          break;
        case 4:
          applies += "<%contains;bot%><%notequals;known" + n + "%>";
          break;
        default:
          text = "word" + n + "*piece*" + n;
          break;
      }
      core.keys().Append({text, "answer " + n, applies, "", "", OnOff::kOn});
    }
    if (one_fires) {
      core.keys().Append({"hello*game",
                          "/w <user> Welcome to <channel current> at <time>, <version>",
                          "All;Messages;State:Available;Product:[SEXP];", "", "", OnOff::kOn});
    }
    s.Written();
    s.ui.TakeLines();
  }
  Session s;
};

void RunTalk(benchmark::State& state, bool one_fires) {
  KeyedBot bot(one_fires);
  Client& core = bot.s.core();
  const std::string line = "hello everyone, how is the game going?";
  int64_t turns = 0;
  for (auto _ : state) {
    core.RunKeys("known41", line, "Messages;");
    if (++turns % 1024 == 0) {
      state.PauseTiming();
      bot.s.Written();
      bot.s.ui.TakeLines();
      core.keys().Update(core.keys().RowCount() - 1, [](KeyRow& row) { row.history.clear(); });
      state.ResumeTiming();
    }
  }
}

void BM_KeysNoneFires(benchmark::State& state) {
  RunTalk(state, false);
}
BENCHMARK(BM_KeysNoneFires)->Unit(benchmark::kMicrosecond);

void BM_KeysOneFires(benchmark::State& state) {
  RunTalk(state, true);
}
BENCHMARK(BM_KeysOneFires)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tc::test

BENCHMARK_MAIN();
