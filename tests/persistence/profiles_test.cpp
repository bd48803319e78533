// The profile commands: Open, New, Delete, the name field, and the settings file at start-up.
#include <gtest/gtest.h>

#include "common/code_text.h"
#include "harness/session.h"
#include "persistence/profile_files.h"
#include "persistence/profile_names.h"

namespace tc::test {
namespace {

TEST(Profiles, OpenWritesTheCurrentProfileAndReadsTheChosenOneFromTheUsersFolder) {
  TempDir dir;
  WriteBytes(ProfilePath(dir.path(), "My"), Coded({"ab=my account"}));
  Session s(dir.path(), kStartedUp);
  s.core().options().home_channel = "Saved Before Switch";
  s.ui.file_answer = "/somewhere/else/My.Profile.usr";
  s.core().OpenProfile();
  ASSERT_EQ(s.ui.file_dialogs.size(), 1u);
  EXPECT_EQ(s.ui.file_dialogs[0],
            "Open User File|User Files (*.usr)|*.usr|" + (dir.path() / "Users").string());
  EXPECT_EQ(s.core().profile_name(), "My");
  EXPECT_EQ(s.core().options().account_name, "my account");
  // The profile left behind was written first.
  const auto lines = PlainLines(ProfilePath(dir.path(), "Default"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ad=Saved Before Switch"), lines.end());
}

TEST(Profiles, NewWithAWindowsPathAndCancelling) {
  Session s(kStartedUp);
  s.ui.file_answer = "C:\\Program Files\\Talvex\\Users\\Evening Bot.usr";
  s.core().NewProfile();
  EXPECT_EQ(s.ui.file_dialogs.back().substr(0, 21), "Create New User File|");
  EXPECT_EQ(s.core().profile_name(), "Evening Bot");
  EXPECT_TRUE(std::filesystem::is_regular_file(ProfilePath(s.dir, "Evening Bot")));
  s.ui.file_answer.clear();
  s.core().OpenProfile();
  EXPECT_EQ(s.core().profile_name(), "Evening Bot");
  // Switching back and forth keeps what each profile holds.
  s.core().options().home_channel = "Evening";
  s.ui.file_answer = "Default.usr";
  s.core().OpenProfile();
  EXPECT_EQ(s.core().options().home_channel, "Talvex Chat");
  s.ui.file_answer = "Evening Bot.usr";
  s.core().OpenProfile();
  EXPECT_EQ(s.core().options().home_channel, "Evening");
}

TEST(Profiles, ReducingChosenFileNames) {
  EXPECT_EQ(ProfileNameFromFileName("/a/b/My.Profile.usr"), "My");
  EXPECT_EQ(ProfileNameFromFileName("a\\b/c\\Bot.usr"), "Bot");
  EXPECT_EQ(ProfileNameFromFileName("..\\..\\evil.usr"), "evil");
  EXPECT_EQ(ProfileNameFromFileName("../.."), "");
  EXPECT_EQ(ProfileNameFromFileName("plain"), "plain");
}

TEST(Profiles, DeleteAsksAndOnOkRemovesOnlyTheProfileFile) {
  Session s(kStartedUp);
  s.core().SwitchProfile("Gone");
  const auto file = ProfilePath(s.dir, "Gone");
  ASSERT_TRUE(std::filesystem::exists(file));
  s.core().DeleteProfile();  // Cancel
  EXPECT_EQ(s.ui.questions,
            (std::vector<std::string>{"Remove User|Are you sure you want to remove this user?"}));
  EXPECT_TRUE(std::filesystem::exists(file));
  s.ui.ok_answer = true;
  s.core().DeleteProfile();
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(std::filesystem::exists(s.dir / "Users" / "Gone" / "notes.txt"));
  EXPECT_EQ(s.core().profile_name(), "Default");
  // Deleting Default recreates it empty; an empty name is Default too.
  s.core().SaveProfile();
  s.core().DeleteProfile();
  EXPECT_EQ(ReadFile(ProfilePath(s.dir, "Default")), "");
  s.core().SwitchProfile("Other");
  s.core().SwitchProfile("");
  EXPECT_EQ(s.core().profile_name(), "Default");
}

TEST(Profiles, NamesNeverLeaveTheUsersFolder) {
  Session s(kStartedUp);
  for (const char* name : {"../escape", "..\\escape", "..", ".", "a/b", "dots.in.name"}) {
    s.core().SwitchProfile(name);
    s.core().SaveProfile();
  }
  EXPECT_FALSE(std::filesystem::exists(s.dir / "escape.usr"));
  EXPECT_FALSE(std::filesystem::exists(s.dir.parent_path() / "escape.usr"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(s.dir)) {
    if (entry.path().extension() == ".usr") {
      EXPECT_EQ(entry.path().parent_path(), s.dir / "Users") << entry.path();
    }
  }
  EXPECT_TRUE(std::filesystem::exists(ProfilePath(s.dir, "dots.in.name")));
  EXPECT_TRUE(std::filesystem::exists(ProfilePath(s.dir, ".._escape")));
}

// The profile chosen at start-up is the one the settings file names from then on.
TEST(Profiles, AProfileChosenAtStartUpIsRememberedAndListed) {
  TempDir dir;
  WriteBytes(ProfilePath(dir.path(), "Night"), Coded({"ab=night owl"}));
  WriteBytes(ProfilePath(dir.path(), "Day"), Coded({"ab=early bird"}));
  Session s(dir.path());
  s.core().SelectProfileAtStartUp("Day");
  s.StartUp();
  EXPECT_EQ(s.core().options().account_name, "early bird");
  s.core().SaveProfile();
  EXPECT_EQ(ReadFile(dir.path() / "talvexchat.dat"), CodeText("Encode", "Day") + "\r\n");
  EXPECT_EQ(ListProfiles(dir.path()), (std::vector<std::string>{"Day", "Night"}));
}

}  // namespace
}  // namespace tc::test
