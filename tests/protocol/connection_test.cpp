// Connection and login as the server, the user and the clock drive them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "harness/session.h"

namespace tc::test {
namespace {

class Connection : public ::testing::Test {
 protected:
  void SetUp() override {
    s.core().options().account_name = "talvexbot";
    s.core().options().password = "botpass";
  }
  Session s{kStartedUp};
};

TEST_F(Connection, MissingFieldsShowTheSetupPageOpenNothingAndSayWhichIsMissing) {
  const struct {
    const char* account;
    const char* password;
    const char* server;
    LoginStop why;
  } cases[] = {
      {"talvexbot", "", "127.0.0.1", LoginStop::kNoPassword},
      {"", "botpass", "127.0.0.1", LoginStop::kNoAccountName},
      {"", "", "", LoginStop::kNoAccountName},
      {"talvexbot", "botpass", "", LoginStop::kNoServer},
  };
  for (const auto& c : cases) {
    Options& o = s.core().options();
    const std::string server = o.server;
    o.account_name = c.account;
    o.password = c.password;
    o.server = c.server;
    s.ui.login_stops.clear();
    s.core().ToggleConnection();
    EXPECT_EQ(s.socket.opens, 0);
    EXPECT_EQ(s.ui.pages.back(), Page::kSetup);
    EXPECT_EQ(s.ui.login_stops, std::vector<LoginStop>{c.why});
    o.server = server;
  }
  s.core().options().password.clear();

  // A guest needs no password, and one typed in is dropped.
  s.core().options().account_name = "Guest";
  s.core().options().password = "typed";
  s.core().ToggleConnection();
  EXPECT_EQ(s.socket.opens, 1);
  EXPECT_EQ(s.core().options().password, "");
  s.Connected();
  s.Server("Enter your account name and password.");
  EXPECT_EQ(s.Written(), std::string("\x03\x04", 2) + "Guest\r\n\r\n/beep\r\n");
}

// The wait the last "Attempting reconnect in N seconds..." line announced; -1 when none.
int AnnouncedWait(const FakeFrontend& ui) {
  const std::string prefix = "System ( Attempting reconnect in ";
  const std::vector<std::string> texts = ui.Texts();
  for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
    if (it->rfind(prefix, 0) == 0) return std::stoi(it->substr(prefix.size()));
  }
  return -1;
}

// Lets the clock run to the next attempt, which the server refuses at once; the seconds waited.
int64_t RefuseNextAttempt(Session& s) {
  const int opens = s.socket.opens;
  const int64_t from = s.clock.NowMs();
  while (s.socket.opens == opens && s.clock.NowMs() - from < 3600 * 1000) s.Advance(1000);
  s.core().OnError(SocketError::kConnectionRefused);
  s.DeliverPendingDisconnect();
  return (s.clock.NowMs() - from) / 1000;
}

class Backoff : public Connection, public ::testing::WithParamInterface<bool> {};

TEST_P(Backoff, DoublesToThreeMinutesOnTheSelectedServerAndALoginStartsAgain) {
  s.core().options().auto_server = GetParam();  // the built-in list, "127.0.0.1" selected
  s.LogIn();
  s.ServerCloses();
  std::vector<int64_t> announced;
  std::vector<int64_t> waited;
  for (int attempt = 0; attempt < 40; ++attempt) {  // about two hours of a server away
    announced.push_back(AnnouncedWait(s.ui));
    waited.push_back(RefuseNextAttempt(s));
  }
  const std::vector<int64_t> first{5, 10, 20, 40, 80, 160, 180, 180};
  EXPECT_EQ(std::vector<int64_t>(announced.begin(), announced.begin() + 8), first);
  EXPECT_EQ(waited, announced);
  EXPECT_EQ(announced.back(), 180);
  // Nothing but the selected server is ever opened, however long it stays away.
  EXPECT_EQ(s.socket.opened_hosts, std::vector<std::string>(41, "127.0.0.1"));

  s.LogIn();
  s.ServerCloses();
  EXPECT_EQ(AnnouncedWait(s.ui), 5);
  EXPECT_EQ(RefuseNextAttempt(s), 5);
  EXPECT_EQ(AnnouncedWait(s.ui), 10);
}

INSTANTIATE_TEST_SUITE_P(AutomaticServerChoice, Backoff, ::testing::Bool());

TEST_F(Connection, AutomaticServerChoiceWalksOnlyTheSelectedServersNetwork) {
  s.core().servers().Clear();  // without the built-in list
  s.core().servers().Append({"???", "10.0.0.1", "home.example"});
  s.core().options().server = "10.0.0.1";
  // Added rows join the selected server's network unless told another.
  for (const char* host : {"10.0.0.19", "10.0.0.2", "10.0.0.29", "10.0.0.3"}) {
    EXPECT_TRUE(
        s.core().AddServer(host, std::string_view(host).ends_with('9') ? "elsewhere.example" : ""));
  }
  EXPECT_FALSE(s.core().AddServer("10.0.0.2", "elsewhere.example"));
  EXPECT_FALSE(s.core().AddServer(""));
  s.LogIn();
  s.ServerCloses();
  EXPECT_TRUE(s.ui.Showed("System ( Searching for fastest Battle.Net server, please wait... )"));
  for (int i = 0; i < 4; ++i) RefuseNextAttempt(s);
  EXPECT_TRUE(s.ui.Showed("System ( Attempting connection to next fastest server... )"));
  EXPECT_EQ(s.socket.opened_hosts,
            (std::vector<std::string>{"10.0.0.1", "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.1"}));
}

TEST_F(Connection, AServerGivenOnTheCommandLineIsTheOnlyOneReached) {
  s.core().servers().Append({"???", "10.9.9.9", "Public"});
  s.core().ApplyOverrides({.server = "127.0.0.1", .port = 16112, .account = {}, .password = {}});
  s.LogIn();
  EXPECT_EQ(s.socket.port, 16112);
  for (int i = 0; i < 3; ++i) {
    s.ServerCloses();
    s.Advance(5000);
    EXPECT_EQ(s.socket.host, "127.0.0.1");
  }
  EXPECT_FALSE(s.ui.Showed("System ( Searching for fastest Battle.Net server, please wait... )"));
}

TEST_F(Connection, ConnectTimeoutEndsASilentAttemptAndReconnects) {
  s.core().ToggleConnection();
  s.Advance(19999);
  EXPECT_EQ(s.socket.closes, 0);
  s.Advance(1);
  EXPECT_TRUE(s.ui.Showed("System ( Connection to (127.0.0.1) timed out, disconnecting... )"));
  EXPECT_TRUE(s.ui.Showed("System ( Attempting reconnect in 5 seconds... )"));
  s.Advance(5000);
  EXPECT_EQ(s.socket.opens, 2);
}

TEST_F(Connection, PressingTheButtonWhileConnectingStopsForGood) {
  std::vector<std::string> events;
  s.core().SetEventHook(
      [&](Event e, std::string_view, std::string_view) { events.emplace_back(EventName(e)); });
  s.core().ToggleConnection();
  s.core().ToggleConnection();
  EXPECT_EQ(events, std::vector<std::string>{"#Disconnecting"});
  EXPECT_EQ(s.socket.closes, 1);
  EXPECT_TRUE(s.ui.Showed("System ( Disconnecting... )"));
  s.Advance(10 * 60 * 1000);
  EXPECT_EQ(s.socket.opens, 1);
  EXPECT_EQ(s.core().connect_caption(), "Connect");
}

TEST(SocketErrors, EndTheConnectionWithOneLineAndReconnect) {
  const std::pair<SocketError, std::string> kinds[] = {
      {SocketError::kConnectionRefused, "Connection refused"},
      {SocketError::kConnectionReset, "Connection reset by the server"},
      {SocketError::kTimedOut, "No answer from the server"},
      {SocketError::kHostNotFound, "Host not found"},
      {SocketError::kNetworkUnreachable, "Network unreachable"},
      {SocketError::kOther, "Network error"}};
  for (const auto& [error, text] : kinds) {
    SCOPED_TRACE(text);
    Session s(kStartedUp);
    s.LogIn();
    s.ui.TakeLines();
    s.core().OnError(error);
    EXPECT_EQ(s.socket.closes, 1);
    EXPECT_EQ(s.ui.Texts(),
              std::vector<std::string>{"System ( Connection to (127.0.0.1) lost: " + text + " )"});
    s.DeliverPendingDisconnect();
    EXPECT_FALSE(s.core().logged_in());
    EXPECT_EQ(s.core().client_state(), ClientState::kDisconnected);
    EXPECT_EQ(s.core().options().last_channel, "Chat");
    EXPECT_EQ(AnnouncedWait(s.ui), 5);
  }
}

// Each kind's text is read in the lost case above. A failed attempt is said at once, without the
// time-out, and both lines name where it went: the port too when it is not the usual one.
TEST_F(Connection, AFailedAttemptEndsAtOnceWithoutWaitingForTheTimeOut) {
  s.core().ApplyOverrides({.server = "::1", .port = 16112, .account = {}, .password = {}});
  s.ui.TakeLines();
  s.core().ToggleConnection();
  s.core().OnError(SocketError::kConnectionRefused);
  s.DeliverPendingDisconnect();
  EXPECT_EQ(s.ui.Texts(), (std::vector<std::string>{
                              "System ( Connecting to ([::1]:16112)... )",
                              "System ( Connection to ([::1]:16112) failed: Connection refused )",
                              "System ( Disconnected from ::1 at 09:30:00 )",
                              "System ( Attempting reconnect in 5 seconds... )"}));
  s.Advance(5000);
  EXPECT_EQ(s.socket.opens, 2);
}

// The server's prompt and its answer to the credentials, the way it sends them.
void AnswerLogin(Session& s, std::string_view answer) {
  s.Receive("Enter your account name and password.\r\nUsername: ");
  s.Receive("talvexbot\r\nPassword: \r\n\r\n" + std::string(answer) + "\r\n\r\nUsername: ");
  s.DeliverPendingDisconnect();
}

// The same on the connection the clock opens next.
void AnswerNextLogin(Session& s, std::string_view answer) {
  const int opens = s.socket.opens;
  while (s.socket.opens == opens) s.Advance(1000);
  s.Connected();
  AnswerLogin(s, answer);
}

const std::string kStaleSession =
    "System ( Login failed: the server still holds this account's lost session, trying again... "
    ")";

TEST_F(Connection, ARefusedReloginAfterALossWaitsForTheOldSessionWithTheUsualBackOff) {
  s.LogIn("talvexbot");
  s.ServerCloses();  // the link died; the server still holds the session
  std::vector<int> announced{AnnouncedWait(s.ui)};
  for (int attempt = 0; attempt < 8; ++attempt) {
    s.ui.TakeLines();
    s.Written();
    AnswerNextLogin(s, "Login failed.");
    EXPECT_EQ(s.Written(), std::string("\x03\x04", 2) + "talvexbot\r\nbotpass\r\n/beep\r\n");
    const std::vector<std::string> shown = s.ui.Texts();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kStaleSession), 1);
    announced.push_back(AnnouncedWait(s.ui));
  }
  EXPECT_EQ(announced, (std::vector<int>{5, 10, 20, 40, 80, 160, 180, 180, 180}));
  EXPECT_TRUE(s.ui.messages.empty());
  EXPECT_TRUE(s.ui.login_stops.empty());
  EXPECT_FALSE(s.core().user_disconnect());

  // The server let the old session go: the next attempt is back in the channel.
  const int opens = s.socket.opens;
  s.Advance(180 * 1000);
  ASSERT_EQ(s.socket.opens, opens + 1);
  s.Connected();
  s.Receive("Enter your account name and password.\r\nUsername: ");
  s.Receive("talvexbot\r\nPassword: \r\n2010 NAME talvexbot\r\n1007 CHANNEL \"Chat\"\r\n");
  EXPECT_TRUE(s.core().logged_in());
  EXPECT_EQ(s.core().current_channel(), "Chat");
}

