#include "send/send_queue.h"

#include <utility>

namespace tc {

bool SendQueue::TakeImmediate() {
  if (!send_immediately_) return false;
  send_immediately_ = false;
  return true;
}

void SendQueue::Enqueue(std::string line, CoreTimer& timer, int64_t now_ms) {
  lines_.push_back(std::move(line));
  if (!timer.Enabled()) timer.Enable(now_ms);
}

std::optional<std::string> SendQueue::Tick(bool connected, CoreTimer& timer, int64_t now_ms) {
  std::optional<std::string> out;
  if (!lines_.empty() && connected) {
    out = std::move(lines_.front());
    lines_.pop_front();
    const auto bytes = static_cast<int64_t>(out->size());
    timer.SetInterval(kBaseIntervalMs + kPerByteMs * (bytes + 1), now_ms);
  }
  if (lines_.empty()) {
    timer.Disable();
    send_immediately_ = true;
    timer.SetInterval(kIdleIntervalMs, now_ms);
  }
  return out;
}

}  // namespace tc
