// A logged-in client for the send tests: channel "Some Channel", nothing written or shown yet, and
// the beep confirmed and a second user present, so that nothing of the one-second tick mixes into
// the queue.
#pragma once

#include <string>
#include <vector>

#include "harness/session.h"
#include "send/send_budget.h"

namespace tc::test {

class SendFixture {
 public:
  explicit SendFixture(bool anti_flood = true) {
    s.core().options().anti_flood = anti_flood;
    s.LogIn("talvexbot", "Some Channel");
    s.Server("1018 INFO \"Audible notification on.\"");
    // Not alone in the channel: the once-a-second rejoin for operator status stays quiet.
    s.Server("1001 USER alice 0000 [CHAT]");
    // The login's own lines ("/beep", "/join") have left the server's quota window.
    s.Advance(SendQuota{}.window_ms);
    s.Written();
    s.ui.TakeLines();
  }
  std::vector<std::string> Shown() { return s.ui.Texts(); }
  std::vector<std::string> TakeShown() {
    std::vector<std::string> out = s.ui.Texts();
    s.ui.TakeLines();
    return out;
  }
  int CountShown(const std::string& text) const {
    int n = 0;
    for (const std::string& t : s.ui.Texts()) n += t == text ? 1 : 0;
    return n;
  }
  Session s{kStartedUp};
};

}  // namespace tc::test
