// The program's own names where other code compares with them: the channel it calls home and
// announces itself by, and the account that keeps operator status there.
#pragma once

#include <string_view>

#include "common/text.h"

namespace tc {

// The house channel's name and the client name this program announces in its identification
// whispers: the same words.
inline constexpr std::string_view kHouseName = "Talvex Chat";

// The account that holds operator status in the house channel; copies of the program hand it over.
inline constexpr std::string_view kHouseAccount = "TalvexChat";

// Channel names are compared with letter case ignored, as the server does.
inline bool IsHouseChannel(std::string_view channel) {
  return EqualsNoCase(channel, kHouseName);
}

// Account names are compared exactly: the list shows the server's spelling.
inline bool IsHouseAccount(std::string_view name) {
  return name == kHouseAccount;
}

}  // namespace tc
