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

#include "app/ports.h"

namespace tc::platform {

// The WinSock number the core knows for a Qt socket error (10000 and up).
int WinSockError(QAbstractSocket::SocketError error);

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

  bool IsOpen() const { return state_ == State::kOpen; }

 signals:
  // The notifications, always emitted from the event loop.
  void connected();
  void dataRead(const QByteArray& bytes);
  void disconnected();
  void errorOccurred(int code);

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

  QTcpSocket socket_;
  State state_ = State::kClosed;
  uint64_t generation_ = 0;
};

}  // namespace tc::platform
