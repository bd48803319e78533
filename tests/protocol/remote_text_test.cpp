// Names, channels and texts chosen by other users travel through every line the bot builds by
// itself: they go out byte for byte and never run a local command or a template. Also the limits
// on what one remote user can make the bot send, and the operator rule for a lone channel.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>

#include "harness/session.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

// A line put together from strings cannot be sent without saying which parts are untrusted.
template <typename T>
concept Sendable = requires(Client& core, T line) {
  core.SendText(line);
};
static_assert(Sendable<TaintedText> && Sendable<const char (&)[6]>);
static_assert(!Sendable<std::string> && !Sendable<std::string_view> && !Sendable<const char*>);

const std::string kExit = "<$/w:/exit$>";
const std::string kChannel = "x <time> <account> <%userinfo;seed001;Notes%> <$a:b$>a";
const std::string kId = " //id;1;Talvex Chat;Build:1515;State:Available;";

class RemoteText : public ::testing::Test {
 protected:
  void SetUp() override {
    s.core().options().anti_flood = false;  // every line leaves at once
    s.LogIn("talvexbot", "Some Channel");
    s.Server("1018 INFO \"Audible notification on.\"");
    s.core().database().UpdateUser("seed001", {{UserField::kNotes, "secret note"}});
    std::filesystem::create_directories(s.dir / "Execute");
    std::ofstream(s.dir / "Execute" / "evil.sh") << "#!/bin/sh\n";
    s.Written();
  }
  // Lines written to the server that begin with `head`.
  std::vector<std::string> SentLines(std::string_view head = "") {
    std::vector<std::string> out;
    for (const std::string& line : SplitLines(s.Written())) {
      if (line.starts_with(head)) out.push_back(line);
    }
    return out;
  }
  Session s{kStartedUp};
};

struct HostileCase {
  const char* what;
  std::vector<std::string> server;  // lines the server sends, in order
  int64_t then_ms;                  // the clock moves on this far afterwards
  std::vector<std::string> sent;    // every line the bot writes
};
void PrintTo(const HostileCase& c, std::ostream* os) {
  *os << c.what;
}

