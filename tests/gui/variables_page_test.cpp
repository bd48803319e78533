// The Variables page and the quick buttons, driven by mouse and keyboard.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTreeView>

#include "gui/clicks.h"
#include "gui/window_fixture.h"

namespace tc::gui {
namespace {

TEST(VariablesPage, AddSelectSaveRemoveAndASystemName) {
  WindowRig rig;
  rig.OpenOptions("Variables_Image1");
  auto* view = rig.Find<QTreeView>("Variables_ListView1");
  auto* name = rig.Find<QLineEdit>("Variable_Edit1");
  auto* value = rig.Find<QLineEdit>("Value_Edit1");
  QWidget* add = rig.Find<QWidget>("AddVar_Image1");
  QWidget* remove = rig.Find<QWidget>("RemoveVar_Image1");
  ASSERT_TRUE(view && name && value && add && remove);
  EXPECT_EQ(Headers(view), (QStringList{"Variable", "Value"}));

  // Double-clicking a system name puts it into the name edit.
  auto* system = rig.Find<QListWidget>("SystemVariables_ListBox1");
  ASSERT_EQ(system->count(), 18);
  const QPoint dnd = system->visualItemRect(system->item(2)).center();
  QTest::mouseClick(system->viewport(), Qt::LeftButton, {}, dnd);
  QTest::mouseDClick(system->viewport(), Qt::LeftButton, {}, dnd);
  EXPECT_EQ(name->text(), "$dnd$");

  // A new name lands at its sorted place in the view too; the list's own rules are its tests'.
  name->setText("$b$");
  value->setText("bee");
  Click(add);
  const QModelIndex row = RowOf(view, "$b$");
  ASSERT_TRUE(row.isValid());
  EXPECT_EQ(row.siblingAtRow(row.row() - 1).data().toString(), "$away$");
  // Selecting a row fills the edits; Add saves the new value into it.
  view->setCurrentIndex(row);
  EXPECT_EQ(value->text(), "bee");
  value->setText("changed");
  Click(add);
  EXPECT_EQ(rig.core->VariableValue("$b$"), "changed");
  // Remove hands the row back to the edits and the list loses it.
  view->setCurrentIndex(RowOf(view, "$b$"));
  name->clear();
  Click(remove);
  EXPECT_EQ(name->text(), "$b$");
  EXPECT_EQ(value->text(), "changed");
  EXPECT_FALSE(RowOf(view, "$b$").isValid());
}

TEST(QuickButtons, AClickSendsTheMacroAndTheHintFollowsAnEdit) {
  WindowRig rig(kLoggedIn);
  rig.Sent();
  QWidget* image = rig.Find<QWidget>("Quick_Image4");
  QLabel* label = rig.Find<QLabel>("Quick_Label4");
  ASSERT_TRUE(image && label);
  EXPECT_EQ(image->toolTip(), "Execute Macro #04 (Please enter a message.)");
  EXPECT_TRUE(image->isVisibleTo(rig.window.get()));
  // Nothing sits on top of the strip: the widget at each button's centre is the button.
  for (QWidget* w : {image, static_cast<QWidget*>(label)}) {
    const QPoint centre = w->mapTo(rig.window.get(), w->rect().center());
    EXPECT_EQ(rig.window->childAt(centre), w) << w->objectName().toStdString();
  }

  rig.window->Call([](Client& c) { c.SendText("/edit $macro04$;hello there"); });
  EXPECT_EQ(image->toolTip(), "Execute Macro #04 (hello there)");
  EXPECT_EQ(label->toolTip(), "Execute Macro #04 (hello there)");
  Click(label);
  EXPECT_EQ(rig.Sent(), "hello there\r\n");
  Click(image);
  EXPECT_EQ(rig.Sent(), "hello there\r\n");
}

}  // namespace
}  // namespace tc::gui
