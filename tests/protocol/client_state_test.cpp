// The client state, the state menu and the inter-client messages carried in whispers.
#include <gtest/gtest.h>

#include "harness/session.h"

namespace tc::test {
namespace {

class ClientState : public ::testing::Test {
 protected:
  void SetUp() override { Start(true); }
  void Start(bool use_database) {
    s.core().Initialise();
    s.core().options().auto_connect = false;
    s.core().options().use_database = use_database;
    s.core().options().auto_ops = false;
    s.core().Activate();
    s.LogIn("talvexbot", "Some Channel");
    s.Server("1018 INFO \"Audible notification on.\"");
    s.Written();
    s.ui.TakeLines();
    s.ui.states.clear();
  }
  // Every line written to the server, once any queued line has had its turn.
  std::vector<std::string> Sent() {
    s.Advance(30 * 1000);
    return SplitLines(s.Written());
  }
  void Confirm(const std::string& text) { s.Server("1018 INFO \"" + text + "\""); }
  std::string Field(std::string_view name, UserField field) {
    return s.core().database().GetUserField(name, field);
  }
  std::string State() { return std::string(ToText(s.core().client_state())); }

  Session s;
};

using Lines = std::vector<std::string>;

// The spellings other copies, the user database and "<state>" know: each read back as itself,
// exact, letter case included (the spellings themselves are in the cases below and the golden
// records).
TEST(ClientStateText, EachStateKeepsItsSpellingBothWays) {
  using enum tc::ClientState;
  for (const tc::ClientState state :
       {kNone, kAvailable, kAway, kDoNotDisturb, kOperator, kDisconnected}) {
    EXPECT_EQ(ClientStateFromText(ToText(state)), state) << ToText(state);
  }
  EXPECT_EQ(ToText(kNone), "");
  EXPECT_EQ(ClientStateFromText("away"), std::nullopt);
  EXPECT_EQ(ClientStateFromText("Available "), std::nullopt);
}

TEST_F(ClientState, AwayAsksTheServerAndWaitsForItsConfirmation) {
  s.core().RequestState(tc::ClientState::kAway);
  EXPECT_EQ(Sent(), (Lines{"/away I am currently away from Talvex Chat 2000 Build 1515"}));
  EXPECT_EQ(State(), "Available");
  Confirm("You are now marked as being away.");
  EXPECT_EQ(State(), "Away");
  EXPECT_EQ(s.ui.states, (Lines{"Away"}));
  EXPECT_EQ(Field("talvexbot", UserField::kStatus), "Away");
  // Already away: nothing more to ask.
  s.core().RequestState(tc::ClientState::kAway);
  EXPECT_TRUE(Sent().empty());
  s.core().RequestState(tc::ClientState::kAvailable);
  EXPECT_EQ(Sent(), (Lines{"/away"}));
  Confirm("You are no longer marked as away.");
  EXPECT_EQ(State(), "Available");
}

TEST_F(ClientState, TheAwayAndDndTextsComeFromTheirVariables) {
  s.core().variables().Append({"$away$", "first"});
  s.core().variables().Append({"$away$", "gone fishing"});  // the last row of a name wins
  s.core().variables().Append({"$AWAY$", "wrong case"});    // names are exact
  s.core().variables().Append({"$dnd$", "busy now"});
  s.core().RequestState(tc::ClientState::kAway);
  EXPECT_EQ(Sent(), (Lines{"/away gone fishing"}));
  s.core().RequestState(tc::ClientState::kDoNotDisturb);
  EXPECT_EQ(Sent(), (Lines{"/dnd busy now"}));
}

TEST_F(ClientState, AwayChosenWhileInDndSwitchesDndOffFirst) {
  s.core().RequestState(tc::ClientState::kDoNotDisturb);
  EXPECT_EQ(Sent(), (Lines{"/dnd I'm busy, please don't disturb me."}));
  Confirm("Do Not Disturb mode engaged.");
  ASSERT_EQ(State(), "DND");
  s.core().RequestState(tc::ClientState::kAway);
  EXPECT_EQ(Sent(), (Lines{"/dnd", "/away I am currently away from Talvex Chat 2000 Build 1515"}));
  EXPECT_EQ(State(), "DND");
  Confirm("Do Not Disturb mode canceled.");
  Confirm("You are now marked as being away.");
  EXPECT_EQ(State(), "Away");
  EXPECT_TRUE(Sent().empty());
  // And the other way round.
  s.core().RequestState(tc::ClientState::kDoNotDisturb);
  EXPECT_EQ(Sent(), (Lines{"/away", "/dnd I'm busy, please don't disturb me."}));
  s.core().RequestState(tc::ClientState::kDoNotDisturb);
  EXPECT_EQ(Sent(), (Lines{"/away", "/dnd I'm busy, please don't disturb me."}));
}

TEST_F(ClientState, OperatorIsLocalOnly) {
  s.core().RequestState(tc::ClientState::kOperator);
  EXPECT_EQ(State(), "Operator");
  // The notices ending away or do-not-disturb leave it alone.
  Confirm("Do Not Disturb mode canceled.");
  Confirm("You are no longer marked as away.");
  EXPECT_TRUE(Sent().empty());
  s.core().RequestState(tc::ClientState::kOperator);
  EXPECT_EQ(s.ui.states, (Lines{"Operator"}));
  s.core().RequestState(tc::ClientState::kAvailable);
  EXPECT_EQ(State(), "Available");
  EXPECT_TRUE(Sent().empty());
  // From DND the server hears of it; the state is Operator at once.
  s.core().RequestState(tc::ClientState::kDoNotDisturb);
  Confirm("Do Not Disturb mode engaged.");
  Sent();
  s.core().RequestState(tc::ClientState::kOperator);
  EXPECT_EQ(Sent(), (Lines{"/dnd"}));
  EXPECT_EQ(State(), "Operator");
}

TEST_F(ClientState, MenuActionsWhileNotLoggedInOnlyShowDisconnected) {
  s.ServerCloses();
  s.Advance(0);
  s.ui.states.clear();
  s.core().options().reconnect = false;
  using enum tc::ClientState;
  for (const tc::ClientState state : {kAway, kDoNotDisturb, kOperator, kAvailable}) {
    s.core().RequestState(state);
  }
  EXPECT_EQ(s.ui.states, Lines(4, "Disconnected"));
  EXPECT_EQ(State(), "Disconnected");
  EXPECT_TRUE(s.Written().empty());
}

TEST_F(ClientState, IdentificationMessagesSetTheSendersRecord) {
  s.Server("1001 USER other 0000 [CHAT]");
  s.Server("1004 WHISPER other 0000 \"//id;1;Pebble Chat;Build:7;\"");
  EXPECT_EQ(Field("other", UserField::kInterBot_Name), "Pebble Chat");
  EXPECT_EQ(Field("other", UserField::kStatus), "Available");
  EXPECT_EQ(Field("other", UserField::kTold_InterBot), "Yes");
  s.Server("1004 WHISPER other 0000 \"//id;1;Talvex Chat;Build:1515;State:Away\"");
  EXPECT_EQ(Field("other", UserField::kStatus), "Away");
  EXPECT_EQ(Field("other", UserField::kInterBot_Name), "Talvex Chat");
  // The icon is chosen with the client name the record held before.
  EXPECT_EQ(Field("other", UserField::kIcon), "18");
  s.Server("1004 WHISPER other 0000 \"//id;1;Talvex Chat;Build:1515;State:DND;\"");
  EXPECT_EQ(Field("other", UserField::kIcon), "24");
  // No ";" after the tag: the client name is empty.
  s.Server("1004 WHISPER other 0000 \"//id;1;Nameless\"");
  EXPECT_EQ(Field("other", UserField::kInterBot_Name), "");
  EXPECT_TRUE(s.ui.lines.empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(ClientState, AnInformationRequestIsAnsweredWithTheOwnInformation) {
  s.core().database().UpdateUser(
      "talvexbot", {{UserField::kInformation, "Name=Bot;Age=1;Description=<b> \"hi\" %>;"}});
  s.Server("1004 WHISPER alice 0000 \"//TC;GetInfo;\"");
  EXPECT_EQ(Sent(), (Lines{"/w alice //TC;Info;Name=Bot;Age=1;Description=<b> \"hi\" %>;"}));
  EXPECT_TRUE(s.ui.lines.empty());
}

TEST_F(ClientState, AnInformationAnswerOpensTheProfileOnlyForTheTarget) {
  s.Server("1004 WHISPER alice 0000 \"//TC;Info;Name=Alice;<%x%>;\"");
  EXPECT_EQ(Field("alice", UserField::kInformation), "Name=Alice;<%x%>;");
  EXPECT_TRUE(s.ui.profiles.empty());
  s.core().SetInformationTarget("Bob");
  s.Server("1004 WHISPER alice 0000 \"//TC;Info;Name=Alice2;\"");
  EXPECT_TRUE(s.ui.profiles.empty());
  EXPECT_EQ(s.core().information_target(), "Bob");
  s.Server("1004 WHISPER bob 0000 \"//TC;Info;Name=Bob;\"");
  EXPECT_EQ(s.ui.profiles, (Lines{"Bob|talvexbot"}));
  EXPECT_EQ(Field("bob", UserField::kInformation), "Name=Bob;");
  EXPECT_EQ(s.core().information_target(), "");
  // The target is cleared: a second answer opens nothing.
  s.Server("1004 WHISPER bob 0000 \"//TC;Info;Name=Bob;\"");
  EXPECT_EQ(s.ui.profiles.size(), 1u);
  EXPECT_TRUE(s.ui.lines.empty());
}

class ClientStateWithoutDatabase : public ClientState {
 protected:
  void SetUp() override { Start(false); }
};

TEST_F(ClientStateWithoutDatabase, EveryOtherUserHearsOfAChangeAndTheAnswerIsZero) {
  s.Server("1001 USER alice 0000 [CHAT]");
  s.Server("1001 USER bob 0000 [STAR]");
  Sent();
  s.core().RequestState(tc::ClientState::kOperator);
  EXPECT_EQ(Sent(), (Lines{"/w alice //id;1;Talvex Chat;Build:1515;State:Operator;",
                           "/w bob //id;1;Talvex Chat;Build:1515;State:Operator;"}));
  s.Server("1004 WHISPER alice 0000 \"//TC;GetInfo;\"");
  EXPECT_EQ(Sent(), (Lines{"/w alice //TC;Info;0"}));
}

}  // namespace
}  // namespace tc::test