class HostileNames : public RemoteText, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileNames, GoOutLiterallyAndRunNothing) {
  const HostileCase& c = GetParam();
  s.core().accounts().Append({kExit, "Ban;", OnOff::kOn});
  s.core().accounts().Append({"<$/w:/execute$>", "Ignore;", OnOff::kOn});
  for (const std::string& line : c.server) s.Server(line);
  s.Advance(c.then_ms);
  EXPECT_EQ(SentLines(), c.sent) << c.what;
  EXPECT_EQ(s.ui.close_requests, 0) << c.what;
  EXPECT_TRUE(s.ui.opened_files.empty()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    EveryBuiltLine, HostileNames,
    ::testing::Values(
        HostileCase{"identification whisper",
                    {"1002 JOIN <$/w:/exit$> 0100 [CHAT]"},
                    0,
                    {"/ban " + kExit, "/w " + kExit + kId}},
        HostileCase{"identification whisper to a script name",
                    {"1002 JOIN <$/w:/execute$><$Available;:\\evil.sh$> 0100 [CHAT]"},
                    0,
                    {"/w <$/w:/execute$><$Available;:\\evil.sh$>" + kId}},
        HostileCase{"rejoin for operator",
                    {"1007 CHANNEL \"<$/join:/exit$>\"", "1001 USER talvexbot 0010 [CHAT]"},
                    1000,
                    {"/join The Void", "/join <$/join:/exit$>"}},
        HostileCase{"rejoin for operator, templates in the channel",
                    {"1007 CHANNEL \"" + kChannel + "\"", "1001 USER talvexbot 0010 [CHAT]"},
                    1000,
                    {"/join The Void", "/join " + kChannel}},
        HostileCase{
            "kick rejoin",
            {"1007 CHANNEL \"" + kChannel + "\"", "1001 USER talvexbot 0010 [CHAT]",
             "1001 USER opal 0002 [CHAT]", "1018 INFO \"talvexbot has been kicked by opal.\""},
            0,
            {"/join " + kChannel}},
        HostileCase{"ban join",
                    {"1018 INFO \"talvexbot has been banned by <$/w:/exit$> (x).\""},
                    0,
                    {"/join Talvex Chat"}},
        HostileCase{"auto-ban", {"1002 JOIN <$/w:/exit$> 0000 [CHAT]"}, 0, {"/ban " + kExit}},
        HostileCase{"ignore of an ignored speaker",
                    {"1005 TALK <$/w:/execute$> 0000 \"hi\""},
                    0,
                    {"/ignore <$/w:/execute$>"}},
        HostileCase{"who answer",
                    {"1001 USER <%userinfo;seed001;Notes%> 0000 [CHAT]",
                     "1004 WHISPER <$/w:/exit$> 0000 \"!who\""},
                    0,
                    {"/w " + kExit + " talvexbot, <%userinfo;seed001;Notes%>"}},
        HostileCase{"information answer",
                    {"1004 WHISPER <$/w:/exit$> 0000 \"//TC;GetInfo;\""},
                    0,
                    {"/w " + kExit + " //TC;Info;"}}));

// --- What one remote user can make the bot send

TEST_F(RemoteText, WhoIsAnsweredOncePerHalfMinutePerUser) {
  s.Server("1004 WHISPER carol 0000 \"!who\"");
  s.Server("1004 WHISPER CAROL 0000 \"!who\"");
  s.Server("1004 WHISPER dave 0000 \"!who\"");
  EXPECT_EQ(SentLines("/w "), (Strings{"/w carol talvexbot", "/w dave talvexbot"}));
  s.Advance(29999);
  s.Server("1004 WHISPER carol 0000 \"!who\"");
  EXPECT_TRUE(SentLines("/w ").empty());
  s.Advance(1);
  s.Server("1004 WHISPER carol 0000 \"!who\"");
  EXPECT_EQ(SentLines("/w "), (Strings{"/w carol talvexbot"}));
}

TEST_F(RemoteText, OneIdentificationWhisperPerBeepingUserPerConnection) {
  for (int i = 0; i < 3; ++i) {
    s.Server("1002 JOIN beeper 0110 [CHAT]");
    s.Server("1003 LEAVE beeper 0110");
  }
  s.Server("1001 USER Beeper 0110 [CHAT]");
  s.Server("1002 JOIN plain 0210 [CHAT]");      // no beep flag
  s.Server("1001 USER talvexbot 0110 [CHAT]");  // never oneself
  EXPECT_EQ(SentLines(), (Strings{"/w beeper" + kId}));
  s.ServerCloses();
  s.LogIn("talvexbot", "Some Channel");
  s.Written();
  s.Server("1002 JOIN beeper 0110 [CHAT]");
  EXPECT_EQ(SentLines("/w "), (Strings{"/w beeper" + kId}));
}

TEST_F(RemoteText, StateChangesAreWhisperedOnlyToCopiesInTheChannel) {
  s.Server("1001 USER here 0000 [CHAT]");
  s.Server("1001 USER gone 0000 [CHAT]");
  s.Server("1001 USER plain 0000 [CHAT]");
  for (const char* copy : {"here", "gone"}) {
    s.Server("1004 WHISPER " + std::string(copy) +
             " 0000 \"//id;1;Talvex Chat;Build:1515;State:Available;\"");
  }
  s.Server("1003 LEAVE gone 0000");
  s.Written();
  s.Server("1018 INFO \"You are now marked as being away.\"");
  EXPECT_EQ(SentLines("/w "), (Strings{"/w here //id;1;Talvex Chat;Build:1515;State:Away;"}));
}

// --- An operator alone in its channel stays

TEST_F(RemoteText, ALoneTemporaryOrAccountOperatorDoesNotRejoinWhenTheOtherUserLeaves) {
  const struct {
    const char* own_flags;
    const char* other_flags;  // in the other user's join line
  } cases[] = {{"0002", "0010"},
               {"0008", "0010"},
               // A rejoining user is listed with stale operator flags first.
               {"0002", "0002"},
               {"0008", "0002"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.own_flags) + " / " + c.other_flags);
    // A channel of its own each time: nothing of an earlier case's rejoin attempt holds.
    s.Server("1007 CHANNEL \"Op Room " + std::string(c.own_flags) + c.other_flags + "\"");
    s.Server("1001 USER talvexbot 0010 [CHAT]");
    s.Server(std::string("1009 USER talvexbot ") + c.own_flags);
    s.Server(std::string("1002 JOIN bob ") + c.other_flags + " [CHAT]");
    s.Server("1009 USER bob 0000");
    EXPECT_EQ(s.core().recorded_operator(), "talvexbot");
    EXPECT_EQ(s.core().client_state(), ClientState::kOperator);
    s.Server("1018 INFO \"bob has been kicked by talvexbot.\"");
    s.Server("1003 LEAVE bob 0000");
    s.Advance(3000);
    EXPECT_TRUE(SentLines("/join").empty());
  }
}

// --- Whisper recipients: one rule for the window and the console

TEST_F(RemoteText, WhisperRecipientsComeFromTheChannelList) {
  using Source = Client::RecipientSource;
  s.Server("1001 USER talvexbot 0010 [CHAT]");
  s.Server("1001 USER Alice 0000 [CHAT]");
  struct Step {
    const char* name;
    Source source;
    bool added;
  };
  const Step steps[] = {{"alice", Source::kChannelUser, true},       // stored as the list spells it
                        {"ALICE", Source::kChannelUser, false},      // no duplicate
                        {"alice", Source::kTyped, false},            // not by typing either
                        {"TalvexBot", Source::kChannelUser, false},  // never the own account
                        {"talvexbot", Source::kTyped, false},
                        {"carol", Source::kChannelUser, false},  // not in the channel
                        {"hi there\nbob", Source::kChannelUser, false},
                        {"", Source::kTyped, false},
                        {"carol", Source::kTyped, true}};  // typed names need not be present
  for (const Step& step : steps) {
    EXPECT_EQ(s.core().AddWhisperRecipient(step.name, step.source), step.added) << step.name;
  }
  std::vector<std::string> names;
  for (const auto& row : s.core().whisper_recipients().Rows()) names.push_back(row[0]);
  EXPECT_EQ(names, (Strings{"Alice", "carol"}));
}

}  // namespace
}  // namespace tc::test
