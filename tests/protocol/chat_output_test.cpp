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
    s.LogIn("talvexbot", "Town Square");
    s.ui.TakeLines();
  }
  const ShownLine& Show(const std::string& line) {
    s.core().ShowLocal(line);
    return s.ui.lines.back();
  }
  Session s{kStartedUp};
};

using Pieces = std::vector<std::pair<std::string, Color>>;

// Without its " )" a leading part colours only its first character; a line of no known kind is
// all other text. (Whole leading parts and their colours are in the golden record.)
TEST_F(ChatOutput, ALeadingPartWithoutItsEndColoursOneCharacter) {
  EXPECT_EQ(Show("Info ( no closing").Pieces(),
            (Pieces{{"I", kClWhite}, {"nfo ( no closing", kClSilver}}));
  EXPECT_EQ(Show("\u00AB( carol )\u00AB psst").Pieces(),
            (Pieces{{"\u00AB( carol )\u00AB ", kClGreen}, {"psst", kClSilver}}));
  // Without its closing marker the leading part is as many characters long as it always was.
  EXPECT_EQ(Show("\u00AB( xy").Pieces(), (Pieces{{"\u00AB( ", kClGreen}, {"xy", kClSilver}}));
  EXPECT_EQ(Show("<no closing bracket").Pieces(), (Pieces{{"<no closing bracket", kClSilver}}));
}

// The name in a whisper's prefix stays in the prefix colour; later rows win where words overlap.
TEST_F(ChatOutput, CustomWordsColourTheRestOnlyAndLaterRowsWin) {
  s.core().custom_colors().Append({"hi", "clRed"});
  s.core().custom_colors().Append({"i h", "clBlue"});
  s.core().custom_colors().Append({"x", "not a colour"});
  s.Server("1004 WHISPER Hiro 0000 \"hi hi\"");
  EXPECT_EQ(
      s.ui.lines.back().Pieces(),
      (Pieces{
          {"\u00AB( Hiro )\u00AB ", kClGreen}, {"h", kClRed}, {"i h", kClBlue}, {"i", kClRed}}));
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
  // The per-channel files in lower case are in the golden record; here the other choices.
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
  // The bell is gone before the line is shown; every other control character is logged as "?"
  // (a C1 control, two bytes in UTF-8, as "??"). The log is UTF-8.
  EXPECT_EQ(ReadFile(log).substr(ReadFile(log).find("<mallory>")),
            "<mallory> ?]0;owned?[2J?tab\there?cr?lf??? caf\u00e9\r\n");
}

}  // namespace
}  // namespace tc::test
