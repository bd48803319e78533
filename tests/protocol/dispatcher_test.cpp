// The dispatcher driven by server lines: channel membership, what is shown, what is sent back.
#include <gtest/gtest.h>

#include "harness/session.h"

namespace tc::test {
namespace {

class Dispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    s.core().options().anti_flood = false;  // the send queue's pace is tested on its own
    s.core().SetEventHook([this](Event e, std::string_view u, std::string_view t) {
      events.push_back(std::string(EventName(e)) + "|" + std::string(u) + "|" + std::string(t));
    });
    s.LogIn("talvexbot", "Some Channel");
    s.Written();
    s.ui.TakeLines();
    events.clear();
  }
  std::vector<std::string> UserNames() {
    std::vector<std::string> names;
    for (const auto& row : s.core().users().Rows()) names.push_back(row[0]);
    return names;
  }
  Session s{kStartedUp};
  std::vector<std::string> events;
};

TEST_F(Dispatcher, ChannelMembershipFollowsPresentJoinAndLeave) {
  s.Server("1001 USER alice 0000 [STAR]");
  s.Server("1002 JOIN bob 0000 [SEXP]");
  EXPECT_EQ(UserNames(), (std::vector<std::string>{"talvexbot", "alice", "bob"}));
  s.Server("1003 LEAVE alice  0000");  // a trailing space after the name is not part of it
  EXPECT_EQ(UserNames(), (std::vector<std::string>{"talvexbot", "bob"}));
  EXPECT_EQ(events.back(), "#User_Parts|alice|Some Channel");
  // Account tracking queues players, not chat users.
  ASSERT_EQ(s.core().account_tracking().Size(), 1u);
  EXPECT_EQ(s.core().account_tracking().Front(), "bob");
}

TEST_F(Dispatcher, TheUserListKeepsItsOrderAndFindsEachNameAfterRemovals) {
  for (int i = 0; i < 8; ++i) s.Server("1001 USER u" + std::to_string(i) + " 0000 [STAR]");
  s.Server("1003 LEAVE u3 0000");
  s.Server("1003 LEAVE u0 0000");
  s.Server("1002 JOIN u3 0000 [SEXP]");
  s.Server("1001 USER u5 0000 [STAR]");  // listed already: not a second row
  s.Server("1009 USER u6 0001");         // the icon lands on u6's row, wherever it now is
  s.Server("1003 LEAVE nobody 0000");
  EXPECT_EQ(UserNames(),
            (std::vector<std::string>{"talvexbot", "u1", "u2", "u4", "u5", "u6", "u7", "u3"}));
  EXPECT_EQ(s.core().users().Cell(5, 1), "13");
  EXPECT_EQ(s.core().users().Cell(6, 1), "0");
  s.Server("1007 CHANNEL \"Elsewhere\"");
  s.Server("1002 JOIN u6 0000 [STAR]");
  EXPECT_EQ(UserNames(), std::vector<std::string>{"u6"});
}

TEST_F(Dispatcher, AccountTrackingQueuesEachPlayerOnceNewestFirstAndStaysBounded) {
  s.Server("1002 JOIN bob 0000 [SEXP]");
  s.Server("1002 JOIN carol 0000 [STAR]");
  s.Server("1003 LEAVE bob 0000");
  s.Server("1002 JOIN BOB 0000 [SEXP]");
  EXPECT_EQ(s.core().account_tracking().Names(), (std::vector<std::string>{"BOB", "carol"}));
  for (size_t i = 0; i < AccountTracking::kLimit; ++i) {
    s.Server("1002 JOIN p" + std::to_string(i) + " 0000 [STAR]");
    s.Server("1003 LEAVE p" + std::to_string(i) + " 0000");
  }
  EXPECT_EQ(s.core().account_tracking().Size(), AccountTracking::kLimit);
  EXPECT_EQ(s.core().account_tracking().Front(), "p999");
  EXPECT_TRUE(s.core().account_tracking().Contains("P0"));
  EXPECT_FALSE(s.core().account_tracking().Contains("bob"));
}

TEST_F(Dispatcher, JoinsAndPartsAreHiddenInCrowdedChannels) {
  s.core().options().view_join_parts = ViewJoinParts::kIfLessOrEqual;
  s.core().options().view_join_parts_number = 15;
  for (int i = 2; i <= 14; ++i) s.Server("1001 USER user" + std::to_string(i) + " 0000 [STAR]");
  s.Server("1002 JOIN fifteen 0000 [STAR]");
  EXPECT_TRUE(s.ui.Showed("Joins ( fifteen ) (09:30:00)"));
  s.Server("1002 JOIN sixteen 0000 [STAR]");
  EXPECT_FALSE(s.ui.Showed("Joins ( sixteen ) (09:30:00)"));
  s.Server("1003 LEAVE sixteen 0000");
  EXPECT_TRUE(s.ui.Showed("Parts ( sixteen ) (09:30:00)"));
  s.core().options().view_join_parts = ViewJoinParts::kNever;
  s.Server("1002 JOIN hidden 0000 [STAR]");
  EXPECT_FALSE(s.ui.Showed("Joins ( hidden ) (09:30:00)"));
}

TEST_F(Dispatcher, AutoBanOnJoinUsesOnlyRowsThatAreOn) {
  s.core().accounts().Append({"spammer", "Friend;Ban;", OnOff::kOn});
  s.core().accounts().Append({"sleeper", "Ban;", OnOff::kOff});
  s.Server("1002 JOIN spammer 0000 [STAR]");
  s.Server("1002 JOIN sleeper 0000 [STAR]");
  s.Server("1002 JOIN Spammer 0000 [STAR]");
  EXPECT_EQ(s.Written(), "/ban spammer\r\n");
}

