// Text in today's codings: server lines in UTF-8 or Windows-1252 read right, typed lines leave in
// the profile's coding, and files keep what the code page cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/code_text.h"
#include "common/text.h"
#include "harness/session.h"
#include "persistence/settings_file.h"

namespace tc::test {
namespace {

// "café" as the two codings put it on the wire, and as the core holds it.
constexpr std::string_view kWordUtf8 = "caf\xC3\xA9";
constexpr std::string_view kWordCp1252 = "caf\xE9";
constexpr std::string_view kWord = "caf\u00E9";

std::string Fill(std::string_view pattern, std::string_view word) {
  std::string out;
  for (char c : pattern) {
    if (c == '@') {
      out += word;
    } else {
      out += c;
    }
  }
  return out;
}

class TextCoding : public ::testing::Test {
 protected:
  void SetUp() override {
    s.StartUp();
    s.core().options().anti_flood = false;  // each line leaves when it is sent
    s.LogIn("talvexbot", "Chat");
    s.Written();
    s.ui.TakeLines();
  }
  bool Listed(const std::string& name) {
    for (const auto& row : s.core().users().Rows()) {
      if (row.at(0) == name) return true;
    }
    return false;
  }
  void Type(const std::string& text) {
    s.core().main_input().text = text;
    s.core().SendActiveInput();
  }
  Session s;
};

// Every form of line that carries text, with "@" where the word goes.
TEST_F(TextCoding, EveryFormOfLineReadsInEitherCoding) {
  struct Form {
    const char* line;
    const char* shown;
  };
  const std::vector<Form> forms = {
      {"1005 TALK bob 0000 \"@ x\"", "<bob> @ x"},
      {"1023 EMOTE bob 0000 \"@ x\"", "<bob @ x>"},
      {"1004 WHISPER bob 0000 \"@ x\"", "\u00AB( bob )\u00AB @ x"},
      {"1010 WHISPER bob 0000 \"@ x\"", "\u00BB( bob )\u00BB @ x"},
      {"1002 JOIN @ 0000 [CHAT]", "Joins ( @ ) (09:30:00)"},
      {"1018 INFO \"@ x\"", "Info ( @ x )"},
      {"1019 ERROR \"@ x\"", "Error ( @ x )"},
      {"1007 CHANNEL \"@ x\"", "Joining Channel ( @ x ) (09:30:00)"},
  };
  for (const Form& form : forms) {
    for (std::string_view word : {kWordUtf8, kWordCp1252}) {
      s.Server(Fill(form.line, word));
      ASSERT_FALSE(s.ui.Texts().empty()) << form.line;
      EXPECT_EQ(s.ui.Texts().back(), Fill(form.shown, kWord)) << Fill(form.line, word);
      s.ui.TakeLines();
    }
  }
  // The user list's names, both codings; a name in one coding and text in the other.
  s.Server(Fill("1001 USER @ 0000 [CHAT]", kWordCp1252));
  s.Server("1001 USER \xD0\x96\xD0\xB5\xD0\xBD\xD1\x8F 0000 [CHAT]");
  EXPECT_TRUE(Listed(std::string(kWord)));
  EXPECT_TRUE(Listed("\u0416\u0435\u043D\u044F"));
  s.Server("1005 TALK \xD0\x96 0000 \"" + std::string(kWordCp1252) + "\"");
  EXPECT_EQ(s.ui.Texts().back(), "<\u0416> " + std::string(kWord));
}

// A Cyrillic name: into the user list, the database and the log, and back from the database file.
TEST_F(TextCoding, ACyrillicNameThroughTheUserListTheDatabaseAndTheLog) {
  const std::string name = "\u0416\u0435\u043D\u044F";
  s.Server("1002 JOIN " + name + " 0000 [CHAT]");
  s.Server("1005 TALK " + name + " 0000 \"\u043F\u0440\u0438\u0432\u0435\u0442 \u2713\"");
  EXPECT_TRUE(Listed(name));
  EXPECT_EQ(s.core().database().GetUserField(name, UserField::kLast_Message_Seen),
            "\u043F\u0440\u0438\u0432\u0435\u0442 \u2713");
  EXPECT_NE(s.core().database().FindUser(name), 0);
  // Letter case folds only the code page's letters, as it always did.
  EXPECT_EQ(s.core().database().FindUser("\u0416\u0415\u041D\u042F"), 0);
  const std::string log = ReadFile(s.dir / "Users" / "Default" / "Logs" / "chat.log");
  EXPECT_NE(log.find("<" + name + "> \u043F\u0440\u0438\u0432\u0435\u0442 \u2713\r\n"),
            std::string::npos);

  s.core().database().SaveUserDatabase();
  const std::string dat = ReadFile(s.core().database().Folder() / "DataBase.dat");
  EXPECT_NE(dat.find("<%Account_Name%>" + name + "<%"), std::string::npos);
  TC_DataBase reloaded(s.clock, s.ui);
  reloaded.LoadUserDatabase(s.core().database().Folder(), true);
  EXPECT_EQ(reloaded.GetUserField(name, UserField::kLast_Message_Seen),
            "\u043F\u0440\u0438\u0432\u0435\u0442 \u2713");
}

// Typed text leaves as UTF-8 by default, or as Windows-1252 with "?"; either way it is shown as it
// went and the history keeps what was typed.
TEST_F(TextCoding, TypedTextLeavesInTheProfilesCoding) {
  struct Case {
    SendEncoding as;
    std::string wire;
    std::string shown;
  };
  for (const Case& c : std::vector<Case>{
           {SendEncoding::kUtf8, "caf\xC3\xA9 \xE2\x9C\x93 \xE6\x97\xA5\r\n",
            "<talvexbot> caf\u00E9 \u2713 \u65E5"},
           {SendEncoding::kWindows1252, "caf\xE9 ? ?\r\n", "<talvexbot> caf\u00E9 ? ?"},
       }) {
    s.core().options().send_text_as = c.as;
    Type("caf\u00E9 \u2713 \u65E5");
    EXPECT_EQ(s.Written(), c.wire);
    EXPECT_EQ(s.ui.Texts().back(), c.shown);
    EXPECT_EQ(s.core().main_input().history.front(), "caf\u00E9 \u2713 \u65E5");
  }
}

// The 500-byte cut counts the bytes of the coding on the wire and never splits a character.
TEST_F(TextCoding, TheCutCountsWireBytesAndKeepsWholeCharacters) {
  s.core().options().quota_bytes_per_unit = 1000;  // a server that takes long lines
  s.core().options().split_long_lines_at = 0;      // and lines not sent in pieces
  struct Case {
    SendEncoding as;
    std::string wire;
  };
  for (const Case& c : std::vector<Case>{
           {SendEncoding::kUtf8, std::string(499, 'x') + "\r\n"},
           {SendEncoding::kWindows1252, std::string(499, 'x') + "\xE9\r\n"},
       }) {
    s.core().options().send_text_as = c.as;
    s.core().SendText(TaintedText(std::string(499, 'x') + "\u00E9\u00E9"));
    EXPECT_EQ(s.Written(), c.wire);
  }
}

// The profile: lines the code page holds are the bytes they always were; the rest is UTF-8 (that
// every list and setting reads back is the round trips' work in the persistence tests).
TEST(TextCodingFiles, TheProfileKeepsWhatTheCodePageCannotHold) {
  const std::string cyrillic = "\u0416\u0435\u043D\u044F \u2713";
  Session s(kStartedUp);
  s.core().options().home_channel = "Caf\u00E9";
  s.core().custom_channels().Append({cyrillic});
  s.core().custom_colors().Append({cyrillic, "clRed"});
  s.core().variables().Append({"$v$", "\u65E5\u672C"});
  s.core().options().send_text_as = SendEncoding::kWindows1252;
  s.core().SaveProfile();
  std::vector<std::string> lines;
  for (const std::string& coded : SplitLines(ReadFile(ProfileFile(s.dir, "Default")))) {
    lines.push_back(CodeText("Decode", coded));
  }
  auto has = [&](const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_TRUE(has("ad=Caf\xE9"));  // as it always was
  EXPECT_TRUE(has("ut=Windows-1252"));
  EXPECT_TRUE(has("zc=" + cyrillic));
  EXPECT_TRUE(has("cc=" + cyrillic + "\xC3\x91" + "clRed" + "\xC3\x91"));
  EXPECT_TRUE(has("ma=$v$\xC3\x91\u65E5\u672C"));
}

}  // namespace
}  // namespace tc::test
