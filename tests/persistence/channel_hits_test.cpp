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
    Session s(dir.path(), kStartedUp);
    s.LogIn("talvexbot", "Op Room");
    s.Server("1002 JOIN alice 0000 [STAR]");
    s.Server("1002 JOIN bob 0000 [STAR]");
    s.Server("1007 CHANNEL \"op room\"");
    s.Server("1002 JOIN carol 0000 [STAR]");
    EXPECT_EQ(ReadFile(dir.path() / "HitCounter.ini"), "[Op Room]\r\nHits=3\r\n");
    EXPECT_EQ(s.core().ChannelHitCount("OP ROOM"), 3);
    EXPECT_EQ(s.core().AddChannelHit(""), 0);
  }
  {
    std::ofstream edit(dir.path() / "HitCounter.ini", std::ios::app | std::ios::binary);
    edit << "\r\n[Elsewhere]\r\nHits=abc\r\n";
  }
  Session again(dir.path(), kStartedUp);
  EXPECT_EQ(again.core().ChannelHitCount("op room"), 3);
  EXPECT_EQ(again.core().AddChannelHit("Elsewhere"), 1);
  EXPECT_EQ(ReadFile(dir.path() / "HitCounter.ini"),
            "[Op Room]\r\nHits=3\r\n\r\n[Elsewhere]\r\nHits=1\r\n");
}

TEST(ChannelHits, AChannelNameCannotInjectSectionsOrKeys) {
  TempDir dir;
  const std::string evil = "x\n[Op Room]\nHits=99999\r%41 =;";
  {
    Session s(dir.path(), kStartedUp);
    s.LogIn("talvexbot", evil);
    s.Server("1002 JOIN alice 0000 [STAR]");
    s.Server("1007 CHANNEL \"100% [Clan] Fun\"");
    s.Server("1002 JOIN bob 0000 [STAR]");
    EXPECT_EQ(ReadFile(dir.path() / "HitCounter.ini"),
              "[x%0A%5BOp Room%5D%0AHits%3D99999%0D%2541 %3D;]\r\nHits=1\r\n\r\n"
              "[100% %5BClan%5D Fun]\r\nHits=1\r\n");
  }
  Session again(dir.path(), kStartedUp);
  EXPECT_EQ(again.core().ChannelHitCount("Op Room"), 0);
  EXPECT_EQ(again.core().ChannelHitCount(evil), 1);
  EXPECT_EQ(again.core().ChannelHitCount("100% [clan] fun"), 1);
  for (const std::string& name : {evil, std::string("100%"), std::string("%zz%4"), std::string()}) {
    EXPECT_EQ(ChannelForSection(SectionForChannel(name)), name);
  }
}

TEST(ChannelHits, TheFileKeepsTheMostRecentlyCountedChannelsOnly) {
  Session s(kStartedUp);
  s.LogIn("talvexbot", "Home");
  s.Server("1002 JOIN alice 0000 [STAR]");
  for (int i = 0; i < HitCounter::kMaxChannels - 1; ++i) {
    s.Server("1007 CHANNEL \"room " + std::to_string(i) + "\"");
    s.Server("1002 JOIN alice 0000 [STAR]");
    if (i == 500) {
      s.Server("1007 CHANNEL \"Home\"");  // counted again: the newest, kept
      s.Server("1002 JOIN bob 0000 [STAR]");
    }
  }
  const std::string file = ReadFile(s.dir / "HitCounter.ini");
  EXPECT_EQ(file.substr(0, 20), "[room 0]\r\nHits=1\r\n\r\n");
  EXPECT_NE(file.find("[Home]\r\nHits=2\r\n\r\n[room 501]"), std::string::npos);
  EXPECT_EQ(s.core().ChannelHitCount("room 998"), 1);

  // One more channel drops the least recently counted; long names are bounded by bytes too.
  s.Server("1007 CHANNEL \"room 999\"");
  s.Server("1002 JOIN alice 0000 [STAR]");
  EXPECT_EQ(s.core().ChannelHitCount("room 0"), 0);
  EXPECT_EQ(s.core().ChannelHitCount("Home"), 2);
  for (int i = 0; i < 100; ++i) {
    s.Server("1007 CHANNEL \"" + std::string(4000, 'L') + std::to_string(i) + "\"");
    s.Server("1002 JOIN alice 0000 [STAR]");
  }
  EXPECT_LE(std::filesystem::file_size(s.dir / "HitCounter.ini"), HitCounter::kMaxBytes);
  EXPECT_EQ(s.core().ChannelHitCount(std::string(4000, 'L') + "99"), 1);
}

TEST(ChannelHits, CounterOffCountsNothing) {
  Session s(kStartedUp);
  s.core().options().channel_hit_counter = false;
  s.LogIn();
  s.Server("1002 JOIN alice 0000 [STAR]");
  EXPECT_FALSE(std::filesystem::exists(s.dir / "HitCounter.ini"));
}

TEST(LastTen, NewestFirstTenAtMostCaseOfTheLatest) {
  Session s(kStartedUp);
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
