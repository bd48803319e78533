// A core timer: an interval and an enabled flag, like the form timers the handlers were written
// for. The core reports its next deadline; the driver (Qt or the virtual clock) calls back then.
#pragma once

#include <cstdint>

namespace tc {

class CoreTimer {
 public:
  explicit CoreTimer(int64_t interval_ms) : interval_ms_(interval_ms) {}

  bool Enabled() const { return enabled_; }
  int64_t Interval() const { return interval_ms_; }
  int64_t Due() const { return due_ms_; }

  // Enabling (or re-enabling) starts a fresh interval from now.
  void Enable(int64_t now_ms) {
    enabled_ = true;
    due_ms_ = now_ms + interval_ms_;
  }
  void Disable() { enabled_ = false; }
  // Changing the interval of a running timer restarts it.
  void SetInterval(int64_t interval_ms, int64_t now_ms) {
    interval_ms_ = interval_ms;
    if (enabled_) due_ms_ = now_ms + interval_ms_;
  }
  bool IsDue(int64_t now_ms) const { return enabled_ && due_ms_ <= now_ms; }
  // After a tick the next comes one interval later; a driver that woke late does not make the
  // timer fire again to catch up, as a form timer would not.
  void Rearm(int64_t now_ms) { due_ms_ = now_ms + interval_ms_; }

 private:
  int64_t interval_ms_;
  int64_t due_ms_ = 0;
  bool enabled_ = false;
};

}  // namespace tc
