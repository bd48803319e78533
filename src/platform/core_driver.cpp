#include "platform/core_driver.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace tc::platform {

CoreDriver::CoreDriver(Frontend& frontend, std::filesystem::path program_dir)
    : core_(socket_, clock_, frontend, std::move(program_dir)) {
  timer_.setSingleShot(true);
  // Coarse timers may fire early; a precise one keeps ticks from arriving before their deadline.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    Deliver({[](Client& core) { core.OnTimer(); }, std::nullopt});
  });
  QObject::connect(&socket_, &QtSocket::connected,
                   [this] { DeliverFromSocket([](Client& core) { core.OnConnected(); }); });
  // The bytes are shared, not copied, when the delivery has to wait.
  QObject::connect(&socket_, &QtSocket::dataRead, [this](const QByteArray& bytes) {
    DeliverFromSocket([bytes](Client& core) {
      core.OnRead(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    });
  });
  QObject::connect(&socket_, &QtSocket::disconnected,
                   [this] { DeliverFromSocket([](Client& core) { core.OnDisconnected(); }); });
  QObject::connect(&socket_, &QtSocket::errorOccurred, [this](SocketError error) {
    DeliverFromSocket([error](Client& core) { core.OnError(error); });
  });
}

CoreDriver::~CoreDriver() {
  // The core goes first (members are destroyed in reverse); nothing may call it on the way.
  QObject::disconnect(&socket_, nullptr, nullptr, nullptr);
  QObject::disconnect(&timer_, nullptr, nullptr, nullptr);
}

void CoreDriver::Shutdown() {
  if (closing_) return;
  closing_ = true;
  held_.clear();
  Call([](Client& core) { core.Shutdown(); });
  shut_down_ = true;
  timer_.stop();
}

void CoreDriver::Deliver(Delivery delivery) {
  if (closing_) return;
  if (depth_ > 0) {
    held_.push_back(std::move(delivery));
    return;
  }
  Call(delivery.run);
}

void CoreDriver::DeliverFromSocket(std::function<void(Client&)> run) {
  Deliver({std::move(run), socket_.generation()});
}

void CoreDriver::Settle() {
  ++depth_;
  while (!held_.empty() && !closing_) {
    const Delivery next = std::move(held_.front());
    held_.pop_front();
    if (next.socket_generation && *next.socket_generation != socket_.generation()) continue;
    GuardedCall(core_, next.run);
  }
  --depth_;
  Arm();
}

void CoreDriver::Arm() {
  if (shut_down_) return;
  const std::optional<int64_t> deadline = core_.NextDeadline();
  if (!deadline) {
    timer_.stop();
    return;
  }
  const int64_t wait =
      std::clamp<int64_t>(*deadline - clock_.NowMs(), 0, std::numeric_limits<int>::max());
  timer_.start(static_cast<int>(wait));
}

}  // namespace tc::platform
