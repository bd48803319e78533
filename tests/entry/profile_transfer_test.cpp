// --export-profile and --import-profile as a service file runs them: the options they take, what
// they print, the files they leave and their exit statuses.
#include "entry/profile_transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/code_text.h"
#include "entry/command_line.h"
#include "harness/session.h"
#include "persistence/profile_files.h"

namespace tc::entry {
namespace {

using test::Coded;
using test::ProfilePath;

TEST(ProfileTransferTest, TheOptionsTakeTheirValues) {
  const struct {
    std::vector<std::string_view> args;
    bool exported;
    std::string name;  // "-": none
    std::string import;
    std::string error;
  } cases[] = {
      {{"--export-profile"}, true, "-", "", ""},
      {{"--export-profile", "Bot", "--dir", "/d"}, true, "Bot", "", ""},
      {{"--export-profile", "--dir", "/d"}, true, "-", "", ""},
      {{"--export-profile=Bot"}, true, "Bot", "", ""},
      {{"--import-profile", "bot.txt", "--profile", "Bot"}, false, "-", "bot.txt", ""},
      {{"--import-profile"}, false, "-", "", "--import-profile: a value is missing"},
      {{"--export-profile", "--import-profile", "f"},
       true,
       "-",
       "f",
       "--export-profile: not together with --import-profile"},
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    EXPECT_EQ(parsed.error, c.error) << c.args.front();
    EXPECT_EQ(parsed.line.export_profile, c.exported) << c.args.front();
    EXPECT_EQ(parsed.line.export_name.value_or("-"), c.name) << c.args.front();
    EXPECT_EQ(parsed.line.import_file.value_or(""), c.import) << c.args.front();
  }
}

TEST(ProfileTransferTest, ExportPrintsTheProfileInUseOrRefusesAMissingOne) {
  test::TempDir dir;
  test::WriteBytes(ProfilePath(dir.path(), "Default"), Coded({"ad=home"}));
  test::WriteBytes(ProfilePath(dir.path(), "Bot"), Coded({"ad=bot\xD1", "ug=bob"}));
  const struct {
    std::string settings;  // talvexchat.dat's bytes; "-": none
    std::optional<std::string> name;
    int status;
    std::string out;
  } cases[] = {
      {"-", std::nullopt, 0, "ad=home\n"},
      {Coded({"Bot"}), std::nullopt, 0, "ad=botÑ\nug=bob\n"},
      {"-", "Bot", 0, "ad=botÑ\nug=bob\n"},
      {Coded({"Bot"}), "", 0, "ad=home\n"},
      {"-", "Gone", 2, ""},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(dir.path() / "talvexchat.dat");
    if (c.settings != "-") test::WriteBytes(dir.path() / "talvexchat.dat", c.settings);
    std::string out;
    std::string err;
    EXPECT_EQ(ExportProfile(dir.path(), c.name, out, err), c.status) << c.name.value_or("-");
    EXPECT_EQ(out, c.out) << c.name.value_or("-");
    EXPECT_EQ(err.empty(), c.status == 0) << err;
  }
  std::string out;
  std::string err;
  ExportProfile(dir.path(), "Gone", out, err);
  EXPECT_EQ(err, "talvexchat: --export-profile: there is no profile \"Gone\" (" +
                     ProfilePath(dir.path(), "Gone").string() + " cannot be read)\n");
  // Only reads: a program directory nobody may write to still exports.
  if (::geteuid() == 0) GTEST_SKIP() << "root writes to any folder";
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  out.clear();
  EXPECT_EQ(ExportProfile(dir.path(), "Bot", out, err), 0);
  EXPECT_EQ(out, "ad=botÑ\nug=bob\n");
  ::chmod(dir.path().c_str(), 0755);
}

TEST(ProfileTransferTest, ImportWritesTheCodedProfileOrNothingAtAll) {
  test::TempDir dir;
  const std::filesystem::path text = dir.path() / "bot.txt";
  const std::filesystem::path program = dir.path() / "program";
  const struct {
    std::string text;  // "-": no such file
    std::optional<std::string> name;
    int status;
    std::string file;  // the profile's bytes; "-": none
    std::string err;
  } cases[] = {
      {"ad=home\nzz=typo\n", std::nullopt, 0, Coded({"ad=home"}),
       "talvexchat: warning: --import-profile: " + text.string() +
           " line 2: unknown key \"zz=\"; the line is skipped\n"},
      {"ad=bot Ω\n", "Bot", 0, Coded({"ad=bot Ω"}), ""},
      {"ad=home\nql=x\n", "Bad", 2, "-",
       "talvexchat: --import-profile: " + text.string() +
           " line 2: not a valid integer for \"ql=\"; nothing was written\n"},
      {"-", "Bad", 2, "-", "talvexchat: --import-profile: " + text.string() + " cannot be read\n"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(text);
    if (c.text != "-") test::WriteBytes(text, c.text);
    std::string err;
    EXPECT_EQ(ImportProfile(program, text, c.name, err), c.status) << c.text;
    EXPECT_EQ(err, c.err);
    const std::filesystem::path file = ProfilePath(program, c.name.value_or("Default"));
    EXPECT_EQ(std::filesystem::exists(file) ? test::ReadFile(file) : "-", c.file) << c.text;
  }
}

}  // namespace
}  // namespace tc::entry
