// The core's socket on QTcpSocket. Every notification reaches the core later from the event loop,
// never from inside Open, Close or Write, so the core is never re-entered while it acts. Each Open
// and Close starts a new generation; notifications queued for an older one are dropped, which
// keeps the promise of exactly one disconnect per connection.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QTcpSocket>
#include <cstdint>
#include <functional>

#include "ports/ports.h"

namespace tc::platform {

// The core's kind of a Qt socket error.
SocketError CoreSocketError(QAbstractSocket::SocketError error);

// Keep-alive timing: probes start after this much idle time and go this far apart; after this
// many unanswered probes the connection is dead.
inline constexpr int kKeepAliveIdleSeconds = 60;
inline constexpr int kKeepAliveIntervalSeconds = 10;
inline constexpr int kKeepAliveProbes = 3;

class QtSocket : public QObject, public Socket {
  Q_OBJECT

 public:
  explicit QtSocket(QObject* parent = nullptr);
  ~QtSocket() override;
  QtSocket(const QtSocket&) = delete;
  QtSocket& operator=(const QtSocket&) = delete;

  void Open(const std::string& host, uint16_t port) override;
  void Close() override;
  void Write(std::string_view bytes) override;
  bool KeepAliveEnabled() const override { return state_ == State::kOpen && keep_alive_; }

  bool IsOpen() const { return state_ == State::kOpen; }
  // The system's socket while connected, -1 otherwise (for tests that look at its options).
  qintptr Descriptor() const { return socket_.socketDescriptor(); }
  // Changes with every Open, Close and delivered disconnect; a notification belongs to the
  // generation current when it was emitted.
  uint64_t generation() const { return generation_; }

 signals:
  // The notifications, always emitted from the event loop.
  void connected();
  void dataRead(const QByteArray& bytes);
  void disconnected();
  void errorOccurred(tc::SocketError error);

 private:
  // kFailed: the attempt failed without a disconnect; a Close still owes one.
  enum class State { kClosed, kOpening, kOpen, kFailed };

  void OnQtConnected();
  void OnQtReadyRead();
  void OnQtDisconnected();
  void OnQtError(QAbstractSocket::SocketError error);
  // Runs `deliver` from the event loop unless a newer generation has begun by then.
  void Post(std::function<void()> deliver);
  void DeliverDisconnected();
  void AbortQuietly();
  // Turns keep-alive on for the connection just made; true when a dead peer will be noticed
  // within about a minute and a half.
  bool EnableKeepAlive();

  QTcpSocket socket_;
  State state_ = State::kClosed;
  bool keep_alive_ = false;
  uint64_t generation_ = 0;
};

}  // namespace tc::platform
