// Every path from Qt into the core goes through CoreDriver::Call: an exception stops there, is
// shown once, what the bot has learned is saved, and the timers still run.
#include <new>

#include "harness/fakes.h"
#include "harness/session.h"
#include "integration/loopback.h"
#include "platform/core_driver.h"

namespace tc::integration {
namespace {

class DriverFaultTest : public QtTest {
 protected:
  test::TempDir dir_;
  test::FakeFrontend ui_;
  platform::CoreDriver driver_{ui_, dir_.path()};
};

TEST_F(DriverFaultTest, ExceptionIsShownSavedAndSurvived) {
  driver_.Call([](Client& core) {
    core.Initialise();
    core.options().auto_connect = false;
    core.Activate();
    core.database().UpdateUser("bob", {{UserField::kNotes, "met today"}});
  });
  ui_.TakeLines();
  driver_.Call([](Client&) { throw std::bad_alloc(); });
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Error ( std::bad_alloc )"});
  EXPECT_NE(test::ReadFile(dir_.path() / "DataBase.dat").find("<%Notes%>met today<%"),
            std::string::npos);
  EXPECT_GE(driver_.TimerRemainingMs(), 0);
  EXPECT_EQ(driver_.Call([](Client& core) { return core.database().CountUsers(); }), 1);
}

}  // namespace
}  // namespace tc::integration
