// The Timer page and the anti-idle and auto-away controls, driven by clicks on the real window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>

#include "gui/clicks.h"
#include "gui/window_fixture.h"

namespace tc::gui {
namespace {

void SetChecked(QCheckBox* box, bool on) {
  if (box->isChecked() != on) Click(box);
}

TEST(TimerPage, AddSelectSaveSwitchAndRemoveThroughThePanel) {
  WindowRig rig;
  rig.OpenOptions("Timer_Image1");
  auto* view = rig.Find<QTreeView>("Timer_ListView1");
  auto* spin = rig.Find<QSpinBox>("Timer_SpinEdit1");
  auto* action = rig.Find<QLineEdit>("OnTimer_Edit1");
  auto* on = rig.Find<QCheckBox>("TimerState_CheckBox1");
  auto* away = rig.Find<QCheckBox>("TimerAway_CheckBox1");
  auto* available = rig.Find<QCheckBox>("TimerAvailable_CheckBox1");
  ASSERT_TRUE(view && spin && action && on && away && available);
  ASSERT_TRUE(view->isVisible());
  EXPECT_EQ(Headers(view), (QStringList{"Name", "Timer", "On Timer Action", "State", "Count"}));

  // The state's order and the other boxes are the timer list's own; here only the wiring.
  spin->setValue(45);
  QTest::keyClicks(action, "/me hi");
  SetChecked(on, true);
  SetChecked(available, true);
  SetChecked(away, true);
  Click(rig.Find<QWidget>("TimerAdd_Image1"));
  action->setText("second");
  SetChecked(on, false);
  SetChecked(away, false);
  Click(rig.Find<QWidget>("TimerAdd_Image1"));
  const Table<TimerRow>& timers = rig.core->timers();
  ASSERT_EQ(timers.RowCount(), 2);
  EXPECT_EQ(timers.RowAt(0), (TimerRow{"0", "45", "/me hi", "On;State:Away;State:Available;", 0}));
  EXPECT_EQ(view->model()->index(1, 3).data().toString(), "Off;State:Available;");

  ClickRow(view, 0);
  EXPECT_EQ(action->text(), "/me hi");
  EXPECT_TRUE(on->isChecked());
  EXPECT_TRUE(away->isChecked());
  spin->setValue(60);
  action->setText("changed");
  Click(rig.Find<QWidget>("TimerSave_Image1"));
  EXPECT_EQ(timers.RowAt(0), (TimerRow{"0", "60", "changed", "On;State:Away;State:Available;", 0}));
  Click(rig.Find<QWidget>("TimerNone_Image1"));
  EXPECT_EQ(timers.RowAt(0).state, "State:Away;State:Available;Off;");
  Click(rig.Find<QWidget>("TimerAll_Image1"));
  EXPECT_EQ(view->model()->index(1, 3).data().toString(), "State:Available;On;");

  // What the page made outlives a profile read.
  rig.Reread();
  EXPECT_EQ(view->model()->index(0, 2).data().toString(), "changed");
  ClickRow(view, 1);
  EXPECT_EQ(action->text(), "second");
  EXPECT_FALSE(away->isChecked());
  Click(rig.Find<QWidget>("TimerRemove_Image1"));
  ASSERT_EQ(timers.RowCount(), 1);
  EXPECT_EQ(timers.RowAt(0).name, "0");
}

TEST(TimerPage, AntiIdleAndAutoAwayControlsFollowAndDriveTheCore) {
  WindowRig rig;
  rig.OpenOptions();
  auto* anti_idle = rig.Find<QCheckBox>("AntiIdle_CheckBox1");
  auto* anti_idle_minutes = rig.Find<QSpinBox>("AntiIdle_SpinEdit1");
  auto* auto_away = rig.Find<QCheckBox>("AutoAway_CheckBox1");
  auto* auto_away_minutes = rig.Find<QSpinBox>("AutoAway_SpinEdit1");
  ASSERT_TRUE(anti_idle && anti_idle_minutes && auto_away && auto_away_minutes);
  EXPECT_TRUE(anti_idle_minutes->isEnabled());
  EXPECT_EQ(anti_idle_minutes->value(), 10);
  EXPECT_FALSE(auto_away_minutes->isEnabled());
  // Inside the page, clear of the controls above it.
  for (QSpinBox* spin : {anti_idle_minutes, auto_away_minutes}) {
    EXPECT_TRUE(spin->parentWidget()->rect().contains(spin->geometry()))
        << spin->objectName().toStdString();
  }
  EXPECT_GE(anti_idle->y(), rig.Find<QWidget>("SplitLongLines_Edit1")->geometry().bottom());

  anti_idle_minutes->stepUp();
  EXPECT_EQ(rig.core->anti_idle_timer().Interval(), 11 * 60000);
  Click(anti_idle);
  EXPECT_FALSE(rig.core->options().anti_idle);
  EXPECT_FALSE(anti_idle_minutes->isEnabled());
  Click(auto_away);
  EXPECT_TRUE(rig.core->options().auto_away);
  EXPECT_TRUE(auto_away_minutes->isEnabled());
  auto_away_minutes->setValue(3);
  EXPECT_EQ(rig.core->auto_away_countdown(), 180);

  // A profile read brings its values back into the controls.
  rig.window->Call([](Client& c) {
    c.SetAutoAway(false);
    c.SetAntiIdle(true);
    c.SetAntiIdleMinutes(4);
  });
  rig.window->LoadControls();
  EXPECT_FALSE(auto_away->isChecked());
  EXPECT_FALSE(auto_away_minutes->isEnabled());
  EXPECT_TRUE(anti_idle->isChecked());
  EXPECT_EQ(anti_idle_minutes->value(), 4);
}

}  // namespace
}  // namespace tc::gui
