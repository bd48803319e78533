// SendText: expansion, the server line's checks, own talk shown once, and other users' text that
// must stay text.
#include <gtest/gtest.h>

#include <array>

#include "send/send_queue.h"
#include "send_fixture.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

class SendPath : public ::testing::Test {
 protected:
  SendFixture f{false};
  Session& s = f.s;
};

TEST_F(SendPath, NoFormatMarkerInCapitalsIsRemovedAndStopsExpansion) {
  s.core().variables().Append({"$who$", "world"});
  s.core().SendText("hello <NF>$who$");
  EXPECT_EQ(s.Written(), "hello $who$\r\n");
  s.core().SendText("hello $who$");
  EXPECT_EQ(s.Written(), "hello world\r\n");
}

TEST_F(SendPath, LineBreaksInsideNeverSplitALine) {
  s.core().SendText("one\r\ntwo\nthree");
  EXPECT_EQ(s.Written(), "one  two three\r\n");
}

TEST_F(SendPath, DisconnectedLinesAreRefused) {
  s.ServerCloses();
  f.TakeShown();
  s.core().SendText("anyone?");
  EXPECT_EQ(f.TakeShown(), (Strings{"System ( You are not connected. )"}));
  EXPECT_EQ(s.Written(), "");
}

TEST_F(SendPath, KickAndBanInTheProgramsHomeChannelNeedItsOwnAccount) {
  s.Server("1007 CHANNEL \"Talvex Chat\"");
  s.Written();
  f.TakeShown();
  s.core().SendText("/KICK bob");
  s.core().SendText("/ban bob");
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(f.CountShown("Error ( You are not a channel operator. )"), 2);
  s.core().SendText("/kickme");  // not the command word with its space
  EXPECT_EQ(s.Written(), "/kickme\r\n");
}

TEST_F(SendPath, JoinRaisesLeaveChannelBeforeTheLineIsQueued) {
  SendFixture queued;  // anti-flood on: the line waits
  std::vector<std::string> events;
  Session& q = queued.s;
  q.core().SetEventHook([&](Event e, std::string_view u, std::string_view t) {
    events.push_back(std::string(EventName(e)) + "|" + std::string(u) + "|" + std::string(t) + "|" +
                     std::to_string(q.core().send_queue().size()));
  });
  q.core().SendText("/JOIN Elsewhere");
  EXPECT_EQ(events, (Strings{"#Leave_Channel|talvexbot|Some Channel|0"}));
  q.Advance(1700);
  EXPECT_EQ(q.Written(), "/JOIN Elsewhere\r\n");
}

TEST_F(SendPath, OwnTalkIsShownWhenWrittenAndSlashLinesAndEchoesAreNot) {
  s.core().SendText("hi all");
  s.core().SendText("/me waves");
  EXPECT_EQ(f.TakeShown(), (Strings{"<talvexbot> hi all"}));
  EXPECT_EQ(s.core().sent_lines(), (Strings{"hi all"}));
  // A server that echoes talk has its echo recognised, not shown again.
  s.Receive("hi all\r\n");
  EXPECT_TRUE(f.Shown().empty());
  EXPECT_TRUE(s.core().sent_lines().empty());
  // A local message equal to a line sent earlier counts as the echo too.
  s.core().SendText("again");
  f.TakeShown();
  s.core().ShowLocal("again");
  EXPECT_EQ(f.Shown(), (Strings{"<talvexbot> again"}));
}

TEST_F(SendPath, ALiteralOwnLineSentEarlierIsNotTakenByTheShownLine) {
  s.core().SendText("<talvexbot> x");
  s.core().SendText("x");
  EXPECT_EQ(f.TakeShown(), (Strings{"<talvexbot> <talvexbot> x", "<talvexbot> x"}));
  EXPECT_EQ(s.core().sent_lines(), (Strings{"<talvexbot> x", "x"}));
}

TEST_F(SendPath, SentLinesListIsCapped) {
  for (int i = 0; i < 250; ++i) s.core().SendText(TaintedText("line " + std::to_string(i)));
  EXPECT_EQ(s.core().sent_lines().size(), 200u);
  EXPECT_EQ(s.core().sent_lines().front(), "line 50");
}

// Another user's text reaches the server as text and never runs as a local command.
class Untrusted : public ::testing::Test {
 protected:
  void Send(std::string_view template_line, std::string_view event_text) {
    s.core().SendText(s.core().Prepare(TaintedText(template_line), "mallory", event_text));
  }
  SendFixture f{false};
  Session& s = f.s;
};

// Local commands, "/send" and format markers in another user's text go to the server as text.
TEST_F(Untrusted, CommandsAndMarkersFromAnEventTextGoToTheServerAsText) {
  s.core().variables().Append({"$keep$", "1"});
  s.core().variables().Append({"$v$", "value"});
  const int variables = s.core().variables().RowCount();
  s.core().timers().Append({"t", "30", "hi", "On;State:Available;", 0});
  for (const auto& [line, event, written] : std::vector<std::array<std::string, 3>>{
           {"<event>", "/exit", "/exit"},
           {"<event>", "/edit $keep$;<delete>", "/edit $keep$;<delete>"},
           {"<event>", "/timeroff t", "/timeroff t"},
           {"<event>", "/usfdelete notes", "/usfdelete notes"},
           {"<event>", "/send /exit", "/send /exit"},
           {"/send <event>", "/exit", "/exit"},
           {"$v$ <event>", "<nf>", "value <nf>"}}) {
    Send(line, event);
    EXPECT_EQ(s.Written(), written + "\r\n") << event;
  }
  EXPECT_EQ(s.core().variables().RowCount(), variables);
  EXPECT_EQ(s.core().timers().RowAt(0).state, "On;State:Available;");
  EXPECT_FALSE(std::filesystem::exists(s.dir / "UserFiles"));
  EXPECT_EQ(s.ui.close_requests, 0);
}

// A trusted command word with another user's text after it still runs.
TEST_F(Untrusted, ATrustedCommandWordRunsWithTheTextAfterIt) {
  Send("/display <user> said <event>", "/exit");
  EXPECT_EQ(f.TakeShown(), (Strings{"Display ( mallory said /exit )"}));
  EXPECT_EQ(s.Written(), "");
}

TEST_F(Untrusted, ScriptLinesFromAnotherUserNeverBecomeCommands) {
  Send("/usfwrite log;<event>", "/exit");
  EXPECT_EQ(f.TakeShown(), (Strings{"Error ( A script line with another user's text cannot begin "
                                    "with \"/\". )"}));
  Send("/usfwrite log;said <event>", "<time> and <%navigate;x>");
  s.core().SendText("/usfexecute log");
  EXPECT_EQ(s.Written(), "said <time> and <%navigate;x>\r\n");
  EXPECT_EQ(s.ui.close_requests, 0);
}

}  // namespace
}  // namespace tc::test
