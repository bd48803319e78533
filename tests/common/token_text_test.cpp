// The check-box rules of token texts: presence ignores case, ticking appends, unticking cuts the
// first occurrence, and everything else typed by hand stays where it was.
#include "common/token_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tc::test {
namespace {

struct RewriteCase {
  const char* what;
  std::string text;
  std::vector<TokenTick> ticks;
  std::string expected;
};

TEST(TokenText, RewriteVisitsTheBoxesInOrder) {
  const std::vector<RewriteCase> cases = {
      {"ticking appends at the end", "All;", {{"Friends;", true}}, "All;Friends;"},
      {"a ticked token already there stays", "friends;", {{"Friends;", true}}, "friends;"},
      {"unticking cuts the first occurrence found ignoring case",
       "friends;Enemies;",
       {{"Friends;", false}, {"Enemies;", true}},
       "Enemies;"},
      {"only the first of two occurrences goes", "Me;All;me;", {{"Me;", false}}, "All;me;"},
      {"an unticked missing token changes nothing", "All;", {{"Other;", false}}, "All;"},
      {"order of the boxes is the order appended",
       "",
       {{"Friends;", true}, {"Enemies;", false}, {"Messages;", true}},
       "Friends;Messages;"},
      {"condition tags typed by hand stay in place",
       "<%channel;Op x%>Whispers;All;",
       {{"Whispers;", false}, {"Emotes;", true}},
       "<%channel;Op x%>All;Emotes;"},
      {"a cut inside a longer token is still a cut",
       "State:Available;",
       {{"Available;", false}},
       "State:"},
      {"accented letters fold byte for byte", "ÉTÉ;x", {{"été;", false}}, "x"},
  };
  for (const RewriteCase& c : cases) {
    EXPECT_EQ(RewriteTokens(c.text, c.ticks), c.expected) << c.what;
  }
}

TEST(TokenText, ReadBackTicksWhatTheTextHolds) {
  const std::vector<std::string_view> tokens = {"Friends;", "Enemies;", "Product:[STAR];",
                                                "State:DND;"};
  EXPECT_EQ(TokensPresent("enemies;product:[star];", tokens),
            (std::vector<bool>{false, true, true, false}));
  EXPECT_EQ(TokensPresent("", tokens), (std::vector<bool>(4, false)));
  EXPECT_EQ(TokensPresent("Friends", tokens), (std::vector<bool>(4, false)));
  // A rewrite reads back as the ticks that made it.
  const std::vector<TokenTick> ticks = {
      {"Friends;", true}, {"Enemies;", false}, {"Product:[STAR];", true}, {"State:DND;", true}};
  EXPECT_EQ(TokensPresent(RewriteTokens("Enemies;x", ticks), tokens),
            (std::vector<bool>{true, false, true, true}));
}

}  // namespace
}  // namespace tc::test
