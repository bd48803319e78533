// Icons of the channel list as products, flags, clients and states decide them.
#include <gtest/gtest.h>

#include "harness/session.h"

namespace tc::test {
namespace {

class UserIcons : public ::testing::Test {
 protected:
  void SetUp() override { s.LogIn("talvexbot", "Some Channel"); }
  int Icon(std::string_view product, std::string_view flags, std::string_view client = "",
           std::string_view state = "", std::string_view name = "someone") {
    return s.core().IconFor(name, product, state, client, flags);
  }
  Session s{kStartedUp};
};

// The choice itself is tested on its own; here, that the session feeds it the channel and state.
TEST_F(UserIcons, ChoiceSeesTheChannelAndTheOwnState) {
  EXPECT_EQ(Icon("[STAR]", "0002"), 2);
  EXPECT_EQ(Icon("[CHAT]", "0000", "", "", "talvexbot"), 8);
  s.core().RequestState(ClientState::kOperator);
  EXPECT_EQ(Icon("[CHAT]", "0000", "", "", "talvexbot"), 25);
  s.Server("1007 CHANNEL \"Talvex Chat\"");
  EXPECT_EQ(Icon("[STAR]", "0002"), 0);
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
