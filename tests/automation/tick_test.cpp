// The one-second tick through a whole client: what the user timers, auto-away and anti-idle put on
// the socket, and when, under the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../persistence/profile_files.h"
#include "../send/send_fixture.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

class Tick : public ::testing::Test {
 protected:
  void Type(const std::string& line) { s.core().SendText(TaintedText(line)); }
  void PressSend(const std::string& text) {
    s.core().main_input().text = text;
    s.core().SendActiveInput();
  }
  SendFixture f{false};
  Session& s = f.s;
};

TEST_F(Tick, ATimerOfThirtySecondsFiresThirtyOneSecondsAfterItWasMadeAndEveryThirtyOneAfter) {
  Type("/newtimer t;30;/me ticks <state>;on");
  for (int firing = 0; firing < 4; ++firing) {
    s.Advance(30999);
    EXPECT_EQ(s.Written(), "") << firing;
    s.Advance(1);
    EXPECT_EQ(s.Written(), "/me ticks Available\r\n") << firing;
  }
}

TEST_F(Tick, TwoTimerBreaksInAnyCaseMakeThreeLinesAfterExpansion) {
  s.core().variables().Append({"$two$", "two<timerbreak>three"});
  Type("/newtimer t;0;one <state><TimerBreak>$two$;on");
  s.Advance(1000);
  s.Advance(10000);  // the queue's pace
  const Strings lines = WrittenLines(s);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(Strings(lines.begin(), lines.begin() + 3), (Strings{"one Available", "two", "three"}));
}

TEST_F(Tick, StepsRunInTheirOrderWithinOneSecond) {
  // Alone in a fresh channel with audible notifications unconfirmed: the rejoin for operator
  // status and the beep come from the same second as the timer, after it.
  Session lone{kStartedUp};
  lone.core().options().anti_flood = false;
  lone.LogIn("talvexbot", "Op Room");
  lone.Written();
  lone.core().SendText(TaintedText("/newtimer t;0;first;on"));
  lone.Advance(1000);
  EXPECT_EQ(WrittenLines(lone), (Strings{"first", "/join The Void", "/join Op Room"}));
  lone.Advance(19000);
  lone.Written();
  lone.Advance(1000);
  EXPECT_EQ(WrittenLines(lone), (Strings{"first", "/beep"}));
}

TEST_F(Tick, NothingCountsWhileDisconnected) {
  Type("/newtimer t;5;/me hi;on");
  s.Advance(3000);
  s.ServerCloses();
  s.core().options().reconnect = false;
  s.Advance(60000);
  EXPECT_EQ(s.core().timers().RowAt(0).count, 3);
  EXPECT_EQ(s.Written(), "");
}

TEST_F(Tick, AutoAwayGoesAwayOneDelayAfterTheLastSendAndNotAgainWhileAway) {
  s.core().SetAutoAwayMinutes(1);
  s.core().SetAutoAway(true);
  PressSend("hello");
  EXPECT_EQ(s.Written(), "hello\r\n");
  // Neither another button, a local command nor the bot's own lines count as the owner typing.
  s.Advance(30000);
  s.core().main_input().text = "waves";
  s.core().EmoteActiveInput();
  Type("/newtimer t;10;tick;on");
  s.Advance(30999);
  EXPECT_EQ(WrittenLines(s), (Strings{"/me waves", "tick", "tick"}));
  s.Advance(1);
  EXPECT_EQ(s.Written(), "/away I am currently away from Talvex Chat 2000 Build 1515\r\n");
  Type("/deltimer t");
  s.Server("1018 INFO \"You are now marked as being away.\"");
  s.Advance(61000 * 2);
  EXPECT_EQ(s.Written(), "");
}

TEST_F(Tick, SendPostponesAutoAwayAndOperatorNeverGoesAwayButTheCountdownRestarts) {
  s.core().SetAutoAwayMinutes(1);
  s.core().SetAutoAway(true);
  s.Advance(30000);
  PressSend("still here");
  s.Written();
  s.Advance(60999);
  EXPECT_EQ(s.Written(), "");
  s.core().RequestState(ClientState::kOperator);
  s.Advance(1);  // the countdown ran out here
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(s.core().client_state(), ClientState::kOperator);
  s.core().RequestState(ClientState::kAvailable);
  s.Advance(60999);
  EXPECT_EQ(s.Written(), "");
  s.Advance(1);
  EXPECT_EQ(s.Written(), "/away I am currently away from Talvex Chat 2000 Build 1515\r\n");
}

struct AntiIdleCase {
  bool on;
  std::vector<std::string> profile;
  int64_t period_ms;
  std::string raised;  // the line as the event hands it on, before expansion
  Strings sent;
};

class AntiIdle : public ::testing::TestWithParam<AntiIdleCase> {};

TEST_P(AntiIdle, EachPeriodRaisesTheEventWithTheLineAndSendsItWhenOn) {
  const AntiIdleCase& c = GetParam();
  TempDir dir;
  WriteBytes(ProfilePath(dir.path(), "Default"), Coded(c.profile));
  Session s(dir.path(), kStartedUp);
  // Off: the login still starts the anti-idle timer, for the keys.
  s.core().SetAntiIdle(c.on);
  s.core().options().anti_flood = false;
  s.LogIn();
  s.Server("1018 INFO \"Audible notification on.\"");
  s.Server("1001 USER alice 0000 [CHAT]");
  s.Written();
  std::vector<std::string> raised;
  s.core().SetEventHook([&](Event event, std::string_view user, std::string_view text) {
    if (event == Event::kAntiIdle) raised.push_back(std::string(user) + "|" + std::string(text));
  });
  // The login enabled the anti-idle timer at 0.
  s.Advance(c.period_ms - s.clock.NowMs() - 1);
  EXPECT_TRUE(raised.empty());
  s.Advance(1);
  EXPECT_EQ(raised, Strings{"talvexbot|/me Anti-Idle Talvex Chat 2000 (" + c.raised + ")"});
  EXPECT_EQ(WrittenLines(s), c.sent);
}

const std::string kGetIt = "ma=$anti-idle$\u00d1Get <version> now";
INSTANTIATE_TEST_SUITE_P(
    OnOff, AntiIdle,
    ::testing::Values(
        AntiIdleCase{true,
                     {kGetIt},
                     600000,
                     "Get <version> now",
                     {"/me Anti-Idle Talvex Chat 2000 (Get Talvex Chat 2000 Build 1515 now)"}},
        AntiIdleCase{false, {kGetIt}, 600000, "Get <version> now", {}},
        // Three minutes from the profile.
        AntiIdleCase{true,
                     {"oj=3", "ma=$anti-idle$\u00d1idle"},
                     3 * 60000,
                     "idle",
                     {"/me Anti-Idle Talvex Chat 2000 (idle)"}}));

}  // namespace
}  // namespace tc::test
