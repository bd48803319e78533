// The server line parser: the fields each code's layout yields, and the length below which a line
// of that code yields nothing.
#include "protocol/server_line.h"

#include <gtest/gtest.h>

#include <string>

namespace tc {
namespace {

// One readable text per event: its kind and its fields between bars.
struct Describe {
  std::string operator()(const UserPresent& e) const {
    return "present|" + S(e.name) + "|" + S(e.flags) + "|" + S(e.product);
  }
  std::string operator()(const UserJoined& e) const {
    return "joined|" + S(e.name) + "|" + S(e.flags) + "|" + S(e.product);
  }
  std::string operator()(const UserLeft& e) const { return "left|" + S(e.name); }
  std::string operator()(const WhisperFrom& e) const {
    return "from|" + S(e.name) + "|" + S(e.text);
  }
  std::string operator()(const Talk& e) const { return "talk|" + S(e.name) + "|" + S(e.text); }
  std::string operator()(const ChannelEntered& e) const { return "channel|" + S(e.channel); }
  std::string operator()(const FlagsChanged& e) const {
    return "flags|" + S(e.name) + "|" + S(e.flags);
  }
  std::string operator()(const WhisperTo& e) const { return "to|" + S(e.name) + "|" + S(e.text); }
  std::string operator()(const InfoNotice& e) const { return "info|" + S(e.text); }
  std::string operator()(const ErrorNotice& e) const { return "error|" + S(e.text); }
  std::string operator()(const Emote& e) const { return "emote|" + S(e.name) + "|" + S(e.text); }
  std::string operator()(const KeepAlive&) const { return "keep-alive"; }
  std::string operator()(const LoggedIn& e) const { return "logged-in|" + S(e.account); }
  std::string operator()(const LoginPrompt&) const { return "login-prompt"; }
  std::string operator()(const LoginRefused& e) const {
    return e.reason == LoginRefusal::kIncorrect ? "refused|incorrect" : "refused|no-bot-access";
  }
  std::string operator()(const UnreadableLine& e) const {
    return "unreadable|" + std::to_string(static_cast<int>(e.code));
  }
  static std::string S(std::string_view v) { return std::string(v); }
};

std::string Parsed(std::string_view line) {
  const std::optional<ServerEvent> event = ParseServerLine(line);
  return event ? std::visit(Describe{}, *event) : "none";
}

struct Layout {
  std::string line;
  std::string event;
  size_t shortest;  // the shortest readable prefix of `line`; one byte less reads as unreadable
  std::string shortest_event;
};

// Every code with a good line, and the line cut to its layout's least length.
const Layout kLayouts[] = {
    {"1001 USER x y 0010 [CHAT]", "present|x y|0010|[CHAT]", 23, "present|x|y 00|0 [CHA"},
    {"1002 JOIN x y 0010 [STAR]", "joined|x|0010|[STAR]", 23, "joined|x|y 00|0 [STA"},
    {"1003 LEAVE bob 0000", "left|bob", 17, "left|b"},
    {"1004 WHISPER al 0000 \"a \"q\"\"", "from|al|a \"q\"", 23, "from|al|"},
    {"1005 TALK al 0000 \"hi\"", "talk|al|hi", 20, "talk|al|"},
    {"1007 CHANNEL \"Town Square\"", "channel|Town Square", 16, "channel|T"},
    {"1009 USER bob 0002", "flags|bob|0002", 16, "flags|b|b 00"},
    {"1010 WHISPER al 0000 \"hi\"", "to|al|hi", 23, "to|al|"},
    {"1018 INFO \"Welcome\"", "info|Welcome", 12, "info|"},
    {"1019 ERROR \"No\"", "error|No", 13, "error|"},
    {"1023 EMOTE al 0000 \"waves\"", "emote|al|waves", 21, "emote|al|"},
};

TEST(ServerLine, EachCodeYieldsItsFieldsAndNothingBelowItsLayout) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.line);
    EXPECT_EQ(Parsed(l.line), l.event);
    EXPECT_EQ(Parsed(l.line.substr(0, l.shortest)), l.shortest_event);
    for (size_t cut = 4; cut < l.shortest; ++cut) {
      EXPECT_EQ(Parsed(l.line.substr(0, cut)), "unreadable|" + l.line.substr(0, 4)) << cut;
    }
    for (size_t cut = 0; cut < 4; ++cut) EXPECT_EQ(Parsed(l.line.substr(0, cut)), "none");
  }
}

TEST(ServerLine, LinesWithoutFieldsAndLinesOfNoKnownCode) {
  const std::pair<std::string, std::string> cases[] = {
      {"2000 NULL", "keep-alive"},
      {"2000", "keep-alive"},
      {"2010 NAME talvexbot", "logged-in|talvexbot"},
      {"2010", "logged-in|"},  // the naming line has no least length
      {"Enter your account name and password.", "login-prompt"},
      {"Login incorrect", "refused|incorrect"},
      {"Login failed.", "refused|incorrect"},
      {"Account has no bot access.", "refused|no-bot-access"},
      {"Login incorrect.", "none"},
      {"1002 JOIN  0000 [STAR]x", "unreadable|1002"},  // no name before the first space
      {"1003 LEAVE   0000", "unreadable|1003"},
      {"1009 NAME bob 0000", "unreadable|1009"},
      {"1004 WHISPER  0000 \"t\"", "unreadable|1004"},
      {"1006 SOMETHING", "none"},
      {"3000 NULL", "none"},
      {"", "none"},
      {std::string("1005\0TALK", 9), "unreadable|1005"},
      {std::string("1005 TALK a\0 0000 \"\0\"", 21), std::string("talk|a\0|\0", 9)},
      {"\xff\xfe\x80", "none"},
  };
  for (const auto& [line, event] : cases) EXPECT_EQ(Parsed(line), event) << line;
}

// A hostile line may put characters of several bytes where the layout has its fixed heads, flags
// or closing quote: the cuts count characters, so none falls inside one.
TEST(ServerLine, LayoutsCountCharactersNotBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"1005 TA\u00B0\u00B4\u00DFob 0000 \"hi \u2713\"", "talk|ob|hi \u2713"},
      {"1005 TALK al 0000 \"x\u2713", "talk|al|x"},
      {"1003 LEAVE bob 00\u2713\u2713", "left|bob"},
      {"1001 USER x 00\u2713\u00E9 [CHAT]", "present|x|00\u2713\u00E9|[CHAT]"},
      {"1009 USER b\u00F6b 00\u65E50", "flags|b\u00F6b|00\u65E50"},
      {"1018 INFO \"\u65E5\u672C", "info|\u65E5"},
      {"1007 CHANNEL \"\u65E5\u672C", "channel|\u65E5"},
  };
  for (const auto& [line, event] : cases) EXPECT_EQ(Parsed(line), event) << line;
}

TEST(ServerLine, AnOverlongLineYieldsAllItsText) {
  const std::string text(100000, 'x');
  EXPECT_EQ(Parsed("1005 TALK al 0000 \"" + text + "\""), "talk|al|" + text);
  EXPECT_EQ(Parsed("1018 INFO \"" + text + "\""), "info|" + text);
  EXPECT_EQ(Parsed("1001 USER " + text + " 0000 [STAR]"), "present|" + text + "|0000|[STAR]");
}

}  // namespace
}  // namespace tc
