// Shared pieces of the integration tests: an application object per test, waiting on the event
// loop for a condition, a chat server on 127.0.0.1 inside the test process, and the recorded
// server bytes.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace tc::integration {

// Generous: a condition that holds at all holds within milliseconds; this only ends a hang.
inline constexpr int kWaitMs = 30000;

// Runs the event loop until `condition` holds or `timeout_ms` passes; true when it holds.
inline bool WaitUntil(const std::function<bool()>& condition, int timeout_ms = kWaitMs) {
  const QDeadlineTimer deadline(timeout_ms);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

// Lets the event loop deliver whatever is already queued (a bounded number of rounds).
inline void Drain(int rounds = 50) {
  for (int i = 0; i < rounds; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The application object a test runs in; Qt wants one before any socket or timer.
class QtTest : public ::testing::Test {
 protected:
  int argc_ = 1;
  char name_[32] = "tc_integration_tests";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication app_{argc_, argv_};
};

// The bytes a real server sent, from tests/fixtures/pvpgn.
inline QByteArray Fixture(const std::string& name) {
  std::ifstream in(std::string(TC_FIXTURES_DIR) + "/pvpgn/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Up to and including the first `marker`.
inline QByteArray UpTo(const QByteArray& bytes, const QByteArray& marker, qsizetype from = 0) {
  const qsizetype at = bytes.indexOf(marker, from);
  EXPECT_GE(at, 0) << marker.toStdString();
  return bytes.mid(from, at + marker.size() - from);
}

// A chat server on 127.0.0.1 and a free port; the test scripts what it sends.
class LoopbackServer {
 public:
  struct Peer {
    QTcpSocket* socket = nullptr;  // owned by the server object
    QByteArray received;
    bool closed = false;
  };

  LoopbackServer() {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto peer = std::make_unique<Peer>();
        peer->socket = socket;
        Peer* p = peer.get();
        QObject::connect(socket, &QTcpSocket::readyRead,
                         [p] { p->received += p->socket->readAll(); });
        QObject::connect(socket, &QTcpSocket::disconnected, [p] { p->closed = true; });
        peers_.push_back(std::move(peer));
      }
    });
  }

  uint16_t port() const { return server_.serverPort(); }
  size_t connections() const { return peers_.size(); }
  Peer& peer(size_t i) { return *peers_.at(i); }
  Peer& last() { return *peers_.back(); }

  void Send(size_t i, const QByteArray& bytes) {
    peer(i).socket->write(bytes);
    peer(i).socket->flush();
  }
  void Close(size_t i) { peer(i).socket->disconnectFromHost(); }
  bool WaitForConnections(size_t n) {
    return WaitUntil([&] { return connections() >= n; });
  }
  // Waits until connection `i` has received exactly or at least `bytes` (as a prefix).
  bool WaitForReceived(size_t i, const QByteArray& bytes) {
    return WaitUntil([&] { return connections() > i && peer(i).received.size() >= bytes.size(); });
  }

 private:
  // Declared first so it outlives the server, whose sockets still signal while they go.
  std::vector<std::unique_ptr<Peer>> peers_;
  QTcpServer server_;
};

// A port on 127.0.0.1 where nobody listens (a listener is opened and closed again).
inline uint16_t ClosedPort() {
  QTcpServer probe;
  EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const uint16_t port = probe.serverPort();
  probe.close();
  return port;
}

}  // namespace tc::integration
