// The server's own flood quota, counted on this side: each line costs units by its length, and the
// server refuses a line once a sliding window holds too many. Counting what the program itself
// wrote lets a line wait for room instead of being refused.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

namespace tc {

// The server's quota settings; the defaults are those of the servers met today.
struct SendQuota {
  int units = 4;             // units a window may hold; 0 means the server has no quota
  int64_t window_ms = 5000;  // how long a line's units count
  int bytes_per_unit = 40;   // a line costs one unit per started block of this many bytes
  int emote_factor = 2;      // "/me" and "/emote" lines are charged this many times

  bool Active() const { return units > 0 && window_ms > 0; }
  static SendQuota Off() { return SendQuota{0, 0, 40, 1}; }
};

class SendBudget {
 public:
  // The units the server charges for one line (without its CR LF).
  static int Cost(std::string_view line, const SendQuota& quota);
  // A line that costs more than a whole window can never pass.
  static bool TooLong(std::string_view line, const SendQuota& quota) {
    return quota.Active() && Cost(line, quota) > quota.units;
  }

  // Milliseconds from now until `units` more fit the window; 0 when they fit now.
  int64_t WaitFor(int units, const SendQuota& quota, int64_t now_ms);
  void Charge(int units, const SendQuota& quota, int64_t now_ms);
  // The server said its window is full: nothing fits until a whole window has passed.
  void Fill(const SendQuota& quota, int64_t now_ms);
  void Clear();

 private:
  // Forgets the lines whose units no longer count, so the list never outgrows one window.
  void Expire(const SendQuota& quota, int64_t now_ms);

  struct Spent {
    int64_t at_ms;
    int units;
  };
  std::deque<Spent> spent_;
  int total_ = 0;
};

}  // namespace tc
