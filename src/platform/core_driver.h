// Runs a Client on Qt: owns the clock, the socket and the one single-shot timer, and is the only
// way into the core. Every call goes through Call(), which re-arms the timer for the core's next
// deadline when it returns, so no path can leave a timer change unnoticed.
//
// The core is never re-entered from the event loop: a dialog opened inside a core call runs a
// nested loop, and the socket notifications and timer ticks that arrive there are held and
// delivered, in their order, right after the outermost call returns.
#pragma once

#include <QTimer>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include "app/client.h"
#include "app/guarded_call.h"
#include "platform/qt_clock.h"
#include "platform/qt_socket.h"
#include "ports/ports.h"

namespace tc::platform {

class CoreDriver {
 public:
  CoreDriver(Frontend& frontend, std::filesystem::path program_dir);
  ~CoreDriver();
  CoreDriver(const CoreDriver&) = delete;
  CoreDriver& operator=(const CoreDriver&) = delete;

  // Runs `action` on the core; when the outermost call returns, delivers what was held during it
  // and re-arms the timer. Returns what the action returns; an exception is caught here
  // (GuardedCall), so none reaches Qt's event loop.
  template <typename F>
  auto Call(F&& action) {
    const CallScope scope{*this};
    return GuardedCall(core_, std::forward<F>(action));
  }

  // Shutdown once; afterwards socket notifications and timer ticks no longer reach the core.
  void Shutdown();
  bool shut_down() const { return shut_down_; }

  const Client& core() const { return core_; }
  QtSocket& socket() { return socket_; }
  const Clock& clock() const { return clock_; }
  // Milliseconds until the armed timer fires, or -1 when it is idle.
  int TimerRemainingMs() const { return timer_.isActive() ? timer_.remainingTime() : -1; }

 private:
  // A socket notification or a timer tick on its way into the core. A socket notification
  // belongs to the socket's generation it was sent in; once the socket has been closed or
  // reopened it is dropped, as the socket itself drops those still queued.
  struct Delivery {
    std::function<void(Client&)> run;
    std::optional<uint64_t> socket_generation;
  };

  class CallScope {
   public:
    explicit CallScope(CoreDriver& driver) : driver_(driver) { ++driver_.depth_; }
    ~CallScope() {
      if (--driver_.depth_ == 0) driver_.Settle();
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

   private:
    CoreDriver& driver_;
  };

  // Into the core now, or after the running call when there is one.
  void Deliver(Delivery delivery);
  void DeliverFromSocket(std::function<void(Client&)> run);
  // After the outermost call: the held deliveries in order (what arrives meanwhile joins the
  // end), then the timer.
  void Settle();
  void Arm();

  QtClock clock_;
  QtSocket socket_;
  QTimer timer_;
  Client core_;
  std::deque<Delivery> held_;
  int depth_ = 0;         // core calls running, nested ones included
  bool closing_ = false;  // Shutdown has begun: nothing more comes in from the loop
  bool shut_down_ = false;
};

}  // namespace tc::platform
