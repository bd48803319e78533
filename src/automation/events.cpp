// PerformEvent: the one entry through which the rest of the program raises a bot event.
#include <array>
#include <string_view>

#include "app/tc_main.h"

namespace tc {

namespace {

constexpr std::array<std::string_view, 15> kEvents = {
    "#Joined_Channel",    "#Leave_Channel",     "#User_Joined",      "#User_Parts",
    "#User_Goes_Offline", "#User_Comes_Online", "#Connected",        "#Disconnected",
    "#Disconnecting",     "#Anti_Idle",         "#Monitor_Add_User", "#User_Spoke",
    "#User_Whispered",    "#User_Emote",        "#You_Whispered"};

}  // namespace

void TC_Main::PerformEvent(std::string_view event, std::string_view user, std::string_view text) {
  bool known = false;
  for (std::string_view name : kEvents) known = known || name == event;
  if (!known) return;
  if (!event_hook_) return;
  // An event's actions are the program's own doing, whoever raised it.
  const AutomaticScope automatic(*this);
  event_hook_(event, user, text);
}

}  // namespace tc