TEST_F(Connection, ALostSessionWithoutAutoReconnectIsSaidAndLeftToTheUser) {
  s.LogIn("talvexbot");
  s.ServerCloses();
  s.core().options().reconnect = false;
  AnswerNextLogin(s, "Login failed.");
  EXPECT_TRUE(
      s.ui.Showed("System ( Login failed: the server still holds this account's lost session )"));
  EXPECT_TRUE(s.ui.messages.empty());
  const int opens = s.socket.opens;
  s.Advance(10 * 60 * 1000);
  EXPECT_EQ(s.socket.opens, opens);
}

TEST(Refusals, CredentialsNeverAcceptedInThisRunOrNoBotAccessStopForGood) {
  const struct {
    bool accepted_before;      // the same account logged in earlier in this run
    const char* new_password;  // typed after that login; empty: unchanged
    const char* answer;
    LoginStop why;
  } cases[] = {
      {false, "", "Login failed.", LoginStop::kWrongPassword},
      {false, "", "Login incorrect", LoginStop::kWrongPassword},  // the older spelling
      {false, "", "Account has no bot access.", LoginStop::kNoBotAccess},
      {true, "other", "Login failed.", LoginStop::kWrongPassword},  // the password changed since
      {true, "", "Account has no bot access.", LoginStop::kNoBotAccess}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.answer) + (c.accepted_before ? " after a login" : ""));
    Session s(kStartedUp);
    s.core().options().account_name = "talvexbot";
    s.core().options().password = "botpass";
    if (c.accepted_before) {
      s.LogIn("talvexbot");
      s.ServerCloses();
      if (*c.new_password != '\0') s.core().options().password = c.new_password;
      AnswerNextLogin(s, c.answer);
    } else {
      s.core().ToggleConnection();
      s.Connected();
      AnswerLogin(s, c.answer);
    }
    EXPECT_FALSE(s.ui.Showed(kStaleSession));
    ASSERT_EQ(s.ui.messages.size(), 1u);
    EXPECT_EQ(s.ui.pages.back(), Page::kSetup);
    EXPECT_EQ(s.ui.login_stops, std::vector<LoginStop>{c.why});
    const int opens = s.socket.opens;
    s.Advance(10 * 60 * 1000);
    EXPECT_EQ(s.socket.opens, opens);
  }
}

