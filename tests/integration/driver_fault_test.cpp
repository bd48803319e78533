// An exception inside a socket notification stops at the driver: the event loop goes on, the
// fault is shown once and what the bot has learned is on disk.
#include <new>

#include "app/tc_main.h"
#include "harness/fakes.h"
#include "harness/session.h"
#include "integration/loopback.h"
#include "platform/core_driver.h"

namespace tc::integration {
namespace {

// A front end that runs out of memory once, when it is to show bob joining.
class FailingFrontend : public test::FakeFrontend {
 public:
  void AppendLine(View view, const StyledLine& line) override {
    if (!failed_ && line.text.rfind("Joins ( bob )", 0) == 0) {
      failed_ = true;
      throw std::bad_alloc();
    }
    test::FakeFrontend::AppendLine(view, line);
  }

 private:
  bool failed_ = false;
};

class DriverFaultTest : public QtTest {
 protected:
  bool Shown(const std::string& text) const {
    for (const std::string& t : ui_.Texts()) {
      if (t == text) return true;
    }
    return false;
  }

  test::TempDir dir_;
  FailingFrontend ui_;
  LoopbackServer server_;
  platform::CoreDriver driver_{ui_, dir_.path()};
};

TEST_F(DriverFaultTest, ExceptionInAReadIsShownSavedAndSurvived) {
  const QByteArray recorded = Fixture("chat--talvexbot.raw");
  const QByteArray prompt = UpTo(recorded, "Username: ");
  const QByteArray login = UpTo(recorded, "Feel free to chat...\"\r\n", prompt.size());
  driver_.Call([&](TC_Main& core) {
    core.FormCreate();
    RunOverrides overrides;
    overrides.server = "127.0.0.1";
    overrides.port = server_.port();
    overrides.account = "talvexbot";
    overrides.password = "botpass";
    core.ApplyOverrides(overrides);
    core.FormActivate();
  });
  ASSERT_TRUE(server_.WaitForConnections(1));
  ASSERT_TRUE(server_.WaitForReceived(0, QByteArray("\x03\x04", 2)));
  server_.Send(0, prompt);
  server_.Send(0, login);
  ASSERT_TRUE(WaitUntil([&] { return driver_.core().current_channel() == "Chat"; }));

  server_.Send(0, "1002 JOIN bob 0010 [CHAT]\r\n");
  ASSERT_TRUE(WaitUntil([&] { return Shown("Error ( std::bad_alloc )"); }));
  EXPECT_NE(test::ReadFile(dir_.path() / "DataBase.dat").find("<%Account_Name%>bob<%"),
            std::string::npos);

  server_.Send(0, "1005 TALK bob 0010 \"still listening?\"\r\n");
  ASSERT_TRUE(WaitUntil([&] { return Shown("<bob> still listening?"); }));
  EXPECT_GE(driver_.TimerRemainingMs(), 0);  // the timers still run
}

}  // namespace
}  // namespace tc::integration
