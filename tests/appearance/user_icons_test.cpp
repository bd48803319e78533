// Icons of the channel list as products, flags, clients and states decide them.
#include <gtest/gtest.h>

#include "harness/session.h"

namespace tc::test {
namespace {

class UserIcons : public ::testing::Test {
 protected:
  void SetUp() override {
    s.StartUp();
    s.LogIn("talvexbot", "Some Channel");
  }
  int Icon(std::string_view product, std::string_view flags, std::string_view client = "",
           std::string_view state = "", std::string_view name = "someone") {
    return s.core().GetImage(name, product, state, client, flags);
  }
  Session s;
};

TEST_F(UserIcons, ProductsFlagsAndClients) {
  EXPECT_EQ(Icon("[STAR]", "0000"), 0);
  EXPECT_EQ(Icon("[W2BN]", "0000"), 9);
  EXPECT_EQ(Icon("[XXXX]", "0000"), 3);
  EXPECT_EQ(Icon("[STAR]", "0002"), 2);
  EXPECT_EQ(Icon("[STAR]", "0008"), 2);  // the account's own channel operator on PvPGN
  EXPECT_EQ(Icon("[STAR]", "0132"), 7);
  EXPECT_EQ(Icon("[CHAT]", "0000", "Talvex Chat", "Away"), 26);
  EXPECT_EQ(Icon("[CHAT]", "0000", "talvex chat", "Whatever"), 8);
  EXPECT_EQ(Icon("[CHAT]", "0000", "Unknown Client", "Away"), 3);
  EXPECT_EQ(Icon("[STAR]", "0000", "", "", "TalvexChat"), 23);
}

TEST_F(UserIcons, OperatorsInTheProgramsOwnChannelKeepTheirProductIcon) {
  s.Server("1007 CHANNEL \"Talvex Chat\"");
  EXPECT_EQ(Icon("[STAR]", "0002"), 0);
  EXPECT_EQ(Icon("[STAR]", "0112"), 0);
  EXPECT_EQ(Icon("[STAR]", "0008"), 0);
}

TEST_F(UserIcons, OwnRowFollowsTheClientStateUnlessOperator) {
  EXPECT_EQ(Icon("[CHAT]", "0000", "", "", "talvexbot"), 8);
  s.core().Operator2Click();
  EXPECT_EQ(s.core().client_state(), "Operator");
  EXPECT_EQ(Icon("[CHAT]", "0000", "", "", "talvexbot"), 25);
  EXPECT_EQ(Icon("[CHAT]", "0002", "", "", "talvexbot"), 2);
}

TEST_F(UserIcons, RowsFollowFlagUpdatesAndTheOperatorIsRecordedFromTheList) {
  s.Server("1001 USER alice 0000 [STAR]");
  s.Server("1009 USER alice 0001");
  EXPECT_EQ(s.core().users().Cell(1, 1), "13");
  // Taking operator status in a channel makes the own state Operator when the option says so.
  s.Server("1009 USER talvexbot 0002");
  EXPECT_EQ(s.core().recorded_operator(), "talvexbot");
  EXPECT_EQ(s.core().client_state(), "Operator");
  s.Server("1009 USER alice 0002");
  EXPECT_EQ(s.core().client_state(), "Available");
}

TEST_F(UserIcons, HandingOperatorToTheNamesakeInTheProgramsChannel) {
  s.core().options().anti_flood = false;  // the send queue's pace is tested on its own
  s.Server("1007 CHANNEL \"Talvex Chat\"");
  s.Server("1001 USER talvexbot 0002 [CHAT]");
  s.Server("1001 USER TalvexChat 0000 [CHAT]");
  s.Written();
  s.Server("1009 USER talvexbot 0002");
  EXPECT_EQ(s.Written(), "/designate TalvexChat\r\n/resign\r\n");
}

}  // namespace
}  // namespace tc::test
