// The settings profile file: its single-value keys, their forms, the write order and the failures,
// and the round trip of every setting and list.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <tuple>

#include "common/code_text.h"
#include "common/text.h"
#include "harness/session.h"
#include "persistence/list_lines.h"
#include "persistence/profile_files.h"
#include "persistence/settings_file.h"

namespace tc::test {
namespace {

std::filesystem::path DefaultProfile(const Session& s) {
  return ProfilePath(s.dir, "Default");
}

// A session whose Default profile holds `lines` before start-up.
std::unique_ptr<Session> StartWith(const TempDir& dir, const std::vector<std::string>& lines) {
  WriteBytes(ProfilePath(dir.path(), "Default"), Coded(lines));
  auto s = std::make_unique<Session>(dir.path());
  s->StartUp();
  return s;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(Settings, FirstStartCreatesEmptyProfileFiles) {
  Session s(kStartedUp);
  EXPECT_TRUE(std::filesystem::is_regular_file(DefaultProfile(s)));
  EXPECT_EQ(ReadFile(DefaultProfile(s)), "");
  EXPECT_TRUE(std::filesystem::is_regular_file(s.dir / "Users" / "Default" / "notes.txt"));
  // The list as it starts, no read line replaced it: as many rows as a read gives.
  EXPECT_EQ(s.core().appearance().tray_icons().table().RowCount(), 12);
  EXPECT_TRUE(s.ui.messages.empty());
}

TEST(Settings, ThePasswordIsReadAndWrittenOnlyWhenSavePasswordIsOn) {
  TempDir dir;
  auto s = StartWith(dir, {"ac=secret", "ah=False"});
  EXPECT_EQ(s->core().options().password, "");  // discarded on reading
  s->core().options().password = "hunter2";
  s->core().SaveProfile();
  EXPECT_TRUE(Has(PlainLines(DefaultProfile(*s)), "ac="));
  EXPECT_EQ(ReadFile(DefaultProfile(*s)).find(CodeText("Encode", "hunter2")), std::string::npos);
  s->core().options().save_password = true;
  s->core().SaveProfile();
  const auto lines = PlainLines(DefaultProfile(*s));
  EXPECT_TRUE(Has(lines, "ac=hunter2"));
  EXPECT_TRUE(Has(lines, "ah=True"));
  TempDir kept;
  EXPECT_EQ(StartWith(kept, {"ac=secret", "ah=True"})->core().options().password, "secret");
}

// A skin file that is gone reads as empty.
TEST(Settings, FlagsRadioGroupsWordsColoursFontsNumbersAndSkins) {
  TempDir dir;
  const std::string kept = (dir.path() / "kept.bmp").string();
  WriteBytes(kept, "BM");
  auto s = StartWith(dir, {"ai=Last", "oc=2", "of=0", "ol=2", "on=0", "od=$10", "db=-5",
                           "sd=$00123456", "sh=clred", "sj=255", "sc=[fsBold, fsItalic]",
                           "sg=[fsUnderline]", "sb=12", "cq=clBlue", "s1=300", "ai=Sideways",
                           "ql=900", "sk=" + (dir.path() / "gone.bmp").string(), "sl=" + kept,
                           // Flag words count whole, flag letters by the first character.
                           "aa=T", "oa=True", "ak=true", "or=Tx", "op=False", "ox="});
  const Options& o = s->core().options();
  EXPECT_FALSE(o.auto_connect || o.tray || o.auto_operator || o.dont_save_public);
  EXPECT_TRUE(o.auto_rejoin_when_kicked && o.random_theme);
  EXPECT_EQ(o.channel_choice, ChannelChoice::kLastVisited);
  EXPECT_EQ(o.view_join_parts, ViewJoinParts::kIfLessOrEqual);
  EXPECT_EQ(o.keep_log, KeepLog::kOneFile);
  EXPECT_EQ(o.close_on_disconnect, CloseOnDisconnect::kOnlyWhenRequested);
  EXPECT_EQ(o.on_ban, OnBanJoin::kStayInTheVoid);
  EXPECT_EQ(o.view_join_parts_number, 16);
  EXPECT_EQ(o.database_days, 0);  // the spin edit has no negative days
  const AppearanceSettings& a = s->core().appearance().settings();
  EXPECT_EQ(a.buttons_text, 0x00123456u);
  EXPECT_EQ(a.text, kClRed);
  EXPECT_EQ(a.background, kClRed);
  EXPECT_EQ(a.buttons_font.style, FontStyle::kBoldItalic);
  EXPECT_EQ(a.text_font.style, FontStyle::kNone);
  EXPECT_EQ(a.buttons_font.size, 12);
  EXPECT_EQ(o.colors[static_cast<size_t>(Category::kErrorMessage)], kClBlue);
  EXPECT_EQ(o.chat_height, 300);
  EXPECT_EQ(o.split_long_lines_at, 500);  // longer lines are cut at 500 anyway
  EXPECT_EQ(a.background_skin, "");
  EXPECT_EQ(a.buttons_skin, kept);
  s->core().SaveProfile();
  const auto lines = PlainLines(DefaultProfile(*s));
  for (const char* line :
       {"ai=Last", "oc=2", "od=16", "sd=$00123456", "sh=clRed", "sj=clRed", "sc=[fsBold, fsItalic]",
        "sg=[]", "cq=clBlue", "s1=300", "ql=500", "sk="}) {
    EXPECT_TRUE(Has(lines, line)) << line;
  }
}

TEST(Settings, BadInputIsIgnoredAndTheLaterOfTwoKeysWins) {
  TempDir dir;
  std::string bytes = Coded({"ab=first", "zz=unknown", "a", "", "ab=second"});
  bytes += "this line was typed by hand\r\n";
  bytes += CodeText("Encode", "ad=Odd Room") + "kQw\r\n";  // a short remainder is ignored
  bytes += "kQwZ\r\n";                                     // one garbled group
  WriteBytes(ProfilePath(dir.path(), "Default"), bytes);
  Session s(dir.path(), kStartedUp);
  EXPECT_EQ(s.core().options().account_name, "second");
  EXPECT_EQ(s.core().options().home_channel, "Odd Room");
  EXPECT_TRUE(s.ui.messages.empty());
}

// A value that does not convert stops the read at its line; what came before it stays.
TEST(Settings, AValueThatDoesNotConvertStopsTheReadAtItsLine) {
  struct Case {
    std::vector<std::string> lines;
    std::string error;
    int accounts;
  };
  for (const Case& c : {Case{{"ab=kept", "ua=friend", "od=12x", "ad=never read", "ub=never"},
                             "Not a valid integer in %, line 3, key \"od=\"",
                             1},
                        Case{{"ab=kept", "cm=clNoSuchColour", "ab=never"},
                             "Not a valid colour in %, line 2, key \"cm=\"",
                             0}}) {
    TempDir dir;
    auto s = StartWith(dir, c.lines);
    EXPECT_EQ(s->core().options().account_name, "kept");
    EXPECT_EQ(s->core().accounts().RowCount(), c.accounts);
    EXPECT_EQ(s->core().options().home_channel, "Talvex Chat");
    std::string error = c.error;
    error.replace(error.find('%'), 1, ProfilePath(dir.path(), "Default").string());
    EXPECT_EQ(s->ui.Texts().front(), "Error ( " + error + " )");
    // The rest of the read still happens: the icon states and the notes.
    EXPECT_FALSE(s->core().appearance().tray_icons().table().Empty());
  }
}

TEST(Settings, AppliedValuesActAsTheUsersChange) {
  TempDir dir;
  WriteBytes(ProfilePath(dir.path(), "Quiet"), Coded({"oi=F", "oj=5", "ov=3", "ow=F"}));
  WriteBytes(ProfilePath(dir.path(), "Busy"), Coded({"oi=T", "oj=5", "ov=3", "ow=T"}));
  Session s(dir.path(), kStartedUp);
  ASSERT_TRUE(s.core().database().IsOpen());
  s.core().SwitchProfile("Quiet");
  EXPECT_FALSE(s.core().options().anti_idle);
  EXPECT_FALSE(s.core().anti_idle_timer().Enabled());
  EXPECT_EQ(s.core().anti_idle_timer().Interval(), 5 * 60000);
  EXPECT_EQ(s.core().auto_away_countdown(), 180);
  EXPECT_FALSE(s.core().database().IsOpen());  // saved and closed
  s.clock.SetNowMs(1000);
  s.core().SwitchProfile("Busy");
  EXPECT_TRUE(s.core().anti_idle_timer().Enabled());
  EXPECT_EQ(s.core().anti_idle_timer().Due(), 1000 + 5 * 60000);
  EXPECT_TRUE(s.core().database().IsOpen());  // loaded again
  // The same values again change nothing: the timer is not restarted.
  s.clock.SetNowMs(2000);
  s.core().SwitchProfile("Busy");
  EXPECT_EQ(s.core().anti_idle_timer().Due(), 1000 + 5 * 60000);
}

TEST(Settings, AProfileFileThatCannotBeReadLeavesTheListsAsTheyAre) {
  TempDir dir;
  std::filesystem::create_directories(ProfilePath(dir.path(), "Default"));  // a folder, not a file
  WriteBytes(dir.path() / "Users" / "Default" / "notes.txt", "first\r\nsecond\r\n");
  Session s(dir.path());
  s.core().variables().Append({"$kept$", "yes"});
  const int variables = s.core().variables().RowCount();
  s.StartUp();
  EXPECT_EQ(s.core().variables().RowCount(), variables);
  EXPECT_EQ(s.core().VariableValue("$kept$"), "yes");
  EXPECT_EQ(s.core().notes(), "first\r\nsecond");
}

TEST(Settings, AnUnusableUsersFolderReadsAndWritesNothing) {
  TempDir dir;
  WriteBytes(dir.path() / "Users", "a file where the folder should be");
  Session s(dir.path(), kStartedUp);
  ASSERT_FALSE(s.ui.messages.empty());
  EXPECT_EQ(s.ui.messages[0],
            "Unable to open file: " + (dir.path() / "Users" / "Default" / "notes.txt").string());
  s.core().SaveProfile();
  EXPECT_EQ(ReadFile(dir.path() / "Users"), "a file where the folder should be");
  EXPECT_EQ(s.core().options().account_name, "guest");
}

TEST(Settings, AFailedWriteLeavesTheOldProfileWhole) {
  TempDir dir;
  auto s = StartWith(dir, {"ab=before"});
  const std::string before = ReadFile(DefaultProfile(*s));
  // The notes file cannot be replaced: the write stops there, before the profile file.
  const auto notes = dir.path() / "Users" / "Default" / "notes.txt";
  std::filesystem::remove(notes);
  WriteBytes(notes / "blocker", "x");
  s->core().options().account_name = "after";
  s->core().SaveProfile();
  EXPECT_EQ(ReadFile(DefaultProfile(*s)), before);
  EXPECT_TRUE(s->ui.Showed("Error ( Unable to write file: " + notes.string() + " )"));
  // No half-written files are left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "Users")) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
}

TEST(Settings, NotesSurviveLineByLine) {
  Session s(kStartedUp);
  s.core().notes() = "line one\r\nline two\nline three";
  s.core().SaveProfile();
  EXPECT_EQ(ReadFile(s.dir / "Users" / "Default" / "notes.txt"),
            "line one\r\nline two\r\nline three\r\n");
  s.core().notes().clear();
  s.core().LoadProfile();
  EXPECT_EQ(s.core().notes(), "line one\r\nline two\r\nline three");
}

TEST(Settings, CommandLineValuesNeverReachTheProfile) {
  TempDir dir;
  auto s = StartWith(dir, {"ab=stored", "af=10.1.2.3", "ac=stored pass", "ah=True"});
  s->core().ApplyOverrides(
      {.server = "127.0.0.1", .port = 16112, .account = "runner", .password = "from env"});
  EXPECT_EQ(s->core().options().account_name, "runner");
  s->core().SwitchProfile("Default");  // a profile switch keeps them
  EXPECT_EQ(s->core().options().server, "127.0.0.1");
  EXPECT_EQ(s->core().options().password, "from env");
  s->core().SaveProfile();
  const auto lines = PlainLines(DefaultProfile(*s));
  for (const char* line : {"ab=stored", "af=10.1.2.3", "ac=stored pass", "ag=6112"}) {
    EXPECT_TRUE(Has(lines, line)) << line;
  }
}

TEST(Settings, IntegerTexts) {
  EXPECT_EQ(IntFromText("42"), 42);
  EXPECT_EQ(IntFromText("  -7"), -7);
  EXPECT_EQ(IntFromText("$ff"), 255);
  EXPECT_EQ(IntFromText("$FFFFFFFF"), -1);
  EXPECT_EQ(IntFromText("2147483647"), 2147483647);
  EXPECT_EQ(IntFromText("2147483648"), std::nullopt);
  EXPECT_EQ(IntFromText(""), std::nullopt);
  EXPECT_EQ(IntFromText("1 "), std::nullopt);
  EXPECT_EQ(IntFromText("$"), std::nullopt);
}

// --- Round trip over random settings -------------------------------------------------------------

// Any of the code page's 256 characters or one it lacks; the field marks only where no mark ends
// the field.
std::string Text(std::mt19937& rng, size_t max_length, bool allow_marks, size_t min_length = 1) {
  static const std::array<std::string_view, 4> kBeyond = {"\u0416", "\u2713", "\u65E5",
                                                          "\U0001F600"};
  std::uniform_int_distribution<size_t> length(min_length, max_length);
  std::uniform_int_distribution<int> pick(0, 255 + static_cast<int>(kBeyond.size()));
  std::string text;
  for (size_t n = length(rng); n > 0; --n) {
    int p = 0;
    do {
      p = pick(rng);
    } while (!allow_marks && (p == 0xD1 || p == 0xF1));
    text += p < 256 ? Cp1252ToUtf8(std::string(1, static_cast<char>(p)))
                    : std::string(kBeyond[static_cast<size_t>(p - 256)]);
  }
  return text;
}

std::string RandomText(std::mt19937& rng, size_t max_length) {
  return Text(rng, max_length, true, 0);
}

template <typename T>
T Pick(std::mt19937& rng, std::initializer_list<T> values) {
  std::uniform_int_distribution<size_t> at(0, values.size() - 1);
  return *(values.begin() + static_cast<long>(at(rng)));
}

template <typename T, typename... Member>
void ExpectSameFields(const T& got, const T& expected, Member... fields) {
  ([&] { EXPECT_EQ(got.*fields, expected.*fields); }(), ...);
}

using O = Options;
// The options of each kind a profile holds, the texts with their longest length and the numbers
// with their range.
auto Flags() {
  return std::to_array<bool O::*>(
      {&O::auto_connect, &O::save_password, &O::tray, &O::auto_server, &O::reconnect,
       &O::auto_rejoin_when_kicked, &O::anti_flood, &O::anti_idle, &O::auto_operator, &O::auto_ops,
       &O::random_theme, &O::account_tracking, &O::channel_hit_counter, &O::dont_save_public,
       &O::database_acib, &O::auto_away, &O::use_database});
}
const std::pair<std::string O::*, size_t> kTexts[] = {
    {&O::account_name, 20},  {&O::password, 20}, {&O::home_channel, 20},   {&O::last_channel, 20},
    {&O::database_tags, 20}, {&O::server, 20},   {&O::on_ban_channel, 20}, {&O::port, 6}};
const struct {
  int O::*field;
  int low;
  int high;
} kNumbers[] = {{&O::view_join_parts_number, 0, 100}, {&O::database_days, 0, 100000},
                {&O::quota_units, 0, 1000},           {&O::quota_window_ms, 0, 100000},
                {&O::quota_bytes_per_unit, 1, 1000},  {&O::quota_emote_factor, 1, 100},
                {&O::split_long_lines_at, 0, 500},    {&O::anti_idle_minutes, 1, 30},
                {&O::auto_away_minutes, 1, 30},       {&O::chat_height, -5000, 5000}};

void Randomise(std::mt19937& rng, Options& o, AppearanceSettings& a, const TempDir& files) {
  const auto flag = [&rng] { return std::bernoulli_distribution(0.5)(rng); };
  const auto number = [&rng](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
  };
  const auto color = [&rng] { return static_cast<Color>(rng()); };
  for (bool O::*field : Flags()) o.*field = flag();
  for (const auto& [field, length] : kTexts) o.*field = RandomText(rng, length);
  for (const auto& n : kNumbers) o.*n.field = number(n.low, n.high);
  o.channel_choice =
      Pick(rng, {ChannelChoice::kHome, ChannelChoice::kLastVisited, ChannelChoice::kDefault});
  o.view_join_parts = static_cast<ViewJoinParts>(number(0, 2));
  o.keep_log = static_cast<KeepLog>(number(0, 2));
  o.close_on_disconnect = static_cast<CloseOnDisconnect>(number(0, 2));
  o.on_ban = static_cast<OnBanJoin>(number(0, 2));
  for (Color& c : o.colors) c = Pick(rng, {kClRed, kClWhite, color(), color()});
  a.buttons_font = {RandomText(rng, 20), number(-100, 100), static_cast<FontStyle>(number(0, 3))};
  a.text_font = {RandomText(rng, 20), number(-100, 100), static_cast<FontStyle>(number(0, 3))};
  a.buttons_text = color();
  a.text = color();
  a.buttons_hover = Pick(rng, {kClSilver, color()});
  a.background = color();
  a.background_skin = flag() ? (files.path() / "back.bmp").string() : "";
  a.buttons_skin = flag() ? (files.path() / "buttons.bmp").string() : "";
}

// Random rows in every list a profile holds.
void RandomLists(std::mt19937& rng, Client& m) {
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
    if (m.monitor().FindFirst([&](const MonitorRow& r) { return r.search_account == watched; }) <
        0) {
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
}

// Every list a profile holds, in one value.
auto Lists(Client& m) {
  return std::make_tuple(m.custom_channels().Rows(), m.accounts().Rows(), m.custom_colors().Rows(),
                         m.keys().Rows(), m.timers().Rows(), m.monitor().Rows(), m.servers().Rows(),
                         m.variables().Rows(), m.appearance().tray_icons().table().Rows());
}

// Every setting and every list.
TEST(Settings, EverySettingSurvivesAWriteAndARead) {
  std::mt19937 rng(20260);
  TempDir files;
  WriteBytes(files.path() / "back.bmp", "BM");
  WriteBytes(files.path() / "buttons.bmp", "BM");
  for (int round = 0; round < 40; ++round) {
    TempDir dir;
    Options written_options;
    AppearanceSettings written_appearance;
    decltype(Lists(std::declval<Client&>())) written_lists;
    std::string notes;
    {
      Session s(dir.path(), kStartedUp);
      Randomise(rng, s.core().options(), s.core().appearance().settings(), files);
      s.core().notes() = notes = "notes " + std::to_string(round) + "\r\nsecond line";
      written_options = s.core().options();
      written_appearance = s.core().appearance().settings();
      RandomLists(rng, s.core());
      written_lists = Lists(s.core());
      s.core().SaveProfile();
    }
    Session s(dir.path());
    s.core().Initialise();  // the harness's StartUp would change "Auto Connect:"
    Options expected = written_options;
    if (!expected.save_password) expected.password.clear();
    SCOPED_TRACE(round);
    const Options& o = s.core().options();
    for (bool O::*field : Flags()) EXPECT_EQ(o.*field, expected.*field);
    for (const auto& text : kTexts) EXPECT_EQ(o.*text.first, expected.*text.first);
    for (const auto& n : kNumbers) EXPECT_EQ(o.*n.field, expected.*n.field);
    ExpectSameFields(o, expected, &O::channel_choice, &O::view_join_parts, &O::keep_log,
                     &O::close_on_disconnect, &O::on_ban, &O::colors);
    using A = AppearanceSettings;
    const A& a = s.core().appearance().settings();
    ExpectSameFields(a, written_appearance, &A::buttons_text, &A::text, &A::buttons_hover,
                     &A::background, &A::background_skin, &A::buttons_skin);
    for (auto font : {&A::buttons_font, &A::text_font}) {
      ExpectSameFields(a.*font, written_appearance.*font, &FontChoice::name, &FontChoice::size,
                       &FontChoice::style);
    }
    EXPECT_EQ(s.core().notes(), notes);
    EXPECT_EQ(Lists(s.core()), written_lists);
  }
}

}  // namespace
}  // namespace tc::test
