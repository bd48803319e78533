// Received bytes as TCP and a hostile server may deliver them.
#include <gtest/gtest.h>

#include "harness/session.h"
#include "protocol/line_splitter.h"

namespace tc::test {
namespace {

TEST(LineSplitter, KeepsPiecesUntilTheirLineEndAndBoundsWhatItKeeps) {
  LineSplitter splitter;
  EXPECT_TRUE(splitter.Feed("1002 JOIN bob 0000 [ST").empty());
  EXPECT_EQ(splitter.Feed("AR]\r\n1005 TALK"),
            std::vector<std::string>{"1002 JOIN bob 0000 [STAR]"});
  EXPECT_EQ(splitter.Feed(" x\r"), std::vector<std::string>{});
  EXPECT_EQ(splitter.Feed("\n\r\n"), (std::vector<std::string>{"1005 TALK x", ""}));

  // A piece that never ends is handed on in bounded slices; nothing is lost.
  const std::string endless(100 * 1024, 'x');
  size_t handed = 0;
  for (const std::string& piece : splitter.Feed(endless)) {
    EXPECT_EQ(piece.size(), LineSplitter::kMaxPending);
    handed += piece.size();
  }
  EXPECT_LE(splitter.Pending().size(), LineSplitter::kMaxPending);
  EXPECT_EQ(handed + splitter.Pending().size(), endless.size());
}

class ReadHandler : public ::testing::Test {
 protected:
  void SetUp() override {
    s.LogIn("talvexbot", "Chat");
    s.ui.TakeLines();
    s.Written();
  }
  Session s{kStartedUp};
};

TEST_F(ReadHandler, AReadEqualToATypedLineMayBeThePieceOfALongerServerLine) {
  s.core().options().anti_flood = false;
  s.core().main_input().text = "1";
  s.core().SendActiveInput();
  EXPECT_EQ(s.Written(), "1\r\n");
  s.ui.TakeLines();
  s.Receive("1");
  s.Receive("005 TALK bob 0000 \"hello\"\r\n");
  EXPECT_EQ(s.ui.Texts(), std::vector<std::string>{"<bob> hello"});
  // The complete echo line is still recognised, and not shown twice.
  s.Receive("1\r\n");
  EXPECT_EQ(s.ui.lines.size(), 1u);
  EXPECT_TRUE(s.core().sent_lines().empty());
}

TEST_F(ReadHandler, TenThousandLinesInOneReadAreAllHandledInOrder) {
  std::string burst;
  for (int i = 0; i < 10000; ++i) burst += "1018 INFO \"line " + std::to_string(i) + "\"\r\n";
  s.Receive(burst);
  ASSERT_EQ(s.ui.lines.size(), 10000u);
  EXPECT_EQ(s.ui.lines.front().text(), "Info ( line 0 )");
  EXPECT_EQ(s.ui.lines.back().text(), "Info ( line 9999 )");
}

TEST_F(ReadHandler, ServerClosingDuringLoginLeadsToTheReconnect) {
  s.core().ToggleConnection();  // disconnect
  s.DeliverPendingDisconnect();
  s.core().ToggleConnection();
  s.Connected();
  s.Receive("BOT or Telnet Connection from [127.0.0.1]\r\n\r\nEnter your account name and pass");
  s.ServerCloses();
  EXPECT_FALSE(s.core().logged_in());
  EXPECT_TRUE(s.ui.Showed("System ( Attempting reconnect in 5 seconds... )"));
  s.Written();
  s.Advance(5000);
  s.Connected();
  // The piece of the old connection does not leak into the new one.
  s.Receive("word.\r\n");
  EXPECT_EQ(s.Written(), std::string("\x03\x04", 2));
  s.Receive("Enter your account name and password.\r\n");
  EXPECT_EQ(s.Written(), "talvexbot\r\nsecret\r\n/beep\r\n");
}

}  // namespace
}  // namespace tc::test
