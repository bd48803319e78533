// The Keys/Events page driven as a person drives it: typing into the key editor, ticking the
// applies-to boxes, clicking rows, the buttons and the list's menu, and the Test dialog.
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

#include "gui/window_fixture.h"

namespace tc::gui {
namespace {

// The applies-to boxes in the order their tokens are written.
const std::vector<std::pair<QString, QString>> kBoxes = {
    {"AppliesFriends_CheckBox1", "Friends"},
    {"AppliesEnemies_CheckBox1", "Enemies"},
    {"AppliesOperators_CheckBox1", "Operators"},
    {"AppliesOther_CheckBox1", "Other"},
    {"AppliesAll_CheckBox1", "All"},
    {"AppliesMe_CheckBox1", "Me"},
    {"AppliesMessages_CheckBox1", "Messages"},
    {"AppliesWhispers_CheckBox1", "Whispers"},
    {"AppliesEmotes_CheckBox1", "Emotes"},
    {"StateOperator_CheckBox1", "Operator"},
    {"StateAway_CheckBox1", "Away"},
    {"StateDND_CheckBox1", "DND"},
    {"StateAvailable_CheckBox1", "Available"},
    {"ProductSTAR_CheckBox1", "StarCraft"},
    {"ProductJSTR_CheckBox1", "Japanese StarCraft"},
    {"ProductSSHR_CheckBox1", "StarCraft Shareware"},
    {"ProductSEXP_CheckBox1", "StarCraft Brood-War"},
    {"ProductDRTL_CheckBox1", "Diablo"},
    {"ProductDSHR_CheckBox1", "Diablo Shareware"},
    {"ProductW2BN_CheckBox1", "WarCraft II BNE"},
    {"ProductCHAT_CheckBox1", "Gateway"},
};

class KeysPage {
 public:
  explicit KeysPage(WindowRig& rig) : rig_(rig) {
    rig.window->DisplayPanel(Page::kOptions);
    rig.window->DisplayOptionPanel(ui::OptionPage::kKeysEvents);
    rig.Settle();
    view = rig.Find<QTreeView>("Keys_ListView1");
    tester = std::make_unique<QAbstractItemModelTester>(
        view->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  }

  QLineEdit* Edit(const char* name) { return rig_.Find<QLineEdit>(name); }
  void Type(const char* name, const QString& text) {
    QLineEdit* edit = Edit(name);
    edit->clear();
    QTest::keyClicks(edit, text);
  }
  void Press(const char* name) {
    QWidget* button = rig_.Find<QWidget>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void Tick(const QString& name) {
    auto* box = rig_.Find<QCheckBox>(name);
    ASSERT_NE(box, nullptr) << name.toStdString();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  void ClickRow(int row) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 0)).center());
  }
  void Menu(int row, const char* action) {
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    emit view->customContextMenuRequested(at);
    auto* menu = rig_.window->findChild<QMenu*>("Keys_PopupMenu1");
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction*>(action)->trigger();
    menu->hide();
  }
  // What the list shows: each row's six columns joined by "|".
  std::vector<QString> Shown() const {
    std::vector<QString> rows;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < 6; ++c) cells << view->model()->index(r, c).data().toString();
      rows.push_back(cells.join('|'));
    }
    return rows;
  }
  QStringList Ticked() {
    QStringList ticked;
    for (const auto& [name, caption] : kBoxes) {
      if (rig_.Find<QCheckBox>(name)->isChecked()) ticked << caption;
    }
    return ticked;
  }

  QTreeView* view = nullptr;
  std::unique_ptr<QAbstractItemModelTester> tester;

 private:
  WindowRig& rig_;
};

