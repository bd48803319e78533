// The Keys/Events page driven as a person drives it: the key editor, the applies-to boxes, rows
// clicked, the buttons, the list's menu and the Test dialog.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include "gui/clicks.h"
#include "gui/window_fixture.h"

namespace tc::gui {
namespace {

struct KeysPage {
  explicit KeysPage(WindowRig& r) : rig(r) { rig.OpenOptions("KeysEvents_Image1"); }
  void Type(const char* name, const QString& text) {
    rig.Find<QLineEdit>(name)->clear();
    QTest::keyClicks(rig.Find<QLineEdit>(name), text);
  }
  QString Text(const char* name) { return rig.Find<QLineEdit>(name)->text(); }
  void Press(const char* name) { Click(rig.Find<QWidget>(name)); }
  void Menu(int row, const char* action) {
    ClickRow(view, row);
    emit view->customContextMenuRequested(view->visualRect(Cell(row, 0)).center());
    rig.window->findChild<QMenu*>("Keys_PopupMenu1")->findChild<QAction*>(action)->trigger();
  }
  QModelIndex Cell(int row, int column) { return view->model()->index(row, column); }
  // Each row as its six columns joined by "|".
  QStringList Shown() {
    QStringList rows;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < 6; ++c) cells << Cell(r, c).data().toString();
      rows << cells.join('|');
    }
    return rows;
  }
  // The ticked applies-to boxes' captions, in the order of the boxes.
  QStringList Ticked() {
    QStringList ticked;
    for (QCheckBox* box : rig.Find<QWidget>("KeysEvents_Panel1")->findChildren<QCheckBox*>()) {
      if (box->objectName() != "State_CheckBox2" && box->isChecked()) ticked << box->text();
    }
    return ticked;
  }

  WindowRig& rig;
  QTreeView* view = rig.Find<QTreeView>("Keys_ListView1");
  QAbstractItemModelTester tester{view->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST(KeysPageTest, EditorRoundTripThroughTheWidgets) {
  WindowRig rig;
  KeysPage page(rig);
  EXPECT_EQ(page.view->model()->headerData(3, Qt::Horizontal).toString(), "Applies On");
  page.Type("Key_Edit1", "hello*bot");
  page.Type("Action_Edit1", "Hi %user%");
  page.Press("AppliesFriends_CheckBox1");
  page.Press("AppliesMessages_CheckBox1");
  page.Type("AppliesOn_Edit1", "1;");
  page.Press("KeyAdd_Image1");
  page.Type("Key_Edit1", "bye");
  page.Press("State_CheckBox2");
  page.Press("KeyAdd_Image1");
  EXPECT_EQ(page.Shown(), (QStringList{"hello*bot|Hi %user%|Friends;Messages;|1;||On",
                                       "bye|Hi %user%|Friends;Messages;|1;||Off"}));
  // Select copies the row into the editor, and Save writes it back.
  ClickRow(page.view, 0);
  EXPECT_EQ(page.Text("Key_Edit1"), "hello*bot");
  EXPECT_TRUE(rig.Find<QCheckBox>("State_CheckBox2")->isChecked());
  page.Type("History_Edit1", "ann=3;");
  page.Press("KeySave_Image1");
  page.Press("KeyNone_Image1");
  EXPECT_EQ(page.Shown(), (QStringList{"hello*bot|Hi %user%|Friends;Messages;|1;|ann=3;|Off",
                                       "bye|Hi %user%|Friends;Messages;|1;||Off"}));
  page.Press("KeyAll_Image1");
  EXPECT_TRUE(page.Shown()[1].endsWith("|On"));
  // The menu moves a key and keeps it selected.
  page.Menu(0, "MoveDown1");
  EXPECT_TRUE(page.Shown()[1].startsWith("hello*bot|"));
  EXPECT_EQ(page.view->currentIndex().row(), 1);
  page.Menu(1, "MoveUp1");
  EXPECT_TRUE(page.Shown()[0].startsWith("hello*bot|"));
  EXPECT_EQ(page.view->currentIndex().row(), 0);
  // Remove leaves the key in the editor, and Add puts it back as it was.
  const QString first = page.Shown()[0];
  ClickRow(page.view, 0);
  page.Press("KeyRemove_Image1");
  page.Press("KeyAdd_Image1");
  EXPECT_EQ(page.Shown(), (QStringList{"bye|Hi %user%|Friends;Messages;|1;||On", first}));
  page.Menu(0, "DeleteKey1");
  EXPECT_EQ(page.Text("Key_Edit1"), "bye");
  EXPECT_EQ(page.Shown(), QStringList{first});
}

TEST(KeysPageTest, AppliesToBoxesRewriteTheTextAndReadItBack) {
  WindowRig rig;
  KeysPage page(rig);
  const struct {
    const char* typed;
    const char* clicked;
    const char* after;
    QStringList ticked;
  } cases[] = {
      {"<%channel;Op x%>All;",
       "ProductSEXP_CheckBox1",
       "<%channel;Op x%>All;Product:[SEXP];",
       {"All", "StarCraft Brood-War"}},
      {"", "StateDND_CheckBox1", "State:DND;", {"DND"}},
      {"state:away;whispers;", "AppliesWhispers_CheckBox1", "state:away;", {"Away"}},
  };
  for (const auto& c : cases) {
    page.Type("AppliesTo_Edit1", c.typed);
    page.Press(c.clicked);
    EXPECT_EQ(page.Text("AppliesTo_Edit1"), c.after) << c.typed;
    EXPECT_EQ(page.Ticked(), c.ticked) << c.typed;
  }
  rig.window->Call([](Client& c) {
    c.keys().Append({"k", "a", "Me;Emotes;Product:[CHAT];", "", "", OnOff::kOn});
  });
  ClickRow(page.view, 0);
  EXPECT_EQ(page.Ticked(), (QStringList{"Me", "Emotes", "Gateway"}));
}

TEST(KeysPageTest, TheTestDialogShowsOneLinePerKey) {
  WindowRig rig(kLoggedIn);
  rig.Server("1001 USER bob 0010 [CHAT]");
  rig.window->Call([](Client& c) {
    c.keys().Append({"hello", "hi", "All;", "", "", OnOff::kOn});
    c.keys().Append({"#User_Joined", "welcome", "All;", "", "", OnOff::kOff});
  });
  auto* users = rig.Find<QListView>("Users_ListView1");
  users->setCurrentIndex(RowOf(users, "bob"));
  KeysPage page(rig);
  page.Press("KeyTest_Button1");
  EXPECT_TRUE(rig.window->findChild<QDialog*>("KeyTest_Dialog")->isVisible());
  EXPECT_EQ(page.Text("KeyTestUser_Edit1"), "bob");
  auto* kind = rig.Find<QComboBox>("KeyTestKind_ComboBox1");
  EXPECT_EQ(kind->count(), 3 + 15);
  EXPECT_EQ(kind->itemText(3), "#Joined_Channel");
  page.Type("KeyTestText_Edit1", "hello there");
  page.Press("KeyTestRun_Button1");
  const QStringList lines =
      rig.Find<QPlainTextEdit>("KeyTestResult_Memo1")->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("1. \"hello")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("2. \"#User_Joined")) << lines[1].toStdString();
}

}  // namespace
}  // namespace tc::gui
