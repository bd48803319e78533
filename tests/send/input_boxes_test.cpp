// The Send, whisper and emote buttons, the input histories and the user-list popup commands.
#include <gtest/gtest.h>

#include "send_fixture.h"

namespace tc::test {
namespace {

class InputBoxes : public ::testing::Test {
 protected:
  void Type(const std::string& text) {
    s.core().main_input().text = text;
    s.core().SendActiveInput();
  }
  SendFixture f{false};
  Session& s = f.s;
};

TEST_F(InputBoxes, SendTakesTheMainInputKeepsHistoryNewestFirstAndEmptiesIt) {
  Type("one");
  Type("two");
  Type("one");
  EXPECT_EQ(s.Written(), "one\r\ntwo\r\none\r\n");
  EXPECT_EQ(s.core().main_input().text, "");
  EXPECT_EQ(s.core().main_input().history, (std::vector<std::string>{"two", "one"}));
  for (int i = 0; i < 30; ++i) Type("line " + std::to_string(i));
  ASSERT_EQ(s.core().main_input().history.size(), 25u);
  EXPECT_EQ(s.core().main_input().history.front(), "line 29");
  EXPECT_EQ(s.core().main_input().history.back(), "line 5");
}

TEST_F(InputBoxes, EmptySendIsRefusedButRemembered) {
  s.core().main_input().history = {"older"};
  Type("");
  EXPECT_EQ(f.TakeShown(), (std::vector<std::string>{"System ( You must enter a message. )"}));
  EXPECT_EQ(s.core().main_input().history, (std::vector<std::string>{"", "older"}));
  Type("");
  EXPECT_EQ(s.core().main_input().history.size(), 2u);
}

TEST_F(InputBoxes, TypedWhoisGoesToTheWhoisCheckNotTheServer) {
  Type("/WHOIS alice");
  EXPECT_EQ(s.Written(), "");
  ASSERT_GE(s.core().account_tracking().Size(), 1u);
  EXPECT_EQ(s.core().account_tracking().Front(), "alice");
  EXPECT_EQ(s.core().whois_requests().Cell(s.core().whois_requests().RowCount() - 1, 0), "alice");
  Type("/whoami");
  EXPECT_EQ(s.Written(), "/whoami\r\n");
}

TEST_F(InputBoxes, WhoisLinesWaitWhileTheCheckIsBusy) {
  s.core().whois().phase = WhoisPhase::kUpdating;
  Type("/whois bob");
  Type("/whoami");
  Type("/WHOIS carol");
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(s.core().whois().pending[0], "/whois bob");
  EXPECT_EQ(s.core().whois().pending[1], "/WHOIS carol");
  // Left in the box, not remembered.
  EXPECT_EQ(s.core().main_input().text, "/WHOIS carol");
  EXPECT_TRUE(s.core().main_input().history.empty());
}

TEST_F(InputBoxes, WhisperInputGoesToEveryRecipientAndIsRemembered) {
  s.core().whisper_recipients().Append({"alice"});
  s.core().whisper_recipients().Append({"bob"});
  s.core().FocusWhisperInput();
  EXPECT_EQ(s.core().active_input(), 2);
  s.core().whisper_input().text = "meet at 5";
  s.core().SendActiveInput();
  EXPECT_EQ(s.Written(), "/w alice meet at 5\r\n/w bob meet at 5\r\n");
  EXPECT_EQ(s.core().last_whisper_text(), "meet at 5");
  EXPECT_EQ(s.core().whisper_input().history, (std::vector<std::string>{"meet at 5"}));
  EXPECT_EQ(s.core().whisper_input().text, "");
  s.core().FocusMainInput();
  EXPECT_EQ(s.core().active_input(), 1);
}

TEST_F(InputBoxes, WhisperButtonsNeedASelectedUser) {
  s.core().main_input().text = "hi";
  s.core().WhisperActiveInputTo("");
  s.core().WhisperBoxTo("");
  EXPECT_EQ(f.CountShown("System ( You must first select a user. )"), 2);
  EXPECT_EQ(s.core().main_input().text, "hi");
  s.core().WhisperActiveInputTo("alice");
  s.core().whisper_input().text = "psst";
  s.core().WhisperBoxTo("bob");
  EXPECT_EQ(s.Written(), "/w alice hi\r\n/w bob psst\r\n");
  EXPECT_EQ(s.core().main_input().text, "");
  EXPECT_EQ(s.core().whisper_input().text, "");
}

TEST_F(InputBoxes, DoubleClickUsesTheActiveBox) {
  s.core().InsertUserName("alice");
  EXPECT_EQ(s.core().main_input().text, "alice");
  s.core().FocusWhisperInput();
  s.core().InsertUserName("bob");
  EXPECT_EQ(s.core().whisper_input().text, "bob");
}

TEST_F(InputBoxes, PopupCommandsFollowTheirTable) {
  for (const char* caption : {"/designate", "/kick", "/ban", "/ignore", "/unignore"}) {
    s.core().UsersPopupCommand(caption, "");
  }
  EXPECT_EQ(f.CountShown("System ( You must first select a user. )"), 5);
  for (const char* caption : {"/designate", "/kick", "/ban", "/ignore", "/unignore"}) {
    s.core().UsersPopupCommand(caption, "bob");
  }
  for (const char* caption : {"/resign", "/time", "/users", "/rejoin"}) {
    s.core().UsersPopupCommand(caption, "");
  }
  EXPECT_EQ(s.Written(),
            "/designate bob\r\n/kick bob\r\n/ban bob\r\n/ignore bob\r\n/unignore bob\r\n"
            "/resign\r\n/time\r\n/users\r\n/rejoin\r\n");
  s.core().UsersPopupCommand("/whois", "carol");
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(s.core().account_tracking().Front(), "carol");
}

TEST_F(InputBoxes, ANameFromTheChannelListIsNeverExpanded) {
  s.core().variables().Append({"<x>", "EXPANDED"});
  s.core().UsersPopupCommand("/kick", "<x>");
  s.core().whisper_input().text = "<x>";
  s.core().WhisperBoxTo("<x>");
  EXPECT_EQ(s.Written(), "/kick <x>\r\n/w <x> EXPANDED\r\n");
}

}  // namespace
}  // namespace tc::test
