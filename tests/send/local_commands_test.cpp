// The local slash commands: what each does to the program, and lines that only look like them.
#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>

#include "send_fixture.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

class LocalCommands : public ::testing::Test {
 protected:
  // The program's own variables out of the way: the rows seen are the commands' own.
  LocalCommands() { s.core().variables().Clear(); }
  void Send(const std::string& line) { s.core().SendText(TaintedText(line)); }
  SendFixture f{false};
  Session& s = f.s;
};

TEST_F(LocalCommands, DisplayChatTextWhisperTextClearBrowserExitAndConnect) {
  Send("/DISPLAY hello");
  Send("/chattext more");
  Send("/whispertext psst");
  EXPECT_EQ(f.TakeShown(), (Strings{"Display ( hello )"}));
  EXPECT_EQ(s.core().main_input().text, "more");
  EXPECT_EQ(s.core().whisper_input().text, "psst");
  const int clears = s.ui.chat_clears;
  Send("/clear");
  EXPECT_EQ(s.ui.chat_clears, clears + 1);
  Send("/browser http://127.0.0.1/page.html");
  ASSERT_FALSE(s.ui.pages.empty());
  EXPECT_EQ(s.ui.pages.back(), Page::kBrowser);
  EXPECT_EQ(s.core().browser_url(), "http://127.0.0.1/page.html");
  Send("/exit");
  EXPECT_EQ(s.ui.close_requests, 1);
  EXPECT_EQ(s.Written(), "");
  Send("/connect");  // toggles: here, off
  EXPECT_EQ(s.socket.closes, 1);
  EXPECT_EQ(s.core().connect_caption(), "Connect");
}

TEST_F(LocalCommands, SendExpandsTheRestAgainAndRunsItsCommand) {
  s.core().variables().Append({"$x$", "shown"});
  Send("/send /display $x$");
  EXPECT_EQ(f.TakeShown(), (Strings{"Display ( shown )"}));
  Send("/send hello");
  EXPECT_EQ(s.Written(), "hello\r\n");
}

TEST_F(LocalCommands, SendNestedWithoutEndStops) {
  std::string line;
  for (int i = 0; i < 200; ++i) line += "/send ";
  Send(line + "deep");
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(f.TakeShown(), (Strings{"System ( Commands nested more than 32 deep; the line was not "
                                    "sent. )"}));
}

TEST_F(LocalCommands, RowsWithSemicolonFallThroughToTheServerWithoutOne) {
  Send("/usfwrite notes");
  Send("/keyexecute bob");
  Send("/edit $x$");
  Send("/group Friend");
  EXPECT_EQ(s.Written(), "/usfwrite notes\r\n/keyexecute bob\r\n/edit $x$\r\n/group Friend\r\n");
  EXPECT_FALSE(std::filesystem::exists(s.dir / "UserFiles"));
  Send("/keyexecute bob;hello");  // runs the keys (none yet): nothing leaves
  EXPECT_EQ(s.Written(), "");
}

// Each line and the variables after it: a value is not expanded, so it keeps its templates;
// <add> and <sub> count in any case of name and tag; new rows keep the list sorted.
TEST_F(LocalCommands, EditSetsDeletesAndCountsVariables) {
  const std::pair<const char*, std::vector<VariableRow>> steps[] = {
      {"/EDIT $greet$;hi <user>", {{"$greet$", "hi <user>"}}},
      {"/edit $greet$;<DELETE>", {}},
      {"/edit $greet$;<delete>", {}},  // deleting nothing adds nothing
      {"/edit $n$;<add>", {{"$n$", "1"}}},
      {"/edit $N$;<Add>", {{"$n$", "2"}}},
      {"/edit $n$;<sub>", {{"$n$", "1"}}},
      {"/edit $m$;<sub>", {{"$m$", "-1"}, {"$n$", "1"}}},
      {"/edit $z$;y", {{"$m$", "-1"}, {"$n$", "1"}, {"$z$", "y"}}},
      {"/edit $a$;x", {{"$a$", "x"}, {"$m$", "-1"}, {"$n$", "1"}, {"$z$", "y"}}}};
  for (const auto& [line, rows] : steps) {
    Send(line);
    EXPECT_EQ(s.core().variables().Rows(), rows) << line;
  }
}

TEST_F(LocalCommands, EditAddOnANonIntegerShowsAnErrorAndChangesNothing) {
  s.core().variables().Append({"$v$", "ten"});
  s.core().variables().Append({"$w$", "2147483647"});
  Send("/edit $v$;<add>");
  Send("/edit $w$;<add>");
  EXPECT_EQ(s.core().variables().RowAt(0).value, "ten");
  EXPECT_EQ(s.core().variables().RowAt(1).value, "2147483647");
  const std::vector<std::string> shown = f.TakeShown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], "Error ( \"ten\" is not a valid integer value )");
  // The program goes on: the next line is handled as usual.
  Send("/edit $v$;11");
  Send("/edit $v$;<add>");
  EXPECT_EQ(s.core().variables().RowAt(0).value, "12");
}

