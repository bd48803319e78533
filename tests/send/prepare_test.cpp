// Template expansion: variables, built-ins, definitions and function tags, and text other users
// supplied staying text however it is shaped.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "harness/session.h"
#include "send/templates.h"

namespace tc::test {
namespace {

class Prepare : public ::testing::Test {
 protected:
  void SetUp() override {
    s.LogIn("talvexbot", "Chat");
    s.ui.TakeLines();
  }
  TaintedText Expand(const TaintedText& text, std::string_view user = "",
                     std::string_view event = "") {
    return s.core().Prepare(text, user, event);
  }
  std::string Text(const TaintedText& text, std::string_view user = "",
                   std::string_view event = "") {
    return Expand(text, user, event).text();
  }
  void Var(const std::string& name, const std::string& value) {
    s.core().variables().Append({name, value});
  }
  Session s{kStartedUp};
};

// One template, one result: variables $x$ = "X", $n$ = "2", $away$ = "gone".
struct OneLine {
  const char* in;
  const char* user;
  const char* event;
  const char* out;
};
const OneLine kOneLine[] = {
    // Built-ins match in any letter case; one named twice has one value across both sweeps.
    {"<USER> said <Event>", "bob", "hello", "bob said hello"},
    {"<user><user>", "bob", "", "bobbob"},
    {"<time> <%navigate;x%><time>", "", "", "09:30:00 09:30:00"},
    // User variables come before built-ins, every occurrence in any case.
    {"$ver$", "", "", "from Talvex Chat 2000 Build 1515"},
    {"$x$ and $X$ and $x$", "", "", "X and X and X"},
    // In-text definitions.
    {"<$cat:dog$>A Cat and a CAT", "", "", "A dog and a dog"},
    {"<$cat$>a cat", "", "", "a "},                    // no ":" deletes the name
    {"<$:dog$>cat", "", "", "cat"},                    // an empty name only removes itself
    {"<$cat:a cat$>cat", "", "", ""},                  // a replacement holding its name empties
    {"cat <$cat:dog", "", "", "cat <$cat:dog"},        // no "$>": left as it is
    {"$> cat <$cat:dog", "", "", "$> cat <$cat:dog"},  // "$>" only before it
    {"<$a:1$><$b:2$>a b", "", "", "1 2"},
    {"before cat <$cat:dog$>", "", "", "before dog "},
    // Function tags.
    {"<%word;2%>", "", "one two three", "two"},
    {"<%word;7%>", "", "one two three", "three"},
    {"<%WORD; 1 %>!", "", "one two three", "one!"},
    {"<%word;+3%>", "", "one two three", "three"},
    {"go<%navigate;http://example.org/%>!", "", "", "go!"},
    {"<%word;1", "", "one", "<%word;1"},
    {"%> <%word;1", "", "one", "%> <%word;1"},
    // The first tag kind takes the first "%>" after it, even one meant for a later tag.
    {"<%userinfo;a;Notes <%word;1%>", "", "one", "0"},
    {"<%word;1%> <%userinfo;a;Notes", "", "one", "one <%userinfo;a;Notes"},
    // A variable gives a tag its argument; a definition names a tag's result; the sweep runs again.
    {"<%word;$n$%>", "", "a b c", "b"},
    {"<%usersoftype;<$x:Friend$>x%>", "", "", "alice, bob"},
    {"<NF>$x$ <user> <$a:b$>a", "bob", "", "<NF>$x$ <user> <$a:b$>a"},
    // Names, tags and definitions are not found across the edge of an event text.
    {"<us<event>", "bob", "er>", "<user>"},
    {"$aw<event>", "", "ay$", "$away$"},
    {"<event>ser>", "bob", "<u", "<user>"},
    {"<$x:<event>$>x", "", "/exit", "/exit"},
    {"<%word;1<event>", "", "%> one", "<%word;1%> one"},
    {"<event>1%>", "", "<%word;", "<%word;1%>"},
    {"<%word;1%>", "", "<%word;1%>", "<%word;1%>"},  // a word that is a tag is never expanded
    {"<$<event>:evil$> safe", "", "safe", "<$safe:evil$> safe"},
    {"<$<event>$> safe", "", "safe:evil", "<$safe:evil$> safe"},
    // Accounts by type whatever their state, the user records, the channel's hits.
    {"<%usersoftype;Friend%>", "", "", "alice, bob"},
    {"<%usersoftype;enemy;%>", "", "", "bob, carol"},
    {"[<%usersoftype;Ban%>]", "", "", "[]"},
    {"<%userinfo;someone;Notes%>", "", "", "likes cats"},
    {"<%userinfo;nobody;Notes%>", "", "", "0"},
    {"<%userinfo;someone;notes%>", "", "", "0"},  // field names match exactly
    {"<%userinfo;Notes%>", "", "", "0"},          // no ";": an empty account
    {"<%channelhits;Chat%> <%channelhits;Nowhere%>", "", "", "2 0"},
    // Values from records and account names stay text, also when named through the user.
    {"<%userinfo;mallory;Notes%>", "bob", "x", "<user> <%word;1%>"},
    {"<%userinfo;<user>;Notes%>", "mallory", "", "<user> <%word;1%>"},
    {"<%usersoftype;Clan%>", "", "/exit", "<event>"},
    // Built-ins telling the state of the client.
    {"<channel current>|<account>|<channel previous>|<channel home>", "", "",
     "Chat|talvexbot|Old Place|Talvex Chat"},
    {"<date> <time>|<version>|<website>|<state>", "", "",
     "12/06/2026 09:30:00|Talvex Chat 2000 Build 1515|https://talvexchat.example.org/|Available"},
    {"<[STAR]> <[DRTL]> <[CHAT]> <[SEXP]>", "", "", "StarCraft Diablo Gateway StarCraft Brood-War"},
    {"<[SSHR]>/<[DSHR]>/<[W2BN]>/<[JSTR]>", "", "",
     "StarCraft Shareware/Diablo Shareware/WarCraft II BNE/Japanese StarCraft"},
    // The client's lists, joined with commas.
    {"<channel users>|<lastten>", "", "", "talvexbot, alice, bob, carol|carol, bob"},
    {"<channel custom>|<channel whisper>", "", "", "Op Room, Clan Home|carol"},
    {"<monitor all>|<monitor online>|<monitor offline>", "", "",
     "dave, erin, frank|dave, frank|erin"},
    {"<keys>|<events>", "", "", "hello, bye|#User_Joined"},
    {"<users all>", "", "", "alice, bob, carol, <event>"},
    {"<skins backgrounds>|<skins buttons>|<themes>", "", "",
     "blue.bmp|round.bmp, square.bmp|Night.ini"},
    {"<server list>", "", "", "12, n/a"},
};

TEST_F(Prepare, OneLineTemplates) {
  Var("$ver$", "from <version>");
  Var("$x$", "X");
  Var("$n$", "2");
  Var("$away$", "gone");
  s.core().accounts().Append({"alice", "Friend;", OnOff::kOn});
  s.core().accounts().Append({"bob", "Enemy;Friend;", OnOff::kOff});
  s.core().accounts().Append({"carol", "Enemy;", OnOff::kOn});
  s.core().accounts().Append({"<event>", "Clan;", OnOff::kOn});
  s.core().database().UpdateUser("someone", {{UserField::kNotes, "likes cats"}});
  s.core().database().UpdateUser("mallory", {{UserField::kNotes, "<user> <%word;1%>"}});
  s.Server("1001 USER alice 0000 [STAR]");
  s.Server("1002 JOIN bob 0000 [SEXP]");
  s.Server("1002 JOIN carol 0000 [SEXP]");
  s.core().options().last_channel = "Old Place";
  Client& c = s.core();
  EXPECT_EQ(Text("<channel whisper>"), "");  // an empty list
  for (const char* channel : {"Op Room", "Clan Home"}) c.custom_channels().Append({channel});
  c.whisper_recipients().Append({"carol"});
  c.monitor().Append({MonitorStatus::kOnline, "dave", "dave", "1", "Chat"});
  c.monitor().Append({MonitorStatus::kOffline, "erin", "???", "???", "???"});
  c.monitor().Append({MonitorStatus::kOnline, "frank", "frank", "2", "Chat"});
  c.keys().Append({"hello", "hi", "", "", "", {}});
  c.keys().Append({"#User_Joined", "welcome", "", "", "", {}});
  c.keys().Append({"bye", "see you", "", "", "", {}});
  c.skins_backgrounds().Append({"blue.bmp"});
  c.skins_buttons().Append({"round.bmp"});
  c.skins_buttons().Append({"square.bmp"});
  c.themes().Append({"Night.ini"});
  c.servers().Clear();
  c.servers().Append({"12", "a.example", "main"});
  c.servers().Append({"n/a", "b.example", "main"});
  for (const OneLine& row : kOneLine) {
    EXPECT_EQ(Text(row.in, row.user, row.event), row.out) << row.in;
  }
  EXPECT_EQ(Text("<server address>:<server port>|[<latestver>]"),
            s.core().host() + ":6112|[" + s.core().latest_version() + "]");
  const std::string public_list = Text("<channel public>");
  EXPECT_EQ(public_list.find(", , "), std::string::npos);
  EXPECT_FALSE(public_list.empty());
}

// Values that name themselves or each other end within the length bound.
TEST_F(Prepare, SelfReferenceTerminates) {
  Var("$loop$", "again $LOOP$");
  EXPECT_EQ(Text("say $loop$"), "say $loop$");  // a value naming itself is never substituted
  s.core().variables().Clear();
  Var("$a$", "[$b$]");
  Var("$b$", "($a$)");
  Var("$c$", "$d$$d$");
  Var("$d$", "$c$$c$");
  EXPECT_EQ(Text("$a$").substr(0, 2), "[(");
  EXPECT_LE(Text("$a$").size(), kMaxSubstitutedLength);
  EXPECT_LE(Text("$c$").size(), kMaxSubstitutedLength);
  s.core().options().home_channel = "<keys>";
  s.core().keys().Append({"<channel home>", "", "", "", "", {}});
  EXPECT_LE(Text("<channel home>").size(), kMaxSubstitutedLength);
  // A built-in's value holding its own name is inserted once, not searched again.
  s.core().options().home_channel = "<channel home> and <time>";
  const TaintedText out = Expand("<channel home>|<channel home>");
  EXPECT_EQ(out.text(), "<channel home> and 09:30:00|<channel home> and 09:30:00");
  EXPECT_EQ(Expand(out).text(), out.text());
}

// --- Built-in variables

TEST_F(Prepare, DurationsAreHoursMinutesSecondsWithoutLeadingZeros) {
  s.Advance((3600 + 2 * 60 + 5) * 1000);
  EXPECT_EQ(Text("<time connected>"), "1:2:5");
  EXPECT_EQ(Text("<time channel>"), "1:2:5");
  s.Server("1007 CHANNEL \"Elsewhere\"");
  s.Advance(59 * 1000);
  EXPECT_EQ(Text("<time channel>"), "0:0:59");
}

TEST_F(Prepare, OversizedTextsEnd) {
  Var("$x$", "$x$ grows");
  Var("$y$", "yy");
  const std::string big(kMaxSubstitutedLength + 10, 'a');
  const std::string out = Text("<$a:bb$>" + big + "$y$ <user> <%word;1%>", "bob", "w");
  // Replacements that shrink the line are made; the one that would grow it ("a" by "bb") is not.
  EXPECT_EQ(out, big + "yy bob w");
}

TEST_F(Prepare, WordWithANonIntegerEndsTheExpansionWithAnError) {
  Var("$v$", "value");
  for (const char* arg : {"two", "", "2x", "+-2", "1.5", "99999999999", "0x2"}) {
    s.ui.TakeLines();
    const std::string tag = std::string("<%word;") + arg + "%>";
    EXPECT_EQ(Text("$v$ " + tag + " <%navigate;x%> <user>", "bob", "one two"),
              "value " + tag + " <%navigate;x%> bob");
    EXPECT_EQ(s.ui.Texts(),
              (std::vector<std::string>{"Error ( A <%word; tag needs a whole number. )"}));
  }
}

// --- Text other users supplied stays text

TEST_F(Prepare, UntrustedPartsOfTheGivenTextAreRespected) {
  Var("$x$", "X");
  TaintedText line("say ");
  line.AppendUntrusted("$x$ <user> <%word;1%> <$x:y$>");
  line.Append(" $x$");
  const TaintedText out = Expand(line, "bob", "one");
  EXPECT_EQ(out.text(), "say $x$ <user> <%word;1%> <$x:y$> X");
}

TEST_F(Prepare, RandomHostileTextsAreAlwaysInsertedAsTheyAre) {
  Var("$away$", "gone");
  Var("$v$", "[<event>|<user>]");
  s.core().database().UpdateUser("someone", {{UserField::kNotes, "secret"}});
  const std::vector<std::string> pieces = {
      "<user>", "<event>", "$away$", "$v$", "<$", "$>",   ":",      "<%word;", "<%userinfo;", "%>",
      "1",      ";",       "Notes",  " ",   "x",  "<nf>", "<time>", "someone", "<%navigate;", "/"};
  std::mt19937 random(20261206);
  const auto hostile = [&] {
    std::string text;
    const size_t n = random() % 8;
    for (size_t i = 0; i < n; ++i) text += pieces[random() % pieces.size()];
    return text;
  };
  // The shaped ones first: a function tag, variables, built-ins and a definition in the event
  // text, a built-in as the user's name.
  const std::vector<std::pair<std::string, std::string>> shaped = {
      {"", "<%userinfo;someone;Notes%>"},
      {"bob", "$away$"},
      {"bob", "<$x:y$> x"},
      {"bob", "<version>"},
      {"bob", "<nf>"},
      {"<event>", "/exit"},
      {"bob", "<user> $v$ <%word;1%>"}};
  for (size_t round = 0; round < shaped.size() + 500; ++round) {
    const std::string user = round < shaped.size() ? shaped[round].first : hostile();
    const std::string event = round < shaped.size() ? shaped[round].second : hostile();
    const TaintedText out = Expand("say <event> $v$ <user>", user, event);
    ASSERT_EQ(out.text(), "say " + event + " [" + event + "|" + user + "] " + user)
        << user << " / " << event;
    ASSERT_EQ(Expand(out).text(), out.text());
    ASSERT_TRUE(event.empty() || !out.Trusted(4));
    ASSERT_TRUE(user.empty() || !out.Trusted(out.text().size() - 1));
    ASSERT_EQ(s.ui.Texts().size(), 0u);
  }
}

// --- The free routines

TEST(TemplateWords, GetWordNumber) {
  // In range and past the end through a tag in the one-line table.
  EXPECT_EQ(GetWordNumber("one two three ", 4), "three");
  EXPECT_EQ(GetWordNumber("one  two", 2), "");  // an empty word
  EXPECT_EQ(GetWordNumber("one  two", 3), "two");
  EXPECT_EQ(GetWordNumber("", 1), "");
  EXPECT_EQ(GetWordNumber("one", 0), "");
  EXPECT_EQ(GetWordNumber("one two", -3), "");
  EXPECT_EQ(GetWordNumber("one two", 2147483647), "two");
}

}  // namespace
}  // namespace tc::test
