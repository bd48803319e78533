// Start-up and shutdown as the core runs them.
#include <gtest/gtest.h>

#include <fstream>

#include "app/start_options.h"
#include "common/code_text.h"
#include "harness/session.h"
#include "persistence/profile_files.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

// Both front ends start through Start: the chosen profile wins over the one last used, the command
// line over the profile; the window leaves the activation to its first paint.
class StartTest : public ::testing::TestWithParam<bool> {};

TEST_P(StartTest, ChosenProfileThenCommandLineThenActivationWhenAsked) {
  const bool activate_now = GetParam();
  TempDir dir;
  WriteBytes(dir.path() / "talvexchat.dat", CodeText("Encode", "Night") + "\r\n");
  WriteBytes(ProfilePath(dir.path(), "Night"), Coded({"ab=night owl", "ad=Night Home"}));
  WriteBytes(ProfilePath(dir.path(), "Day"), Coded({"ab=early bird", "ad=Day Home"}));
  StartOptions options;
  options.program_dir = dir.path();
  options.overrides = {
      .server = "127.0.0.1", .port = 16112, .account = "talvexbot", .password = "pw"};
  options.activate_now = activate_now;
  {
    Session last(dir.path());
    last.core().Start(options);
    EXPECT_EQ(last.core().profile_name(), "Night");  // the one last used, from the settings file
    EXPECT_EQ(last.core().options().home_channel, "Night Home");
  }
  Session s(dir.path());
  options.profile = "Day";
  s.core().Start(options);
  EXPECT_EQ(s.core().profile_name(), "Day");
  EXPECT_EQ(s.core().options().home_channel, "Day Home");
  EXPECT_EQ(s.core().options().account_name, "talvexbot");
  // "Auto Connect:" is on by default.
  EXPECT_EQ(s.socket.opened_hosts, activate_now ? Strings{"127.0.0.1"} : Strings{});
  EXPECT_EQ(s.ui.Texts().empty(), !activate_now);  // the welcome lines come with the activation
  // Activated once, it neither greets nor connects again.
  s.core().Activate();
  const size_t shown = s.ui.Texts().size();
  s.core().Activate();
  EXPECT_EQ(s.ui.Texts().size(), shown);
  EXPECT_EQ(s.socket.opens, 1);
}

INSTANTIATE_TEST_SUITE_P(ConsoleAndWindow, StartTest, ::testing::Bool());

TEST(StartUp, AnUnusableProgramDirectoryIsReportedAndStartUpGoesOn) {
  TempDir base;
  { std::ofstream blocker(base.path() / "not-a-folder"); }
  Session s(base.path() / "not-a-folder" / "talvex", kStartedUp);
  ASSERT_FALSE(s.ui.messages.empty());
  EXPECT_EQ(s.ui.messages[0].rfind("Unable to open file: ", 0), 0u);
  int missing = 0;
  for (const auto& m : s.ui.messages) missing += m.rfind("Required directory \"", 0) == 0;
  EXPECT_EQ(missing, 3);
  EXPECT_EQ(s.core().profile_name(), "Default");
  // Still usable: it connects and shows lines.
  s.LogIn();
  EXPECT_TRUE(s.core().logged_in());
}

TEST(CodeText, KnownEncodingRoundTripsEveryByte) {
  // 'A' = 65: 65 + 5273 = 5338, written as digits 3 8 5 3.
  EXPECT_EQ(CodeText("Encode", "A"), "ZbXZ");
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(CodeText("Decode", CodeText("Encode", every)), every);
  EXPECT_EQ(CodeText("Decode", "ZbXZab"), "A");  // a short remainder is ignored
  EXPECT_EQ(CodeText("Other", "A"), "");
}

}  // namespace
}  // namespace tc::test
