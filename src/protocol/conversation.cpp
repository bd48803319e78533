// Talk, emotes, whispers, information and error lines: cut out the speaker and the text, keep the
// speaker's record, show the line.
#include <string>

#include "app/tc_main.h"
#include "common/text.h"

namespace tc {

namespace {

// The quoted text of an "INFO"/"ERROR" line after `prefix` bytes; false when the line is too short
// to hold its quotes.
bool CutNotice(std::string_view line, size_t prefix, std::string& text) {
  if (line.size() < prefix + 1) return false;
  text = std::string(DropLast(DropFirst(line, prefix), 1));
  return true;
}

// "name flags \"text\"" after `prefix` bytes, for whispers, talk and emotes.
bool CutSpeaker(std::string_view line, size_t prefix, std::string& name, std::string& text) {
  const std::string_view rest = DropFirst(line, prefix);
  const size_t space = rest.find(' ');
  // The name, a space, four flag digits, a space and the two quotes.
  if (space == std::string_view::npos || space == 0 || rest.size() < space + 8) return false;
  name = std::string(rest.substr(0, space));
  text = std::string(DropLast(rest.substr(space + 7), 1));
  return true;
}

}  // namespace

void TC_Main::HandleTalk(std::string_view line, int& kind, std::string& display) {
  std::string name;
  std::string message;
  if (!CutSpeaker(line, 10, name, message)) return;
  display = "<" + name + "> " + message;
  kind = 3;
  database_.UpdateUser(name, {{UserField::kLast_Time_Seen, DateTimeText()},
                              {UserField::kLast_Message_Seen, message},
                              {UserField::kLocation, current_channel_},
                              {UserField::kIn_Channel, "Yes"}});
  database_.IncTimesSeen(name);
  if (ContainsNoCase(User_Info(name, "Type"), "Ignore")) SendText("/ignore " + name);
  PerformEvent("#User_Spoke", name, message);
  Add_LastTen(name);
}

void TC_Main::HandleEmote(std::string_view line, int& kind, std::string& display) {
  std::string name;
  std::string text;
  if (!CutSpeaker(line, 11, name, text)) return;
  display = "<" + name + " " + text + ">";
  kind = 3;
  const std::string message = text + ">";
  database_.UpdateUser(name, {{UserField::kLast_Time_Seen, DateTimeText()},
                              {UserField::kLast_Message_Seen, message}});
  database_.IncTimesSeen(name);
  Add_LastTen(name);
  PerformEvent("#User_Emote", name, message);
}

void TC_Main::HandleWhisper(std::string_view line, int& kind, std::string& display, bool received) {
  std::string name;
  std::string message;
  if (!CutSpeaker(line, 13, name, message)) return;
  const bool inter_client = StartsWith(message, "//");
  kind = inter_client ? 2 : 3;
  if (received) {
    display = "\xAB( " + name + " )\xAB " + message;
    if (kind == 3) PerformEvent("#User_Whispered", name, message);
  } else {
    display = "\xBB( " + name + " )\xBB " + message;
    if (kind == 3) PerformEvent("#You_Whispered", name, message);
  }
}

void TC_Main::HandleInfo(std::string_view line, int& kind, std::string& display) {
  std::string text;
  if (!CutNotice(line, 11, text)) return;
  if (text == "Welcome to Battle.net!") WelcomeSteps();
  kind = 3;
  // Servers of today word the beep answers differently; both spellings count.
  if (text == "Audible notifications enabled." || text == "Audible notification on.") {
    kind = 2;
    beep_enabled_ = true;
  } else if (text == "Audible notifications disabled." || text == "Audible notification off.") {
    SendText("/beep");
    beep_enabled_ = false;
    kind = 2;
  }
  display = "Info ( " + text + " )";
}

void TC_Main::HandleError(std::string_view line, int& kind, std::string& display) {
  std::string text;
  if (!CutNotice(line, 12, text)) return;
  kind = 3;
  display = "Error ( " + text + " )";
}

}  // namespace tc
