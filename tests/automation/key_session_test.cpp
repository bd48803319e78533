// Keys in a running client: server lines in, the bytes the keys send out, events that run keys,
// chains of keys that end, other users' text that stays text, and the key test's answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../send/send_fixture.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

constexpr std::string_view kStarTalk = "All;Messages;State:Available;Product:[STAR];";
constexpr std::string_view kAnyone =
    "All;Messages;Whispers;Emotes;State:Available;Product:[STAR];Product:[CHAT];";

KeyRow Key(std::string_view text, std::string_view action, std::string_view applies_to = kAnyone,
           std::string_view applies_on = "", std::string_view history = "",
           OnOff state = OnOff::kOn) {
  return {std::string(text),       std::string(action),  std::string(applies_to),
          std::string(applies_on), std::string(history), state};
}

class KeySession : public ::testing::Test {
 protected:
  KeySession() {
    s.Server("1001 USER bob 0000 [STAR]");
    s.Server("1001 USER /exit 0000 [STAR]");
    s.core().database().UpdateUser("talvexbot", {{UserField::kProduct, "[CHAT]"}});
    s.Written();
    s.ui.TakeLines();
  }
  void AddKeys(const std::vector<KeyRow>& keys) {
    for (const KeyRow& key : keys) s.core().keys().Append(key);
  }
  int Shown(const std::string& text) { return f.CountShown(text); }

  SendFixture f{false};
  Session& s = f.s;
};

TEST_F(KeySession, TalkWhispersEmotesAndEventsSendWhatTheirKeysSay) {
  const struct {
    std::vector<KeyRow> keys;
    Strings server;
    Strings sent;
  } cases[] = {
      {{Key("hello*bot", "/w <user> hi <user>", kStarTalk)},
       {"1005 TALK bob 0000 \"BOT, hello\"", "1004 WHISPER bob 0000 \"hello bot\"",
        "1005 TALK alice 0000 \"hello bot\""},
       {"/w bob hi bob"}},
      {{Key("hi", "one <user><break>two<BREAK>")},
       {"1005 TALK bob 0000 \"hi\""},
       {"one bob", "two"}},
      {{Key("hi", "first"), Key("hi", "second"), Key("hi", "off", kAnyone, "", "", OnOff::kOff)},
       {"1023 EMOTE bob 0000 \"waves hi\""},
       {"first", "second"}},
      {{Key("hi", "once", kAnyone, "1;")},
       {"1005 TALK bob 0000 \"hi\"", "1005 TALK bob 0000 \"hi\"", "1005 TALK alice 0000 \"hi\""},
       {"once", "once"}},
      {{Key("#user_joined", "/w <user> welcome to <event>", "All;State:Available;Product:[STAR];"),
        Key("some", "seen <event>", "All;State:Available;Product:[STAR];"),
        Key("#User_Spoke", "spoke", "All;State:Available;Product:[STAR];")},
       {"1002 JOIN carol 0000 [STAR]", "1005 TALK bob 0000 \"hi\"", "1002 JOIN dave 0000 [W2BN]"},
       {"/w carol welcome to Some Channel", "seen Some Channel"}},
  };
  for (const auto& c : cases) {
    s.core().keys().Clear();
    AddKeys(c.keys);
    for (const std::string& line : c.server) s.Server(line);
    EXPECT_EQ(WrittenLines(s), c.sent) << c.keys.front().key_text;
  }
  // The empty part after the last "<BREAK>" went too, and was refused as an empty line.
  EXPECT_EQ(Shown("System ( You must enter a message. )"), 1);
}

TEST_F(KeySession, AKeyThatCallsItselfEndsWithOneMessageAndTheRunGoesOn) {
  AddKeys({Key("loop", "/keyexecute <user>;loop<break>/keyexecute <user>;loop"),
           Key("loop", "after <user>")});
  s.Server("1005 TALK bob 0000 \"loop\"");
  EXPECT_EQ(WrittenLines(s), (Strings{"after bob"}));
  EXPECT_EQ(f.TakeShown(),
            (Strings{"System ( Key \"loop\" stopped: its lines call keys more than 32 deep. )",
                     "<talvexbot> after bob", "<bob> loop"}));
  // The next talk starts afresh.
  s.Server("1005 TALK bob 0000 \"loop\"");
  EXPECT_EQ(WrittenLines(s), (Strings{"after bob"}));
}

