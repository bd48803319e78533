#include "persistence/tc_database.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>

#include "harness/fakes.h"
#include "harness/session.h"

namespace tc {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::FakeFrontend;
using test::ReadFile;
using test::TempDir;
using test::VirtualClock;
using test::WriteBytes;

std::string Line(std::string_view name, std::string_view number = "", std::string_view notes = "") {
  UserRecord r;
  r[0] = std::string(name);
  r[1] = std::string(number);
  r[7] = std::string(notes);
  r[10] = "01/02/2003 04:05:06";
  return FormatUserRecord(r) + "\r\n";
}

// A record from its fields in order, joined by "|".
UserRecord Fields(std::string_view joined) {
  UserRecord r;
  for (size_t i = 0, at = 0; i < r.size() && at <= joined.size(); ++i) {
    const size_t end = std::min(joined.find('|', at), joined.size());
    r[i] = std::string(joined.substr(at, end - at));
    at = end + 1;
  }
  return r;
}

UserUpdate Joined(std::optional<std::string_view> number = std::nullopt) {
  UserUpdate update{{UserField::kProduct, "[STAR]"},
                    {UserField::kFlag, "0010"},
                    {UserField::kStatus, "Available"},
                    {UserField::kIn_Channel, "Yes"}};
  if (number) update.Set(UserField::kAccount_Number, *number);
  return update;
}

struct Fixture {
  VirtualClock clock;
  FakeFrontend ui;
  TempDir temp;
  fs::path dir = temp.path();
  fs::path dat = dir / "DataBase.dat";
  fs::path save = dir / "DataBase.save";
  TC_DataBase db{clock, ui};

