// The list lines: each list's line form, its reading rules and the round trip of every list.
#include "persistence/list_lines.h"

#include <gtest/gtest.h>

#include <random>

#include "harness/session.h"
#include "persistence/profile_files.h"

namespace tc::test {
namespace {

const std::string kMark(1, kFieldMark);

std::vector<std::string> Column(const TextTable& table, int column) {
  std::vector<std::string> out;
  for (int row = 0; row < table.RowCount(); ++row) out.push_back(table.Cell(row, column));
  return out;
}

// A session started on a Default profile of these plain lines.
struct Started {
  TempDir dir;
  std::unique_ptr<Session> s;
  explicit Started(const std::vector<std::string>& lines) {
    WriteBytes(ProfilePath(dir.path(), "Default"), Coded(lines));
    s = std::make_unique<Session>(dir.path());
    s->StartUp();
  }
  Client& core() { return s->core(); }
};

TEST(ListLines, CustomChannelsIgnoreLetterCaseAndStaySorted) {
  Started t({"zc=op room", "zc=Op Room", "zc=", "zc=Clan Test", "zc=alpha"});
  EXPECT_EQ(Column(t.core().custom_channels(), 0),
            (std::vector<std::string>{"alpha", "Clan Test", "op room"}));
}

TEST(ListLines, AccountsSkipExactDuplicatesAndReadOlderForms) {
  Started t({"uz=bob<%|action|%>Friend;<%|applies|%>On", "uz=Bob<%|action|%>Enemy;<%|applies|%>On",
             "uz=bob<%|action|%>Ban;<%|applies|%>Off", "ua=carol", "ub=dave", "uc=erin", "ud=frank",
             "ua=", "uz=gina<%|ACTION|%>Ignore;<%|Applies|%>Off"});
  const Table<AccountRow>& a = t.core().accounts();
  ASSERT_EQ(a.RowCount(), 7);
  EXPECT_EQ(a.RowAt(0), (AccountRow{"bob", "Friend;", OnOff::kOn}));  // the first one stays
  EXPECT_EQ(a.RowAt(1).name, "Bob");
  EXPECT_EQ(a.RowAt(2), (AccountRow{"carol", "Friends", OnOff::kOn}));
  EXPECT_EQ(a.RowAt(3), (AccountRow{"dave", "Enemies", OnOff::kOn}));
  EXPECT_EQ(a.RowAt(4), (AccountRow{"erin", "Ignore", OnOff::kOn}));
  EXPECT_EQ(a.RowAt(5), (AccountRow{"frank", "Auto Ban", OnOff::kOn}));
  EXPECT_EQ(a.RowAt(6), (AccountRow{"gina", "Ignore;", OnOff::kOff}));  // markers in any case
}

TEST(ListLines, MissingMarkersGiveShortFieldsButStillARow) {
  Table<AccountRow> accounts;
  ReadAccountLine(accounts, "uz=nomarkers-at-all");
  ASSERT_EQ(accounts.RowCount(), 1);
  EXPECT_EQ(accounts.RowAt(0), (AccountRow{"", "", OnOffText::FromText("-at-all")}));
  Table<ServerRow> servers;
  ReadServerLine(servers, "uh=10.0.0.9");
  ASSERT_EQ(servers.RowCount(), 1);
  EXPECT_EQ(servers.RowAt(0), (ServerRow{"???", "", "9"}));
  Table<TimerRow> timers;
  ReadTimerLine(timers, "uf=60");
  ASSERT_EQ(timers.RowCount(), 1);
  EXPECT_EQ(timers.RowAt(0), (TimerRow{"0", "", "", "", 0}));
}

TEST(ListLines, CustomColoursNeedTheirText) {
  Started t({"cc=zeta" + kMark + "clRed" + kMark, "cc=alpha" + kMark + "clBlue",
             "cc=" + kMark + "clLime" + kMark, "cc=no marks"});
  const Table<CustomColorRow>& c = t.core().custom_colors();
  ASSERT_EQ(c.RowCount(), 2);
  EXPECT_EQ(c.RowAt(0), (CustomColorRow{"alpha", ""}));
  EXPECT_EQ(c.RowAt(1), (CustomColorRow{"zeta", "clRed"}));
}

TEST(ListLines, KeysLoseTheirHistoryAndReadOlderForms) {
  Started t({"ui=hello" + kMark + "Hi!" + kMark + "Friends;" + kMark + "Messages;" + kMark + "x" +
                 kMark + "On;" + kMark,
             "ui=short" + kMark + "act", "ue=old<%|action|%>answer<%|applies|%>All",
             "ue=old2<%|action|%>a<%|applies|%>Odd"});
  const Table<KeyRow>& k = t.core().keys();
  const OnOffText none = OnOffText::FromText("");
  ASSERT_EQ(k.RowCount(), 4);
  EXPECT_EQ(k.RowAt(0),
            (KeyRow{"hello", "Hi!", "Friends;", "Messages;", "", OnOffText::FromText("On;")}));
  EXPECT_EQ(k.RowAt(1), (KeyRow{"short", "", "", "", "", none}));
  EXPECT_EQ(k.RowAt(2),
            (KeyRow{"old", "answer", "Friends;Enemies;Operators;Other;", "", "", none}));
  EXPECT_EQ(k.RowAt(3), (KeyRow{"old2", "a", "Odd", "", "", none}));
}

TEST(ListLines, TimersGetTheNextFreeNameAndTheOlderStateIsWidened) {
  Started t({"uf=60<%|action|%>/say one<%|applies|%>On;<%|name|%>0",
             "uf=60<%|action|%>/say two<%|applies|%>On;<%|name|%>1",
             "uf=30<%|action|%>/say three<%|applies|%>Off<%|name|%>",
             "uf=10<%|action|%>/say four<%|applies|%>On"});
  const Table<TimerRow>& tm = t.core().timers();
  ASSERT_EQ(tm.RowCount(), 4);
  EXPECT_EQ(tm.RowAt(2), (TimerRow{"2", "30", "/say three",
                                   "Off;State:Operator;State:Away;State:DND;State:Available;", 0}));
  EXPECT_EQ(tm.RowAt(3), (TimerRow{"3", "10", "/say four",
                                   "On;State:Operator;State:Away;State:DND;State:Available;", 0}));
}

TEST(ListLines, MonitoredAccountsStartOffline) {
  Started t({"ug=watch", "ug=watch", "ug=Watch"});
  const Table<MonitorRow>& m = t.core().monitor();
  ASSERT_EQ(m.RowCount(), 2);
  EXPECT_EQ(m.RowAt(0), (MonitorRow{MonitorStatus::kOffline, "watch", "???", "???", "???"}));
}

TEST(ListLines, AStoredBuiltInServerAddsNothing) {
  Started t({"uh=127.0.0.1<%|notes|%>Public", "uh=10.0.0.7<%|notes|%>Private"});
  const Table<ServerRow>& sv = t.core().servers();
  ASSERT_EQ(sv.RowCount(), 15);
  EXPECT_EQ(sv.RowAt(0), (ServerRow{"???", "127.0.0.1", "Private"}));
  EXPECT_EQ(sv.RowAt(14), (ServerRow{"???", "10.0.0.7", "Private"}));
}

TEST(ListLines, EveryBuiltInPublicServerNamesItsOwnNetwork) {
  Started t({"uh=rubattle.net<%|notes|%>Public", "uh=10.0.0.8<%|notes|%>Public"});
  const Table<ServerRow>& sv = t.core().servers();
  const auto type_of = [&sv](std::string_view address) {
    const int row = sv.FindFirst([&](const ServerRow& r) { return r.address == address; });
    return row < 0 ? std::string("(none)") : sv.RowAt(row).type;
  };
  // A stored type of a built-in row does not lump it in with the others.
  EXPECT_EQ(type_of("rubattle.net"), "rubattle.net");
  EXPECT_EQ(type_of("10.0.0.8"), "Public");
  EXPECT_EQ(type_of("backup.war2.ru"), "war2.ru");
  for (int row = 1; row < 14; ++row) {
    const std::string& host = sv.RowAt(row).address;
    const std::string& network = sv.RowAt(row).type;
    EXPECT_TRUE(host == network || host.ends_with("." + network)) << host << " " << network;
  }
}

TEST(ListLines, VariablesKeepLaterMarksInTheirValue) {
  Started t({"ma=$b$" + kMark + "one" + kMark + "two", "ma=$a$" + kMark, "ma=" + kMark + "x",
             "ma=nomark"});
  const Table<VariableRow>& v = t.core().variables();
  ASSERT_EQ(v.RowCount(), 2);
  EXPECT_EQ(v.RowAt(0), (VariableRow{"$a$", ""}));
  EXPECT_EQ(v.RowAt(1), (VariableRow{"$b$", "one" + kMark + "two"}));
}

TEST(ListLines, IconStatesAreTwelveRowsOrTheDefault) {
  Started three({"ga=A;B;C;"});
  const TextTable& icons = three.core().appearance().tray_icons().table();
  ASSERT_EQ(icons.RowCount(), 12);
  EXPECT_EQ(Column(icons, 0),
            (std::vector<std::string>{"A", "B", "C", "", "", "", "", "", "", "", "", ""}));
  Started empty({"ga="});
  const TextTable& defaulted = empty.core().appearance().tray_icons().table();
  ASSERT_EQ(defaulted.RowCount(), 12);
  EXPECT_EQ(defaulted.Cell(0, 0), "Disconnected");
  EXPECT_EQ(defaulted.Cell(4, 0), "Operator");
  EXPECT_EQ(defaulted.Cell(11, 0), "-----");
}

TEST(ListLines, TheLetterNWithTildeIsAFieldMarkToo) {
  Table<VariableRow> v;
  ReadVariableLine(v, "ma=$x\xF1y$" + kMark + "v");
  EXPECT_EQ(v.RowAt(0), (VariableRow{"$x", "y$" + kMark + "v"}));
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

// --- Every list survives a write and a read -----------------------------------------------------

// Bytes 0-255; the field marks only where no mark ends the field.
std::string Text(std::mt19937& rng, size_t max_length, bool allow_marks) {
  std::uniform_int_distribution<size_t> length(1, max_length);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string text(length(rng), '\0');
  for (char& c : text) {
    do {
      c = static_cast<char>(byte(rng));
    } while (!allow_marks && (c == kFieldMark || c == '\xF1'));
  }
  return text;
}

TEST(ListLines, EveryListSurvivesAWriteAndARead) {
  std::mt19937 rng(5273);
  for (int round = 0; round < 25; ++round) {
    TempDir dir;
    std::vector<TextTable::Row> channels, icons;
    std::vector<AccountRow> accounts;
    std::vector<CustomColorRow> colors;
    std::vector<KeyRow> keys;
    std::vector<TimerRow> timers;
    std::vector<MonitorRow> monitor;
    std::vector<ServerRow> servers;
    std::vector<VariableRow> variables;
    {
      Session s(dir.path());
      s.StartUp();
      Client& m = s.core();
      for (int i = 0; i < 8; ++i) {
        const std::string channel = Text(rng, 12, true);
        bool duplicate = false;
        for (const auto& row : m.custom_channels().Rows()) {
          duplicate = duplicate || CompareNoCaseText(row[0], channel) == 0;
        }
        if (!duplicate) InsertSorted(m.custom_channels(), {channel}, true);
        const std::string account = Text(rng, 12, true);
        if (m.accounts().FindFirst([&](const AccountRow& r) { return r.name == account; }) < 0) {
          InsertSorted(m.accounts(), AccountRow{account, Text(rng, 12, true),
                                                OnOffText::FromText(Text(rng, 4, true))});
        }
        InsertSorted(m.custom_colors(), {Text(rng, 10, false), Text(rng, 10, false)});
        m.keys().Append({Text(rng, 10, false), Text(rng, 20, false), Text(rng, 10, false),
                         Text(rng, 10, false), "", OnOffText::FromText(Text(rng, 10, false))});
        m.timers().Append({"t" + std::to_string(i) + Text(rng, 8, true), Text(rng, 5, true),
                           Text(rng, 20, true), "x" + Text(rng, 10, true), 0});
        const std::string watched = Text(rng, 12, true);
        if (m.monitor().FindFirst(
                [&](const MonitorRow& r) { return r.search_account == watched; }) < 0) {
          InsertSorted(m.monitor(), MonitorRow{.search_account = watched});
        }
        const std::string server = Text(rng, 15, true);
        if (m.servers().FindFirst([&](const ServerRow& r) { return r.address == server; }) < 0) {
          InsertSorted(m.servers(), {"???", server, Text(rng, 8, true)});
        }
        InsertSorted(m.variables(), {Text(rng, 10, false), Text(rng, 30, true)});
      }
      std::vector<TextTable::Row> icon_rows;
      for (int i = 0; i < 12; ++i) {
        std::string caption = Text(rng, 10, true);
        std::erase(caption, ';');
        icon_rows.push_back({caption});
      }
      m.appearance().tray_icons().table().Assign(icon_rows);
      channels = m.custom_channels().Rows();
      accounts = m.accounts().Rows();
      colors = m.custom_colors().Rows();
      keys = m.keys().Rows();
      timers = m.timers().Rows();
      monitor = m.monitor().Rows();
      servers = m.servers().Rows();
      variables = m.variables().Rows();
      icons = m.appearance().tray_icons().table().Rows();
      m.SaveProfile();
    }
    Session s(dir.path());
    s.StartUp();
    SCOPED_TRACE(round);
    EXPECT_EQ(s.core().custom_channels().Rows(), channels);
    EXPECT_EQ(s.core().accounts().Rows(), accounts);
    EXPECT_EQ(s.core().custom_colors().Rows(), colors);
    EXPECT_EQ(s.core().keys().Rows(), keys);
    EXPECT_EQ(s.core().timers().Rows(), timers);
    EXPECT_EQ(s.core().monitor().Rows(), monitor);
    EXPECT_EQ(s.core().servers().Rows(), servers);
    EXPECT_EQ(s.core().variables().Rows(), variables);
    EXPECT_EQ(s.core().appearance().tray_icons().table().Rows(), icons);
  }
}

}  // namespace
}  // namespace tc::test
