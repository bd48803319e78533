// The flood-controlled send queue: with anti-flood protection on, server lines wait here and leave
// one per anti-flood tick, each pause growing with the length of the line before it, so that a
// burst never trips the server's message quota. A line after a quiet spell goes out at once.
//
// The owner's lines wait in a lane of their own and always leave before the program's automatic
// ones, whose lane is bounded so that other users cannot bury the owner or grow memory. A line
// also waits until the server's quota window has room for it, and a line the server refused
// right after it was written goes back to the head of its lane once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "ports/core_timer.h"
#include "send/send_budget.h"

namespace tc {

class SendQueue {
 public:
  static constexpr int64_t kBaseIntervalMs = 1700;  // AntiFlood_Timer1's first interval
  static constexpr int64_t kIdleIntervalMs = 1750;  // after the queue has drained
  static constexpr int64_t kPerByteMs = 35;
  static constexpr size_t kMaxAutomatic = 50;

  // What became of a line the server refused.
  enum class Refusal { kUnknown, kSentAgain, kGivenUp };

  // The immediate path: true when the queue has drained since the last line, which clears the
  // flag; the caller then writes the line itself if `Fits` says so, or hands it to `Hold`.
  bool TakeImmediate();
  // Appends a line (with its CR LF) to its lane and starts the timer if it is not already
  // running; a running timer keeps its deadline. Beyond the bound the oldest automatic line goes.
  void Enqueue(std::string line, CoreTimer& timer, int64_t now_ms, bool automatic = false);
  // One anti-flood tick: the line to write now, if any. Sets the pause before the next tick, and
  // once the queue is empty stops the timer and re-arms the immediate path. A line the quota
  // window has no room for stays, and the tick comes again when it has.
  std::optional<std::string> Tick(bool connected, CoreTimer& timer, int64_t now_ms,
                                  const SendQuota& quota = SendQuota::Off());
  // "/buffer" and a closed connection: the waiting lines are dropped; timer and flag stay.
  void Clear();
  // A new connection starts with the server's window empty.
  void ConnectionClosed();

  // The immediate path's check: true when the line (with CR LF) fits the window now.
  bool Fits(std::string_view line, const SendQuota& quota, int64_t now_ms);
  // A line the immediate path may not write yet: it waits alone until the window has room.
  void Hold(std::string line, CoreTimer& timer, int64_t now_ms, const SendQuota& quota,
            bool automatic = false);
  // Every line written: its units count in the window, and it is the line a refusal arriving
  // now belongs to. `bytes` may hold several lines (the login).
  void Written(std::string_view bytes, const SendQuota& quota, int64_t now_ms,
               bool automatic = false);
  // The server refused the line written last: it goes back once, after a whole window.
  Refusal Refused(CoreTimer& timer, int64_t now_ms, const SendQuota& quota);
  // The line a refusal was about (without CR LF).
  const std::string& refused_line() const { return refused_; }
  // Automatic lines dropped at the bound, reported once the dropping has stopped: the count to
  // report now, or 0.
  size_t TakeDroppedReport();

  bool send_immediately() const { return send_immediately_; }
  size_t size() const { return owner_.size() + automatic_.size(); }
  size_t automatic_size() const { return automatic_.size(); }

 private:
  struct Entry {
    std::string line;
    bool automatic = false;
    bool sent_before = false;  // refused once already
  };
  void Record(std::string_view line, bool automatic, bool sent_before);
  void WaitForRoom(int64_t wait_ms, CoreTimer& timer, int64_t now_ms);

  std::deque<Entry> owner_;
  std::deque<Entry> automatic_;
  SendBudget budget_;
  bool send_immediately_ = false;
  Entry last_written_;  // empty line: none, or already matched to a refusal
  std::string refused_;
  size_t dropped_ = 0;
  size_t dropped_at_last_tick_ = 0;
};

}  // namespace tc
