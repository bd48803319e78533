// The server's flood quota and the owner's place in the queue, on the virtual clock: what the
// server would be sent, when, and what the owner is told.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "send_fixture.h"

namespace tc::test {
namespace {

class SendQuotaTest : public ::testing::Test {
 protected:
  // Runs the clock `ms` on, stopping at every timer deadline, and notes each line written with
  // the time it left.
  void Run(int64_t ms) {
    const int64_t end = s.clock.NowMs() + ms;
    for (auto next = s.core().NextDeadline(); next && *next <= end;
         next = s.core().NextDeadline()) {
      s.Advance(std::max<int64_t>(*next - s.clock.NowMs(), 0));
      Take();
    }
    s.Advance(end - s.clock.NowMs());
    Take();
  }
  void Take() {
    for (std::string& line : WrittenLines(s)) writes.emplace_back(s.clock.NowMs(), line);
  }
  std::vector<std::string> Lines(std::string_view prefix = "") const {
    std::vector<std::string> out;
    for (const auto& [at, line] : writes) {
      if (line.starts_with(prefix)) out.push_back(line);
    }
    return out;
  }

  SendFixture f;
  Session& s = f.s;
  std::vector<std::pair<int64_t, std::string>> writes;
};

// The server's own charge: one unit per started 40 bytes, emotes twice.
int Units(const std::string& line) {
  const int units = std::max<int>(1, static_cast<int>((line.size() + 39) / 40));
  return line.starts_with("/me ") ? 2 * units : units;
}

TEST_F(SendQuotaTest, HumanPaceTypingStaysWithinTheServersQuotaAndInOrder) {
  std::vector<std::string> typed;
  for (int i = 0; i < 60; ++i) {
    const std::string tag = "line " + std::to_string(i) + " ";
    const std::vector<std::string> forms = {
        tag + std::string(static_cast<size_t>((i * 53) % 140), 'a'),
        "/me " + tag + std::string(static_cast<size_t>((i * 29) % 66), 'b'),
        "/w alice " + tag + std::string(static_cast<size_t>((i * 31) % 130), 'c')};
    typed.push_back(forms[static_cast<size_t>(i) % forms.size()]);
    s.core().SendText(TaintedText(typed.back()));
    Take();
    Run(1000);
  }
  Run(300000);
  EXPECT_EQ(Lines(), typed);
  for (const auto& [at, line] : writes) {
    int units = 0;
    for (const auto& [other_at, other] : writes) {
      if (other_at > at - 5000 && other_at <= at) units += Units(other);
    }
    EXPECT_LE(units, 4) << "at " << at << ": " << line;
  }
}

TEST(SendQuotaAtLogin, TheLoginsBeepAndJoinCountButTheAccountAndPasswordDoNot) {
  Session s(kStartedUp);
  s.LogIn("talvexbot", "Some Channel");
  s.Server("1018 INFO \"Audible notification on.\"");
  s.Server("1001 USER alice 0000 [CHAT]");
  ASSERT_NE(s.Written().find("/beep\r\n"), std::string::npos);
  const int64_t login = s.clock.NowMs();
  s.core().SendText("one");
  s.Advance(1700);
  s.core().SendText("two");
  s.core().SendText("three");
  EXPECT_EQ(s.Written(), "one\r\ntwo\r\n");
  // "/beep" and "/join" are two units of the four: "three" waits until they have left the window.
  s.Advance(login + 4999 - s.clock.NowMs());
  EXPECT_EQ(s.Written(), "");
  s.Advance(1);
  EXPECT_EQ(s.Written(), "three\r\n");
}

// The messages and the second refusal are in the golden record; the timing is not.
TEST_F(SendQuotaTest, ARefusedLineGoesAgainAWholeWindowAfterTheRefusal) {
  s.core().SendText("hello there");
  s.Advance(1700);
  EXPECT_EQ(s.Written(), "hello there\r\n");
  // The server counts the refused line too: its window is full for a whole window.
  s.Server("1019 ERROR \"Your message quota has been exceeded!\"");
  s.Advance(4999);
  EXPECT_EQ(s.Written(), "");
  s.Advance(1);
  EXPECT_EQ(s.Written(), "hello there\r\n");
}

TEST_F(SendQuotaTest, TheOwnersLineOvertakesAFloodOfWhoAnswersAndTheFloodIsBounded) {
  for (int i = 0; i < 1000; ++i) {
    s.Server("1004 WHISPER user" + std::to_string(i) + " 0000 \"!who\"");
  }
  Run(1700);
  ASSERT_EQ(Lines().size(), 1u);
  s.core().SendText("owner here");
  const int64_t pace = 1700 + 35 * (static_cast<int64_t>(Lines()[0].size()) + 2 + 1);
  Run(pace);
  EXPECT_EQ(Lines().back(), "owner here");
  Run(600000);
  // Only the newest fifty answers were kept, and one line says how many went.
  const std::vector<std::string> answers = Lines("/w user");
  ASSERT_EQ(answers.size(), 50u);
  EXPECT_TRUE(answers.front().starts_with("/w user950 ")) << answers.front();
  EXPECT_TRUE(answers.back().starts_with("/w user999 ")) << answers.back();
  int reports = 0;
  for (const std::string& line : f.Shown()) {
    reports += line.starts_with("System ( 950 automatic lines were dropped") ? 1 : 0;
  }
  EXPECT_EQ(reports, 1);
}

}  // namespace
}  // namespace tc::test
