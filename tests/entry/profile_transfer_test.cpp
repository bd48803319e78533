// --export-profile and --import-profile as a service file runs them: the name they take, what
// they print, the profile file they leave and their exit statuses.
#include "entry/profile_transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "entry/command_line.h"
#include "harness/session.h"
#include "persistence/profile_files.h"

namespace tc::entry {
namespace {

using test::Coded;
using test::ProfilePath;

TEST(ProfileTransferTest, ExportPrintsTheNamedOrTheInUseProfileOrRefusesAMissingOne) {
  test::TempDir dir;
  test::WriteBytes(ProfilePath(dir.path(), "Default"), Coded({"ad=home"}));
  test::WriteBytes(ProfilePath(dir.path(), "Bot"), Coded({"ad=bot\xD1", "ug=bob"}));
  const struct {
    std::vector<std::string_view> args;
    std::string settings;  // talvexchat.dat's bytes
    int status;
    std::string out;
  } cases[] = {
      {{"--export-profile"}, "", 0, "ad=home\n"},
      {{"--export-profile", "--dir", "/d"}, Coded({"Bot"}), 0, "ad=botÑ\nug=bob\n"},
      {{"--export-profile=Bot"}, "", 0, "ad=botÑ\nug=bob\n"},
      {{"--export-profile", "Gone"}, "", 2, ""},
  };
  for (const auto& c : cases) {
    test::WriteBytes(dir.path() / "talvexchat.dat", c.settings);
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    ASSERT_TRUE(parsed.error.empty() && parsed.line.export_profile) << parsed.error;
    std::string out;
    std::string err;
    EXPECT_EQ(ExportProfile(dir.path(), parsed.line.export_name, out, err), c.status);
    EXPECT_EQ(out, c.out) << c.args.back();
    if (c.status != 0) {
      EXPECT_EQ(err, "talvexchat: --export-profile: there is no profile \"Gone\" (" +
                         ProfilePath(dir.path(), "Gone").string() + " cannot be read)\n");
    }
  }
  // Only reads: a program directory nobody may write to still exports.
  if (::geteuid() == 0) GTEST_SKIP() << "root writes to any folder";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  std::string out;
  std::string err;
  EXPECT_EQ(ExportProfile(dir.path(), "Bot", out, err), 0);
  EXPECT_EQ(out, "ad=botÑ\nug=bob\n");
  ::chmod(dir.path().c_str(), 0755);
}

TEST(ProfileTransferTest, ImportWritesTheCodedProfileOrNothingAtAll) {
  test::TempDir dir;
  const std::filesystem::path text = dir.path() / "bot.txt";
  const std::string said = "talvexchat: --import-profile: " + text.string();
  const struct {
    std::string text;  // "-": no such file
    std::optional<std::string> name;
    int status;
    std::string file;  // the profile's bytes; "-": none
    std::string err;
  } cases[] = {
      {"ad=home\n\nzz=typo\n", std::nullopt, 0, Coded({"ad=home"}),
       "talvexchat: warning: --import-profile: " + text.string() +
           " line 3: unknown key \"zz=\"; the line is skipped\n"},
      {"\xEF\xBB\xBF"
       "ad=bot Ω\n",
       "Bot", 0, Coded({"ad=bot Ω"}), ""},
      {"ad=home\nql=x\n", "Bad", 2, "-",
       said + " line 2: not a valid integer for \"ql=\"; nothing was written\n"},
      {"-", "Bad", 2, "-", said + " cannot be read\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(text);
    if (c.text != "-") test::WriteBytes(text, c.text);
    std::string err;
    EXPECT_EQ(ImportProfile(dir.path() / "program", text, c.name, err), c.status) << c.text;
    EXPECT_EQ(err, c.err);
    const std::filesystem::path file =
        ProfilePath(dir.path() / "program", c.name.value_or("Default"));
    EXPECT_EQ(std::filesystem::exists(file) ? test::ReadFile(file) : "-", c.file) << c.text;
  }
}

}  // namespace
}  // namespace tc::entry
