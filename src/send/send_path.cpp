// SendText, the one way out to the server for everything the user or the bot says.
#include <string>

#include "app/tc_main.h"
#include "common/text.h"

namespace tc {

namespace {
constexpr size_t kMaxLine = 500;
// Servers that never echo talk would let the list grow for as long as the bot runs.
constexpr size_t kMaxSentLines = 200;
}  // namespace

void TC_Main::SendText(const TaintedText& text) {
  std::string line = text.text();
  // A CR or LF inside would reach the server as two lines; a line is never split.
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  if (line.size() > kMaxLine) line.resize(kMaxLine);
  if (!connected_) {
    DisplayText("System ( You are not connected. )", 5);
    return;
  }
  if (line.empty()) {
    DisplayText("System ( You must enter a message. )", 5);
    return;
  }
  if (PosNoCase(line.substr(0, 5), "/join") == 1) {
    PerformEvent("#Leave_Channel", own_account_, current_channel_);
  }
  WriteSocket(line + "\r\n");
  if (line[0] != '/') {
    sent_lines_.push_back(line);
    if (sent_lines_.size() > kMaxSentLines) sent_lines_.erase(sent_lines_.begin());
  }
}

}  // namespace tc
