// The profile as text: every list and characters beyond Windows-1252 go out and come back as the
// same file bytes; each malformed line is refused with its line number.
#include "persistence/profile_text.h"

#include <gtest/gtest.h>

#include "appearance/appearance.h"
#include "options/options.h"
#include "persistence/list_lines.h"
#include "persistence/profile_codec.h"

namespace tc::test {
namespace {

TEST(ProfileText, EveryListAndWiderCharactersComeBackAsTheSameFileBytes) {
  Options options;
  options.home_channel = "Ωmega 日本";
  AppearanceSettings appearance;
  TextTable custom_channels(1), icon_states(1);
  custom_channels.Append({"Кanal"});
  Table<AccountRow> accounts;
  accounts.Append({"alice", "Friends;", OnOffText::FromText("On")});
  Table<CustomColorRow> custom_colors;
  custom_colors.Append({"hello €", "$0000FF"});
  Table<KeyRow> keys;
  keys.Append({"hello*bot", "hi ☺ %user%", "Friends;", "1;", "", OnOffText::FromText("On")});
  Table<TimerRow> timers;
  timers.Append({"0", "10", "/say ünïcode ✓", "On;State:Available;", 0});
  Table<MonitorRow> monitor;
  monitor.Append({.search_account = "bob"});
  Table<ServerRow> servers;
  servers.Append({"???", "127.0.0.1", "Private"});
  Table<VariableRow> variables;
  variables.Append({"$greeting", "Grüße 🌍"});
  DefaultIconStates(icon_states);
  const ProfileLists lists{custom_channels, accounts, custom_colors, keys,       timers,
                           monitor,         servers,  variables,     icon_states};
  const std::string file = EncodeProfile({options, appearance}, lists);

  const std::string text = ProfileTextFromFile(file);
  for (const std::string_view line :
       {"ad=Ωmega 日本\n", "zc=Кanal\n", "cc=hello €Ñ$0000FFÑ\n", "ma=$greetingÑGrüße 🌍\n",
        "ui=hello*botÑhi ☺ %user%ÑFriends;Ñ1;ÑÑOnÑ\n", "ug=bob\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  const ProfileFromText back = ProfileFileFromText(text);
  EXPECT_FALSE(back.error);
  EXPECT_TRUE(back.warnings.empty());
  EXPECT_EQ(back.file_bytes, file);
}

TEST(ProfileText, AMalformedLineIsRefusedWithItsNumberAndNothingIsWritten) {
  const struct {
    std::string text;
    int line;
    std::string why;
  } cases[] = {
      {"ad=a\nad=\xD1\n", 2, "not UTF-8 (the text form is UTF-8 only)"},
      {"ad=a\n\nx\n", 3, "too short to hold a key (\"aa=\")"},
      {"ui=k\xC3\x91"
       "a\xC3\x91\n",
       1, "\"ui=\" needs 6 \"Ñ\", found 2"},
      {"ad=a\r\ncc=word\n", 2, "\"cc=\" needs 2 \"Ñ\", found 0"},
      {"ma=name only\n", 1, "\"ma=\" needs 1 \"Ñ\", found 0"},
      {"uz=alice<%|action|%>Friends;\n", 1, "\"uz=\" needs 1 \"<%|applies|%>\", found 0"},
      {"uf=10/say hi<%|applies|%>On;\n", 1, "\"uf=\" needs 1 \"<%|action|%>\", found 0"},
      {"uh=127.0.0.1\n", 1, "\"uh=\" needs 1 \"<%|notes|%>\", found 0"},
      {"zz=typo\nad=a\nql=many\n", 3, "not a valid integer for \"ql=\""},
      {"ad=a\nsd=not a colour\n", 2, "not a valid colour for \"sd=\""},
  };
  for (const auto& c : cases) {
    const ProfileFromText read = ProfileFileFromText(c.text);
    ASSERT_TRUE(read.error) << c.text;
    EXPECT_EQ(read.error->line_number, c.line) << c.text;
    EXPECT_EQ(read.error->text, c.why) << c.text;
    EXPECT_EQ(read.file_bytes, "") << c.text;
  }
}

}  // namespace
}  // namespace tc::test