TEST(KeysPageTest, EditorRoundTripThroughTheWidgets) {
  WindowRig rig;
  KeysPage page(rig);
  const QStringList headers = {"Key Word",   "Action",  "Applies To",
                               "Applies On", "History", "State"};
  for (int c = 0; c < headers.size(); ++c) {
    EXPECT_EQ(page.view->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
  }
  EXPECT_EQ(rig.Find<QCheckBox>("State_CheckBox2")->text(), "State (On/Off)");
  // Add: the editor's fields become a row; an empty key text adds nothing.
  page.Type("Key_Edit1", "hello*bot");
  page.Type("Action_Edit1", "Hi %user%<break>again");
  page.Tick("AppliesFriends_CheckBox1");
  page.Tick("AppliesMessages_CheckBox1");
  page.Type("AppliesOn_Edit1", "1;");
  page.Press("KeyAdd_Image1");
  page.Type("Key_Edit1", "");
  page.Press("KeyAdd_Image1");
  page.Type("Key_Edit1", "bye");
  page.Tick("State_CheckBox2");
  page.Press("KeyAdd_Image1");
  EXPECT_EQ(page.Shown(),
            (std::vector<QString>{"hello*bot|Hi %user%<break>again|Friends;Messages;|1;||On",
                                  "bye|Hi %user%<break>again|Friends;Messages;|1;||Off"}));
  // Select copies the row; Save needs the very same key text.
  page.ClickRow(0);
  EXPECT_EQ(page.Edit("Key_Edit1")->text(), "hello*bot");
  EXPECT_TRUE(rig.Find<QCheckBox>("State_CheckBox2")->isChecked());
  page.Type("History_Edit1", "ann=3;");
  page.Type("Key_Edit1", "Hello*bot");
  page.Press("KeySave_Image1");
  EXPECT_EQ(rig.core->keys().RowAt(0).history, "");
  page.Type("Key_Edit1", "hello*bot");
  page.Press("KeySave_Image1");
  EXPECT_EQ(rig.core->keys().RowAt(0).history, "ann=3;");
  // None and All switch every key.
  page.Press("KeyNone_Image1");
  EXPECT_EQ(page.Shown()[0].section('|', 5), "Off");
  page.Press("KeyAll_Image1");
  EXPECT_EQ(page.Shown()[1].section('|', 5), "On");
  // The menu moves the key and keeps it selected.
  page.Menu(0, "MoveDown1");
  EXPECT_EQ(rig.core->keys().RowAt(1).key_text, "hello*bot");
  EXPECT_EQ(page.view->currentIndex().row(), 1);
  page.Menu(1, "MoveUp1");
  EXPECT_EQ(rig.core->keys().RowAt(0).key_text, "hello*bot");
  EXPECT_EQ(page.view->currentIndex().row(), 0);
  // Remove leaves the key in the editor, and Add puts it back as it was.
  const KeyRow first = rig.core->keys().RowAt(0);
  page.ClickRow(0);
  page.Press("KeyRemove_Image1");
  ASSERT_EQ(rig.core->keys().RowCount(), 1);
  page.Press("KeyAdd_Image1");
  EXPECT_EQ(rig.core->keys().RowAt(1), first);
  page.Menu(0, "DeleteKey1");
  EXPECT_EQ(page.Edit("Key_Edit1")->text(), "bye");
  EXPECT_EQ(page.Shown().size(), 1u);
}

TEST(KeysPageTest, AppliesToBoxesRewriteTheTextAndReadItBack) {
  WindowRig rig;
  KeysPage page(rig);
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    EXPECT_EQ(rig.Find<QCheckBox>(kBoxes[i].first)->text(), kBoxes[i].second) << i;
  }
  struct Case {
    const char* what;
    QString typed;
    QString clicked;
    QString after;
    QStringList ticked;
  };
  const std::vector<Case> cases = {
      {"Unticking Friends when the text holds 'friends;' in lower case followed by 'Enemies;'",
       "friends;Enemies;",
       "AppliesFriends_CheckBox1",
       "Enemies;",
       {"Enemies"}},
      {"ticking appends after hand-typed tags",
       "<%channel;Op x%>All;",
       "ProductSEXP_CheckBox1",
       "<%channel;Op x%>All;Product:[SEXP];",
       {"All", "StarCraft Brood-War"}},
      {"the state tokens carry their prefix", "", "StateDND_CheckBox1", "State:DND;", {"DND"}},
      {"a click also writes what the read-back found",
       "state:away;whispers;",
       "AppliesWhispers_CheckBox1",
       "state:away;",
       {"Away"}},
  };
  for (const Case& c : cases) {
    page.Type("AppliesTo_Edit1", c.typed);
    page.Tick(c.clicked);
    EXPECT_EQ(page.Edit("AppliesTo_Edit1")->text(), c.after) << c.what;
    EXPECT_EQ(page.Ticked(), c.ticked) << c.what;
  }
  // Selecting a key reads its applies-to into the boxes.
  rig.window->Call([](Client& c) {
    c.keys().Append({"k", "a", "Me;Emotes;Product:[CHAT];", "", "", OnOff::kOn});
  });
  page.ClickRow(0);
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
  const QModelIndexList bob =
      users->model()->match(users->model()->index(0, 0), Qt::DisplayRole, "bob");
  ASSERT_EQ(bob.size(), 1);
  users->setCurrentIndex(bob.first());
  KeysPage page(rig);
  page.Press("KeyTest_Button1");
  auto* dialog = rig.window->findChild<QDialog*>("KeyTest_Dialog");
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(rig.Find<QLineEdit>("KeyTestUser_Edit1")->text(), "bob");
  auto* kind = rig.Find<QComboBox>("KeyTestKind_ComboBox1");
  EXPECT_EQ(kind->count(), 3 + 15);
  EXPECT_EQ(kind->itemText(1), "Whispers;");
  EXPECT_EQ(kind->itemText(3), "#Joined_Channel");
  EXPECT_EQ(kind->itemText(17), "#You_Whispered");
  QTest::keyClicks(rig.Find<QLineEdit>("KeyTestText_Edit1"), "hello there");
  QTest::mouseClick(rig.Find<QWidget>("KeyTestRun_Button1"), Qt::LeftButton);
  const QStringList lines =
      rig.Find<QPlainTextEdit>("KeyTestResult_Memo1")->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("1. hello")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("2. #User_Joined")) << lines[1].toStdString();
  EXPECT_TRUE(rig.Find<QPlainTextEdit>("KeyTestResult_Memo1")->isReadOnly());
  // Asking changes no key.
  EXPECT_EQ(rig.core->keys().RowAt(0).history, "");
  dialog->hide();
}

}  // namespace
}  // namespace tc::gui
