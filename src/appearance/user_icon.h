// Which picture the channel list shows for a user. The numbers are stored in the user database's
// Icon field and index the list's image strip, so they never change.
#pragma once

#include <string_view>

namespace tc {

enum class UserIcon : int {
  kStarcraft = 0,
  kDiablo = 1,
  kChannelOperator = 2,
  kChat = 3,  // also any product tag not known here
  kBroodWar = 4,
  kStarcraftShareware = 5,
  kDiabloShareware = 6,
  kSquelched = 7,
  kOurClientAvailable = 8,  // a copy of this program, or of its earlier release
  kWarcraft2 = 9,
  kStarcraftJapan = 10,
  kFlags0200 = 11,
  kFlags0400 = 12,
  kBlizzardRepresentative = 13,
  kSpeaker = 14,
  kServerAdministrator = 15,  // kept for stored records; today "0008" shows the gavel
  kFlags0800 = 16,
  kFlags1000 = 17,
  kPebbleChat = 18,
  kIronbot = 19,
  kMoonlight = 20,
  kSparrow = 21,
  kFoxglove = 22,
  kHouseAccount = 23,
  kOurClientDoNotDisturb = 24,
  kOurClientOperator = 25,
  kOurClientAway = 26,
};

// The number written to the user database and used as the list row's image index.
constexpr int StoredNumber(UserIcon icon) {
  return static_cast<int>(icon);
}

// Everything the choice depends on. Texts are as the server and the identification whispers
// gave them; the choice only compares them.
struct IconInputs {
  std::string_view name;
  std::string_view product;      // "[STAR]", "[CHAT]", ...
  std::string_view flags;        // four hex digits
  std::string_view client_name;  // the chat client the user announced, or empty
  std::string_view state;        // the state that client announced
  std::string_view own_account;
  std::string_view own_state;  // this client's own state, empty before the first
  bool in_house_channel = false;
};

// Pure: the same inputs always give the same icon.
UserIcon ChooseIcon(const IconInputs& in);

}  // namespace tc
