// The command line: what each accepted line sets, the one line for each refused value, and the
// checks of the program directory, the password file and the profile name.
#include "entry/command_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "harness/session.h"

namespace tc::entry {
namespace {

using console::ColorChoice;

std::vector<std::string_view> Args(std::initializer_list<std::string_view> args) {
  return args;
}

TEST(CommandLineTest, RefusedValuesSayWhichAndWhy) {
  const struct {
    std::vector<std::string_view> args;
    std::string error;
  } cases[] = {
      {Args({"--server", "127.0.0.1:99999"}), "--server: port 99999 is out of range (1-65535)"},
      {Args({"--server=h:0"}), "--server: port 0 is out of range (1-65535)"},
      {Args({"--server", "h:123456789012345"}),
       "--server: port 123456789012345 is out of range (1-65535)"},
      {Args({"--server", "x:y:z"}), "--server: \"x:y:z\" is not HOST or HOST:PORT"},
      {Args({"--server", "h:6x"}), "--server: port \"6x\" is not a number"},
      {Args({"--server", "h:"}), "--server: port is empty"},
      {Args({"--server", ":6112"}), "--server: \":6112\" is not HOST or HOST:PORT"},
      {Args({"--server", "[::1"}), "--server: \"[::1\" is not HOST or HOST:PORT"},
      {Args({"--server", "a b"}), "--server: \"a b\" is not HOST or HOST:PORT"},
      {Args({"--server"}), "--server: a value is missing"},
      {Args({"--dir="}), "--dir: the value is empty"},
      {Args({"--account", ""}), "--account: the value is empty"},
      {Args({"--color=red"}), "--color: \"red\" is not auto, always or never"},
      {Args({"--headless=yes"}), "--headless: takes no value"},
      {Args({"--new-profile"}), "--new-profile: needs --profile NAME"},
      {Args({"--import-profile"}), "--import-profile: a value is missing"},
      {Args({"--export-profile", "--import-profile", "f"}),
       "--export-profile: not together with --import-profile"},
      {Args({"--frobnicate"}), "unknown option \"--frobnicate\" (see --help)"},
      {Args({"stray"}), "unexpected argument \"stray\" (see --help)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCommandLine(c.args).error, c.error) << c.args.front();
  }
}

TEST(CommandLineTest, AcceptedLinesSetTheirFields) {
  const struct {
    std::vector<std::string_view> args;
    std::string host;
    int port;  // 0: none given
    ColorChoice color;
  } cases[] = {
      {Args({"--server", "127.0.0.1:16112"}), "127.0.0.1", 16112, ColorChoice::kAuto},
      {Args({"--server=host.example"}), "host.example", 0, ColorChoice::kAuto},
      {Args({"--server", "::1"}), "::1", 0, ColorChoice::kAuto},
      {Args({"--server", "[::1]:6113", "--color", "never"}), "::1", 6113, ColorChoice::kNever},
      {Args({"--server", "h:1", "--server", "g", "--color=always"}), "g", 0, ColorChoice::kAlways},
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    ASSERT_EQ(parsed.error, "") << c.args.front();
    EXPECT_EQ(parsed.line.host.value_or(""), c.host);
    EXPECT_EQ(parsed.line.port.value_or(0), c.port);
    EXPECT_EQ(parsed.line.color, c.color);
  }
  const ParsedCommandLine all = ParseCommandLine(
      Args({"--headless", "--timestamps", "--profile", "Bot", "--new-profile", "--account=bob",
            "--password-file", "/run/pw", "--dir", "/d", "--list-profiles", "-h", "--version"}));
  ASSERT_EQ(all.error, "");
  const CommandLine& cl = all.line;
  EXPECT_TRUE(cl.headless && cl.timestamps && cl.new_profile && cl.list_profiles && cl.help &&
              cl.version);
  EXPECT_EQ(cl.profile, "Bot");
  EXPECT_EQ(cl.account, "bob");
  EXPECT_EQ(cl.password_file, "/run/pw");
  EXPECT_EQ(cl.dir, "/d");
}

TEST(CommandLineTest, PasswordFileGivesItsFirstLineAndWarnsWhenOthersMayReadIt) {
  test::TempDir dir;
  const struct {
    std::string bytes;
    mode_t mode;
    std::string password;
    bool warned;
    bool refused;
  } cases[] = {
      {"s3cret\n", 0600, "s3cret", false, false},
      {"s3cret", 0400, "s3cret", false, false},
      {"with space \r\nsecond line\n", 0600, "with space ", false, false},
      {"s3cret\n", 0640, "s3cret", true, false},
      {"s3cret\n", 0604, "s3cret", true, false},
      {"\nsecond\n", 0600, "", false, true},
      {"", 0600, "", false, true},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::filesystem::path path = dir.path() / ("pw" + std::to_string(++n));
    std::ofstream(path, std::ios::binary) << c.bytes;
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    const PasswordFile file = ReadPasswordFile(path);
    EXPECT_EQ(file.password, c.password) << n;
    EXPECT_EQ(!file.warning.empty(), c.warned) << n << file.warning;
    EXPECT_EQ(file.error.empty(), !c.refused) << n;
  }
  EXPECT_EQ(ReadPasswordFile(dir.path() / "pw4").warning,
            (dir.path() / "pw4").string() +
                " is readable by others than its owner (mode 0640); chmod 600 it");
  EXPECT_EQ(ReadPasswordFile(dir.path() / "none").error,
            (dir.path() / "none").string() + " cannot be read: No such file or directory");
}

TEST(CommandLineTest, ProgramDirectoryIsMadeOrRefusedInOneLine) {
  test::TempDir dir;
  EXPECT_EQ(PrepareProgramDir(dir.path() / "a" / "b"), "");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "a" / "b"));
  std::ofstream(dir.path() / "file") << "x";
  EXPECT_EQ(PrepareProgramDir(dir.path() / "file"),
            (dir.path() / "file").string() + " is not a directory");
  // The owner may write anything, whatever its mode says, when that owner is root.
  if (::geteuid() == 0) GTEST_SKIP() << "root writes to any folder";
  const std::filesystem::path locked = dir.path() / "locked";
  std::filesystem::create_directory(locked);
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  EXPECT_EQ(PrepareProgramDir(locked), locked.string() + " is not writable: Permission denied");
  ::chmod(locked.c_str(), 0755);
}

TEST(CommandLineTest, AMissingProfileIsRefusedNamingThoseThatExist) {
  test::TempDir dir;
  EXPECT_EQ(MissingProfile(dir.path(), "Bot"),
            "--profile: there is no profile \"Bot\" in " + (dir.path() / "Users").string() +
                " (there are no profiles yet); --new-profile creates it");
  std::filesystem::create_directories(dir.path() / "Users");
  for (const char* name : {"Bot.usr", "Alt.usr"}) std::ofstream(dir.path() / "Users" / name);
  EXPECT_EQ(MissingProfile(dir.path(), "Bot"), "");
  EXPECT_EQ(MissingProfile(dir.path(), "Default"), "");  // any run makes it
  EXPECT_EQ(MissingProfile(dir.path(), ""), "");
  EXPECT_EQ(MissingProfile(dir.path(), "Bott"),
            "--profile: there is no profile \"Bott\" in " + (dir.path() / "Users").string() +
                " (profiles there: Alt, Bot); --new-profile creates it");
}

}  // namespace
}  // namespace tc::entry
