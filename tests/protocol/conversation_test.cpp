// Talk, emotes, whispers and notices as the server sends them: what is shown where, what goes
// back to the server, and what the bot hears.
#include <gtest/gtest.h>

#include "harness/session.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

class Conversation : public ::testing::Test {
 protected:
  void SetUp() override {
    s.core().SetEventHook([this](Event e, std::string_view u, std::string_view t) {
      events.push_back(std::string(EventName(e)) + "|" + std::string(u) + "|" + std::string(t));
    });
    // Alone in a private channel the bot would bounce for operator status; not wanted here.
    s.core().options().auto_ops = false;
    s.LogIn("talvexbot", "Some Channel");
    s.Server("1018 INFO \"Audible notification on.\"");
    s.Written();
    s.ui.TakeLines();
    events.clear();
  }
  // Every line written to the server, once any queued line has had its turn.
  std::vector<std::string> Sent() {
    s.Advance(30 * 1000);
    return SplitLines(s.Written());
  }
  std::vector<std::string> Chat() { return s.ui.Texts(View::kChat); }
  std::vector<std::string> Whispers() { return s.ui.Texts(View::kWhisper); }
  std::string Field(std::string_view name, UserField field) {
    return s.core().database().GetUserField(name, field);
  }

  Session s{kStartedUp};
  std::vector<std::string> events;
};

// --- Whispers received

TEST_F(Conversation, AWhisperFromAPartnerGoesOnlyToTheWhisperViewOncePerMatchingEntry) {
  s.core().whisper_recipients().Append({"Alice"});
  s.core().whisper_recipients().Append({"ALICE"});
  s.Server("1004 WHISPER alice 0000 \"hi there\"");
  EXPECT_TRUE(Chat().empty());
  EXPECT_EQ(Whispers(), (Strings{"<alice> hi there", "<alice> hi there"}));
  // No key, command or event runs for it (its colours are in the golden record).
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Conversation, AnInterClientWhisperFromAPartnerIsShownNowhere) {
  s.core().whisper_recipients().Append({"alice"});
  s.Server("1004 WHISPER alice 0000 \"//id;1;Talvex Chat;Build:1515;State:Away;\"");
  EXPECT_TRUE(s.ui.lines.empty());
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(Field("alice", UserField::kInterBot_Name), "Talvex Chat");
  EXPECT_EQ(Field("alice", UserField::kStatus), "Away");
  s.Server("1004 WHISPER carol 0000 \"//anything else\"");
  s.Server("1010 WHISPER carol 0000 \"//TC;GetInfo;\"");  // nor an own inter-client text
  EXPECT_TRUE(s.ui.lines.empty());
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Conversation, RemoteCommandsComeOnlyFromOrdinaryWhispers) {
  s.Server("1004 WHISPER carol 0000 \"!who\"");
  EXPECT_EQ(Sent(), (Strings{"/w carol talvexbot"}));
  s.core().whisper_recipients().Append({"carol"});
  s.Server("1004 WHISPER carol 0000 \"!who\"");
  s.Server("1004 WHISPER dave 0000 \"//!who\"");
  EXPECT_TRUE(Sent().empty());
}

// --- Whispers sent

TEST_F(Conversation, AWhisperToPartnersIsShownOnceInTheWhisperViewAsOwnLine) {
  s.core().whisper_recipients().Append({"alice"});
  s.Server("1010 WHISPER ALICE 0000 \"hello\"");  // the only partner: shown whatever was typed
  s.core().whisper_recipients().Append({"bob"});
  s.core().last_whisper_text() = "hi both";
  s.Server("1010 WHISPER alice 0000 \"hi both\"");
  s.Server("1010 WHISPER bob 0000 \"hi both\"");
  EXPECT_TRUE(Chat().empty());
  EXPECT_EQ(Whispers(), (Strings{"<talvexbot> hello", "<talvexbot> hi both"}));
  EXPECT_EQ(events.front(), "#You_Whispered|ALICE|hello");
  EXPECT_EQ(s.core().last_whisper_text(), "~!@#$%^");
  // A confirmation of some other text to a partner is not shown at all.
  s.Server("1010 WHISPER bob 0000 \"other\"");
  EXPECT_EQ(Whispers().size(), 2u);
  EXPECT_TRUE(Chat().empty());
}

