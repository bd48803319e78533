// Runs a TC_Main on Qt: owns the clock, the socket and the one single-shot timer, and is the only
// way into the core. Every call goes through Call(), which re-arms the timer for the core's next
// deadline when it returns, so no path can leave a timer change unnoticed.
#pragma once

#include <QTimer>
#include <filesystem>
#include <utility>

#include "app/guarded_call.h"
#include "app/ports.h"
#include "app/tc_main.h"
#include "platform/qt_clock.h"
#include "platform/qt_socket.h"

namespace tc::platform {

class CoreDriver {
 public:
  CoreDriver(Frontend& frontend, std::filesystem::path program_dir);
  ~CoreDriver();
  CoreDriver(const CoreDriver&) = delete;
  CoreDriver& operator=(const CoreDriver&) = delete;

  // Runs `action` on the core, then re-arms the timer. Returns what the action returns; an
  // exception is caught here (GuardedCall), so none reaches Qt's event loop.
  template <typename F>
  auto Call(F&& action) {
    const RearmOnExit rearm{*this};
    return GuardedCall(core_, std::forward<F>(action));
  }

  // FormClose once; afterwards socket notifications and timer ticks no longer reach the core.
  void Shutdown();
  bool shut_down() const { return shut_down_; }

  const TC_Main& core() const { return core_; }
  QtSocket& socket() { return socket_; }
  const Clock& clock() const { return clock_; }
  // Milliseconds until the armed timer fires, or -1 when it is idle.
  int TimerRemainingMs() const { return timer_.isActive() ? timer_.remainingTime() : -1; }

 private:
  struct RearmOnExit {
    CoreDriver& driver;
    ~RearmOnExit() { driver.Arm(); }
  };

  void Arm();

  QtClock clock_;
  QtSocket socket_;
  QTimer timer_;
  TC_Main core_;
  bool shut_down_ = false;
};

}  // namespace tc::platform
