// Event names as keys and settings files hold them: exact both ways, letter case included.
#include "automation/events.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

namespace tc::test {
namespace {

TEST(EventNames, EachEventKeepsItsNameBothWays) {
  const std::vector<std::pair<Event, std::string_view>> names = {
      {Event::kJoinedChannel, "#Joined_Channel"},
      {Event::kLeaveChannel, "#Leave_Channel"},
      {Event::kUserJoined, "#User_Joined"},
      {Event::kUserParts, "#User_Parts"},
      {Event::kUserGoesOffline, "#User_Goes_Offline"},
      {Event::kUserComesOnline, "#User_Comes_Online"},
      {Event::kConnected, "#Connected"},
      {Event::kDisconnected, "#Disconnected"},
      {Event::kDisconnecting, "#Disconnecting"},
      {Event::kAntiIdle, "#Anti_Idle"},
      {Event::kMonitorAddUser, "#Monitor_Add_User"},
      {Event::kUserSpoke, "#User_Spoke"},
      {Event::kUserWhispered, "#User_Whispered"},
      {Event::kUserEmote, "#User_Emote"},
      {Event::kYouWhispered, "#You_Whispered"}};
  EXPECT_EQ(names.size(), kEventNames.size());
  for (const auto& [event, name] : names) {
    EXPECT_EQ(EventName(event), name);
    EXPECT_EQ(EventFromName(name), event) << name;
  }
  EXPECT_EQ(EventFromName("#user_joined"), std::nullopt);
  EXPECT_EQ(EventFromName("User_Joined"), std::nullopt);
}

}  // namespace
}  // namespace tc::test
