// The user database on a nearly full table: what one join costs, and loading and saving 5000
// records.
#include <benchmark/benchmark.h>

#include <array>
#include <fstream>
#include <random>
#include <string>

#include "harness/fakes.h"
#include "harness/session.h"
#include "persistence/tc_database.h"

namespace tc {
namespace {

// Account names as a channel has them: mixed case, digits, a few accented letters.
std::string RandomName(std::mt19937& rng) {
  static constexpr std::string_view kChars =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_[]";
  static constexpr std::array<std::string_view, 2> kAccented = {"\u00E9", "\u00C9"};
  std::uniform_int_distribution<size_t> len(3, 14);
  std::uniform_int_distribution<size_t> pick(0, kChars.size() + kAccented.size() - 1);
  std::string name;
  const size_t n = len(rng);
  for (size_t i = 0; i < n; ++i) {
    const size_t at = pick(rng);
    name += at < kChars.size() ? std::string(1, kChars[at])
                               : std::string(kAccented[at - kChars.size()]);
  }
  return name;
}

// A DataBase.dat of `count` records as a long-running bot accumulates them.
void WriteDatabase(const std::filesystem::path& folder, int count) {
  std::mt19937 rng(7);
  std::ofstream out(folder / "DataBase.dat", std::ios::binary | std::ios::trunc);
  for (int i = 0; i < count; ++i) {
    UserRecord r;
    r[0] = RandomName(rng) + std::to_string(i);
    r[1] = "#" + std::to_string(100000 + i % 4000);
    r[2] = "[STAR]";
    r[3] = "0010";
    r[5] = "3";
    r[6] = "Disconnected";
    r[7] = "met in op clan<#>plays late";
    r[9] = "12/06/2026 09:30:00";
    r[10] = "01/02/2026 10:00:00";
    r[11] = "3600";
    r[12] = "0";
    r[13] = "42";
    r[14] = "good game everyone";
    r[15] = "Unavailable";
    r[16] = "No";
    r[17] = "No";
    out << FormatUserRecord(r) << "\r\n";
  }
}

struct Table {
  test::VirtualClock clock;
  test::FakeFrontend ui;
  test::TempDir dir;
  TC_DataBase db{clock, ui};
  explicit Table(int count) {
    WriteDatabase(dir.path(), count);
    db.LoadUserDatabase(dir.path(), true);
  }
};

void BM_LoadUserDatabase5000(benchmark::State& state) {
  Table t(kDatabaseSlots);
  for (auto _ : state) {
    t.db.LoadUserDatabase(t.dir.path(), true);
    benchmark::DoNotOptimize(t.db.CountUsers());
  }
}
BENCHMARK(BM_LoadUserDatabase5000)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_SaveUserDatabase5000(benchmark::State& state) {
  Table t(kDatabaseSlots);
  for (auto _ : state) {
    t.db.SaveUserDatabase();
    state.PauseTiming();
    t.db.LoadUserDatabase(t.dir.path(), true);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SaveUserDatabase5000)->Unit(benchmark::kMillisecond)->Repetitions(5);

// The save every few minutes: one record changed, the table stays open.
void BM_SaveChanges5000(benchmark::State& state) {
  Table t(kDatabaseSlots);
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    t.db.IncTimesSeen(t.db.Slot(1 + n++ % kDatabaseSlots)[0]);
    state.ResumeTiming();
    benchmark::DoNotOptimize(t.db.SaveChanges());
  }
}
BENCHMARK(BM_SaveChanges5000)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Nothing changed: the timer's tick costs no write.
void BM_SaveChangesUnchanged5000(benchmark::State& state) {
  Table t(kDatabaseSlots);
  for (auto _ : state) benchmark::DoNotOptimize(t.db.SaveChanges());
}
BENCHMARK(BM_SaveChangesUnchanged5000)->Repetitions(5);

// Each iteration adds one new name to 4999 records and clears it again, so the next add fills
// the gap it left inside the run.
void BM_AddUserInto4999(benchmark::State& state) {
  Table t(kDatabaseSlots - 1);
  std::mt19937 rng(3);
  std::vector<std::string> names(4096);
  for (auto& n : names) n = "~new" + RandomName(rng);
  for (auto& n : names) n[0] = n[4];
  size_t i = 0;
  for (auto _ : state) {
    const std::string& name = names[i++ % names.size()];
    t.db.AddUser(name);
    t.db.ClearUserRecord(t.db.FindUser(name));
  }
}
BENCHMARK(BM_AddUserInto4999)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_FindUser(benchmark::State& state) {
  Table t(kDatabaseSlots - 1);
  std::vector<std::string> names;
  for (int s = 1; s <= kDatabaseSlots; s += 7) names.push_back(t.db.Slot(s)[0]);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(t.db.FindUser(names[i++ % names.size()]));
}
BENCHMARK(BM_FindUser)->Repetitions(5);

// The database's part of a 1002 join of a new account: find, add, update with the join's fields
// (a "#" number, so the alias collection runs), count the sighting; then clear it for the next.
void BM_JoinOfANewAccount(benchmark::State& state) {
  Table t(kDatabaseSlots - 1);
  std::mt19937 rng(5);
  std::vector<std::string> names(4096);
  for (auto& n : names) n = RandomName(rng) + "_j";
  size_t i = 0;
  for (auto _ : state) {
    const std::string& name = names[i++ % names.size()];
    benchmark::DoNotOptimize(t.db.FindUser(name));
    t.db.AddUser(name);
    t.db.UpdateUser(name, UserUpdate{{UserField::kAccount_Number, "#100007"},
                                     {UserField::kProduct, "[STAR]"},
                                     {UserField::kFlag, "0010"},
                                     {UserField::kIcon, "3"},
                                     {UserField::kStatus, "Available"},
                                     {UserField::kLast_Time_Seen, "12/06/2026 09:30:00"},
                                     {UserField::kTime_In_Channel, "0"},
                                     {UserField::kLocation, "Chat"},
                                     {UserField::kIn_Channel, "Yes"},
                                     {UserField::kTold_InterBot, "No"}});
    t.db.IncTimesSeen(name);
    t.db.ClearUserRecord(t.db.FindUser(name));
  }
}
BENCHMARK(BM_JoinOfANewAccount)->Unit(benchmark::kMicrosecond)->Repetitions(5);

void BM_SecondTick(benchmark::State& state) {
  Table t(kDatabaseSlots);
  for (auto _ : state) t.db.SecondTick();
}
BENCHMARK(BM_SecondTick)->Unit(benchmark::kMicrosecond)->Repetitions(5);

}  // namespace
}  // namespace tc

BENCHMARK_MAIN();
