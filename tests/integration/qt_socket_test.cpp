// The socket adapter on its own, against a loopback server: bytes unchanged both ways, every
// notification from the event loop, exactly one disconnect per connection.
#include "platform/qt_socket.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <QAbstractSocket>
#include <utility>
#include <vector>

#include "integration/loopback.h"

namespace tc::integration {
namespace {

using platform::QtSocket;

class QtSocketTest : public QtTest {
 protected:
  void SetUp() override {
    QObject::connect(&socket_, &QtSocket::connected, [this] { ++connects_; });
    QObject::connect(&socket_, &QtSocket::dataRead, [this](const QByteArray& b) { read_ += b; });
    QObject::connect(&socket_, &QtSocket::disconnected, [this] { ++disconnects_; });
    QObject::connect(&socket_, &QtSocket::errorOccurred,
                     [this](SocketError error) { errors_.push_back(error); });
  }

  void OpenAndWait() {
    socket_.Open("127.0.0.1", server_.port());
    ASSERT_TRUE(WaitUntil([&] { return connects_ == 1 && server_.connections() == 1; }));
  }

  LoopbackServer server_;
  QtSocket socket_;
  int connects_ = 0;
  int disconnects_ = 0;
  std::vector<SocketError> errors_;
  QByteArray read_;
};

TEST_F(QtSocketTest, PassesEveryByteUnchangedBothWays) {
  OpenAndWait();
  QByteArray all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);

  socket_.Write(std::string_view(all.constData(), static_cast<size_t>(all.size())));
  ASSERT_TRUE(server_.WaitForReceived(0, all));
  EXPECT_EQ(server_.peer(0).received, all);

  server_.Send(0, all);
  ASSERT_TRUE(WaitUntil([&] { return read_.size() >= all.size(); }));
  EXPECT_EQ(read_, all);
}

TEST_F(QtSocketTest, NotifiesOnlyFromTheEventLoop) {
  socket_.Open("127.0.0.1", server_.port());
  EXPECT_EQ(connects_, 0);
  ASSERT_TRUE(WaitUntil([&] { return connects_ == 1; }));
  socket_.Close();
  EXPECT_EQ(disconnects_, 0);
  // The close ends the connection at the server too, with one disconnect.
  ASSERT_TRUE(WaitUntil([&] { return disconnects_ == 1 && server_.peer(0).closed; }));
  Drain();
  EXPECT_EQ(disconnects_, 1);
}

TEST_F(QtSocketTest, CloseWhileConnectingDeliversExactlyOneDisconnect) {
  socket_.Open("127.0.0.1", server_.port());
  socket_.Close();
  EXPECT_EQ(disconnects_, 0);
  ASSERT_TRUE(WaitUntil([&] { return disconnects_ == 1; }));
  Drain();
  EXPECT_EQ(disconnects_, 1);
  EXPECT_EQ(connects_, 0);
  EXPECT_TRUE(errors_.empty());
  // A second Close on the closed socket owes nothing.
  socket_.Close();
  Drain();
  EXPECT_EQ(disconnects_, 1);
}

TEST_F(QtSocketTest, RefusedConnectionReportsTheErrorAndACloseStillDisconnectsOnce) {
  socket_.Open("127.0.0.1", ClosedPort());
  ASSERT_TRUE(WaitUntil([&] { return !errors_.empty(); }));
  EXPECT_EQ(errors_, std::vector<SocketError>{SocketError::kConnectionRefused});
  Drain();
  EXPECT_EQ(disconnects_, 0);  // a failed attempt ends with the core's own close
  socket_.Close();
  ASSERT_TRUE(WaitUntil([&] { return disconnects_ == 1; }));
  Drain();
  EXPECT_EQ(disconnects_, 1);
  EXPECT_EQ(connects_, 0);
}

TEST_F(QtSocketTest, RemoteCloseDeliversTheLastBytesThenOneDisconnect) {
  OpenAndWait();
  server_.Send(0, "last words\r\n");
  server_.Close(0);
  ASSERT_TRUE(WaitUntil([&] { return disconnects_ == 1; }));
  EXPECT_EQ(read_, QByteArray("last words\r\n"));
  EXPECT_TRUE(errors_.empty());
  // The core closing the socket in its disconnect handling owes nothing more.
  socket_.Close();
  Drain();
  EXPECT_EQ(disconnects_, 1);
}

TEST_F(QtSocketTest, WriteOnAClosedSocketIsIgnored) {
  socket_.Write("before\r\n");
  OpenAndWait();
  socket_.Write("during\r\n");
  socket_.Close();
  socket_.Write("after\r\n");
  ASSERT_TRUE(WaitUntil([&] { return server_.peer(0).closed; }));
  EXPECT_EQ(server_.peer(0).received, QByteArray("during\r\n"));
}

TEST_F(QtSocketTest, OpenAfterCloseForgetsTheOldConnection) {
  OpenAndWait();
  socket_.Close();
  socket_.Open("127.0.0.1", server_.port());
  ASSERT_TRUE(WaitUntil([&] { return connects_ == 2; }));
  Drain();
  // The new connection is open and nothing of the old one arrives after it.
  EXPECT_EQ(disconnects_, 0);
  EXPECT_TRUE(socket_.IsOpen());
  ASSERT_TRUE(server_.WaitForConnections(2));
  server_.Send(1, "new\r\n");
  ASSERT_TRUE(WaitUntil([&] { return read_ == "new\r\n"; }));
}

TEST_F(QtSocketTest, AConnectionHasKeepAliveOnWithShortProbes) {
  EXPECT_FALSE(socket_.KeepAliveEnabled());
  OpenAndWait();
  ASSERT_TRUE(socket_.KeepAliveEnabled());
  const int fd = static_cast<int>(socket_.Descriptor());
  const auto option = [fd](int level, int name) {
    int value = -1;
    socklen_t size = sizeof value;
    EXPECT_EQ(getsockopt(fd, level, name, &value, &size), 0);
    return value;
  };
  EXPECT_NE(option(SOL_SOCKET, SO_KEEPALIVE), 0);
  EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPIDLE), 60);
  EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPINTVL), 10);
  EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPCNT), 3);
  socket_.Close();
  EXPECT_FALSE(socket_.KeepAliveEnabled());
}

TEST(CoreSocketErrorTest, MapsQtErrorsToTheCoresKinds) {
  using platform::CoreSocketError;
  const std::vector<std::pair<QAbstractSocket::SocketError, SocketError>> cases = {
      {QAbstractSocket::RemoteHostClosedError, SocketError::kConnectionReset},
      {QAbstractSocket::ConnectionRefusedError, SocketError::kConnectionRefused},
      {QAbstractSocket::SocketTimeoutError, SocketError::kTimedOut},
      {QAbstractSocket::HostNotFoundError, SocketError::kHostNotFound},
      {QAbstractSocket::NetworkError, SocketError::kNetworkUnreachable},
      {QAbstractSocket::UnknownSocketError, SocketError::kOther},
      {QAbstractSocket::ProxyConnectionRefusedError, SocketError::kOther},
  };
  for (const auto& [qt, core] : cases) EXPECT_EQ(CoreSocketError(qt), core) << qt;
}

}  // namespace
}  // namespace tc::integration
