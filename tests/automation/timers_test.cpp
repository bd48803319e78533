// The timer list on its own: names, the page's operations and what one second of counting does.
#include "automation/timers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tc::test {
namespace {

using Strings = std::vector<std::string>;

std::vector<std::string> Names(const Timers& timers) {
  std::vector<std::string> out;
  for (const TimerRow& row : timers.table().Rows()) out.push_back(row.name);
  return out;
}

TEST(Timers, UnnamedTimersTakeTheSmallestFreeNumberAndEmptyFieldsAddNothing) {
  Timers t;
  EXPECT_TRUE(t.AddTimer("", "30", "a", "On;"));
  EXPECT_TRUE(t.AddTimer("", "30", "b", "On;"));
  EXPECT_TRUE(t.AddTimer("x", "30", "c", "On;"));
  EXPECT_FALSE(t.AddTimer("", "", "d", "On;"));
  EXPECT_FALSE(t.AddTimer("", "30", "", "On;"));
  EXPECT_FALSE(t.AddTimer("", "30", "d", ""));
  EXPECT_EQ(Names(t), (Strings{"0", "1", "x"}));
  t.Remove(0);
  t.AddTimer("", "30", "e", "On;");
  EXPECT_EQ(Names(t), (Strings{"1", "x", "0"}));
  // Names are compared exactly: " 2" and "02" leave "2" free.
  t.AddTimer(" 2", "30", "f", "On;");
  t.AddTimer("02", "30", "g", "On;");
  t.AddTimer("", "30", "h", "On;");
  EXPECT_EQ(t.table().RowAt(5).name, "2");
  EXPECT_EQ(t.table().RowAt(5).count, 0);
}

TEST(Timers, PanelAddWritesTheStateInItsOrderAndSelectReadsItBack) {
  const struct {
    TimerPanel panel;
    std::string state;
  } cases[] = {{{30, "hi", true, false, false, false, false}, "On;"},
               {{45, "hi", false, true, true, true, true},
                "Off;State:Operator;State:Away;State:DND;State:Available;"},
               {{9999999, "x", true, false, true, false, true}, "On;State:Away;State:Available;"}};
  for (const auto& c : cases) {
    Timers t;
    t.Add(c.panel);
    ASSERT_EQ(t.table().RowCount(), 1);
    EXPECT_EQ(t.table().RowAt(0).state, c.state);
    EXPECT_EQ(t.Select(0), c.panel);
  }
}

struct IntervalCase {
  std::string interval;
  std::vector<int> firing_seconds;  // within the first 12 ticks, 1-based
};

class TimerInterval : public ::testing::TestWithParam<IntervalCase> {};

// A bad interval never stops the later timers: the good one behind it fires on time.
TEST_P(TimerInterval, FiresAfterIntervalPlusOneTicksOrNeverWhenNotANumber) {
  Timers t;
  t.AddTimer("odd", GetParam().interval, "odd", "On;State:Available;");
  t.AddTimer("good", "3", "good", "On;State:Available;");
  std::vector<int> odd;
  std::vector<int> good;
  for (int second = 1; second <= 12; ++second) {
    for (const std::string& action : t.Tick("Available")) {
      (action == "odd" ? odd : good).push_back(second);
    }
  }
  EXPECT_EQ(odd, GetParam().firing_seconds);
  EXPECT_EQ(good, (std::vector<int>{4, 8, 12}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TimerInterval,
    ::testing::Values(IntervalCase{"5", {6, 12}},
                      IntervalCase{"0", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
                      IntervalCase{" 2", {3, 6, 9, 12}}, IntervalCase{"-5", {}},
                      IntervalCase{"abc", {}}, IntervalCase{"", {}}, IntervalCase{"5s", {}},
                      IntervalCase{"9999999", {}}, IntervalCase{"99999999999999999999", {}}));

TEST(Timers, OnlyTimersSwitchedOnInTheCurrentStateCount) {
  Timers t;
  t.AddTimer("away", "1", "away", "On;State:Away;");
  t.AddTimer("off", "1", "off", "Off;State:Available;");
  t.AddTimer("any", "1", "any", "State:Operator;State:Available;On;");
  EXPECT_EQ(t.Tick("Available"), Strings{});
  EXPECT_EQ(t.Tick("Available"), Strings{"any"});
  EXPECT_EQ(t.table().RowAt(0).count, 0);  // kept where it was
  EXPECT_EQ(t.Tick("Away"), Strings{});
  EXPECT_EQ(t.Tick("Away"), Strings{"away"});
  EXPECT_EQ(t.Tick(""), Strings{});  // no state before the first login
  EXPECT_EQ(t.table().RowAt(1).count, 0);
}

}  // namespace
}  // namespace tc::test
