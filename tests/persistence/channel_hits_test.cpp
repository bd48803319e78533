// The hit counter file and the last-ten list as joins, talk and leaves feed them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "harness/session.h"

namespace tc::test {
namespace {


TEST(ChannelHits, JoinsAreCountedPerChannelIgnoringCaseAndSurviveARestart) {
  TempDir dir;
  {
    Session s(dir.path());
    s.StartUp();
    s.LogIn("talvexbot", "Op Room");
    s.Server("1002 JOIN alice 0000 [STAR]");
    s.Server("1002 JOIN bob 0000 [STAR]");
    s.Server("1007 CHANNEL \"op room\"");
    s.Server("1002 JOIN carol 0000 [STAR]");
    EXPECT_EQ(ReadFile(dir.path() / "HitCounter.ini"), "[Op Room]\r\nHits=3\r\n");
    EXPECT_EQ(s.core().ChannelHit("OP ROOM", "Count"), 3);
    EXPECT_EQ(s.core().ChannelHit("", "Add"), 0);
  }
  {
    std::ofstream edit(dir.path() / "HitCounter.ini", std::ios::app | std::ios::binary);
    edit << "\r\n[Elsewhere]\r\nHits=abc\r\n";
  }
  Session again(dir.path());
  again.StartUp();
  EXPECT_EQ(again.core().ChannelHit("op room", "Count"), 3);
  EXPECT_EQ(again.core().ChannelHit("Elsewhere", "Add"), 1);
  EXPECT_EQ(ReadFile(dir.path() / "HitCounter.ini"),
            "[Op Room]\r\nHits=3\r\n\r\n[Elsewhere]\r\nHits=1\r\n");
}

TEST(ChannelHits, CounterOffCountsNothing) {
  Session s;
  s.StartUp();
  s.core().options().channel_hit_counter = false;
  s.LogIn();
  s.Server("1002 JOIN alice 0000 [STAR]");
  EXPECT_FALSE(std::filesystem::exists(s.dir / "HitCounter.ini"));
}

TEST(LastTen, NewestFirstTenAtMostCaseOfTheLatest) {
  Session s;
  s.StartUp();
  s.LogIn();
  s.Server("1002 JOIN alice 0000 [STAR]");
  s.Server("1005 TALK alice 0000 \"hi\"");
  s.Server("1003 LEAVE alice 0000");
  ASSERT_EQ(s.core().last_ten().RowCount(), 1);
  for (int i = 1; i <= 11; ++i) s.Server("1002 JOIN user" + std::to_string(i) + " 0000 [STAR]");
  ASSERT_EQ(s.core().last_ten().RowCount(), 10);
  EXPECT_EQ(s.core().last_ten().Cell(0, 0), "user11");
  EXPECT_EQ(s.core().last_ten().Cell(9, 0), "user2");
  s.Server("1005 TALK USER5 0000 \"again\"");
  EXPECT_EQ(s.core().last_ten().Cell(0, 0), "USER5");
  EXPECT_EQ(s.core().last_ten().RowCount(), 10);
}

}  // namespace
}  // namespace tc::test
