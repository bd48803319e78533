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

std::string Rep(char c, size_t n) {
  return std::string(n, c);
}

// The lines written, without their CR LF.
Strings WrittenLines(Session& s) {
  Strings lines;
  std::string bytes = s.Written();
  for (size_t end; (end = bytes.find("\r\n")) != std::string::npos; bytes.erase(0, end + 2)) {
    lines.push_back(bytes.substr(0, end));
  }
  return lines;
}

TEST(LongLines, CutPointsPrefixesAndLinesLeftWhole) {
  struct Case {
    const char* what;
    std::string typed;
    Strings wire;
    int limit = 160;
    SendEncoding coding = SendEncoding::kUtf8;
  };
  const std::string e_acute = "\xC3\xA9";
  const std::vector<Case> cases = {
      {"the last space before the limit",
       Rep('a', 100) + " " + Rep('b', 100),
       {Rep('a', 100), Rep('b', 100)}},
      {"no space: at the limit", Rep('x', 400), {Rep('x', 160), Rep('x', 160), Rep('x', 80)}},
      {"a space just after the limit",
       Rep('a', 160) + " " + Rep('b', 10),
       {Rep('a', 160), Rep('b', 10)}},
      {"the spaces at a cut go",
       Rep('a', 150) + "     " + Rep('b', 20),
       {Rep('a', 150), Rep('b', 20)}},
      {"trailing spaces give no piece", Rep('a', 160) + "      ", {Rep('a', 160)}},
      {"a character across the limit moves whole",
       Rep('a', 159) + e_acute + "bb",
       {Rep('a', 159), e_acute + "bb"}},
      {"Windows-1252: one byte each",
       Rep('a', 159) + e_acute + "bb",
       {Rep('a', 159) + "\xE9", "bb"},
       160,
       SendEncoding::kWindows1252},
      {"a whisper keeps its name",
       "/w alice " + Rep('c', 200),
       {"/w alice " + Rep('c', 151), "/w alice " + Rep('c', 49)}},
      {"every whisper spelling",
       "/MSG bob " + Rep('c', 150) + " end",
       {"/MSG bob " + Rep('c', 150), "/MSG bob end"}},
      {"/whisper",
       "/whisper bob " + Rep('c', 160),
       {"/whisper bob " + Rep('c', 147), "/whisper bob " + Rep('c', 13)}},
      {"an emote fits the quota, charged twice",
       "/me " + Rep('d', 100),
       {"/me " + Rep('d', 76), "/me " + Rep('d', 24)}},
      {"/emote", "/Emote " + Rep('d', 80), {"/Emote " + Rep('d', 73), "/Emote " + Rep('d', 7)}},
      {"another command is left whole (and too long)", "/squelch " + Rep('e', 200), {}},
      {"a whisper without a text", "/w " + Rep('e', 200), {}},
      {"off: the line is refused whole", Rep('x', 200), {}, 0},
      {"a smaller limit", "one two three four", {"one two", "three", "four"}, 8},
      {"a prefix that leaves no room",
       "/w alice " + Rep('c', 20),
       {"/w alice " + Rep('c', 20)},
       10},
  };
  for (const Case& c : cases) {
    SendFixture f(false);
    f.s.core().options().split_long_lines_at = c.limit;
    f.s.core().options().send_text_as = c.coding;
    f.s.core().SendText(TaintedText(c.typed));
    EXPECT_EQ(WrittenLines(f.s), c.wire) << c.what;
    if (c.wire.empty()) {
      const Strings shown = f.TakeShown();
      ASSERT_EQ(shown.size(), 1u) << c.what;
      EXPECT_TRUE(shown[0].starts_with("Error ( Too long for the server (")) << shown[0];
    }
  }
}

TEST(LongLines, OffTheFiveHundredByteCutStandsAlone) {
  SendFixture f(false);
  f.s.core().options().split_long_lines_at = 0;
  f.s.core().options().quota_bytes_per_unit = 1000;  // a server that takes long lines
  f.s.core().SendText(TaintedText(Rep('x', 600)));
  EXPECT_EQ(WrittenLines(f.s), (Strings{Rep('x', 500)}));
  // On, the 500 bytes the line is cut to leave in pieces.
  f.s.core().options().split_long_lines_at = 160;
  f.s.core().SendText(TaintedText(Rep('x', 600)));
  EXPECT_EQ(WrittenLines(f.s),
            (Strings{Rep('x', 160), Rep('x', 160), Rep('x', 160), Rep('x', 20)}));
}

TEST(LongLines, PiecesWaitForTheQuotaInOrderAndEachIsShownAndKnownAsAnEcho) {
  SendFixture f;  // anti-flood on
  Session& s = f.s;
  const std::string first = Rep('a', 159), middle = Rep('b', 159), last = Rep('c', 79);
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