// --- Talk and emotes

TEST_F(Conversation, TalkUpdatesTheSpeakersRecordAndFeedsTheBot) {
  s.Server("1005 TALK alice 0000 \"hi \"quoted\" <%In_Channel%>No %>\"");
  EXPECT_EQ(Chat(), (Strings{"<alice> hi \"quoted\" <%In_Channel%>No %>"}));
  EXPECT_EQ(events, (Strings{"#User_Spoke|alice|hi \"quoted\" <%In_Channel%>No %>"}));
  EXPECT_EQ(Field("alice", UserField::kLocation), "Some Channel");
  EXPECT_EQ(Field("alice", UserField::kIn_Channel), "Yes");
  EXPECT_EQ(Field("alice", UserField::kNumber_Times_Seen), "1");
  ASSERT_EQ(s.core().last_ten().RowCount(), 1);
  EXPECT_EQ(s.core().last_ten().Cell(0, 0), "alice");
}

TEST_F(Conversation, AnIgnoredSpeakerIsIgnoredEachTimeAndStillShown) {
  s.core().accounts().Append({"loud", "Friend;Ignore;", OnOff::kOn});
  s.Server("1005 TALK loud 0000 \"one\"");
  s.Server("1005 TALK loud 0000 \"two\"");
  EXPECT_EQ(Sent(), (Strings{"/ignore loud", "/ignore loud"}));
  EXPECT_EQ(Chat(), (Strings{"<loud> one", "<loud> two"}));
}

// Another user's emote, its closing bracket, event and record are in the golden record.
TEST_F(Conversation, TheOwnEmoteStillRaisesTheEventAndJoinsTheLastTen) {
  s.Server("1023 EMOTE talvexbot 0002 \"waves\"");
  EXPECT_EQ(Chat(), (Strings{"<talvexbot waves>"}));
  EXPECT_EQ(events, (Strings{"#User_Emote|talvexbot|waves>"}));
  EXPECT_EQ(s.core().last_ten().Cell(0, 0), "talvexbot");
  EXPECT_TRUE(Sent().empty());
}

// --- Kicked, banned

