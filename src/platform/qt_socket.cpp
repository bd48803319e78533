#include "platform/qt_socket.h"

#include <QMetaObject>
#include <QSignalBlocker>
#include <QString>

#ifdef Q_OS_LINUX
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace tc::platform {

SocketError CoreSocketError(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
      return SocketError::kConnectionReset;
    case QAbstractSocket::ConnectionRefusedError:
      return SocketError::kConnectionRefused;
    case QAbstractSocket::SocketTimeoutError:
      return SocketError::kTimedOut;
    case QAbstractSocket::HostNotFoundError:
      return SocketError::kHostNotFound;
    case QAbstractSocket::NetworkError:
      return SocketError::kNetworkUnreachable;
    default:
      return SocketError::kOther;
  }
}

QtSocket::QtSocket(QObject* parent) : QObject(parent) {
  connect(&socket_, &QTcpSocket::connected, this, &QtSocket::OnQtConnected);
  connect(&socket_, &QTcpSocket::readyRead, this, &QtSocket::OnQtReadyRead);
  connect(&socket_, &QTcpSocket::disconnected, this, &QtSocket::OnQtDisconnected);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &QtSocket::OnQtError);
}

QtSocket::~QtSocket() {
  // Nothing may reach the handlers (and the core behind them) while we go.
  QObject::disconnect(&socket_, nullptr, this, nullptr);
  socket_.abort();
}

void QtSocket::Open(const std::string& host, uint16_t port) {
  ++generation_;
  AbortQuietly();
  state_ = State::kOpening;
  keep_alive_ = false;
  // Host names are ASCII; a dotted address or a name is resolved by Qt.
  socket_.connectToHost(QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size())),
                        port);
}

void QtSocket::Close() {
  if (state_ == State::kClosed) return;
  ++generation_;
  AbortQuietly();
  state_ = State::kClosed;
  Post([this] { DeliverDisconnected(); });
}

void QtSocket::Write(std::string_view bytes) {
  if (state_ != State::kOpen || socket_.state() != QAbstractSocket::ConnectedState) return;
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  // Hand the bytes to the system now, as a plain send() would: a Close right after a Write
  // (the last line before leaving) must not lose them.
  socket_.flush();
}

void QtSocket::OnQtConnected() {
  if (state_ != State::kOpening) return;
  state_ = State::kOpen;
  keep_alive_ = EnableKeepAlive();
  Post([this] { emit connected(); });
}

void QtSocket::OnQtReadyRead() {
  // Take the bytes now: the socket may be closed or reused before the delivery runs.
  const QByteArray bytes = socket_.readAll();
  if (bytes.isEmpty() || state_ != State::kOpen) return;
  Post([this, bytes] { emit dataRead(bytes); });
}

void QtSocket::OnQtDisconnected() {
  if (state_ == State::kClosed) return;
  if (socket_.bytesAvailable() > 0) OnQtReadyRead();
  state_ = State::kClosed;
  Post([this] { DeliverDisconnected(); });
}

void QtSocket::OnQtError(QAbstractSocket::SocketError error) {
  if (state_ == State::kClosed) return;
  // A remote close is reported by Qt as an error before its disconnect; on Linux Qt cannot tell
  // a reset from an orderly close, and both end in the disconnect handling anyway.
  if (error == QAbstractSocket::RemoteHostClosedError) return;
  if (state_ == State::kOpening) state_ = State::kFailed;
  const SocketError kind = CoreSocketError(error);
  Post([this, kind] { emit errorOccurred(kind); });
}

bool QtSocket::EnableKeepAlive() {
  socket_.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#ifdef Q_OS_LINUX
  // Qt knows only on/off; the system's default waits two hours before the first probe.
  const int fd = static_cast<int>(socket_.socketDescriptor());
  if (fd < 0) return false;
  const auto set = [fd](int level, int name, int value) {
    return setsockopt(fd, level, name, &value, sizeof value) == 0;
  };
  return set(SOL_SOCKET, SO_KEEPALIVE, 1) &&
         set(IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds) &&
         set(IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds) &&
         set(IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes);
#else
  // Without the timing a dead peer would go unnoticed for hours: the core keeps its own watch.
  return false;
#endif
}

void QtSocket::Post(std::function<void()> deliver) {
  QMetaObject::invokeMethod(
      this,
      [this, generation = generation_, deliver = std::move(deliver)] {
        if (generation == generation_) deliver();
      },
      Qt::QueuedConnection);
}

void QtSocket::DeliverDisconnected() {
  // A newer Open would have changed the generation; this one is the single disconnect owed.
  ++generation_;
  emit disconnected();
}

void QtSocket::AbortQuietly() {
  if (socket_.state() == QAbstractSocket::UnconnectedState) return;
  const QSignalBlocker blocker(socket_);
  socket_.flush();
  socket_.abort();
}

}  // namespace tc::platform
