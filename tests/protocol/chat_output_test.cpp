// What a shown line looks like (its colour runs) and where it is logged.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "harness/session.h"

namespace tc::test {
namespace {

class ChatOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    s.StartUp();
    s.LogIn("talvexbot", "Town Square");
    s.ui.TakeLines();
  }
  const ShownLine& Show(const std::string& line) {
    s.core().DisplayText(line, 5);
    return s.ui.lines.back();
  }
  Session s;
};

TEST_F(ChatOutput, LeadingPartTakesItsCategoryColourAndTheRestIsOtherText) {
  const ShownLine& join = Show("Joins ( bob ) (09:30:00)");
  EXPECT_EQ(join.ColorAt(0), kClFuchsia);
  EXPECT_EQ(join.ColorAt(12), kClFuchsia);  // the " )" closes the leading part
  EXPECT_EQ(join.ColorAt(13), kClSilver);

  const ShownLine& system = Show("System ( Disconnecting... )");
  ASSERT_EQ(system.line.runs.size(), 1u);
  EXPECT_EQ(system.line.runs[0].color, kClFuchsia);
  EXPECT_EQ(system.line.runs[0].length, system.text().size());

  // Without " )" only the first character takes the server-message colour.
  const ShownLine& info = Show("Info ( no closing");
  EXPECT_EQ(info.ColorAt(0), kClWhite);
  EXPECT_EQ(info.ColorAt(1), kClSilver);

  const ShownLine& whisper = Show("\xAB( carol )\xAB psst");
  EXPECT_EQ(whisper.ColorAt(11), kClGreen);  // the final space belongs to the prefix
  EXPECT_EQ(whisper.ColorAt(12), kClSilver);

  const ShownLine& odd = Show("<no closing bracket");
  EXPECT_EQ(odd.ColorAt(0), kClSilver);
}

TEST_F(ChatOutput, SpeakersAreColouredByWhoTheyAre) {
  s.Server("1009 USER opal 0002");
  s.Server("1005 TALK opal 0002 \"order\"");
  const ShownLine& op = s.ui.lines.back();
  EXPECT_EQ(op.text(), "<opal> order");
  EXPECT_EQ(op.ColorAt(5), kClWhite);
  EXPECT_EQ(op.ColorAt(6), kClSilver);

  s.Server("1005 TALK alice 0000 \"hi\"");
  EXPECT_EQ(s.ui.lines.back().ColorAt(0), kClAqua);

  const ShownLine& own = Show("<talvexbot> mine");
  EXPECT_EQ(own.ColorAt(10), kClYellow);
  EXPECT_EQ(own.ColorAt(11), kClSilver);
}

TEST_F(ChatOutput, CustomWordsColourTheRestOnlyAndLaterRowsWin) {
  s.core().custom_colors().Append({"hi", "clRed"});
  s.core().custom_colors().Append({"i h", "clBlue"});
  s.core().custom_colors().Append({"x", "not a colour"});
  s.Server("1004 WHISPER Hiro 0000 \"hi hi\"");
  const ShownLine& line = s.ui.lines.back();
  ASSERT_EQ(line.text(), "\xAB( Hiro )\xAB hi hi");
  EXPECT_EQ(line.ColorAt(3), kClGreen);   // "Hi" of the name stays in the prefix colour
  EXPECT_EQ(line.ColorAt(10), kClGreen);  // and so does the prefix's final space
  EXPECT_EQ(line.ColorAt(11), kClRed);
  EXPECT_EQ(line.ColorAt(12), kClBlue);
  EXPECT_EQ(line.ColorAt(13), kClBlue);
  EXPECT_EQ(line.ColorAt(14), kClBlue);
  EXPECT_EQ(line.ColorAt(15), kClRed);
}