  void Open() { db.LoadUserDatabase(dir, true); }
  // Fields of one slot joined by "|".
  std::string At(int slot, std::initializer_list<int> fields) const {
    std::string out;
    for (int i : fields) out += (out.empty() ? "" : "|") + db.Slot(slot)[static_cast<size_t>(i)];
    return out;
  }
  // The names in slot order up to the last record, "." for a free slot.
  std::string Slots() const {
    std::vector<std::string> names;
    for (int s = 1; s <= kDatabaseSlots; ++s) {
      names.push_back(db.Slot(s)[0].empty() ? "." : db.Slot(s)[0]);
    }
    while (!names.empty() && names.back() == ".") names.pop_back();
    std::string out;
    for (const std::string& name : names) out += (out.empty() ? "" : " ") + name;
    return out;
  }
};

// ---------------------------------------------------------------- record lines

// Each tag's name and place in the written line are in the golden record's database files.
TEST(DataBaseLine, EveryFieldReadsBackAsItWasWritten) {
  const UserRecord r = Fields(
      "Bob|#1234|[STAR]|0010|Talvex Chat|3|Available|hi<#>there|Name=B;|12/06/2026 09:30:00|"
      "01/01/2026 00:00:01|61|5|7|gg \u00AB\u00BB\u00E9|Chat|Yes|No|Bob, Bobby");
  EXPECT_EQ(ParseUserRecord(FormatUserRecord(r)), r);
  EXPECT_EQ(UserFieldName(UserField::kNumber_Times_Seen), "Number_Times_Seen");
}

TEST(DataBaseLine, ALineBreakInAValueNeverSplitsTheRecord) {
  UserRecord r;
  r[0] = "Bob";
  r[14] = "one\r\ntwo\nthree\r";
  const std::string line = FormatUserRecord(r);
  EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(ParseUserRecord(line)[14], "one  two three ");
}

// A value ends at the next "<%"; tags are taken in record order, so one found late swallows the
// text of those before it.
TEST(DataBaseLine, TagsMatchInAnyCaseAndMissingTagsLeaveFieldsEmpty) {
  EXPECT_EQ(ParseUserRecord("junk<%ACCOUNT_name%>Al<%flag%>0002<%notes%>a<%b<%Info"),
            Fields("Al|||0002||||a"));
  EXPECT_EQ(ParseUserRecord("<%Notes%>n<%Status%>s<%Icon%>i"), Fields("|||||i"));
  EXPECT_EQ(ParseUserRecord(""), UserRecord{});
  EXPECT_EQ(ParseUserRecord("<%Account_Name%>"), UserRecord{});
  EXPECT_EQ(ParseUserRecord("<%Account_Name%>tail"), Fields("tail"));
}

// ---------------------------------------------------------------- records and lookups

TEST(DataBaseRecords, UnknownNamesUnknownFieldsAndAClosedTableAnswerZero) {
  Fixture f;
  EXPECT_EQ(f.db.GetUserField("bob", "Product"), "0");  // closed
  f.Open();
  EXPECT_EQ(f.db.GetUserField("bob", "Product"), "0");  // unknown
  f.db.UpdateUser("Bob", UserUpdate{{UserField::kProduct, "[CHAT]"}});
  EXPECT_EQ(f.db.GetUserField("BOB", "Product"), "[CHAT]");
  EXPECT_EQ(f.db.GetUserField("bob", "product"), "0");  // field names are exact
  EXPECT_EQ(f.db.GetUserField("bob", "Flag"), "");      // known but empty
  EXPECT_EQ(f.db.GetUserField("bob", UserField::kProduct), "[CHAT]");
  f.db.SaveUserDatabase();
  EXPECT_EQ(f.db.GetUserField("bob", "Product"), "0");  // closed again
  f.db.UpdateUser("Bob", UserUpdate{{UserField::kProduct, "[SEXP]"}});
  EXPECT_EQ(f.db.Slot(1)[2], "[CHAT]");
}

TEST(DataBaseRecords, AnUpdateOfAnUnknownNameMakesAFreshRecord) {
  Fixture f;
  f.clock.SetNowMs(65'000);
  f.Open();
  f.db.UpdateUser("Zed", UserUpdate{});
  const UserRecord expected = Fields("Zed||||||||||12/06/2026 09:31:05|0|0|0||Unavailable|No|No|");
  EXPECT_EQ(f.db.Slot(1), expected);
  EXPECT_EQ(f.db.FindUser("zED"), 1);
  EXPECT_EQ(f.db.CountUsers(), 1);
  f.db.UpdateUser("zed", UserUpdate{{UserField::kAccount_Name, "Other"}});
  EXPECT_EQ(f.db.Slot(1)[0], "Zed");  // the name is never changed
  f.db.UpdateUser("", Joined());
  f.db.AddUser("");
  EXPECT_EQ(f.db.CountUsers(), 1);
}

TEST(DataBaseRecords, AccountsSharingAHashNumberNameEachOtherInSlotOrder) {
  Fixture f;
  f.Open();
  f.db.UpdateUser("bob", Joined("#42"));
  f.db.UpdateUser("Alice", Joined("#42"));
  f.db.UpdateUser("Carl", Joined("N/A"));
  f.db.UpdateUser("Dave", Joined("N/A"));
  EXPECT_EQ(f.Slots(), "Alice Carl Dave bob");
  EXPECT_EQ(f.db.GetUserField("bob", "Alias_Names"), "Alice, bob");
  EXPECT_EQ(f.db.Slot(1)[18], "Alice, bob");
  EXPECT_EQ(f.db.GetUserField("Carl", "Alias_Names"), "");
  // A name ending a longer listed name is left out, and so gets no list of its own.
  f.db.UpdateUser("Xbob", Joined("#7"));
  f.db.UpdateUser("bob", Joined("#7"));
  EXPECT_EQ(f.db.GetUserField("Xbob", "Alias_Names"), "Xbob");
  EXPECT_EQ(f.db.GetUserField("bob", "Alias_Names"), "Alice, bob");
  // An explicit value is stored after the collection and wins.
  f.db.UpdateUser(
      "Alice", UserUpdate{{UserField::kAccount_Number, "#7"}, {UserField::kAlias_Names, "mine"}});
  EXPECT_EQ(f.db.Slot(1)[18], "mine");
  EXPECT_EQ(f.db.Slot(f.db.FindUser("Xbob"))[18], "Alice, Xbob");
}

// Each run of occupied slots is ordered by the first character of the name, stably; a free slot
// (here a nameless line of the file) keeps runs apart until it is filled.
struct RunCase {
  std::vector<std::string> file;  // "" is a nameless line
  std::vector<std::string> adds;
  std::string slots;
};

TEST(DataBaseRecords, RunsStayOrderedByTheirFirstByte) {
  const RunCase cases[] = {
      {{"b", "a", "", "B", "A"}, {}, "a b . A B"},
      {{"by", "bx", "", "Bx", "By"}, {}, "by bx . Bx By"},
      {{"b", "c", "", "A1", "B1"}, {"a"}, "A1 B1 a b c"},  // the runs merge
      {{"c", "e", "", "b1", "d"}, {"a"}, "a b1 c d e"},
      {{"A", "", "B"}, {"c"}, "A B c"},             // only the new one moves
      {{"b1", "", "B", "b2"}, {"a"}, "B a b1 b2"},  // ties: the lower run first
      {{"A", "", "B", "C"}, {"Bz"}, "A Bz B C"},
      {{"c", "", "d"}, {"a", "b"}, "a b c d"},
      // Lower case and high bytes sort after upper case.
      {{},
       {"zed", "\xE9mile", "Alpha", "bob", "Zulu", "_x", "Anna", "\xC9lise"},
       "Alpha Anna Zulu _x bob zed \xC9lise \xE9mile"},
      // The same in UTF-8: the first character, not the first byte, decides.
      {{},
       {"zed", "\u00E9mile", "Alpha", "bob", "Zulu", "_x", "Anna", "\u00C9lise"},
       "Alpha Anna Zulu _x bob zed \u00C9lise \u00E9mile"},
      {{"Alpha", "Anna", "", "", "bob", "zed"}, {"aaa"}, "Alpha Anna aaa . bob zed"},
      {{"Alpha", "Anna", "", "", "bob", "zed"}, {"aaa", "Bea"}, "Alpha Anna Bea aaa bob zed"},
  };

  for (const RunCase& c : cases) {
    Fixture f;
    std::string file;
    for (const std::string& name : c.file) file += name.empty() ? "<%Notes%>x\r\n" : Line(name);
    WriteBytes(f.dat, file);
    f.Open();
    for (const std::string& name : c.adds) f.db.AddUser(name);
    EXPECT_EQ(f.Slots(), c.slots) << c.slots;
  }
}

TEST(DataBaseRecords, CountersAndTheThreeTablePasses) {
  Fixture f;
  f.Open();
  f.db.UpdateUser("Here", Joined());
  f.db.UpdateUser("Gone", UserUpdate{{UserField::kIn_Channel, "yes"}});
  f.db.IncTimesSeen("HERE");
  f.db.IncTimesSeen("nobody");
  f.db.SecondTick();
  f.db.SecondTick();
  const int here = f.db.FindUser("here");
  EXPECT_EQ(f.At(here, {11, 12, 13}), "2|2|1");
  EXPECT_EQ(f.At(f.db.FindUser("gone"), {11}), "0");  // only exactly "Yes" counts
  f.db.UpdateUser("Here", UserUpdate{{UserField::kTold_InterBot, "Yes"}});
  f.db.ChannelEntered();
  EXPECT_EQ(f.At(here, {12, 16, 17, 6, 11}), "0|No|No|Available|2");
  f.db.Disconnected();
  EXPECT_EQ(f.At(here, {6}), "Disconnected");
  EXPECT_EQ(f.db.Slot(3), UserRecord{});  // free slots stay empty
  // A counter at the top of the range does not wrap.
  f.db.UpdateUser("Here", UserUpdate{{UserField::kNumber_Times_Seen, "2147483647"}});
  f.db.IncTimesSeen("here");
  f.db.IncTimesSeen("here");
  EXPECT_EQ(f.At(here, {13}), "2147483648");
}

TEST(DataBaseRecords, ClearingASlotOrAllOfThem) {
  Fixture f;
  f.Open();
  for (const char* name : {"a1", "b1", "c1"}) f.db.AddUser(name);
  for (int slot : {2, -1, kDatabaseSlots + 1}) f.db.ClearUserRecord(slot);
  EXPECT_EQ(f.Slots(), "a1 . c1");
  EXPECT_EQ(f.db.Slot(2), UserRecord{});
  EXPECT_EQ(f.db.CountUsers(), 2);
  EXPECT_EQ(f.db.FindUser("b1"), 0);
  f.db.AddUser("b2");
  EXPECT_EQ(f.db.FindUser("b2"), 2);
  f.db.ClearUserRecord(0);
  EXPECT_EQ(f.db.CountUsers(), 0);
  EXPECT_EQ(f.db.FindUser("a1"), 0);
  EXPECT_EQ(f.db.Slot(0), UserRecord{});
  EXPECT_EQ(f.db.Slot(kDatabaseSlots + 1), UserRecord{});
}

// A full table gives up its top fifty slots for a new record, added or read past the top (a
// nameless line too); the rest move down.
TEST(DataBaseRecords, AFullTableGivesUpItsTopFiftySlotsForEachNewRecord) {
  std::string full, free48;
  for (int i = 0; i < kDatabaseSlots; ++i) full += Line("U" + std::to_string(100000 + i));
  for (int i = 0; i < 48; ++i) free48 += " .";
  const struct {
    std::string more_lines;
    std::string added;
    std::string head;
    int count;
  } cases[] = {{"", "new", "new ." + free48 + " U100000", kDatabaseSlots - 49},
               {"<%Notes%>no name makes room too\r\n" + Line("late") + Line("later"), "",
                "late later" + free48 + " U100000", kDatabaseSlots - 48}};
  for (const auto& c : cases) {
    Fixture f;
    WriteBytes(f.dat, full + c.more_lines);
    f.Open();
    if (!c.added.empty()) f.db.AddUser(c.added);
    EXPECT_EQ(f.Slots().substr(0, c.head.size()), c.head);
    EXPECT_EQ(f.db.Slot(50), UserRecord{});
    EXPECT_EQ(f.db.FindUser("U104950"), 0);
    EXPECT_EQ(f.db.FindUser("u104949"), kDatabaseSlots);
    EXPECT_EQ(f.db.CountUsers(), c.count);
  }
}

TEST(DataBaseRecords, DuplicateNamesFromTheFileStayApartAndTheHighestSlotAnswers) {
  Fixture f;
  WriteBytes(f.dat, Line("Bob", "#1", "first") + Line("amy") + Line("BOB", "#1", "second"));
  f.Open();
  EXPECT_EQ(f.Slots(), "Bob BOB amy");
  EXPECT_EQ(f.db.FindUser("bob"), 2);
  EXPECT_EQ(f.db.GetUserField("bob", "Notes"), "second");
  f.db.IncTimesSeen("bOb");
  EXPECT_EQ(f.db.Slot(1)[13], "1");
  EXPECT_EQ(f.db.Slot(2)[13], "1");
  // The collection lists the name once; the update by name reaches only the highest slot.
  EXPECT_EQ(f.db.GetUserField("Bob", "Alias_Names"), "Bob");
  EXPECT_EQ(f.db.Slot(1)[18], "");
}

// ---------------------------------------------------------------- public-channel cache

TEST(DataBasePublicChannel, AJoinAndLeaveLeavesNoTraceButTheSeenCount) {
  Fixture f;
  f.Open();
  f.db.UpdateUser("Known", UserUpdate{{UserField::kNotes, "n"}});
  const UserRecord before = f.db.Slot(1);
  f.db.SetPublicChannel(true);
  for (const char* name : {"Known", "Stranger"}) {
    f.db.UpdateUser(name, Joined("#9"));
    f.db.IncTimesSeen(name);
  }
  EXPECT_EQ(f.db.CacheEntry(1),
            (std::array<std::string, 6>{"Known", "[STAR]", "0010", "", "", "Available"}));
  EXPECT_EQ(f.db.GetUserField("stranger", "Flag"), "0010");
  EXPECT_EQ(f.db.GetUserField("stranger", "Account_Name"), "Stranger");
  EXPECT_EQ(f.db.GetUserField("stranger", "Notes"), "0");
  EXPECT_EQ(f.db.GetUserField("Known", "Notes"), "0");
  f.db.UpdateUser("known", UserUpdate{{UserField::kIcon, "4"}, {UserField::kIn_Channel, "Yes"}});
  EXPECT_EQ(f.db.CacheEntry(1)[4], "4");
  f.db.UpdateUser("known", UserUpdate{{UserField::kIcon, "5"}});  // In_Channel left alone: nothing
  EXPECT_EQ(f.db.CacheEntry(1)[4], "4");
  for (const char* name : {"Known", "Stranger"}) {
    f.db.UpdateUser(name, UserUpdate{{UserField::kIn_Channel, "No"}});
    f.db.IncTimesSeen(name);
  }
  EXPECT_EQ(f.db.CacheEntry(1), (std::array<std::string, 6>{}));
  EXPECT_EQ(f.db.CacheEntry(2), (std::array<std::string, 6>{}));
  f.db.SetPublicChannel(false);
  EXPECT_EQ(f.db.CountUsers(), 1);
  UserRecord after = before;
  after[13] = "2";
  EXPECT_EQ(f.db.Slot(1), after);
}

TEST(DataBasePublicChannel, AFullCacheIgnoresFurtherNames) {
  Fixture f;
  f.Open();
  f.db.SetPublicChannel(true);
  for (int i = 1; i <= kPublicCacheEntries + 1; ++i) {
    f.db.UpdateUser("u" + std::to_string(i), Joined());
  }
  EXPECT_EQ(f.db.CacheEntry(kPublicCacheEntries)[0], "u150");
  EXPECT_EQ(f.db.GetUserField("u151", "Product"), "0");
  f.db.UpdateUser("u7", UserUpdate{{UserField::kIn_Channel, "No"}});
  f.db.UpdateUser("u151", Joined());
  EXPECT_EQ(f.db.CacheEntry(7)[0], "u151");
  EXPECT_EQ(f.db.CacheEntry(0)[0], "");
  EXPECT_EQ(f.db.CacheEntry(kPublicCacheEntries + 1)[0], "");
}

// ---------------------------------------------------------------- loading

TEST(DataBaseLoad, NotUsingTheDatabaseEmptiesItAndTouchesNoFile) {
  Fixture f;
  f.Open();
  f.db.AddUser("bob");
  f.db.LoadUserDatabase(f.dir / "elsewhere", false);
  EXPECT_FALSE(f.db.IsOpen());
  EXPECT_EQ(f.db.CountUsers(), 0);
  f.db.AddUser("amy");
  f.db.SaveUserDatabase();
  EXPECT_EQ(f.db.CountUsers(), 0);
  EXPECT_FALSE(fs::exists(f.dir / "elsewhere"));
  EXPECT_EQ(ReadFile(f.dat), "");
  EXPECT_TRUE(f.ui.messages.empty());
}

TEST(DataBaseLoad, AFolderThatCannotHoldTheFileShowsTheErrorAndKeepsTheTable) {
  Fixture f;
  WriteBytes(f.dat, Line("Bob"));
  f.Open();
  ASSERT_TRUE(f.db.IsOpen());
  WriteBytes(f.dir / "plain", "x");
  f.db.LoadUserDatabase(f.dir / "plain" / "sub", true);  // parent is a regular file
  f.db.LoadUserDatabase(f.dir / "missing", true);
  fs::create_directory(f.dir / "odd");
  fs::create_directory(f.dir / "odd" / "DataBase.dat");  // not a file
  f.db.LoadUserDatabase(f.dir / "odd", true);
  EXPECT_EQ(f.ui.messages, std::vector<std::string>(3, "Error loading user database."));
  EXPECT_FALSE(f.db.IsOpen());
  EXPECT_EQ(f.db.Slot(1)[0], "Bob");
  EXPECT_EQ(f.db.GetUserField("Bob", "Account_Name"), "0");
}

TEST(DataBaseLoad, LineEndsJunkAndNamelessLines) {
  Fixture f;
  // LF alone ends a line too; a nameless line takes a slot but leaves it free, which stops the
  // sort from moving records across it.
  WriteBytes(f.dat, Line("zed") + "\r\n\n" + "<%Notes%>no name\r\n" + "garbage \x01\x02\n" +
                        "<%account_name%>Amy<%Notes%>a\nraw\0bytes"s + "\r");
  f.Open();
  EXPECT_EQ(f.Slots(), "zed . . Amy");
  EXPECT_EQ(f.db.Slot(2), UserRecord{});
  EXPECT_EQ(f.db.Slot(4), Fields("Amy|||||||a"));
  EXPECT_EQ(f.db.CountUsers(), 2);
  // CR alone is not a line end: the rest of such a line belongs to its last value.
  WriteBytes(f.dat, "<%Account_Name%>one<%end%>\r<%Account_Name%>two<%end%>\r");
  f.Open();
  EXPECT_EQ(f.Slots(), "one");
}

TEST(DataBaseLoad, HugeLinesAndBinaryBytesLoadWithoutHarm) {
  Fixture f;
  std::string big(size_t{1} << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 131) % 256);
  std::string file = Line("first") + big + "\n" + "<%Account_Name%>" + std::string(1 << 20, 'q') +
                     "<%Notes%>" + std::string(1 << 20, '<') + "\r\n" + Line("last");
  WriteBytes(f.dat, file);
  f.Open();
  EXPECT_EQ(f.db.FindUser("first"), 1);
  const int q = f.db.FindUser(std::string(1 << 20, 'q'));
  ASSERT_GT(q, 1);
  EXPECT_EQ(f.db.Slot(q)[7], std::string(1 << 20, '<'));
  EXPECT_GT(f.db.FindUser("last"), 0);
  EXPECT_EQ(f.db.CountUsers(), 3);
}

// ---------------------------------------------------------------- saving

TEST(DataBaseSave, WritesEachRecordInSlotOrderSkippingFreeSlots) {
  Fixture f;
  f.Open();
  f.db.UpdateUser("bob", UserUpdate{{UserField::kNotes, "x"}});
  f.db.UpdateUser("Amy", UserUpdate{});
  f.db.AddUser("cid");
  f.db.ClearUserRecord(3);
  const std::string expected =
      FormatUserRecord(f.db.Slot(1)) + "\r\n" + FormatUserRecord(f.db.Slot(2)) + "\r\n";
  f.db.SaveUserDatabase();
  EXPECT_EQ(ReadFile(f.dat), expected);
  EXPECT_FALSE(f.db.IsOpen());  // the progress shown is in the golden record
  // Closed: a second save writes nothing and shows nothing.
  f.ui.progress_caption.clear();
  f.db.SaveUserDatabase();
  EXPECT_EQ(f.ui.progress_caption, "");
}

TEST(DataBaseSave, AFolderWhereNoFileCanBeMadeSaysSo) {
  Fixture f;
  const fs::path sub = f.dir / "sub";
  fs::create_directory(sub);
  f.db.LoadUserDatabase(sub, true);
  f.db.AddUser("kept");
  fs::remove_all(sub);
  WriteBytes(sub, "a plain file");  // the folder's path is now a regular file
  f.db.SaveUserDatabase();
  EXPECT_EQ(f.ui.messages,
            std::vector<std::string>{"Unable to open file: " + (sub / "DataBase.dat").string()});
  EXPECT_FALSE(f.db.IsOpen());
  EXPECT_FALSE(f.ui.progress_visible);
  EXPECT_EQ(ReadFile(sub), "a plain file");
}

TEST(DataBaseSave, AFileThatCannotBePutInPlaceLeavesEverythingAsItWas) {
  Fixture f;
  WriteBytes(f.dat, Line("Bob"));
  f.Open();
  WriteBytes(f.save, "older");
  fs::remove(f.dat);
  fs::create_directory(f.dat);
  WriteBytes(f.dat / "inside", "x");  // a non-empty folder cannot be renamed over
  f.db.SaveUserDatabase();
  EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Unable to open file: " + f.dat.string()});
  EXPECT_EQ(ReadFile(f.save), "older");
  EXPECT_FALSE(fs::exists(f.dir / "DataBase.dat.tmp"));
}

// Runs `body` in a child process whose writes stop at `file_limit` bytes, and returns the wait
// status. With `kill_at_limit` the child dies there, as a process killed in mid-save.
int InChild(rlim_t file_limit, bool kill_at_limit, const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, kill_at_limit ? SIG_DFL : SIG_IGN);
    rlimit limit{file_limit, file_limit};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

struct SaveStage {
  Fixture f;
  std::string old_dat;
  std::string old_save = "older backup";
  std::string new_dat;