// Every wording of the own kick rejoins; other people's kicks and near names do not.
TEST_F(Conversation, OnlyTheOwnKickRejoinsInEveryWording) {
  for (const auto& [text, rejoins] : std::vector<std::pair<std::string, bool>>{
           {"talvexbot was kicked out of the channel by opal (bye).", true},
           {"talvexbot has been kicked by opal (too noisy).", true},
           {"talvexbot has been kicked by opal.", true},
           {"bob has been kicked by talvexbot (too noisy).", false},
           {"talvexbot2 has been kicked by opal.", false},
           {"talvexbotwas kicked out of the channel by opal", false},
           {"talvexbot_has been kicked by opal.", false},  // a glued character is no space
           {"TALVEXBOT has been kicked by opal.", false}}) {
    s.Server("1018 INFO \"" + text + "\"");
    EXPECT_EQ(Sent(), rejoins ? Strings{"/join Some Channel"} : Strings{}) << text;
    EXPECT_TRUE(s.ui.Showed("Info ( " + text + " )")) << text;
  }
  s.core().options().auto_rejoin_when_kicked = false;
  s.Server("1018 INFO \"talvexbot has been kicked by opal.\"");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Conversation, BannedFollowsOnBanJoin) {
  const std::vector<std::string> texts = {"talvexbot was banned by opal (spam).",
                                          "talvexbot has been banned by opal (spamming).",
                                          "talvexbot has been banned by opal."};
  const struct {
    OnBanJoin choice;
    const char* channel;
    Strings sent;
  } choices[] = {{OnBanJoin::kHomeChannel, "", {"/join Talvex Chat"}},
                 {OnBanJoin::kChannel, "Backup Room", {"/join Backup Room"}},
                 {OnBanJoin::kChannel, "", {}},
                 {OnBanJoin::kStayInTheVoid, "Backup Room", {}}};
  for (const std::string& text : texts) {
    for (const auto& c : choices) {
      s.core().options().on_ban = c.choice;
      s.core().options().on_ban_channel = c.channel;
      s.Server("1018 INFO \"" + text + "\"");
      EXPECT_EQ(Sent(), c.sent) << text << " " << c.channel;
    }
  }
  s.core().options().on_ban = OnBanJoin::kHomeChannel;
  s.Server("1018 INFO \"bob has been banned by talvexbot.\"");
  s.Server("1018 INFO \"talvexbot2 was banned by opal.\"");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Conversation, BanNoticesCollectEachBannedUserOnceAndStayBounded) {
  s.Server("1018 INFO \"alpha was banned by opal.\"");
  s.Server("1018 INFO \"beta has been banned by opal (spamming).\"");
  s.Server("1018 INFO \"gamma has been banned by opal.\"");
  s.Server("1018 INFO \"beta is no longer banned from this channel.\"");
  s.Server("1018 INFO \"ALPHA has been banned by opal.\"");
  EXPECT_EQ(s.core().banned_users(), "alpha, beta, gamma, ");
  EXPECT_EQ(s.core().Prepare(TaintedText("[<bannedusers>]"), "", "").text(),
            "[alpha, beta, gamma]");  // one trailing separator less
  EXPECT_TRUE(s.ui.Showed("Info ( beta has been banned by opal (spamming). )"));
  // A new channel starts the text again.
  s.Server("1007 CHANNEL \"Elsewhere\"");
  EXPECT_EQ(s.core().banned_users(), "");
  for (int i = 0; i < 1000; ++i) {
    s.Server("1018 INFO \"user" + std::to_string(i) + " was banned by opal.\"");
  }
  EXPECT_EQ(s.core().banned_users().substr(0, 9), "user800, ");  // 200 names, the oldest gone
  EXPECT_TRUE(s.core().banned_users().ends_with(", user999, "));
  const std::string huge(3000, 'h');
  s.Server("1018 INFO \"" + huge + "1 was banned by opal.\"");
  s.Server("1018 INFO \"" + huge + "2 was banned by opal.\"");
  EXPECT_EQ(s.core().banned_users(), huge + "2, ");
}

// --- The own state

// The plain moves and that every notice is shown are in the golden record.
TEST_F(Conversation, AwayAndDoNotDisturbNoticesMoveTheState) {
  s.Server("1018 INFO \"You are now marked as being away.\"");
  // Engaged while away: away goes off at the server first.
  s.Server("1018 INFO \"Do Not Disturb mode engaged.\"");
  EXPECT_EQ(s.core().client_state(), ClientState::kDoNotDisturb);
  EXPECT_EQ(Sent(), (Strings{"/away"}));
  // Both spellings of the cancel count.
  s.Server("1018 INFO \"Do Not Disturb mode canceled.\"");
  EXPECT_EQ(s.core().client_state(), ClientState::kAvailable);
  s.Server("1018 INFO \"Do Not Disturb mode engaged.\"");
  s.Server("1018 INFO \"Do Not Disturb mode cancelled.\"");
  EXPECT_EQ(s.core().client_state(), ClientState::kAvailable);
  s.Server("1018 INFO \"Do Not Disturb mode engaged.\"");
  s.Server("1018 INFO \"You are now marked as being away.\"");
  EXPECT_EQ(s.core().client_state(), ClientState::kAway);
  EXPECT_EQ(Sent(), (Strings{"/dnd"}));
  s.Server("1018 INFO \"You are no longer marked as away.\"");
  EXPECT_EQ(s.core().client_state(), ClientState::kAvailable);
}

// The usual beep answer is hidden in the golden record; here the other wording.
TEST_F(Conversation, BeepAnswersAreHiddenAndTheDesignatedHeirOnlyAtHome) {
  s.Server("1018 INFO \"Audible notifications enabled.\"");
  EXPECT_TRUE(Chat().empty());
  s.Server("1018 INFO \"TalvexChat is your new designated heir.\"");
  EXPECT_TRUE(s.ui.Showed("Info ( TalvexChat is your new designated heir. )"));
  s.Server("1007 CHANNEL \"Talvex Chat\"");
  s.ui.TakeLines();
  s.Server("1018 INFO \"TalvexChat is your new designated heir.\"");
  EXPECT_TRUE(Chat().empty());
}

// --- Whois answers