TEST_F(ChatOutput, RunsCoverTheLineInOrder) {
  s.core().custom_colors().Append({"a", "$000000FF"});
  const ShownLine& line = Show("Error ( banana ) tail a");
  size_t at = 0;
  for (const ColorRun& run : line.line.runs) {
    EXPECT_EQ(run.begin, at);
    at += run.length;
  }
  EXPECT_EQ(at, line.text().size());
}

TEST_F(ChatOutput, LogsGoPerChannelInLowerCase) {
  const auto logs = s.dir / "Users" / "Default" / "Logs";
  // Lines before the first channel went to chat.log; the channel's own lines to its file.
  EXPECT_NE(ReadFile(logs / "chat.log").find("System ( Connecting to (127.0.0.1)... )\r\n"),
            std::string::npos);
  Show("System ( one )");
  EXPECT_EQ(ReadFile(logs / "town square.log"),
            "Joining Channel ( Town Square ) (09:30:00)\r\nSystem ( one )\r\n");

  s.core().options().keep_log = KeepLog::kOneFile;
  Show("System ( two )");
  const std::string one_file = ReadFile(logs / "chat.log");
  EXPECT_EQ(one_file.substr(one_file.size() - 16), "System ( two )\r\n");

  s.core().options().keep_log = KeepLog::kNone;
  Show("System ( three )");
  EXPECT_EQ(ReadFile(logs / "chat.log"), one_file);

  // Whisper-view lines and hidden lines are not logged; a deleted log is made anew.
  s.core().options().keep_log = KeepLog::kPerChannel;
  std::filesystem::remove(logs / "town square.log");
  Show("System ( four )");
  EXPECT_EQ(ReadFile(logs / "town square.log"), "System ( four )\r\n");
  std::filesystem::remove(logs / "town square.log");
  s.Advance(1000);
  Show("System ( five )");
  EXPECT_EQ(ReadFile(logs / "town square.log"), "System ( five )\r\n");
}

TEST_F(ChatOutput, NoChannelNameLeavesTheLogFolder) {
  const auto logs = s.dir / "Users" / "Default" / "Logs";
  const std::vector<std::string> channels = {
      "..",  "../../escape", "a/b", std::string("nul\0byte", 8), std::string("ctl\x01\x1f", 5),
      "...", "back\\slash"};
  for (const std::string& channel : channels) {
    s.Server("1007 CHANNEL \"" + channel + "\"");
  }
  size_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(s.dir)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".log") continue;
    ++files;
    EXPECT_EQ(entry.path().parent_path(), logs) << entry.path();
  }
  EXPECT_GE(files, 7u);
  EXPECT_FALSE(std::filesystem::exists(s.dir / "escape.log"));
}

TEST_F(ChatOutput, AnUnwritableLogIsReportedOnceNotPerLine) {
  const auto logs = s.dir / "Users" / "Default" / "Logs";
  std::filesystem::remove_all(logs);
  std::filesystem::create_directories(logs.parent_path());
  { std::ofstream block(logs); }  // a file where the folder should be
  s.Advance(1000);
  Show("System ( a )");
  Show("System ( b )");
  EXPECT_EQ(s.ui.messages.size(), 1u);
  EXPECT_TRUE(s.ui.Showed("System ( b )"));
}

TEST_F(ChatOutput, AnotherUsersTerminalControlsNeverReachTheLog) {
  static constexpr char kTalk[] =
      "1005 TALK mallory 0000 \"\x1b]0;owned\x07\x1b[2J\0tab\there\rcr\nlf\x7f\x9d caf\xe9\"\r\n";
  s.Receive(std::string(kTalk, sizeof kTalk - 1));
  const auto log = s.dir / "Users" / "Default" / "Logs" / "town square.log";
  // The bell is gone before the line is shown; every other control byte is logged as "?".
  EXPECT_EQ(ReadFile(log).substr(ReadFile(log).find("<mallory>")),
            "<mallory> ?]0;owned?[2J?tab\there?cr?lf?? caf\xe9\r\n");
}

}  // namespace
}  // namespace tc::test
