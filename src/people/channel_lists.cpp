#include "people/channel_lists.h"

#include "app/client.h"
#include "common/house.h"
#include "common/text.h"

namespace tc {

const std::array<std::string_view, 27>& PublicChannels() {
  static constexpr std::array<std::string_view, 27> kChannels = {
      "Adventurers Wanted",  "Beginners Only",         "Blizzard Chat 1",   "Blizzard Tech Support",
      "Bounty Hunters",      "Clan Recruitment",       "Classic Games",     "Custom Maps",
      "Free For All",        "Guild Members",          "Guild Recruitment", "Human Strategy",
      "Iron Man Challenges", "Ladder Challenges",      "One Vs One",        "Open Tech Support",
      "Opponents Wanted",    "Orc Strategy",           "Protoss Strategy",  "Scenario Games",
      "Talvex Chat",         "Terran Strategy",        "The Void",          "Town Square",
      "Trading Post",        "War2 Ladder Challenges", "Zerg Strategy"};
  return kChannels;
}

const std::array<std::string_view, 6>& PublicChannelWords() {
  static constexpr std::array<std::string_view, 6> kWords = {
      "blizzard chat", "diablo shareware", "diablo retail", "starcraft", "brood war", "war2bne"};
  return kWords;
}

bool Client::IsPublicChannel(std::string_view channel) const {
  if (!options_.dont_save_public) return false;
  if (IsHouseChannel(channel)) return false;
  const std::string lower = LowerCase1252(channel);
  for (std::string_view entry : PublicChannels()) {
    if (EqualsNoCase(entry, lower)) return true;
  }
  for (std::string_view word : PublicChannelWords()) {
    if (ContainsNoCase(lower, word)) return true;
  }
  return false;
}

std::string Client::AccountType(std::string_view name) const {
  const int row = accounts_.FindLast([&](const AccountRow& r) { return r.name == name; });
  if (row < 0 || !accounts_.RowAt(row).tracking.on()) return "None";
  return accounts_.RowAt(row).type;
}

std::string Client::ListedAccountType(std::string_view name) const {
  const int row = accounts_.FindLast([&](const AccountRow& r) { return r.name == name; });
  if (row < 0) return "None";
  return accounts_.RowAt(row).type;
}

}  // namespace tc
