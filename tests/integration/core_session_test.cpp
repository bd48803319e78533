// A real Client on the Qt adapters against a loopback server that replays what a real server
// sent: the handshake, the login, lines split across reads, and the reconnect.
#include <algorithm>
#include <functional>
#include <string>

#include "app/client.h"
#include "app/start_options.h"
#include "harness/fakes.h"
#include "harness/session.h"
#include "integration/loopback.h"
#include "platform/core_driver.h"

namespace tc::integration {
namespace {

const QByteArray kHandshake("\x03\x04", 2);

// A front end whose OK/Cancel question runs `while_asked` first, the way a modal dialog runs the
// event loop while it waits for its answer.
class ModalFrontend : public test::FakeFrontend {
 public:
  bool AskOkCancel(const std::string& text, const std::string& title) override {
    if (while_asked) while_asked();
    return FakeFrontend::AskOkCancel(text, title);
  }
  std::function<void()> while_asked;
};
const QByteArray kCredentials("talvexbot\r\nbotpass\r\n/beep\r\n");

class CoreSessionTest : public QtTest {
 protected:
  void SetUp() override {
    QObject::connect(&driver_.socket(), &platform::QtSocket::dataRead, [this] { ++reads_; });
    QObject::connect(&driver_.socket(), &platform::QtSocket::disconnected,
                     [this] { ++disconnects_; });
  }

  // The program's own start-up, auto-connect on as by default, to the loopback server or `port`.
  void StartUp(uint16_t port = 0) {
    StartOptions options;
    options.program_dir = dir_.path();
    options.overrides = {.server = "127.0.0.1",
                         .port = port != 0 ? port : server_.port(),
                         .account = "talvexbot",
                         .password = "botpass"};
    driver_.Call([&](Client& core) { core.Start(options); });
  }

  // Sends `bytes` to connection `i` and waits until the client has read all of them.
  void SendAndWaitRead(size_t i, const QByteArray& bytes) {
    const int before = reads_;
    server_.Send(i, bytes);
    ASSERT_TRUE(WaitUntil([&] { return reads_ > before; }));
  }

  bool Shown(const std::string& text) const {
    const std::vector<std::string> texts = ui_.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }

  // Connection `i` goes through the whole recorded login of talvexbot.
  void LogIn(size_t i) {
    ASSERT_TRUE(server_.WaitForConnections(i + 1));
    ASSERT_TRUE(server_.WaitForReceived(i, kHandshake));
    server_.Send(i, prompt_);
    ASSERT_TRUE(server_.WaitForReceived(i, kHandshake + kCredentials));
    server_.Send(i, login_block_);
    ASSERT_TRUE(WaitUntil(
        [&] { return driver_.core().logged_in() && driver_.core().current_channel() == "Chat"; }));
  }

  const QByteArray recorded_ = Fixture("chat--talvexbot.raw");
  const QByteArray prompt_ = UpTo(recorded_, "Username: ");
  const QByteArray login_block_ = UpTo(recorded_, "Feel free to chat...\"\r\n", prompt_.size());

  test::TempDir dir_;
  ModalFrontend ui_;
  LoopbackServer server_;
  platform::CoreDriver driver_{ui_, dir_.path()};
  int reads_ = 0;
  int disconnects_ = 0;
};

// Every call leaves the driver's timer armed for the core's next deadline: the connect time-out
// from start-up, the one-second tick once logged in, the reconnect after the server closes.
TEST_F(CoreSessionTest, ServerCloseLeadsToTheAnnouncedReconnect) {
  StartUp();
  ASSERT_TRUE(driver_.core().NextDeadline().has_value());
  EXPECT_GE(driver_.TimerRemainingMs(), 0);
  LogIn(0);
  ASSERT_TRUE(driver_.core().NextDeadline().has_value());
  EXPECT_GE(driver_.TimerRemainingMs(), 0);
  server_.Close(0);
  ASSERT_TRUE(WaitUntil([&] { return disconnects_ == 1; }));
  EXPECT_TRUE(Shown("System ( Attempting reconnect in 5 seconds... )"));
  EXPECT_TRUE(driver_.core().reconnect_timer().Enabled());

  // The real timer fires and the client connects again, to the same pinned server.
  ASSERT_TRUE(server_.WaitForConnections(2));
  LogIn(1);
  EXPECT_EQ(server_.peer(1).received.left(kHandshake.size() + kCredentials.size()),
            kHandshake + kCredentials);
}

// Nothing listens: the refusal is said at once and the reconnect wait starts, long before the
// connect time-out could have ended the attempt.
TEST_F(CoreSessionTest, ARefusedConnectionIsReportedAtOnceAndReconnects) {
  const uint16_t port = ClosedPort();
  StartUp(port);
  const std::string endpoint = "127.0.0.1:" + std::to_string(port);
  ASSERT_TRUE(WaitUntil([&] { return disconnects_ == 1; }));
  EXPECT_TRUE(Shown("System ( Connecting to (" + endpoint + ")... )"));
  EXPECT_TRUE(Shown("System ( Connection to (" + endpoint + ") failed: Connection refused )"));
  EXPECT_TRUE(Shown("System ( Attempting reconnect in 5 seconds... )"));
  EXPECT_FALSE(driver_.core().connect_timeout().Enabled());
  EXPECT_FALSE(Shown("System ( Connection to (127.0.0.1) timed out, disconnecting... )"));
  EXPECT_TRUE(driver_.core().reconnect_timer().Enabled());
}

TEST_F(CoreSessionTest, ShutdownDisconnectsSavesAndStopsDelivering) {
  StartUp();
  LogIn(0);
  driver_.Shutdown();
  EXPECT_TRUE(Shown("System ( Shutting down, please wait... )"));
  EXPECT_TRUE(Shown("System ( Disconnecting... )"));
  ASSERT_TRUE(WaitUntil([&] { return server_.peer(0).closed; }));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "DataBase.dat"));
  const size_t shown = ui_.lines.size();
  Drain();
  EXPECT_EQ(ui_.lines.size(), shown);  // the queued disconnect no longer reaches the core
  EXPECT_EQ(driver_.TimerRemainingMs(), -1);
}

TEST_F(CoreSessionTest, ReadDuringAQuestionIsHandledAfterTheQuestionsCall) {
  StartUp();
  LogIn(0);
  bool shown_while_asked = true;
  ui_.while_asked = [&] {
    SendAndWaitRead(0, "1019 ERROR \"while asked\"\r\n");
    Drain();
    shown_while_asked = Shown("Error ( while asked )");
  };
  driver_.Call([](Client& core) { core.DeleteProfile(); });
  EXPECT_EQ(ui_.questions.size(), 1u);
  EXPECT_FALSE(shown_while_asked);
  EXPECT_TRUE(Shown("Error ( while asked )"));  // on the way out of the call, no waiting
  EXPECT_GE(driver_.TimerRemainingMs(), 0);
}

}  // namespace
}  // namespace tc::integration
