// The flood-controlled send queue: with anti-flood protection on, server lines wait here and leave
// one per anti-flood tick, each pause growing with the length of the line before it, so that a
// burst never trips the server's message quota. A line after a quiet spell goes out at once.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "app/core_timer.h"

namespace tc {

class SendQueue {
 public:
  static constexpr int64_t kBaseIntervalMs = 1700;  // AntiFlood_Timer1's first interval
  static constexpr int64_t kIdleIntervalMs = 1750;  // after the queue has drained
  static constexpr int64_t kPerByteMs = 35;

  // The immediate path: true when the queue has drained since the last line, which clears the
  // flag; the caller then writes the line itself.
  bool TakeImmediate();
  // Appends a line (with its CR LF) and starts the timer if it is not already running; a running
  // timer keeps its deadline.
  void Enqueue(std::string line, CoreTimer& timer, int64_t now_ms);
  // One anti-flood tick: the line to write now, if any. Sets the pause before the next tick, and
  // once the queue is empty stops the timer and re-arms the immediate path.
  std::optional<std::string> Tick(bool connected, CoreTimer& timer, int64_t now_ms);
  // "/buffer" and a closed connection: the waiting lines are dropped; timer and flag stay.
  void Clear() { lines_.clear(); }

  bool send_immediately() const { return send_immediately_; }
  const std::deque<std::string>& Lines() const { return lines_; }

 private:
  std::deque<std::string> lines_;
  bool send_immediately_ = false;
};

}  // namespace tc
