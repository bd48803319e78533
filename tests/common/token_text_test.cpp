// The check-box rules of token texts: presence ignores case, ticking appends, unticking cuts the
// first occurrence, and what was typed by hand stays where it was.
#include "common/token_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tc::test {
namespace {

TEST(TokenText, RewriteVisitsTheBoxesInOrderAndReadsBackAsTicked) {
  const std::vector<std::string_view> tokens = {"Friends;", "Enemies;", "Me;"};
  const struct {
    const char* text;
    std::vector<bool> ticks;
    const char* expected;
  } cases[] = {
      {"All;", {true, false, false}, "All;Friends;"},
      {"friends;Enemies;", {false, true, false}, "Enemies;"},
      {"", {true, false, true}, "Friends;Me;"},
      {"<%channel;Op x%>ENEMIES;", {false, true, true}, "<%channel;Op x%>ENEMIES;Me;"},
      {"ÉTÉ;enemies;x", {false, false, false}, "ÉTÉ;x"},
  };
  for (const auto& c : cases) {
    std::vector<TokenTick> ticks;
    for (size_t i = 0; i < tokens.size(); ++i) ticks.push_back({tokens[i], c.ticks[i]});
    const std::string rewritten = RewriteTokens(c.text, ticks);
    EXPECT_EQ(rewritten, c.expected) << c.text;
    EXPECT_EQ(TokensPresent(rewritten, tokens), c.ticks) << c.text;
  }
  EXPECT_EQ(TokensPresent("Friends", tokens), (std::vector<bool>{false, false, false}));
  // Unticking cuts the first occurrence only, so a second one keeps the box ticked.
  const std::vector<TokenTick> untick_me = {{"Me;", false}};
  EXPECT_EQ(RewriteTokens("Me;All;me;", untick_me), "All;me;");
}

}  // namespace
}  // namespace tc::test