TEST_F(KeySession, KeysRaisingEachOtherThroughJoinEndOnceAndTheBotStaysAwake) {
  AddKeys({Key("#Leave_Channel", "/join Other", "All;State:Available;Product:[CHAT];"),
           Key("hello", "hello <user>")});
  s.core().SendText("/join Elsewhere");
  const Strings sent = WrittenLines(s);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), "/join Elsewhere");
  EXPECT_EQ(Shown("System ( Key \"#Leave_Channel\" stopped: its lines call keys more than 32 "
                  "deep. )"),
            1);
  for (const std::string& text : f.Shown()) EXPECT_EQ(text.find("nested"), std::string::npos);
  s.Server("1005 TALK bob 0000 \"hello\"");
  EXPECT_EQ(WrittenLines(s), (Strings{"hello bob"}));
}

TEST_F(KeySession, AnotherUsersTextNeverBecomesACommand) {
  AddKeys({Key("edit", "<event>"), Key("edit", "/w <user> <event>"), Key("edit", "<user> said"),
           Key("edit", "/send <event>")});
  s.Server("1005 TALK bob 0000 \"/edit $mood$;x\"");
  s.Server("1005 TALK /exit 0000 \"edit\"");
  EXPECT_EQ(WrittenLines(s),
            (Strings{"/w bob /edit $mood$;x", "bob said", "edit", "/w /exit edit", "edit"}));
  EXPECT_EQ(s.core().VariableValue("$mood$"), "");
  EXPECT_EQ(s.ui.close_requests, 0);
  EXPECT_EQ(Shown("System ( A line beginning with another user's \"/\" was not sent. )"), 3);
  // Nor does another user's "<break>" start a line of the owner's.
  s.Server("1005 TALK bob 0000 \"edit<break>/exit\"");
  EXPECT_EQ(WrittenLines(s), (Strings{"edit<break>/exit", "/w bob edit<break>/exit", "bob said",
                                      "edit<break>/exit"}));
  EXPECT_EQ(s.ui.close_requests, 0);
}

// With the pacing on, a key's lines wait in the automatic lane and the owner's line overtakes them.
TEST(KeyLines, AreAutomaticSoTheOwnersLineGoesFirst) {
  SendFixture paced(true);
  Session& s = paced.s;
  s.Server("1001 USER bob 0000 [STAR]");
  s.core().keys().Append(Key("hi", "one<break>two<break>three"));
  s.Server("1005 TALK bob 0000 \"hi\"");
  s.core().SendText("mine");
  s.Advance(60 * 1000);
  EXPECT_EQ(WrittenLines(s), (Strings{"mine", "one", "two", "three"}));
}

TEST_F(KeySession, TheKeyTestNamesTheFirstTestThatStoppedEachKeyAndCountsNothing) {
  AddKeys({Key("zzz", "x"), Key("hello", "x", kStarTalk, "", "", OnOff::kOff),
           Key("hello", "x", "Friends;Messages;State:Available;Product:[STAR];"),
           Key("hello", "x", "All;Messages;State:Away;Product:[STAR];"),
           Key("hello", "x", "All;Messages;State:Available;Product:[CHAT];"),
           Key("hello", "x", std::string(kStarTalk) + "<%equals;alice%>"),
           Key("hello", "x", "All;Whispers;State:Available;Product:[STAR];"),
           Key("hello", "x", kStarTalk, "2;", "bob=4;"), Key("hello", "x", kStarTalk)});
  const Strings expected = {
      "1. \"zzz\": not selected: neither its words are in the text nor is it the kind",
      "2. \"hello\": stopped by its state: Off",
      "3. \"hello\": stopped by the user type (the speaker is Other;)",
      "4. \"hello\": stopped by the client state (its applies-to lacks \"Available;\")",
      "5. \"hello\": stopped by the product (its applies-to lacks \"Product:[STAR];\")",
      "6. \"hello\": stopped by a condition tag",
      "7. \"hello\": stopped by the message kind (its applies-to lacks \"Messages;\")",
      "8. \"hello\": stopped by the applies-on count (this would be trigger 5)",
      "9. \"hello\": fires (trigger 1)"};
  EXPECT_EQ(s.core().ExplainKeys("bob", "well hello", "Messages;"), expected);
  // Nobody the database has seen gets no further than the product.
  EXPECT_EQ(s.core().ExplainKeys("stranger", "hello", "Messages;").back(),
            "9. \"hello\": stopped by the product (the speaker has no database record)");
  EXPECT_EQ(s.core().keys().RowAt(7).history, "bob=4;");
  EXPECT_EQ(s.core().keys().RowAt(8).history, "");
  EXPECT_EQ(WrittenLines(s), Strings{});
}

}  // namespace
}  // namespace tc::test
