// The key matcher on its own: word match, speaker classes, condition tags, history counting and
// applies-on, against a stand-in for the client's facts.
#include "automation/keys.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

class Facts final : public KeyFacts {
 public:
  std::string_view OwnAccount() const override { return "talvexbot"; }
  std::string_view StateWord() const override { return "Available"; }
  std::string_view CurrentChannel() const override { return "Chat"; }
  const Table<AccountRow>& Accounts() const override { return accounts; }
  std::string UserField(std::string_view user, SpeakerField field) const override {
    ++lookups[static_cast<size_t>(field)];
    const auto it = records.find(std::string(user));
    return it == records.end() ? "0" : it->second[static_cast<size_t>(field)];
  }

  Table<AccountRow> accounts;
  // Product, Flag, InterBot_Name.
  std::map<std::string, std::array<std::string, 3>> records = {{"Alice", {"[STAR]", "01", "TC"}},
                                                               {"bob", {"[CHAT]", "00", ""}}};
  mutable std::array<int, 3> lookups{};
};

TEST(KeyWords, EveryPieceSomewhereInTheTextAnyCaseAnyOrder) {
  const std::string twenty_five = "a*b*c*d*e*f*g*h*i*j*k*l*m*n*o*p*q*r*s*t*u*v*w*x*y";
  const struct {
    std::string key, text;
    bool applies;
  } cases[] = {
      {"hi", "oh HIGH there", true},
      {"hello*bot", "bot, HeLLo!", true},
      {"hello*bot", "hello there", false},
      {"*", "x", true},
      {"*", "", false},
      {"**", "a", true},
      {"hello", "", false},
      {"", "a", true},
      {"*bot*", "robots", true},
      {twenty_five, "abcdefghijklmnopqrst", true},
      {twenty_five, "abcdefghijklmnopqrs", false},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyWordApplies(c.key, c.text), c.applies) << c.key;
}

TEST(KeySpeakerClasses, LastSwitchedOnRowWinsThenMeThenTheKeyWords) {
  Facts facts;
  facts.accounts.Append({"BOB", "Enemy;", OnOff::kOn});
  facts.accounts.Append({"bob", "Friend;Operator;Ban;", OnOff::kOn});
  facts.accounts.Append({"Bob", "Ignore;", OnOff::kOff});
  facts.accounts.Append({"carl", "Friend", OnOff::kOn});
  facts.accounts.Append({"dora", "a;b;c;d;e;f;g;h;tail", OnOff::kOn});
  facts.accounts.Append({"talvexbot", "Operator;", OnOff::kOn});
  const struct {
    std::string user;
    Strings tokens;
  } cases[] = {
      {"bob", {"Friends;", "Operators;", "Ban;"}},
      {"nobody", {"Other;"}},
      {"carl", {""}},
      {"dora", {"a;", "b;", "c;", "d;", "e;", "f;", "g;"}},
      {"talvexbot", {"Operators;", "Me;"}},
      {"TalvexBot", {"Operators;"}},
  };
  for (const auto& c : cases) {
    KeySpeaker speaker(c.user, facts);
    EXPECT_EQ(speaker.Tokens(), c.tokens) << c.user;
  }
}

TEST(KeyConditions, EveryTagIsTakenOutAndAllMustHold) {
  const struct {
    std::string user, applies_to;
    bool holds;
  } cases[] = {
      {"Alice", "All;<%contains;lic%>", true},
      {"Alice", "<%contains;bob%>", false},
      {"Alice", "<%notcontains;bob%>", true},
      {"Alice", "<%equals;ALICE%>", true},
      {"Alice", "<%EQUALS;bob%><%IsAInterBot%>", false},
      {"Alice", "<%Equals;alice%><%IsNotAInterBot%>", false},
      {"Alice", "<%notequals;alice%>", false},
      {"Alice", "<%channel;chat%>", true},
      {"Alice", "<%notchannel;CHAT%>", false},
      {"Alice", "<%interbot;tc%>", true},
      {"Alice", "<%notinterbot;tc%>", false},
      {"Alice", "<%isainterbot%>", true},
      {"Alice", "<%isnotainterbot%>", false},
      {"bob", "<%isainterbot%>", false},
      {"nobody", "<%isnotainterbot%><%interbot;0%>", true},
      {"Alice", "<%equals;bob%><%contains;ali%><%equals;alice%>", false},
      // Without "%>" after it a tag is no condition.
      {"Alice", "<%equals;bob", true},
      {"Alice", "%><%equals;bob", true},
      // Nested tags: the outer argument runs to the first "%>".
      {"Alice", "<%contains;<%equals;alice%>%>", false},
      {"nobody", "<%notequals;<%isainterbot%>", true},
      {"Alice", "<%contains;<%contains;<%contains;%>%>%>", false},
  };
  for (const auto& c : cases) {
    Facts facts;
    KeySpeaker speaker(c.user, facts);
    EXPECT_EQ(KeyVariables(c.applies_to, speaker), c.holds) << c.user << " " << c.applies_to;
  }
}

TEST(KeyHistory, WholeEntriesAreCountedAndTheRestIsKept) {
  const struct {
    std::string before, user, after;
    int64_t count;
  } cases[] = {
      {"", "bob", "bob=1;", 1},
      {"bob=2;", "BOB", "bob=3;", 3},
      {"al=2;alice=5;", "alice", "al=2;alice=6;", 6},
      {"alice=5;al=2;", "al", "alice=5;al=3;", 3},
      {"bob=abc;carol=1;", "bob", "bob=1;carol=1;", 1},
      {"junk;x=;bob=9", "bob", "junk;x=;bob=10", 10},
      {"carol=1", "bob", "carol=1;bob=1;", 1},
  };
  for (const auto& c : cases) {
    std::string history = c.before;
    EXPECT_EQ(NextHistoryCount(history, c.user), c.count) << c.before;
    EXPECT_EQ(RaiseHistoryCount(history, c.user), c.count) << c.before;
    EXPECT_EQ(history, c.after);
  }
}

TEST(KeyAppliesOn, OnlyWholeTerminatedEntriesMatch) {
  const struct {
    std::string applies_on, count;
    bool fires;
  } cases[] = {
      {"", "7", true},   {"1;", "1", true},   {"1;5;", "5", true}, {"1;5;", "2", false},
      {"1", "1", false}, {"x;", "1", false},  {";;", "1", false},  {"15;", "1", false},
      {";;", "", true},  {"1;5", "5", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AppliesOnCount(c.applies_on, c.count), c.fires) << c.applies_on << "|" << c.count;
  }
}

TEST(KeyRun, EachFactIsLookedUpOnceAndHistoriesCountEvenWithoutFiring) {
  Facts facts;
  Keys keys;
  for (int i = 0; i < 50; ++i) {
    keys.table().Append({"hello", "a" + std::to_string(i),
                         "All;Messages;State:Available;Product:[STAR];<%isainterbot%>"
                         "<%interbot;TC%>",
                         "2;", "", OnOff::kOn});
  }
  EXPECT_TRUE(keys.Execute_Key("Alice", "hello", "Messages;", facts).empty());
  EXPECT_EQ(facts.lookups, (std::array<int, 3>{1, 1, 1}));
  EXPECT_EQ(keys.table().RowAt(49).history, "Alice=1;");
  EXPECT_EQ(keys.Execute_Key("Alice", "HELLO", "Messages;", facts).size(), 50u);
  EXPECT_EQ(keys.table().RowAt(0).history, "Alice=2;");
}

}  // namespace
}  // namespace tc::test
