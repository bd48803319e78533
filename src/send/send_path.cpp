// SendText, the one way out for everything the user or the bot says: expansion, the local
// commands, then the server line through the flood-controlled send queue.
#include <algorithm>
#include <string>

#include "app/tc_main.h"
#include "common/house.h"
#include "common/text.h"

namespace tc {

namespace {

constexpr size_t kMaxLine = 500;
// Servers that never echo talk would let the list grow for as long as the bot runs.
constexpr size_t kMaxSentLines = 200;
// "/send /send ..." and event actions that raise their own event would otherwise recurse until
// the stack runs out.
constexpr int kMaxSendDepth = 32;

// Keeps a nesting counter right whichever way the call is left.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

// Sets a value for the length of a scope and puts the old one back however the scope is left.
template <typename T>
class ScopedValue {
 public:
  ScopedValue(T& target, T value) : target_(target), old_(target) { target_ = value; }
  ~ScopedValue() { target_ = old_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& target_;
  T old_;
};

}  // namespace

void TC_Main::SendText(const TaintedText& text, LineOrigin origin) {
  if (send_depth_ >= kMaxSendDepth) {
    DisplayText("System ( Commands nested more than " + std::to_string(kMaxSendDepth) +
                    " deep; the line was not sent. )",
                5);
    return;
  }
  if (send_depth_ > 0 && sending_origin_ == LineOrigin::kAutomatic) origin = LineOrigin::kAutomatic;
  const ScopedValue<LineOrigin> origin_scope(sending_origin_, origin);
  DepthGuard guard(send_depth_);

  TaintedText line = text;
  // Only the sender's own marker counts: another user cannot switch expansion off.
  const size_t no_format = line.FindTrusted("<nf>");
  if (no_format != TaintedText::npos) {
    line.Erase(no_format, 4);
  } else if (!(line.Trusted(0, 6) && BeginsNoCase(line.text(), "/edit "))) {
    line = Prepare(line, "", "");
  }
  if (RunLocalCommand(line)) return;
  SendToServer(line.text(), origin);
}

void TC_Main::SendToServer(std::string line, LineOrigin origin) {
  if (BeginsNoCase(line, "/ban ") || BeginsNoCase(line, "/kick ")) {
    if (!IsHouseAccount(own_account_) && IsHouseChannel(current_channel_)) {
      DisplayText("Error ( You are not a channel operator. )", 5);
      return;
    }
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
  // A CR or LF inside would reach the server as two lines; a line is never split.
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  // The server would refuse it whatever the pace; it is not shown as said.
  if (SendBudget::TooLong(line, Quota())) {
    DisplayText("Error ( Too long for the server (" + std::to_string(line.size()) +
                    " bytes), not sent: " + line + " )",
                5);
    return;
  }
  if (BeginsNoCase(line, "/join")) {
    PerformEvent(Event::kLeaveChannel, own_account_, current_channel_);
  }
  std::string wire = line + "\r\n";
  const bool automatic = origin == LineOrigin::kAutomatic;
  const int64_t now = clock_.NowMs();
  if (!options_.anti_flood) {
    WriteLine(wire, automatic);
  } else if (!send_queue_.TakeImmediate()) {
    send_queue_.Enqueue(std::move(wire), anti_flood_timer_, now, automatic);
  } else if (send_queue_.Fits(wire, Quota(), now)) {
    WriteLine(wire, automatic);
  } else {
    send_queue_.Hold(std::move(wire), anti_flood_timer_, now, Quota(), automatic);
  }
  if (line[0] != '/') {
    sent_lines_.push_back(std::move(line));
    if (sent_lines_.size() > kMaxSentLines) sent_lines_.erase(sent_lines_.begin());
  }
}

void TC_Main::WriteLine(const std::string& line, bool automatic) {
  WriteSocket(line);
  send_queue_.Written(line, Quota(), clock_.NowMs(), automatic);
  ShowWritten(line);
}

void TC_Main::ShowWritten(const std::string& line) {
  // Servers of today do not echo talk: the user sees what they said when it leaves.
  if (!line.empty() && line[0] != '/') {
    ShowOwnTalk(std::string_view(line).substr(0, line.size() - 2));
  }
}

void TC_Main::ShowOwnTalk(std::string_view line) {
  // DisplayText takes a local message equal to a sent line for its echo. This line is not one:
  // the entries stay for the echo a server may still send, which is then recognised and not
  // shown again.
  std::vector<std::string> held;
  held.swap(sent_lines_);
  DisplayText("<" + own_account_ + "> " + std::string(line), 5);
  held.insert(held.end(), sent_lines_.begin(), sent_lines_.end());
  sent_lines_.swap(held);
}

void TC_Main::AntiFloodTick() {
  std::optional<std::string> line =
      send_queue_.Tick(connected_, anti_flood_timer_, clock_.NowMs(), Quota());
  if (line) {
    WriteSocket(*line);
    ShowWritten(*line);
  }
  if (const size_t dropped = send_queue_.TakeDroppedReport(); dropped > 0) {
    DisplayText("System ( " + std::to_string(dropped) +
                    " automatic lines were dropped: they came faster than the server takes "
                    "them. )",
                5);
  }
}

SendQuota TC_Main::Quota() const {
  return {options_.quota_units, options_.quota_window_ms, options_.quota_bytes_per_unit,
          options_.quota_emote_factor};
}

void TC_Main::LineRefused(std::string_view error) {
  if (error != "Your message quota has been exceeded!" &&
      error != "Your line length quota has been exceeded!") {
    return;
  }
  if (!options_.anti_flood) return;  // the owner chose to send without holding back
  switch (send_queue_.Refused(anti_flood_timer_, clock_.NowMs(), Quota())) {
    case SendQueue::Refusal::kUnknown:
      break;
    case SendQueue::Refusal::kSentAgain:
      DisplayText(
          "System ( The server refused the last line for its flood quota; it goes again "
          "when the quota has room. )",
          5);
      break;
    case SendQueue::Refusal::kGivenUp:
      DisplayText("Error ( The server refused this line twice, it was not sent: " +
                      send_queue_.refused_line() + " )",
                  5);
      break;
  }
}

}  // namespace tc