  SaveStage() {
    for (int i = 0; i < 300; ++i) old_dat += Line("user" + std::to_string(i), "#1", "n");
    WriteBytes(f.dat, old_dat);
    WriteBytes(f.save, old_save);
    // What a complete save writes, made once on a copy.
    TempDir copy;
    WriteBytes(copy.path() / "DataBase.dat", old_dat);
    TC_DataBase db(f.clock, f.ui);
    Change(db, copy.path());
    db.SaveUserDatabase();
    new_dat = ReadFile(copy.path() / "DataBase.dat");
  }
  static void Change(TC_DataBase& db, const fs::path& dir) {
    db.LoadUserDatabase(dir, true);
    db.AddUser("newcomer");
    db.UpdateUser("user7", UserUpdate{{UserField::kNotes, "changed"}});
  }
};

// Killed at any byte, or a write that fails halfway (the last run): a complete old or new file.
TEST(DataBaseSave, AProcessKilledAtAnyByteOrAFailedWriteLeavesACompleteOldOrNewFile) {
  SaveStage stage;
  ASSERT_GT(stage.new_dat.size(), stage.old_dat.size());
  const rlim_t size = stage.new_dat.size();
  const std::pair<rlim_t, bool> runs[] = {
      {0, true},        {1, true},        {4096, true}, {size / 3, true}, {size / 2, true},
      {size - 2, true}, {size - 1, true}, {size, true}, {size + 1, true}, {size / 2, false}};
  for (const auto& [limit, killed] : runs) {
    SCOPED_TRACE(testing::Message() << limit << (killed ? " killed" : " failed"));
    WriteBytes(stage.f.dat, stage.old_dat);
    WriteBytes(stage.f.save, stage.old_save);
    const int status = InChild(limit, killed, [&, killed = killed] {
      TC_DataBase db(stage.f.clock, stage.f.ui);
      SaveStage::Change(db, stage.f.dir);
      db.SaveUserDatabase();
      if (killed) return 0;
      // The failed write says so, leaves no half file, hides the progress and closes the table.
      const bool said = stage.f.ui.messages ==
                        std::vector<std::string>{"Unable to open file: " + stage.f.dat.string()};
      const bool tidy = !fs::exists(stage.f.dir / "DataBase.dat.tmp");
      return (said ? 0 : 1) + (tidy ? 0 : 2) + (stage.f.ui.progress_visible ? 4 : 0) +
             (db.IsOpen() ? 8 : 0);
    });
    const std::string dat = ReadFile(stage.f.dat);
    if (limit < size) {
      EXPECT_TRUE(!killed || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ));
      EXPECT_EQ(dat, stage.old_dat);
      EXPECT_EQ(ReadFile(stage.f.save), stage.old_save);
    } else {
      EXPECT_EQ(dat, stage.new_dat);
      EXPECT_EQ(ReadFile(stage.f.save), stage.old_dat);
    }
    EXPECT_TRUE((killed && limit < size) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
    // Whatever was left behind, the next run loads and saves cleanly.
    TC_DataBase next(stage.f.clock, stage.f.ui);
    next.LoadUserDatabase(stage.f.dir, true);
    EXPECT_EQ(next.CountUsers(), limit < size ? 300 : 301);
    next.SaveUserDatabase();
    EXPECT_EQ(ReadFile(stage.f.dat), dat);
    EXPECT_FALSE(fs::exists(stage.f.dir / "DataBase.dat.tmp"));
  }
}

}  // namespace
}  // namespace tc