TEST_F(Dispatcher, OperatorFlagsRecordTheOperator) {
  s.Server("1009 USER alice 0012");
  EXPECT_EQ(s.core().recorded_operator(), "alice");
  s.Server("1009 USER bob 0003");
  EXPECT_EQ(s.core().recorded_operator(), "alice");
  s.Server("1009 USER bob 0002");
  EXPECT_EQ(s.core().recorded_operator(), "bob");
  // Not a flags line at all: neither handled nor shown.
  s.Server("1009 CHANNEL carol 0002");
  EXPECT_EQ(s.core().recorded_operator(), "bob");
  EXPECT_TRUE(s.ui.lines.empty());
  // An account operator gets the gavel.
  s.Server("1001 USER opal 0010 [CHAT]");
  s.Server("1009 USER opal 0008");
  EXPECT_EQ(s.core().users().Cell(1, 1), "2");
  EXPECT_EQ(s.core().recorded_operator(), "opal");
}

TEST_F(Dispatcher, LosingTheOperatorWhenAloneRejoinsOnce) {
  s.Server("1001 USER opal 0002 [CHAT]");
  s.Server("1009 USER opal 0002");
  s.Written();
  s.Server("1003 LEAVE opal 0002");
  EXPECT_EQ(s.Written(), "/join The Void\r\n/join Some Channel\r\n");
  // Back in the channel and still not the operator: the once-a-second rule tries no more.
  s.Server("1007 CHANNEL \"The Void\"");
  s.Server("1007 CHANNEL \"Some Channel\"");
  s.Server("1001 USER talvexbot 0000 [CHAT]");
  s.Written();
  s.Advance(1000);
  EXPECT_EQ(s.Written(), "/join The Void\r\n/join Some Channel\r\n");
  s.Advance(60 * 1000);
  EXPECT_EQ(s.Written().find("/join"), std::string::npos);
}

// Names that name each other end: Prepare.SelfReferenceTerminates, the same substitution.
TEST_F(Dispatcher, ShownLinesHaveTheirVariablesSubstituted) {
  s.core().variables().Append({"$me$", "talvexbot"});
  s.core().ShowLocal("System ( I am $ME$ and $me$ )");
  EXPECT_EQ(s.ui.Texts().back(), "System ( I am talvexbot and talvexbot )");
}

// One line per code, one byte short of its layout (the parser's own table holds every cut), and
// lines of no code: none reaches a handler, so nothing is shown, sent or recorded.
TEST_F(Dispatcher, LinesTooShortForTheirCodeAreNeitherShownNorActedOn) {
  s.core().whisper_recipients().Append({"x"});
  for (const std::string line :
       {"1001 USER x 0000 [STAR", "1002 JOIN x 0000 [STA", "1003 LEAVE x 000",
        "1004 WHISPER x 0000 ", "1005 TALK x 0000 ", "1007 CHANNEL \"", "1009 USER x 000",
        "1010 WHISPER x 0000 ", "1018 INFO ", "1019 ERROR ", "1023 EMOTE x 0000 ", "1004",
        "1005 TALK", "", "\xff\xfe\x80"}) {
    s.Server(line);
  }
  s.Server(std::string("1005\0TALK", 9));
  EXPECT_TRUE(s.ui.lines.empty());
  EXPECT_EQ(s.Written(), "");
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(UserNames(), std::vector<std::string>{"talvexbot"});
  EXPECT_EQ(s.core().current_channel(), "Some Channel");
}

}  // namespace
}  // namespace tc::test

namespace tc::test {
namespace {

// The shutdown saves everyone as gone, and what others said cannot forge their record on disk.
TEST(DispatcherRecords, WhatOthersSayCannotForgeTheirRecordOnDisk) {
  TempDir dir;
  {
    Session s(dir.path(), kStartedUp);
    s.LogIn("talvexbot", "Some Channel");
    s.Server("1001 USER alice 0000 [STAR]");
    s.Server("1002 JOIN mallory 0000 [STAR]");
    s.Server("1005 TALK mallory 0000 \"hi<%Location%>Forged<%In_Channel%>Yes\"");
    s.Server("1003 LEAVE mallory 0000");
    s.core().Shutdown();
  }
  Session again(dir.path(), kStartedUp);
  TC_DataBase& db = again.core().database();
  EXPECT_EQ(db.GetUserField("mallory", UserField::kLocation), "Unavailable");
  EXPECT_EQ(db.GetUserField("mallory", UserField::kIn_Channel), "No");
  EXPECT_EQ(db.GetUserField("alice", UserField::kIn_Channel), "No");
  EXPECT_EQ(db.GetUserField("talvexbot", UserField::kStatus), "Disconnected");
}

TEST(DispatcherRecords, ANewUserHasNoAccountNumberUntilOneIsKnown) {
  Session s(kStartedUp);
  s.LogIn("talvexbot", "Some Channel");
  s.Server("1002 JOIN alice 0000 [STAR]");
  EXPECT_EQ(s.core().database().GetUserField("alice", UserField::kAccount_Number), "N/A");
  EXPECT_EQ(s.core().database().GetUserField("alice", UserField::kNumber_Times_Seen), "1");
}

}  // namespace
}  // namespace tc::test
