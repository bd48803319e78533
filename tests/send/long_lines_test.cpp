// Long talk, whispers and emotes leave as several lines that each fit the server: where a line is
// cut, what each piece keeps, and how the pieces go through the queue and come back as echoes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "send_fixture.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

std::string R(char c, size_t n) {
  return std::string(n, c);
}

TEST(LongLines, CutPointsPrefixesAndLinesLeftWhole) {
  struct Case {
    std::string typed;
    Strings wire;  // none: refused whole as too long
    int limit = 160;
    SendEncoding coding = SendEncoding::kUtf8;
  };
  const std::string e = "\xC3\xA9";  // two bytes in UTF-8, one in Windows-1252
  // clang-format off
  const std::vector<Case> cases = {
      {R('a', 100) + " " + R('b', 100), {R('a', 100), R('b', 100)}},
      {R('x', 400), {R('x', 160), R('x', 160), R('x', 80)}},        // no space: at the limit
      {R('a', 160) + "   " + R('b', 9), {R('a', 160), R('b', 9)}},  // spaces just after it go
      {R('a', 160) + "      ", {R('a', 160)}},                      // no piece of spaces alone
      {R('a', 159) + e + "b", {R('a', 159), e + "b"}},              // a character moves whole
      {R('a', 159) + e + "b", {R('a', 159) + "\xE9", "b"}, 160, SendEncoding::kWindows1252},
      {"/w al " + R('c', 200), {"/w al " + R('c', 154), "/w al " + R('c', 46)}},
      {"/MSG bob " + R('c', 150) + " end", {"/MSG bob " + R('c', 150), "/MSG bob end"}},
      {"/me " + R('d', 100), {"/me " + R('d', 76), "/me " + R('d', 24)}},  // charged twice
      {"/squelch " + R('e', 200), {}},                                      // other commands
      {"/w " + R('e', 200), {}},                                            // no text to cut
      // Off: a line the server can never take, whatever the pace, is refused whole.
      {R('a', 160), {R('a', 160)}, 0},
      {R('a', 161), {}, 0},
      {"/me " + R('b', 76), {"/me " + R('b', 76)}, 0},
      {"/me " + R('b', 77), {}, 0},
      {"/w alice " + R('c', 151), {"/w alice " + R('c', 151)}, 0},
      {"/w alice " + R('c', 152), {}, 0},
      {"/w alice " + R('c', 20), {"/w alice " + R('c', 20)}, 10},           // no room: whole
  };
  // clang-format on
  for (const Case& c : cases) {
    SendFixture f(false);
    f.s.core().options().split_long_lines_at = c.limit;
    f.s.core().options().send_text_as = c.coding;
    f.s.core().SendText(TaintedText(c.typed));
    EXPECT_EQ(WrittenLines(f.s), c.wire) << c.typed;
    if (c.wire.empty()) {
      const Strings shown = f.TakeShown();
      ASSERT_EQ(shown.size(), 1u) << c.typed;
      EXPECT_TRUE(shown[0].starts_with("Error ( Too long for the server (")) << shown[0];
    }
  }
}

TEST(LongLines, OffTheFiveHundredByteCutStandsAlone) {
  SendFixture f(false);
  f.s.core().options().split_long_lines_at = 0;
  f.s.core().options().quota_bytes_per_unit = 1000;  // a server that takes long lines
  f.s.core().SendText(TaintedText(R('x', 600)));
  EXPECT_EQ(WrittenLines(f.s), (Strings{R('x', 500)}));
}

TEST(LongLines, PiecesWaitForTheQuotaInOrderAndEachIsShownAndKnownAsAnEcho) {
  SendFixture f;  // anti-flood on
  Session& s = f.s;
  const std::string first = R('a', 159), middle = R('b', 159), last = R('c', 79);
  s.core().SendText(TaintedText(first + " " + middle + " " + last));
  s.core().SendText("after");
  std::vector<std::pair<int64_t, std::string>> writes;  // when each line left
  for (auto next = s.core().NextDeadline(); next && writes.size() < 4;
       next = s.core().NextDeadline()) {
    s.Advance(std::max<int64_t>(*next - s.clock.NowMs(), 0));
    for (std::string& line : WrittenLines(s)) writes.emplace_back(s.clock.NowMs(), line);
  }
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ((Strings{writes[0].second, writes[1].second, writes[2].second, writes[3].second}),
            (Strings{first, middle, last, "after"}));
  // Four units and four, then four and two: each waits until the one before left the window.
  EXPECT_GE(writes[1].first - writes[0].first, SendQuota{}.window_ms);
  EXPECT_GE(writes[2].first - writes[1].first, SendQuota{}.window_ms);
  EXPECT_EQ(f.TakeShown(), (Strings{"<talvexbot> " + first, "<talvexbot> " + middle,
                                    "<talvexbot> " + last, "<talvexbot> after"}));
  // A server that echoes talk echoes each piece; a late echo of the middle one is not shown.
  s.Receive(middle + "\r\n");
  EXPECT_TRUE(f.Shown().empty());
  EXPECT_EQ(s.core().sent_lines(), (Strings{first, last, "after"}));
}

}  // namespace
}  // namespace tc::test
