// "!who" and the reserved "!say": what another user can ask of the bot.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "send_fixture.h"

namespace tc::test {
namespace {

class RemoteCommands : public ::testing::Test {
 protected:
  void Channel(int users) {
    s.core().users().Clear();
    for (int i = 1; i <= users; ++i) s.core().users().Append({"u" + std::to_string(i), "0"});
  }
  std::string Names(int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i) out += (i == from ? "" : ", ") + ("u" + std::to_string(i));
    return out;
  }
  SendFixture f{false};
  Session& s = f.s;
};

// Fifteen names a whisper; the names after the sixtieth all go in one last chunk.
TEST_F(RemoteCommands, WhoAnswersInChunksOfFifteen) {
  const struct {
    int users;
    Client::RemoteOrigin kind;
    std::vector<std::pair<int, int>> chunks;
  } cases[] = {
      {15, Client::RemoteOrigin::kEmote, {{1, 15}}},
      {16, Client::RemoteOrigin::kWhisper, {{1, 15}, {16, 16}}},
      {80, Client::RemoteOrigin::kWhisper, {{1, 15}, {16, 30}, {31, 45}, {46, 60}, {61, 80}}}};
  for (const auto& c : cases) {
    s.Advance(30 * 1000);  // one answer per half minute per asker
    Channel(c.users);
    s.core().UsersCommand("bob", "!who", c.kind);
    std::string want;
    for (const auto& [from, to] : c.chunks) want += "/w bob " + Names(from, to) + "\r\n";
    EXPECT_EQ(s.Written(), want) << c.users;
  }
}

TEST_F(RemoteCommands, OnlyExactlyBangWhoMatches) {
  Channel(3);
  for (const char* text : {"!who ", "!WHO", "!whom", "!say /exit", "!say hello", "who"}) {
    s.core().UsersCommand("bob", text, Client::RemoteOrigin::kWhisper);
  }
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(s.ui.close_requests, 0);
}

TEST_F(RemoteCommands, AnswersLeaveAtTheQueuesPace) {
  SendFixture queued;
  queued.s.core().users().Clear();
  for (int i = 1; i <= 16; ++i) queued.s.core().users().Append({"u" + std::to_string(i), "0"});
  queued.s.core().UsersCommand("bob", "!who", Client::RemoteOrigin::kWhisper);
  EXPECT_EQ(queued.s.Written(), "");
  queued.s.Advance(1700);
  EXPECT_EQ(queued.s.Written(), "/w bob " + Names(1, 15) + "\r\n");
}

}  // namespace
}  // namespace tc::test
