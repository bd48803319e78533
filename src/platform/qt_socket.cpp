#include "platform/qt_socket.h"

#include <QMetaObject>
#include <QSignalBlocker>
#include <QString>

namespace tc::platform {

int WinSockError(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
      return 10054;  // WSAECONNRESET
    case QAbstractSocket::ConnectionRefusedError:
      return 10061;  // WSAECONNREFUSED
    case QAbstractSocket::SocketTimeoutError:
      return 10060;  // WSAETIMEDOUT
    case QAbstractSocket::HostNotFoundError:
      return 11001;  // WSAHOST_NOT_FOUND
    case QAbstractSocket::NetworkError:
      return 10051;  // WSAENETUNREACH
    case QAbstractSocket::SocketAccessError:
      return 10013;  // WSAEACCES
    case QAbstractSocket::SocketResourceError:
      return 10055;  // WSAENOBUFS
    case QAbstractSocket::AddressInUseError:
      return 10048;  // WSAEADDRINUSE
    case QAbstractSocket::SocketAddressNotAvailableError:
      return 10049;  // WSAEADDRNOTAVAIL
    case QAbstractSocket::UnsupportedSocketOperationError:
      return 10045;  // WSAEOPNOTSUPP
    default:
      return 10000;
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
  const int code = WinSockError(error);
  Post([this, code] { emit errorOccurred(code); });
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
