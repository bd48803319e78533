// Idle and away automation: the auto-away countdown, and the anti-idle line.
#pragma once

#include <string>
#include <string_view>

namespace tc {

// Whole seconds without a press of the Send button before the client goes away. The delay is the
// option's, passed in, so that there is one copy of it.
class AutoAwayCountdown {
 public:
  static constexpr int kDefaultMinutes = 10;

  // The countdown starts over from `minutes`: the Send button, a new delay, switching it on.
  void Start(int minutes) { remaining_ = minutes * 60; }
  // One second while auto-away is on. True when the countdown had already run out: the client is
  // to go away now, and the countdown has started over.
  bool Tick(int minutes);
  int remaining() const { return remaining_; }

 private:
  int remaining_ = kDefaultMinutes * 60;
};

// The emote the anti-idle tick posts, around the value of "$anti-idle$".
std::string AntiIdleLine(std::string_view anti_idle_text);

}  // namespace tc