class Watchdog : public Connection, public ::testing::WithParamInterface<bool> {};

TEST_P(Watchdog, WarnsAfterThreeHundredAndOneSilentSecondsOnlyWithoutKeepAlive) {
  const bool keep_alive = GetParam();
  s.socket.keep_alive = keep_alive;
  s.LogIn();
  s.Server("1018 INFO \"Audible notification on.\"");
  s.ui.TakeLines();
  const std::string warning =
      "System ( Your connection may be lost, it is recommended that you reconnect. )";
  s.Advance(300 * 1000);
  EXPECT_FALSE(s.ui.Showed(warning));
  s.Advance(1000);
  EXPECT_EQ(s.ui.Showed(warning), !keep_alive);
  s.ui.TakeLines();
  s.Advance(301 * 1000);
  EXPECT_EQ(s.ui.Showed(warning), !keep_alive);
  EXPECT_EQ(s.socket.closes, 0);
}

INSTANTIATE_TEST_SUITE_P(KeepAlive, Watchdog, ::testing::Bool());

TEST_F(Connection, BeepIsKeptUpUntilTheServerConfirmsEitherSpelling) {
  s.core().options().anti_flood = false;  // the send queue's pace is tested on its own
  s.LogIn();
  s.Written();
  s.Advance(20 * 1000);
  EXPECT_EQ(s.Written(), "");
  s.Advance(1000);
  EXPECT_EQ(s.Written(), "/beep\r\n");
  s.Server("1018 INFO \"Audible notification on.\"");
  s.Advance(120 * 1000);
  EXPECT_EQ(s.Written(), "");
  // Turned off at the server: turned on again at once.
  s.Server("1018 INFO \"Audible notification off.\"");
  EXPECT_EQ(s.Written(), "/beep\r\n");
  EXPECT_FALSE(s.ui.Showed("Info ( Audible notification off. )"));
}

