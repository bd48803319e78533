#include "automation/idle_away.h"

namespace tc {

bool AutoAwayCountdown::Tick(int minutes) {
  if (remaining_ > 0) {
    --remaining_;
    return false;
  }
  Start(minutes);
  return true;
}

std::string AntiIdleLine(std::string_view anti_idle_text) {
  return "/me Anti-Idle Talvex Chat 2000 (" + std::string(anti_idle_text) + ")";
}

}  // namespace tc
