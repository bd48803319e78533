#include "appearance/user_icon.h"

#include <array>
#include <string>

#include "common/house.h"
#include "common/text.h"

namespace tc {

namespace {

struct ProductIcon {
  std::string_view product;
  UserIcon icon;
};
constexpr std::array<ProductIcon, 8> kProducts = {{{"[STAR]", UserIcon::kStarcraft},
                                                   {"[DRTL]", UserIcon::kDiablo},
                                                   {"[CHAT]", UserIcon::kChat},
                                                   {"[SEXP]", UserIcon::kBroodWar},
                                                   {"[SSHR]", UserIcon::kStarcraftShareware},
                                                   {"[DSHR]", UserIcon::kDiabloShareware},
                                                   {"[W2BN]", UserIcon::kWarcraft2},
                                                   {"[JSTR]", UserIcon::kStarcraftJapan}}};

// Other chat clients that announce themselves with an identification whisper.
struct ClientIcon {
  std::string_view name;  // lower case
  UserIcon icon;
};
constexpr std::array<ClientIcon, 5> kOtherClients = {{{"pebble chat", UserIcon::kPebbleChat},
                                                      {"ironbot", UserIcon::kIronbot},
                                                      {"moonlight", UserIcon::kMoonlight},
                                                      {"sparrow", UserIcon::kSparrow},
                                                      {"foxglove", UserIcon::kFoxglove}}};
constexpr std::string_view kEarlierRelease = "talvex chat 1999";

struct FlagsIcon {
  std::string_view flags;
  UserIcon icon;
};
// Flags that replace the product's icon whatever the channel.
constexpr auto kFlagIcons = std::to_array<FlagsIcon>({{"0001", UserIcon::kBlizzardRepresentative},
                                                      {"0004", UserIcon::kSpeaker},
                                                      {"0010", UserIcon::kChat},
                                                      {"0110", UserIcon::kChat},
                                                      {"0020", UserIcon::kSquelched},
                                                      {"0030", UserIcon::kSquelched},
                                                      {"0032", UserIcon::kSquelched},
                                                      {"0130", UserIcon::kSquelched},
                                                      {"0132", UserIcon::kSquelched},
                                                      {"0200", UserIcon::kFlags0200},
                                                      {"0400", UserIcon::kFlags0400},
                                                      {"0800", UserIcon::kFlags0800},
                                                      {"1000", UserIcon::kFlags1000}});
// Operator flags: the gavel, except in the house channel where everyone keeps the product icon.
// "0008" is the account's own channel operator on servers of today: a gavel like the rest.
constexpr std::array<std::string_view, 4> kOperatorFlags = {"0002", "0008", "0012", "0112"};

UserIcon OurClientIcon(std::string_view state) {
  if (state == "Away") return UserIcon::kOurClientAway;
  if (state == "DND") return UserIcon::kOurClientDoNotDisturb;
  if (state == "Operator") return UserIcon::kOurClientOperator;
  return UserIcon::kOurClientAvailable;
}

bool IsOurClient(std::string_view lower_client) {
  return lower_client == kEarlierRelease || EqualsNoCase(lower_client, kHouseName);
}

}  // namespace

UserIcon ChooseIcon(const IconInputs& in) {
  UserIcon icon = UserIcon::kChat;
  for (const ProductIcon& p : kProducts) {
    if (p.product == in.product) icon = p.icon;
  }
  for (const FlagsIcon& f : kFlagIcons) {
    if (f.flags == in.flags) icon = f.icon;
  }
  for (std::string_view flags : kOperatorFlags) {
    if (flags == in.flags && !in.in_house_channel) icon = UserIcon::kChannelOperator;
  }
  if (icon == UserIcon::kChat && !in.client_name.empty()) {
    const std::string client = LowerCase1252(in.client_name);
    for (const ClientIcon& c : kOtherClients) {
      if (c.name == client) icon = c.icon;
    }
    if (IsOurClient(client)) icon = OurClientIcon(in.state);
  }
  if (in.name == in.own_account && icon != UserIcon::kChannelOperator && !in.own_state.empty() &&
      in.own_state != "Disconnected") {
    icon = OurClientIcon(in.own_state);
  }
  if (IsHouseAccount(in.name)) icon = UserIcon::kHouseAccount;
  return icon;
}

}  // namespace tc
