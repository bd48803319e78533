// One second of a busy bot: the one-second tick with 200 user timers, 1000 users in the channel
// and 5000 database records, with no timer firing and with ten firing every second.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "harness/session.h"
#include "persistence/database_file.h"
#include "persistence/tc_database.h"

namespace tc {
namespace {

constexpr int kUsersInChannel = 1000;
constexpr int kTimers = 200;

void WriteDatabase(const std::filesystem::path& folder) {
  std::ofstream out(folder / "DataBase.dat", std::ios::binary | std::ios::trunc);
  for (int i = 0; i < kDatabaseSlots; ++i) {
    UserRecord r;
    r[0] = "user" + std::to_string(i);
    r[1] = "#" + std::to_string(100000 + i);
    r[2] = "[STAR]";
    r[3] = "0010";
    r[5] = "3";
    r[6] = "Disconnected";
    r[9] = "12/06/2026 09:30:00";
    r[10] = "01/02/2026 10:00:00";
    r[11] = "3600";
    r[12] = "0";
    r[13] = "42";
    r[15] = "Unavailable";
    r[16] = "No";
    r[17] = "No";
    out << FormatUserRecord(r) << "\r\n";
  }
}

class BusyBot {
 public:
  explicit BusyBot(int firing) {
    WriteDatabase(dir_.path());
    s_ = std::make_unique<test::Session>(dir_.path(), test::kStartedUp);
    Client& c = s_->core();
    c.SetDatabaseSaveMinutes(0);
    s_->LogIn("talvexbot", "Busy Channel");
    c.SetAntiIdle(false);
    s_->Server("1018 INFO \"Audible notification on.\"");
    for (int i = 0; i < kUsersInChannel; ++i) {
      s_->Server("1001 USER user" + std::to_string(i) + " 0010 [STAR]");
    }
    for (int i = 0; i < kTimers; ++i) {
      const bool fires = i < firing;
      c.timers().Append(TimerRow{std::to_string(i), fires ? "0" : "9999999",
                                 fires ? "/me tick <state>" : "/me never", "On;State:Available;",
                                 0});
    }
    Drain();
  }
  test::Session& s() { return *s_; }
  // What piles up in the fakes is let go now and then, outside the timing.
  void Drain() {
    s_->Written();
    s_->ui.TakeLines();
  }

 private:
  test::TempDir dir_;
  std::unique_ptr<test::Session> s_;
};

void RunSeconds(benchmark::State& state, int firing) {
  BusyBot bot(firing);
  int64_t n = 0;
  for (auto _ : state) {
    bot.s().Advance(1000);
    if (++n % 256 == 0) {
      state.PauseTiming();
      bot.Drain();
      state.ResumeTiming();
    }
  }
}

void BM_OneSecondNoTimerFiring(benchmark::State& state) {
  RunSeconds(state, 0);
}
BENCHMARK(BM_OneSecondNoTimerFiring)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_OneSecondTenTimersFiring(benchmark::State& state) {
  RunSeconds(state, 10);
}
BENCHMARK(BM_OneSecondTenTimersFiring)->Unit(benchmark::kMicrosecond)->Repetitions(5);

}  // namespace
}  // namespace tc

BENCHMARK_MAIN();
