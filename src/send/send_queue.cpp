#include "send/send_queue.h"

#include <utility>

namespace tc {

namespace {

inline std::string_view Body(std::string_view line) {
  if (line.ends_with("\r\n")) line.remove_suffix(2);
  return line;
}

}  // namespace

bool SendQueue::TakeImmediate() {
  if (!send_immediately_) return false;
  send_immediately_ = false;
  return true;
}

void SendQueue::Enqueue(std::string line, CoreTimer& timer, int64_t now_ms, bool automatic) {
  if (automatic) {
    if (automatic_.size() >= kMaxAutomatic) {
      automatic_.pop_front();
      ++dropped_;
    }
    automatic_.push_back({std::move(line), true, false});
  } else {
    owner_.push_back({std::move(line), false, false});
  }
  if (!timer.Enabled()) timer.Enable(now_ms);
}

std::optional<std::string> SendQueue::Tick(bool connected, CoreTimer& timer, int64_t now_ms,
                                           const SendQuota& quota) {
  std::optional<std::string> out;
  std::deque<Entry>& lane = owner_.empty() ? automatic_ : owner_;
  if (!lane.empty() && connected) {
    const std::string_view body = Body(lane.front().line);
    const int cost = SendBudget::Cost(body, quota);
    if (const int64_t wait = budget_.WaitFor(cost, quota, now_ms); wait > 0) {
      timer.SetInterval(wait, now_ms);
      return out;
    }
    Entry entry = std::move(lane.front());
    lane.pop_front();
    budget_.Charge(cost, quota, now_ms);
    Record(Body(entry.line), entry.automatic, entry.sent_before);
    const auto bytes = static_cast<int64_t>(entry.line.size());
    timer.SetInterval(kBaseIntervalMs + kPerByteMs * (bytes + 1), now_ms);
    out = std::move(entry.line);
  }
  if (owner_.empty() && automatic_.empty()) {
    timer.Disable();
    send_immediately_ = true;
    timer.SetInterval(kIdleIntervalMs, now_ms);
  }
  return out;
}

void SendQueue::Clear() {
  owner_.clear();
  automatic_.clear();
  dropped_ = 0;
  dropped_at_last_tick_ = 0;
}

void SendQueue::ConnectionClosed() {
  Clear();
  budget_.Clear();
  last_written_.line.clear();
}

bool SendQueue::Fits(std::string_view line, const SendQuota& quota, int64_t now_ms) {
  return budget_.WaitFor(SendBudget::Cost(Body(line), quota), quota, now_ms) == 0;
}

void SendQueue::Hold(std::string line, CoreTimer& timer, int64_t now_ms, const SendQuota& quota,
                     bool automatic) {
  const int64_t wait = budget_.WaitFor(SendBudget::Cost(Body(line), quota), quota, now_ms);
  (automatic ? automatic_ : owner_).push_back({std::move(line), automatic, false});
  send_immediately_ = false;
  WaitForRoom(wait, timer, now_ms);
}

void SendQueue::Written(std::string_view bytes, const SendQuota& quota, int64_t now_ms,
                        bool automatic) {
  std::string_view last;
  while (!bytes.empty()) {
    const size_t end = bytes.find("\r\n");
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 2);
    if (line.empty()) continue;
    budget_.Charge(SendBudget::Cost(line, quota), quota, now_ms);
    last = line;
  }
  Record(last, automatic, false);
}

SendQueue::Refusal SendQueue::Refused(CoreTimer& timer, int64_t now_ms, const SendQuota& quota) {
  if (last_written_.line.empty()) return Refusal::kUnknown;
  Entry entry = std::exchange(last_written_, Entry{});
  // The server counts refused lines too; its window is full for a whole window from now.
  budget_.Fill(quota, now_ms);
  refused_ = entry.line;
  if (entry.sent_before) return Refusal::kGivenUp;
  entry.sent_before = true;
  entry.line += "\r\n";
  const int64_t wait = budget_.WaitFor(SendBudget::Cost(Body(entry.line), quota), quota, now_ms);
  (entry.automatic ? automatic_ : owner_).push_front(std::move(entry));
  send_immediately_ = false;
  WaitForRoom(wait, timer, now_ms);
  return Refusal::kSentAgain;
}

size_t SendQueue::TakeDroppedReport() {
  size_t report = 0;
  // The dropping has stopped when a whole tick went by without another, or the lane drained.
  if (dropped_ > 0 && (dropped_ == dropped_at_last_tick_ || automatic_.empty())) {
    report = dropped_;
    dropped_ = 0;
  }
  dropped_at_last_tick_ = dropped_;
  return report;
}

void SendQueue::Record(std::string_view line, bool automatic, bool sent_before) {
  // Assigned in place: the buffer is reused from line to line.
  last_written_.line.assign(line);
  last_written_.automatic = automatic;
  last_written_.sent_before = sent_before;
}

void SendQueue::WaitForRoom(int64_t wait_ms, CoreTimer& timer, int64_t now_ms) {
  if (!timer.Enabled()) {
    timer.SetInterval(wait_ms, now_ms);
    timer.Enable(now_ms);
  } else if (timer.Due() < now_ms + wait_ms) {
    timer.SetInterval(wait_ms, now_ms);
  }
}

}  // namespace tc
