// The list lines: each list's line form, its reading rules and the round trip of every list.
#include "persistence/list_lines.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "harness/session.h"
#include "persistence/profile_files.h"

namespace tc::test {
namespace {

const std::string kMark(kFieldMark);

// The lists as a profile's lines leave them: the servers start with the built-in ones and the
// icon states fall back to the default, as in a fresh window.
struct Lists {
  TextTable channels{1};
  Table<AccountRow> accounts;
  Table<CustomColorRow> colors;
  Table<KeyRow> keys;
  Table<TimerRow> timers;
  Table<MonitorRow> monitor;
  Table<ServerRow> servers;
  Table<VariableRow> variables;
  TextTable icons{1};
  explicit Lists(const std::vector<std::string>& lines) {
    servers.Assign(BuiltInServers());
    for (const std::string& line : lines) {
      ReadListLine({channels, accounts, colors, keys, timers, monitor, servers, variables, icons},
                   line);
    }
    DefaultIconStates(icons);
  }
};

TEST(ListLines, CustomChannelsIgnoreLetterCaseAndStaySorted) {
  const Lists l({"zc=op room", "zc=Op Room", "zc=", "zc=Clan Test", "zc=alpha"});
  EXPECT_EQ(l.channels.Rows(),
            (std::vector<TextTable::Row>{{"alpha"}, {"Clan Test"}, {"op room"}}));
}

TEST(ListLines, AccountsSkipExactDuplicatesAndReadOlderForms) {
  const Lists l(
      {"uz=bob<%|action|%>Friend;<%|applies|%>On", "uz=Bob<%|action|%>Enemy;<%|applies|%>On",
       "uz=bob<%|action|%>Ban;<%|applies|%>Off", "ua=carol", "ub=dave", "uc=erin", "ud=frank",
       "ua=", "uz=gina<%|ACTION|%>Ignore;<%|Applies|%>Off", "uz=nomarkers-at-all"});
  EXPECT_EQ(l.accounts.Rows(),
            (std::vector<AccountRow>{{"", "", OnOffText::FromText("-at-all")},  // still a row
                                     {"bob", "Friend;", OnOff::kOn},  // the first one stays
                                     {"Bob", "Enemy;", OnOff::kOn},
                                     {"carol", "Friends", OnOff::kOn},
                                     {"dave", "Enemies", OnOff::kOn},
                                     {"erin", "Ignore", OnOff::kOn},
                                     {"frank", "Auto Ban", OnOff::kOn},
                                     {"gina", "Ignore;", OnOff::kOff}}));  // markers in any case
}

TEST(ListLines, CustomColoursNeedTheirText) {
  const Lists l({"cc=zeta" + kMark + "clRed" + kMark, "cc=alpha" + kMark + "clBlue",
                 "cc=" + kMark + "clLime" + kMark, "cc=no marks"});
  EXPECT_EQ(l.colors.Rows(), (std::vector<CustomColorRow>{{"alpha", ""}, {"zeta", "clRed"}}));
}

TEST(ListLines, KeysLoseTheirHistoryAndReadOlderForms) {
  const Lists l({"ui=hello" + kMark + "Hi!" + kMark + "Friends;" + kMark + "Messages;" + kMark +
                     "x" + kMark + "On;" + kMark,
                 "ui=short" + kMark + "act", "ue=old<%|action|%>answer<%|applies|%>All",
                 "ue=old2<%|action|%>a<%|applies|%>Odd"});
  const OnOffText none = OnOffText::FromText("");
  EXPECT_EQ(l.keys.Rows(),
            (std::vector<KeyRow>{
                {"hello", "Hi!", "Friends;", "Messages;", "", OnOffText::FromText("On;")},
                {"short", "", "", "", "", none},
                {"old", "answer", "Friends;Enemies;Operators;Other;", "", "", none},
                {"old2", "a", "Odd", "", "", none}}));
}

TEST(ListLines, TimersGetTheNextFreeNameAndTheOlderStateIsWidened) {
  const Lists l({"uf=60<%|action|%>/say one<%|applies|%>On;<%|name|%>0",
                 "uf=60<%|action|%>/say two<%|applies|%>On;<%|name|%>1",
                 "uf=30<%|action|%>/say three<%|applies|%>Off<%|name|%>",
                 "uf=10<%|action|%>/say four<%|applies|%>On", "uf=60"});
  const std::string widened = ";State:Operator;State:Away;State:DND;State:Available;";
  EXPECT_EQ(l.timers.Rows(), (std::vector<TimerRow>{{"0", "60", "/say one", "On;", 0},
                                                    {"1", "60", "/say two", "On;", 0},
                                                    {"2", "30", "/say three", "Off" + widened, 0},
                                                    {"3", "10", "/say four", "On" + widened, 0},
                                                    {"4", "", "", "", 0}}));
}

TEST(ListLines, MonitoredAccountsStartOfflineAndVariablesKeepLaterMarks) {
  const Lists l({"ug=watch", "ug=watch", "ug=Watch", "ma=$b$" + kMark + "one" + kMark + "two",
                 "ma=$a$" + kMark, "ma=" + kMark + "x", "ma=nomark",
                 "ma=$x\u00F1y$" + kMark + "v"});
  EXPECT_EQ(l.monitor.Rows(),
            (std::vector<MonitorRow>{{.search_account = "watch"}, {.search_account = "Watch"}}));
  EXPECT_EQ(l.monitor.RowAt(0).status, MonitorStatus::kOffline);
  // The letter n with tilde is a field mark too.
  EXPECT_EQ(l.variables.Rows(),
            (std::vector<VariableRow>{
                {"$a$", ""}, {"$b$", "one" + kMark + "two"}, {"$x", "y$" + kMark + "v"}}));
}

TEST(ListLines, StoredServersAddOnlyNewAddressesAndBuiltInsNameTheirOwnNetwork) {
  const Lists l({"uh=127.0.0.1<%|notes|%>Public", "uh=10.0.0.7<%|notes|%>Private",
                 "uh=rubattle.net<%|notes|%>Public", "uh=10.0.0.8<%|notes|%>Public",
                 "uh=10.0.0.9"});
  const Table<ServerRow>& sv = l.servers;
  ASSERT_EQ(sv.RowCount(), 17);
  EXPECT_EQ(sv.RowAt(0), (ServerRow{"???", "127.0.0.1", "Private"}));
  EXPECT_EQ(std::vector<ServerRow>(sv.Rows().end() - 3, sv.Rows().end()),
            (std::vector<ServerRow>{
                {"???", "10.0.0.7", "Private"}, {"???", "10.0.0.8", "Public"}, {"???", "", "9"}}));
  const auto type_of = [&sv](std::string_view address) {
    return sv.RowAt(sv.FindFirst([&](const ServerRow& r) { return r.address == address; })).type;
  };
  // A stored type of a built-in row does not lump it in with the others.
  EXPECT_EQ(type_of("rubattle.net"), "rubattle.net");
  EXPECT_EQ(type_of("backup.war2.ru"), "war2.ru");
  for (int row = 1; row < 14; ++row) {
    const std::string& host = sv.RowAt(row).address;
    const std::string& network = sv.RowAt(row).type;
    EXPECT_TRUE(host == network || host.ends_with("." + network)) << host << " " << network;
  }
}

TEST(ListLines, IconStatesAreTwelveRowsOrTheDefault) {
  EXPECT_EQ(Lists({"ga=A;B;C;"}).icons.Rows(),
            (std::vector<TextTable::Row>{
                {"A"}, {"B"}, {"C"}, {""}, {""}, {""}, {""}, {""}, {""}, {""}, {""}, {""}}));
  const Lists defaulted({"ga="});
  ASSERT_EQ(defaulted.icons.RowCount(), 12);
  EXPECT_EQ(defaulted.icons.Cell(0, 0), "Disconnected");
  EXPECT_EQ(defaulted.icons.Cell(4, 0), "Operator");
  EXPECT_EQ(defaulted.icons.Cell(11, 0), "-----");
  // Reading the profile falls back the same way.
  TempDir dir;
  WriteBytes(ProfilePath(dir.path(), "Default"), Coded({"ga="}));
  Session s(dir.path(), kStartedUp);
  EXPECT_EQ(s.core().appearance().tray_icons().table().Rows(), defaulted.icons.Rows());
}

// The on/off and monitor status fields keep their stored spellings; other text counts as off and
// is written back as it was read.
TEST(ListLines, ClosedSetFieldsKeepTheirSpellings) {
  struct Case {
    std::string_view text;
    OnOff value;
  };
  for (const Case& c : {Case{"On", OnOff::kOn}, Case{"Off", OnOff::kOff}, Case{"on", OnOff::kOff},
                        Case{"", OnOff::kOff}, Case{"On;", OnOff::kOff}}) {
    const OnOffText field = OnOffText::FromText(c.text);
    EXPECT_EQ(field.value(), c.value) << c.text;
    EXPECT_EQ(field.ToText(), c.text);
  }
  EXPECT_EQ(OnOffText(OnOff::kOn).ToText(), "On");
  EXPECT_EQ(OnOffText(OnOff::kOff).ToText(), "Off");
  for (const MonitorStatus status : {MonitorStatus::kOnline, MonitorStatus::kOffline}) {
    EXPECT_EQ(MonitorStatusFromText(ToText(status)), status);
  }
  EXPECT_EQ(ToText(MonitorStatus::kOnline), "*Online");
  EXPECT_EQ(ToText(MonitorStatus::kOffline), "Offline");
  EXPECT_EQ(MonitorStatusFromText("online"), std::nullopt);
}

TEST(ListLines, SortedTextComparison) {
  EXPECT_LT(CompareLocaleText("apple", "Banana"), 0);
  EXPECT_LT(CompareLocaleText("banana", "Banana"), 0);
  EXPECT_GT(CompareLocaleText("Banana", "banana"), 0);
  EXPECT_EQ(CompareLocaleText("same", "same"), 0);
  EXPECT_LT(CompareLocaleText("ab", "abc"), 0);
  EXPECT_EQ(CompareNoCaseText("ABC", "abc"), 0);
  Table<VariableRow> t;
  for (const char* name : {"b", "B", "a", "A", "b"}) InsertSorted(t, VariableRow{name, ""});
  std::vector<std::string> names;
  for (const VariableRow& row : t.Rows()) names.push_back(row.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "A", "b", "b", "B"}));
}

}  // namespace
}  // namespace tc::test