TEST_F(Conversation, WhoisAnswerLinesAreHiddenOnlyWhileACheckRuns) {
  const std::vector<std::string> answers = {"and is currently in a private channel.",
                                            "and are currently in a game.",
                                            "and is currently in channel \"Some Channel\".",
                                            "(This game is password protected.)",
                                            "bob IS AWAY (gone fishing)",
                                            "You are refusing messages (busy)",
                                            "You are talvexbot, using Chat.",
                                            "bob is logged on through a gateway.",
                                            "bob is logged on from account #1234."};
  s.core().whois().phase = WhoisPhase::kUpdating;
  for (const std::string& text : answers) s.Server("1018 INFO \"" + text + "\"");
  s.Server("1019 ERROR \"That user is not logged on.\"");
  EXPECT_TRUE(Chat().empty());
  // PvPGN's own answer form is none of the six and stays visible.
  s.Server("1018 INFO \"bob is using Chat and is currently in channel \"Some Channel\".\"");
  s.Server("1019 ERROR \"Unknown user.\"");
  EXPECT_EQ(Chat().size(), 2u);
  s.ui.TakeLines();
  s.core().whois().phase = WhoisPhase::kReady;
  for (const std::string& text : answers) s.Server("1018 INFO \"" + text + "\"");
  s.Server("1019 ERROR \"That user is not logged on.\"");
  EXPECT_EQ(Chat().size(), answers.size() + 1);
  EXPECT_EQ(Chat().back(), "Error ( That user is not logged on. )");
}

// --- Bad input

TEST_F(Conversation, LinesCutShortAtEveryPositionAreHandledSafely) {
  s.core().whisper_recipients().Append({"alice"});
  const std::string full[] = {
      "1004 WHISPER alice 0000 \"hi \"q\" <%Location%> %>\"",
      "1004 WHISPER carol 0000 \"!who \"x\" %><%\"",
      "1004 WHISPER carol 0000 \"//TC;Info;Name=<%x%>;\"",
      "1010 WHISPER alice 0000 \"to \"you\" <%\"",
      "1010 WHISPER carol 0000 \"//id;1;Talvex Chat;Build:1515;State:Away;\"",
      "1005 TALK mallory 0000 \"a \"b\" <%Location%>Forged %>\"",
      "1023 EMOTE bob 0000 \"!waves \"hi\" <% %>\"",
      "1018 INFO \"You are now marked as being away.\"",
      "1018 INFO \"talvexbot has been banned by opal \"x\" <%.\"",
      "1019 ERROR \"That user is not logged on.\"",
      "1004 WHISPER alice 0000 \"//TC;Info;Name=x;\"",
      "1004 WHISPER dave 0000 \"//TC;GetInfo;\""};
  for (const std::string& line : full) {
    for (size_t cut = 0; cut < line.size(); ++cut) s.Server(line.substr(0, cut));
  }
  // Shown texts come only from the bytes given, and nothing broke the channel state.
  for (const auto& shown : s.ui.lines) EXPECT_LT(shown.text().size(), 80u) << shown.text();
  EXPECT_EQ(s.core().current_channel(), "Some Channel");
  EXPECT_EQ(s.core().client_state(), ClientState::kAvailable);
  // Only a whole inter-client request is answered (once the queue has sent every answer).
  s.Advance(5 * 60 * 1000);
  for (const std::string& line : Sent()) EXPECT_EQ(line.find("//"), std::string::npos) << line;
  // The last cut is one byte short of a whole line; none of these lines is shown whole.
  EXPECT_FALSE(s.ui.Showed("<mallory> a \"b\" <%Location%>Forged %>"));
}

// A real server answers a whisper to oneself with the confirmation, then the whisper itself.
TEST_F(Conversation, WhisperingOneselfAsPartnerShowsBothHalvesInTheWhisperView) {
  s.core().whisper_recipients().Append({"talvexbot"});
  s.Server("1010 WHISPER talvexbot 0002 \"note to self\"");
  s.Server("1004 WHISPER talvexbot 0002 \"note to self\"");
  EXPECT_EQ(Whispers(), (Strings{"<talvexbot> note to self", "<talvexbot> note to self"}));
}

}  // namespace
}  // namespace tc::test
