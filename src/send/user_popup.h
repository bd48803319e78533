// The channel list's popup menu: the window shows these captions in this order, and the core
// sends what the chosen caption says.
#pragma once

#include <array>
#include <string_view>

namespace tc {

enum class PopupSends {
  kWithUser,    // the caption, a space and the selected user
  kAlone,       // the caption by itself; no user needs to be selected
  kWhoisCheck,  // a whois whose answer is checked against the database
};

struct UserPopupEntry {
  std::string_view caption;  // also the command sent
  PopupSends sends;
};

inline constexpr std::array<UserPopupEntry, 10> kUserPopupEntries = {{
    {"/designate", PopupSends::kWithUser},
    {"/kick", PopupSends::kWithUser},
    {"/ban", PopupSends::kWithUser},
    {"/resign", PopupSends::kAlone},
    {"/whois", PopupSends::kWhoisCheck},
    {"/ignore", PopupSends::kWithUser},
    {"/unignore", PopupSends::kWithUser},
    {"/time", PopupSends::kAlone},
    {"/users", PopupSends::kAlone},
    {"/rejoin", PopupSends::kAlone},
}};

}  // namespace tc
