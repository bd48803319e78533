// The quick buttons: their hints follow the macro variables however they change, and a click
// sends the macro's lines as the owner's, bounded however long the macro is.
#include "automation/macros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../send/send_fixture.h"
#include "persistence/profile_files.h"
#include "send/send_queue.h"

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;
const std::string kMark(kFieldMark);

// Which buttons' hints the module reported as changed, in order.
struct Reported {
  explicit Reported(Macros& macros) {
    macros.AddListener([this](const TableChange& c) { buttons.push_back(c.first + 1); });
  }
  std::vector<int> buttons;
};

TEST(Macros, HintsFollowThePanelEditAndAProfileRead) {
  Session s(kStartedUp);
  Client& c = s.core();
  EXPECT_EQ(c.macros().Hint(1), "Execute Macro #01 (Please enter a message.)");
  EXPECT_EQ(c.macros().Hint(15), "Execute Macro #15 (Please enter a message.)");
  Reported reported(c.macros());

  // Removed: back to the 17-character base.
  const int row =
      c.variables().FindFirst([](const VariableRow& r) { return r.name == "$macro01$"; });
  c.RemoveVariable(row);
  EXPECT_EQ(c.macros().Hint(1), "Execute Macro #01");
  // Names that merely contain "$macro" change no hint.
  c.AddVariable(-1, "$macro1$", "x");
  c.AddVariable(-1, "$macro16$", "x");
  c.AddVariable(-1, "$MACRO01$", "x");
  EXPECT_EQ(c.macros().Hint(1), "Execute Macro #01");
  c.AddVariable(-1, "$macro01$", "hello <break>there");
  EXPECT_EQ(c.macros().Hint(1), "Execute Macro #01 (hello <break>there)");
  // "/edit" finds its row in any letter case; the hint does not go stale.
  c.SendText("/edit $MACRO02$;typed");
  EXPECT_EQ(c.macros().Hint(2), "Execute Macro #02 (typed)");
  c.SendText("/edit $macro02$;<delete>");
  EXPECT_EQ(c.macros().Hint(2), "Execute Macro #02");
  EXPECT_EQ(reported.buttons, (std::vector<int>{1, 1, 2, 2}));

  // A profile read: the macros it names take their values, the others lost their rows.
  WriteBytes(ProfilePath(s.dir, "Other"), Coded({"ma=$macro03$" + kMark + "from file"}));
  c.SwitchProfile("Other");
  EXPECT_EQ(c.macros().Hint(3), "Execute Macro #03 (from file)");
  EXPECT_EQ(c.macros().Hint(4), "Execute Macro #04");
}

class MacroClick : public ::testing::Test {
 protected:
  void Set(int n, const std::string& value) {
    s.core().SendText(TaintedText("/edit " + Macros::Name(n) + ";" + value));
  }
  SendFixture f;
  Session& s = f.s;
};

TEST_F(MacroClick, EachBreakStartsTheNextLineInOrderAndALineMayBeACommand) {
  Set(1, "first <version><break>/display shown<BREAK>last");
  s.core().RunMacro(1);
  s.Advance(10000);
  EXPECT_EQ(WrittenLines(s), (Strings{"first Talvex Chat 2000 Build 1515", "last"}));
  // The command runs at the click; talk shows as it is written.
  EXPECT_EQ(f.TakeShown(),
            (Strings{"Display ( shown )", "<talvexbot> first Talvex Chat 2000 Build 1515",
                     "<talvexbot> last"}));
}

// Only the owner's own "<break>" cuts: one the server put into a channel name stays text.
TEST_F(MacroClick, ABreakInsideServerTextDoesNotCut) {
  s.Server("1007 CHANNEL \"Room<break>/display pwned\"");
  s.Written();
  f.TakeShown();
  Set(5, "in <channel current>");
  s.core().RunMacro(5);
  s.Advance(10000);
  EXPECT_EQ(WrittenLines(s), (Strings{"in Room<break>/display pwned"}));
  EXPECT_FALSE(s.ui.Showed("Display ( pwned )"));
}

TEST_F(MacroClick, AnEmptyMacroAsksForAMessage) {
  Set(2, "<delete>");
  s.core().RunMacro(2);
  s.Advance(5000);
  EXPECT_EQ(s.Written(), "");
  EXPECT_EQ(f.TakeShown(), (Strings{"System ( You must enter a message. )"}));
}

// Ten kilobytes cut by 500 breaks: one click queues a bounded number of lines, the rest is
// reported, and the owner's next typed line is not held back for long.
TEST_F(MacroClick, AHugeMacroIsBoundedAndTheDropIsReported) {
  std::string value;
  for (int i = 0; i < 500; ++i) value += "line " + std::to_string(1000 + i) + " padding<break>";
  value += "end";
  ASSERT_GE(value.size(), 10240u);
  Set(3, value);
  s.core().RunMacro(3);
  EXPECT_LE(s.core().send_queue().size(), Macros::kMaxLines);
  EXPECT_TRUE(
      f.s.ui.Showed("System ( Macro #03 sent its first 25 lines; 476 more were not sent. )"));
  s.core().main_input().text = "typed after";
  s.core().SendActiveInput();
  s.Advance(120000);
  const Strings written = WrittenLines(s);
  ASSERT_EQ(written.size(), Macros::kMaxLines + 1);
  EXPECT_EQ(written.front(), "line 1000 padding");
  EXPECT_EQ(written[Macros::kMaxLines - 1], "line 1024 padding");
  EXPECT_EQ(written.back(), "typed after");
}

}  // namespace
}  // namespace tc::test
