// User script files: written a line at a time, played back through the send path, and names that
// can never leave the UserFiles folder.
#include <gtest/gtest.h>

#include <fstream>

#include "../send/send_fixture.h"

namespace tc::test {
namespace {

class UserFiles : public ::testing::Test {
 protected:
  void Send(const std::string& line) { s.core().SendText(TaintedText(line)); }
  std::filesystem::path Folder() const { return s.dir / "UserFiles"; }
  std::string Read(const std::string& file) const { return ReadFile(Folder() / file); }
  std::vector<std::string> Files() const {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
      out.push_back(entry.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  SendFixture f{false};
  Session& s = f.s;
};

TEST_F(UserFiles, WriteThenExecuteSendsTheLines) {
  Send("/usfwrite greet;hello channel");
  Send("/usfwrite greet;hello channel");
  EXPECT_EQ(Read("greet.usf"), "hello channel\r\nhello channel\r\n");
  Send("/usfexecute greet");
  EXPECT_EQ(s.Written(), "hello channel\r\nhello channel\r\n");
}

TEST_F(UserFiles, EmptyLinesAreSkippedAndScriptLinesActAsTyped) {
  std::filesystem::create_directories(Folder());
  std::ofstream(Folder() / "mixed.usf", std::ios::binary)
      << "first\r\n\r\n/usfwrite other;made\n\n/display done\r\n/usfdelete mixed\r\nlast\r\n";
  Send("/usfexecute mixed");
  EXPECT_EQ(s.Written(), "first\r\nlast\r\n");
  EXPECT_EQ(Read("other.usf"), "made\r\n");
  EXPECT_TRUE(f.CountShown("Display ( done )") == 1);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "mixed.usf"));
}

TEST_F(UserFiles, ExecuteOnAMissingFileLeavesItEmptyAndDeleteRemovesIt) {
  Send("/usfexecute nothing");
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(Read("nothing.usf"), "");
  Send("/usfdelete nothing");
  Send("/usfdelete never");
  EXPECT_TRUE(Files().empty());
  s.core().WriteUserFile("", "default text");
  EXPECT_EQ(Read("Default.usf"), "default text\r\n");
}

TEST_F(UserFiles, NamesNeverLeaveTheFolder) {
  Send("/usfwrite dir\\sub\\name;a");  // the first "\" part is dropped, the rest stays in
  Send("/usfwrite dir/sub/name;b");    // "/" counts as "\"
  Send("/usfwrite ../../escape;c");    // ".." ends at the first dot
  Send("/usfwrite /etc/passwd;d");     // an absolute path is one more name
  s.core().WriteUserFile(std::string("nul\0x", 5), "e");
  s.core().WriteUserFile("..", "f");
  Send("/usfwrite notes.txt.bak;x");            // written before the first dot
  s.core().WriteUserFile("x", "one\r\n/exit");  // one write is one line whatever it holds
  EXPECT_EQ(Files(), (std::vector<std::string>{"_.usf", "etc_passwd.usf", "notes.usf", "nul_x.usf",
                                               "sub_name.usf", "x.usf"}));
  EXPECT_EQ(Read("x.usf"), "one  /exit\r\n");
  EXPECT_EQ(Read("sub_name.usf"), "a\r\nb\r\n");
  EXPECT_EQ(Read("_.usf"), "c\r\nf\r\n");
  EXPECT_FALSE(std::filesystem::exists(s.dir.parent_path() / "escape.usf"));
}

TEST_F(UserFiles, AScriptRunningItselfStopsWithAMessage) {
  Send("/usfwrite loop;/usfexecute loop");
  Send("/usfwrite ping;/usfexecute pong");
  Send("/usfwrite pong;/usfexecute ping");
  Send("/usfexecute loop");
  EXPECT_EQ(f.CountShown("System ( Script loop.usf not run: scripts nested 8 deep. )"), 1);
  Send("/usfexecute ping");
  EXPECT_EQ(f.CountShown("System ( Script ping.usf not run: scripts nested 8 deep. )"), 1);
  EXPECT_EQ(s.Written(), "");
}

TEST_F(UserFiles, AFileThatCannotBeOpenedShowsAnError) {
  std::filesystem::create_directories(Folder() / "taken.usf");
  Send("/usfwrite taken;x");
  Send("/usfexecute taken");
  const std::string error =
      "Error ( Unable to open file: " + (Folder() / "taken.usf").string() + " )";
  EXPECT_EQ(f.CountShown(error), 2);
  // A file where the folder should be.
  std::filesystem::remove_all(Folder());
  std::ofstream(Folder()) << "not a folder";
  Send("/usfwrite any;x");
  EXPECT_EQ(f.CountShown("Error ( Unable to open file: " + (Folder() / "any.usf").string() + " )"),
            1);
}

}  // namespace
}  // namespace tc::test