TEST_F(Connection, WelcomeLineRunsTheWelcomeStepsOncePerConnection) {
  s.core().options().channel_choice = ChannelChoice::kLastVisited;
  s.core().options().last_channel = "Op Room";
  s.core().ToggleConnection();
  s.Connected();
  s.Server("Enter your account name and password.");
  s.Server("2010 NAME talvexbot");
  s.Written();
  s.Server("1018 INFO \"Welcome to Battle.net!\"");
  EXPECT_EQ(s.Written(), "/join Op Room\r\n");
  s.Server("1007 CHANNEL \"Chat\"");
  EXPECT_EQ(s.Written(), "");
  EXPECT_TRUE(s.ui.Showed("Info ( Welcome to Battle.net! )"));
}

// Closing the program disconnects only a logged-in client, and nothing reconnects afterwards, not
// even a reconnect wait left running by connecting again by hand.
TEST(ConnectionClosing, DisconnectsOnlyWhenLoggedInAndNeverReconnects) {
  for (const bool logged_in : {false, true}) {
    Session s(kStartedUp);
    s.core().options().password = "botpass";
    if (logged_in) {
      s.LogIn();
      s.ServerCloses();
      s.LogIn();
    } else {
      s.core().ToggleConnection();
      s.Connected();
    }
    s.core().Shutdown();
    EXPECT_TRUE(s.ui.Showed("System ( Shutting down, please wait... )"));
    EXPECT_EQ(s.ui.Showed("System ( Disconnecting... )"), logged_in);
    EXPECT_EQ(s.socket.closes, logged_in ? 1 : 0);
    if (!logged_in) continue;  // the attempt's own time-out still runs
    s.Advance(10 * 60 * 1000);
    EXPECT_EQ(s.socket.opens, 2);
  }
}

TEST_F(Connection, CloseProgramOnDisconnectOptions) {
  s.core().options().close_on_disconnect = CloseOnDisconnect::kOnlyWhenRequested;
  s.LogIn();
  s.ServerCloses();
  EXPECT_EQ(s.ui.close_requests, 0);
  s.Advance(5000);
  s.Connected();
  s.core().ToggleConnection();
  EXPECT_EQ(s.ui.close_requests, 1);

  s.core().options().close_on_disconnect = CloseOnDisconnect::kAlways;
  s.DeliverPendingDisconnect();
  EXPECT_EQ(s.ui.close_requests, 2);
}

}  // namespace
}  // namespace tc::test