TEST_F(LocalCommands, GroupAddsOnceRemovesAndIgnoresOtherActions) {
  Send("/group Friend;Bob;add");
  EXPECT_TRUE(s.core().accounts().Empty());
  Send("/group Friend;Bob;Add");
  Send("/group Friend;bob;Add");
  Send("/group Operator;;Add");
  Send("/group ;Bob;Add");
  Send("/group Ban;;");
  EXPECT_EQ(s.core().accounts().Rows(), (std::vector<AccountRow>{{"Bob", "Friend;", OnOff::kOn}}));
  Send("/group Enemy;BOB;Add");
  Send("/group Alice;Alice;Add");
  EXPECT_EQ(s.core().accounts().Rows(),
            (std::vector<AccountRow>{{"Alice", "Alice;", OnOff::kOn},
                                     {"Bob", "Friend;Enemy;", OnOff::kOn}}));
  Send("/group friend;bob;Remove");
  EXPECT_EQ(s.core().accounts().RowAt(1).type, "Enemy;");
  Send("/group Enemy;Bob;Remove");
  EXPECT_EQ(s.core().accounts().RowCount(), 1);
  EXPECT_EQ(s.Written(), "");
}

TEST_F(LocalCommands, NewTimerNeedsAllFourPartsAndMakesOddSwitchesOff) {
  Send("/newtimer t1;30;hello");
  Send("/newtimer t1;;hello;on");
  Send("/newtimer ;30;hello;on");
  EXPECT_TRUE(s.core().timers().Empty());
  Send("/newtimer t1;30;hello;on");
  Send("/newtimer t2;60;a;b;maybe");  // the switch is all after the third ";"
  Send("/newtimer t3;10;x;OFF");
  EXPECT_EQ(s.core().timers().Rows(),
            (std::vector<TimerRow>{
                {"t1", "30", "hello", "On;State:Away;State:Operator;State:Available;State:DND;", 0},
                {"t2", "60", "a", "Off;State:Away;State:Operator;State:Available;State:DND;", 0},
                {"t3", "10", "x", "Off;State:Away;State:Operator;State:Available;State:DND;", 0}}));
  Send("/newtimer T1;5;again;off");  // replaces every timer of that name
  EXPECT_EQ(s.core().timers().RowCount(), 3);
  EXPECT_EQ(s.core().timers().RowAt(2).name, "T1");
  EXPECT_EQ(s.core().timers().RowAt(2).state.substr(0, 4), "Off;");
}

TEST_F(LocalCommands, TimerOnOffMoveTheSwitchAndDelTimerRemoves) {
  s.core().timers().Append({"a", "30", "x", "Off;State:Away;", 0});
  s.core().timers().Append({"A", "30", "x", "On;State:DND;", 0});
  s.core().timers().Append({"b", "30", "x", "On;", 0});
  Send("/timeron a");
  EXPECT_EQ(s.core().timers().RowAt(0).state, "State:Away;On;");
  EXPECT_EQ(s.core().timers().RowAt(1).state, "State:DND;On;");
  Send("/timeroff A");
  EXPECT_EQ(s.core().timers().RowAt(0).state, "State:Away;Off;");
  EXPECT_EQ(s.core().timers().RowAt(2).state, "On;");
  Send("/deltimer a");
  EXPECT_EQ(s.core().timers().RowCount(), 1);
  EXPECT_EQ(s.core().timers().RowAt(0).name, "b");
}

TEST_F(LocalCommands, ExecuteOpensOnlyABareFileOfTheExecuteFolder) {
  Send("/execute tool.sh");
  const std::string folder = s.dir.string() + "/Execute";
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(f.TakeShown(), (Strings{"System ( Unable to execute " + folder + "/tool.sh )"}));
  std::ofstream(folder + "/tool.sh") << "#!/bin/sh\n";
  Send("/execute C:\\Windows\\..\\../../tool.sh");
  EXPECT_EQ(f.TakeShown(), (Strings{"System ( Executed " + folder + "/tool.sh )"}));
  EXPECT_EQ(s.ui.opened_files,
            (Strings{(std::filesystem::path(folder) / "tool.sh").string() + "|" + folder}));
  Send("/execute ..");
  Send("/execute ");
  EXPECT_EQ(s.ui.opened_files.size(), 1u);
}

}  // namespace
}  // namespace tc::test
