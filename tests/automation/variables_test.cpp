// The variable list: its defaults and when a profile replaces them, the panel's Add and Remove,
// and names that the stored line could not hold.
#include "automation/variables.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "harness/session.h"
#include "persistence/profile_files.h"

namespace tc::test {
namespace {

using Rows = std::vector<VariableRow>;
const std::string kMark(kFieldMark);

struct AddCase {
  const char* what;
  int selected;
  std::string name;
  std::string value;
  Rows after;
};

TEST(Variables, PanelAddSavesTheSelectedRowOrPlacesANewOneInOrder) {
  const Rows start = {{"$b$", "1"}, {"$d$", "2"}};
  const std::vector<AddCase> cases = {
      {"new name, sorted place", -1, "$c$", "3", {{"$b$", "1"}, {"$c$", "3"}, {"$d$", "2"}}},
      {"lower case first", -1, "$B$", "3", {{"$b$", "1"}, {"$B$", "3"}, {"$d$", "2"}}},
      {"selected row saved", 1, "$d$", "new", {{"$b$", "1"}, {"$d$", "new"}}},
      {"selected row emptied", 1, "$d$", "", {{"$b$", "1"}, {"$d$", ""}}},
      {"another row selected", 0, "$d$", "x", start},
      {"existing name, none selected", -1, "$b$", "x", start},
      {"same name in other case is new",
       -1,
       "$D$",
       "x",
       {{"$b$", "1"}, {"$d$", "2"}, {"$D$", "x"}}},
      {"empty value", -1, "$e$", "", start},
      {"empty name", -1, "", "x", start},
      {"field mark", -1, "$a" + kMark + "b$", "x", start},
      {"field mark, lower case", -1, "$a\u00F1b$", "x", start},
  };
  for (const AddCase& c : cases) {
    Variables v;
    v.table().Assign(start);
    v.Add(c.selected, c.name, c.value);
    EXPECT_EQ(v.table().Rows(), c.after) << c.what;
  }
}

TEST(Variables, RemoveHandsBackTheSelectedRowAndDeletesIt) {
  Variables v;
  v.table().Assign({{"$a$", "1"}, {"$b$", "2"}});
  EXPECT_EQ(v.Remove(1), (VariableRow{"$b$", "2"}));
  EXPECT_EQ(v.table().Rows(), (Rows{{"$a$", "1"}}));
  EXPECT_EQ(v.Remove(5), std::nullopt);
  EXPECT_EQ(v.Remove(-1), std::nullopt);
  EXPECT_EQ(v.table().RowCount(), 1);
}

// A fresh directory shows the program's own list and writes it to the new profile.
TEST(Variables, AFreshDirectoryHasTheDefaultsAndSavesThem) {
  Session s(kStartedUp);
  const Rows& rows = s.core().variables().Rows();
  ASSERT_EQ(rows.size(), 18u);
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].name, Variables::kSystemNames[i]);
  EXPECT_EQ(s.core().VariableValue("$anti-idle$"), "Get <version> now, from <website>");
  EXPECT_EQ(s.core().VariableValue("$dnd$"), "I'm busy, please don't disturb me.");
  s.core().SaveProfile();
  // The file holds the mark as its Windows-1252 byte.
  const std::vector<std::string> lines = PlainLines(ProfilePath(s.dir, "Default"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ma=$macro07$\xD1Please enter a message."),
            lines.end());
}

TEST(Variables, AProfileWithVariableLinesReplacesTheDefaultsOneWithoutKeepsThem) {
  struct Case {
    std::vector<std::string> lines;
    size_t rows;
  };
  for (const Case& c : {Case{{"ma=$z$" + kMark + "1", "ma=$a$" + kMark + "2"}, 2},
                        Case{{"zc=Clan Home"}, 18}, Case{{}, 18}}) {
    TempDir dir;
    WriteBytes(ProfilePath(dir.path(), "Default"), Coded(c.lines));
    Session s(dir.path(), kStartedUp);
    EXPECT_EQ(s.core().variables().Rows().size(), c.rows);
    if (c.rows == 2) {
      EXPECT_EQ(s.core().variables().Rows(), (Rows{{"$a$", "2"}, {"$z$", "1"}}));
    }
  }
}

// "/edit" refuses a name that would cut its own stored line, and says so.
TEST(Variables, EditAndThePanelRefuseANameHoldingTheFieldMark) {
  Session s(kStartedUp);
  s.ui.TakeLines();
  const int rows = s.core().variables().RowCount();
  s.core().SendText(TaintedText("/edit $a" + kMark + "b$;x"));
  s.core().AddVariable(-1, "$c" + kMark + "$", "y");
  EXPECT_EQ(s.core().variables().RowCount(), rows);
  const std::string error = "Error ( A variable name cannot hold \"" + kMark + "\" )";
  EXPECT_EQ(s.ui.Texts(), (std::vector<std::string>{error, error}));
}

}  // namespace
}  // namespace tc::test
