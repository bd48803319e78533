// The events the program raises for the keys whose key text names them ("#User_Joined").
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "common/spellings.h"

namespace tc {

enum class Event {
  kJoinedChannel,
  kLeaveChannel,
  kUserJoined,
  kUserParts,
  kUserGoesOffline,
  kUserComesOnline,
  kConnected,
  kDisconnected,
  kDisconnecting,
  kAntiIdle,
  kMonitorAddUser,
  kUserSpoke,
  kUserWhispered,
  kUserEmote,
  kYouWhispered,
};

// Each event with the name keys and settings files know it by.
inline constexpr std::array<std::pair<Event, std::string_view>, 15> kEventNames = {{
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
    {Event::kYouWhispered, "#You_Whispered"},
}};

constexpr std::string_view EventName(Event event) {
  return SpellingOf(kEventNames, event);
}

// Only the exact spelling names an event; letter case counts.
constexpr std::optional<Event> EventFromName(std::string_view name) {
  return ValueSpelled(kEventNames, name);
}

}  // namespace tc
