// What the bot has learned survives a fault inside a call and a kill between saves.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/guarded_call.h"
#include "harness/session.h"
#include "persistence/tc_database.h"

namespace tc::test {
namespace {

constexpr int64_t kMinute = 60 * 1000;

// The record of `name` as DataBase.dat holds it; empty when the file has none.
UserRecord RecordInFile(const std::filesystem::path& dir, std::string_view name) {
  for (const std::string& line : SplitLines(ReadFile(dir / "DataBase.dat"))) {
    UserRecord record = ParseUserRecord(line);
    if (record[0] == name) return record;
  }
  return {};
}

void TypeLine(Session& s, std::string_view text) {
  GuardedCall(s.core(), [text](Client& core) {
    core.main_input().text = std::string(text);
    core.SendActiveInput();
  });
}

TEST(Fault, ShowsOneErrorLineSavesWhatItLearnedAndGoesOn) {
  Session s(kStartedUp);
  s.LogIn();
  s.Server("1002 JOIN bob 0010 [CHAT]");
  s.core().options().home_channel = "Night Shift";
  s.Written();
  s.ui.TakeLines();

  s.socket.before_write = [](std::string_view) { throw std::bad_alloc(); };
  TypeLine(s, "hello");
  // The line leaves on a tick of the send queue; the driver runs ticks guarded as well.
  GuardedCall(s.core(), [&s](Client&) { s.Advance(10 * 1000); });
  EXPECT_EQ(s.ui.Texts(), std::vector<std::string>{"Error ( std::bad_alloc )"});
  EXPECT_EQ(RecordInFile(s.dir, "bob")[static_cast<size_t>(UserField::kIn_Channel)], "Yes");

  // The profile was saved too: a later start reads the changed home channel.
  {
    Session later(s.dir, kStartedUp);
    EXPECT_EQ(later.core().options().home_channel, "Night Shift");
  }

  // The same program goes on: it still hears the server and still sends.
  s.socket.before_write = nullptr;
  s.ui.TakeLines();
  s.Server("1002 JOIN carol 0010 [CHAT]");
  EXPECT_NE(s.core().database().FindUser("carol"), 0);
  s.Advance(10 * 1000);
  s.Written();
  TypeLine(s, "still here");
  s.Advance(10 * 1000);
  EXPECT_NE(s.Written().find("still here\r\n"), std::string::npos);
}

TEST(Fault, TextOfTheExceptionIsCutToOneBoundedLine) {
  Session s(kStartedUp);
  s.ui.TakeLines();
  GuardedCall(s.core(), [](Client&) {
    throw std::runtime_error("line one\r\nline two" + std::string(1000, 'x'));
  });
  const std::vector<std::string> shown = s.ui.Texts();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].rfind("Error ( line one  line twoxxx", 0), 0u);
  EXPECT_LT(shown[0].size(), 220u);
  // A call that returns a value gives an empty one after a fault.
  EXPECT_EQ(GuardedCall(s.core(), [](Client&) -> int { throw 1; }), 0);
}

TEST(Fault, BeforeTheSettingsAreReadTheProfileIsLeftAlone) {
  Session first(kStartedUp);
  first.core().options().home_channel = "Kept";
  first.core().Shutdown();

  Session s(first.dir);
  s.core().options().home_channel = "Default value";
  GuardedCall(s.core(), [](Client&) { throw std::bad_alloc(); });
  s.StartUp();
  EXPECT_EQ(s.core().options().home_channel, "Kept");
}

struct PeriodicCase {
  const char* name;
  int minutes;
  int64_t wait_ms;
  bool saved;
};

class PeriodicSave : public testing::TestWithParam<PeriodicCase> {};

TEST_P(PeriodicSave, WritesAChangedDatabaseEveryInterval) {
  const PeriodicCase& c = GetParam();
  Session setup;  // the interval comes from the profile
  setup.StartUp();
  setup.core().SetDatabaseSaveMinutes(c.minutes);
  setup.core().SaveProfile();
  Session s(setup.dir, kStartedUp);
  s.LogIn();
  s.Server("1002 JOIN bob 0010 [CHAT]");
  s.Advance(c.wait_ms);
  EXPECT_EQ(RecordInFile(s.dir, "bob")[0] == "bob", c.saved);
}

INSTANTIATE_TEST_SUITE_P(Interval, PeriodicSave,
                         testing::Values(PeriodicCase{"TenMinutes", 10, 10 * kMinute, true},
                                         PeriodicCase{"NotBefore", 10, 10 * kMinute - 1000, false},
                                         PeriodicCase{"Three", 3, 3 * kMinute, true},
                                         PeriodicCase{"Off", 0, 60 * kMinute, false}),
                         [](const testing::TestParamInfo<PeriodicCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(PeriodicSave, NothingChangedNothingWritten) {
  Session s(kStartedUp);
  s.core().options().reconnect = false;
  s.LogIn();
  s.Server("1002 JOIN bob 0010 [CHAT]");
  s.ServerCloses();
  s.Advance(10 * kMinute);
  ASSERT_EQ(RecordInFile(s.dir, "bob")[0], "bob");
  const std::string previous = ReadFile(s.dir / "DataBase.save");
  // Each save moves the last file to DataBase.save: unchanged means no save happened.
  s.Advance(30 * kMinute);
  EXPECT_EQ(ReadFile(s.dir / "DataBase.save"), previous);
}

TEST(UserRecords, ALastMessageOfADollarSignIsRecorded) {
  Session s(kStartedUp);
  s.LogIn();
  s.Server("1002 JOIN bob 0010 [CHAT]");
  s.Server("1005 TALK bob 0010 \"$\"");
  s.core().Shutdown();
  EXPECT_EQ(RecordInFile(s.dir, "bob")[static_cast<size_t>(UserField::kLast_Message_Seen)], "$");
}

}  // namespace
}  // namespace tc::test
