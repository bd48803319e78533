#include "people/public_channels.h"

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

}  // namespace tc
