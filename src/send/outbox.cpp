#include "send/outbox.h"

#include <algorithm>
#include <string>
#include <utility>

#include "common/house.h"
#include "common/text.h"
#include "send/long_lines.h"

namespace tc {

namespace {

constexpr size_t kMaxLine = 500;
// Servers that never echo talk would let the list grow for as long as the bot runs.
constexpr size_t kMaxSentLines = 200;
// "/send /send ..." and event actions that raise their own event would otherwise recurse until
// the stack runs out.
constexpr int kMaxSendDepth = Outbox::kMaxDepth;

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

Outbox::Outbox(OutboxHost& host, const Clock& clock) : host_(host), clock_(clock) {}

void Outbox::Send(const TaintedText& text, LineOrigin origin) {
  if (send_depth_ >= kMaxSendDepth) {
    host_.ShowLocal("System ( Commands nested more than " + std::to_string(kMaxSendDepth) +
                    " deep; the line was not sent. )");
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
    line = host_.ExpandTemplate(line);
  }
  if (host_.RunLocalCommand(line)) return;
  if (origin == LineOrigin::kAutomatic && !line.empty() && line.text()[0] == '/' &&
      !line.Trusted(0)) {
    // The program's own answer would hand the server another user's words as our command.
    host_.ShowLocal("System ( A line beginning with another user's \"/\" was not sent. )");
    return;
  }
  SendToServer(line.text(), origin);
}

void Outbox::SendToServer(std::string line, LineOrigin origin) {
  if (BeginsNoCase(line, "/ban ") || BeginsNoCase(line, "/kick ")) {
    if (!IsHouseAccount(host_.OwnAccount()) && IsHouseChannel(host_.CurrentChannel())) {
      host_.ShowLocal("Error ( You are not a channel operator. )");
      return;
    }
  }
  if (!host_.Connected()) {
    host_.ShowLocal("System ( You are not connected. )");
    return;
  }
  if (line.empty()) {
    host_.ShowLocal("System ( You must enter a message. )");
    return;
  }
  // A CR or LF inside would reach the server as two lines; a line is never split there.
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  // The cut and the server's limits count the bytes on the wire, in the coding they go out in;
  // what is shown and recognised as our echo is the line as it went out.
  const SendEncoding encoding = host_.SendAs();
  const std::string bytes(CutBytes(TextToServer(line, encoding), kMaxLine));
  const SendQuota quota = host_.Quota();
  const std::vector<std::string> pieces =
      LongLinePieces(bytes, host_.SplitLongLinesAt(), encoding, quota);
  for (const std::string& piece : pieces) {
    // The server would refuse it whatever the pace; it is not shown as said. Nothing of a line
    // goes when a piece cannot, so the server never gets half of it.
    if (SendBudget::TooLong(piece, quota)) {
      host_.ShowLocal("Error ( Too long for the server (" + std::to_string(piece.size()) +
                      " bytes), not sent: " + TextFromSent(piece, encoding) + " )");
      return;
    }
  }
  if (BeginsNoCase(line, "/join")) host_.LeavingChannel();
  for (const std::string& piece : pieces) SendPiece(piece, origin == LineOrigin::kAutomatic);
}

void Outbox::SendPiece(const std::string& bytes, bool automatic) {
  std::string wire = bytes + "\r\n";
  const int64_t now = clock_.NowMs();
  if (!host_.AntiFloodOn()) {
    WriteLine(wire, automatic);
  } else if (!queue_.TakeImmediate()) {
    queue_.Enqueue(std::move(wire), anti_flood_timer_, now, automatic);
  } else if (queue_.Fits(wire, host_.Quota(), now)) {
    WriteLine(wire, automatic);
  } else {
    queue_.Hold(std::move(wire), anti_flood_timer_, now, host_.Quota(), automatic);
  }
  // Each piece of a long line is an entry of its own: the server echoes pieces, not lines.
  if (bytes[0] != '/') {
    sent_lines_.push_back(TextFromSent(bytes, host_.SendAs()));
    if (sent_lines_.size() > kMaxSentLines) sent_lines_.erase(sent_lines_.begin());
  }
}

void Outbox::WriteLine(const std::string& line, bool automatic) {
  host_.WriteToServer(line);
  queue_.Written(line, host_.Quota(), clock_.NowMs(), automatic);
  ShowWritten(line);
}

void Outbox::CountWritten(std::string_view line) {
  queue_.Written(line, host_.Quota(), clock_.NowMs());
}

void Outbox::ShowWritten(const std::string& wire) {
  // Servers of today do not echo talk: the user sees what they said when it leaves.
  if (!wire.empty() && wire[0] != '/') {
    ShowOwnTalk(TextFromSent(std::string_view(wire).substr(0, wire.size() - 2), host_.SendAs()));
  }
}

void Outbox::ShowOwnTalk(std::string_view line) {
  // A local message equal to a sent line is taken for its echo. This line is not one: the
  // entries stay for the echo a server may still send, which is then recognised and not shown
  // again.
  std::vector<std::string> held;
  held.swap(sent_lines_);
  host_.ShowLocal("<" + host_.OwnAccount() + "> " + std::string(line));
  held.insert(held.end(), sent_lines_.begin(), sent_lines_.end());
  sent_lines_.swap(held);
}

bool Outbox::TakeEcho(std::string_view line) {
  for (size_t i = sent_lines_.size(); i-- > 0;) {
    if (sent_lines_[i] == line) {
      sent_lines_.erase(sent_lines_.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

std::optional<int64_t> Outbox::NextDeadline() const {
  if (!anti_flood_timer_.Enabled()) return std::nullopt;
  return anti_flood_timer_.Due();
}

void Outbox::OnTimer(int64_t now_ms) {
  if (!anti_flood_timer_.IsDue(now_ms)) return;
  anti_flood_timer_.Rearm(now_ms);
  AntiFloodTick();
}

void Outbox::AntiFloodTick() {
  std::optional<std::string> line =
      queue_.Tick(host_.Connected(), anti_flood_timer_, clock_.NowMs(), host_.Quota());
  if (line) {
    host_.WriteToServer(*line);
    ShowWritten(*line);
  }
  if (const size_t dropped = queue_.TakeDroppedReport(); dropped > 0) {
    host_.ShowLocal("System ( " + std::to_string(dropped) +
                    " automatic lines were dropped: they came faster than the server takes "
                    "them. )");
  }
}

void Outbox::LineRefused(std::string_view error) {
  if (error != "Your message quota has been exceeded!" &&
      error != "Your line length quota has been exceeded!") {
    return;
  }
  if (!host_.AntiFloodOn()) return;  // the owner chose to send without holding back
  switch (queue_.Refused(anti_flood_timer_, clock_.NowMs(), host_.Quota())) {
    case SendQueue::Refusal::kUnknown:
      break;
    case SendQueue::Refusal::kSentAgain:
      host_.ShowLocal(
          "System ( The server refused the last line for its flood quota; it goes again "
          "when the quota has room. )");
      break;
    case SendQueue::Refusal::kGivenUp:
      host_.ShowLocal("Error ( The server refused this line twice, it was not sent: " +
                      TextFromSent(queue_.refused_line(), host_.SendAs()) + " )");
      break;
  }
}

LineOrigin Outbox::EnterAutomatic() {
  const LineOrigin previous = sending_origin_;
  sending_origin_ = LineOrigin::kAutomatic;
  ++send_depth_;
  return previous;
}

void Outbox::LeaveAutomatic(LineOrigin previous) {
  --send_depth_;
  sending_origin_ = previous;
}

}  // namespace tc
