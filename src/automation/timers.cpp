#include "automation/timers.h"

#include <array>
#include <optional>
#include <unordered_set>
#include <utility>

#include "common/text.h"
#include "common/token_text.h"

namespace tc {

namespace {

// What "/newtimer" gives a timer: every state.
constexpr std::string_view kEveryState = "State:Away;State:Operator;State:Available;State:DND;";

struct StateBox {
  bool TimerPanel::*box;
  std::string_view token;
};
// The order the page writes them in.
constexpr std::array<StateBox, 4> kStateBoxes = {{
    {&TimerPanel::operator_state, "State:Operator;"},
    {&TimerPanel::away, "State:Away;"},
    {&TimerPanel::dnd, "State:DND;"},
    {&TimerPanel::available, "State:Available;"},
}};

// Seconds between firings as a number, or nothing when the text is not plain decimal digits
// (spaces aside): a hand-edited "-5" or "abc" must not fire every second.
std::optional<int> IntervalSeconds(std::string_view text) {
  bool any = false;
  for (const char c : text) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return std::nullopt;
    any = true;
  }
  if (!any) return std::nullopt;
  return SafeStrToInt(text);
}

std::string FreeName(const Table<TimerRow>& table) {
  std::unordered_set<std::string_view> used;
  for (const TimerRow& row : table.Rows()) used.insert(row.name);
  for (int n = 0;; ++n) {
    std::string name = std::to_string(n);
    if (used.count(name) == 0) return name;
  }
}

}  // namespace

bool Timers::AddTimer(std::string_view name, std::string_view interval, std::string_view action,
                      std::string_view state) {
  if (interval.empty() || action.empty() || state.empty()) return false;
  std::string given(name);
  if (given.empty()) given = FreeName(table_);
  table_.Append(TimerRow{std::move(given), std::string(interval), std::string(action),
                         std::string(state), 0});
  return true;
}

std::string Timers::StateText(const TimerPanel& panel) {
  std::string state = panel.on ? "On;" : "Off;";
  for (const StateBox& entry : kStateBoxes) {
    if (panel.*entry.box) state += entry.token;
  }
  return state;
}

TimerPanel Timers::Select(int row) const {
  TimerPanel panel;
  if (row < 0 || row >= table_.RowCount()) return panel;
  const TimerRow& timer = table_.RowAt(row);
  panel.interval = SafeStrToInt(timer.interval);
  panel.action = timer.action;
  panel.on = ContainsNoCase(timer.state, "On;");
  for (const StateBox& entry : kStateBoxes) {
    panel.*entry.box = ContainsNoCase(timer.state, entry.token);
  }
  return panel;
}

void Timers::Add(const TimerPanel& panel) {
  AddTimer("", std::to_string(panel.interval), panel.action, StateText(panel));
}

void Timers::Save(int row, const TimerPanel& panel) {
  table_.Update(row, [&panel](TimerRow& timer) {
    timer.interval = std::to_string(panel.interval);
    timer.action = panel.action;
    timer.state = StateText(panel);
  });
}

void Timers::Remove(int row) {
  table_.Remove(row);
}

void Timers::SwitchAll(bool on) {
  for (int row = 0; row < table_.RowCount(); ++row) SwitchRow(row, on);
}

void Timers::NewTimer(std::string_view rest) {
  const auto [name, after_name] = SplitAtFirst(rest, ';');
  const auto [interval, after_interval] = SplitAtFirst(after_name, ';');
  const auto [action, switch_given] = SplitAtFirst(after_interval, ';');
  if (name.empty() || interval.empty() || action.empty() || switch_given.empty()) return;
  DeleteTimer(name);
  std::string on_off(switch_given);
  if (on_off.back() != ';') on_off += ';';
  on_off[0] = 'O';
  if (on_off != "On;" && on_off != "Off;") on_off = "Off;";
  table_.Append(TimerRow{std::string(name), std::string(interval), std::string(action),
                         on_off + std::string(kEveryState), 0});
}

void Timers::DeleteTimer(std::string_view name) {
  for (int row = table_.RowCount(); row-- > 0;) {
    if (EqualsNoCase(table_.RowAt(row).name, name)) table_.Remove(row);
  }
}

void Timers::Switch(std::string_view name, bool on) {
  for (int row = 0; row < table_.RowCount(); ++row) {
    if (EqualsNoCase(table_.RowAt(row).name, name)) SwitchRow(row, on);
  }
}

// The switch token moves to the end of the state field: the first of each is cut out, then the
// wanted one goes on at the end.
void Timers::SwitchRow(int row, bool on) {
  static constexpr std::array<TokenTick, 2> kCuts = {{{"On;", false}, {"Off;", false}}};
  table_.Update(
      row, [on](TimerRow& r) { r.state = RewriteTokens(r.state, kCuts) + (on ? "On;" : "Off;"); });
}

std::vector<std::string> Timers::Tick(std::string_view state_word) {
  std::vector<std::string> fired;
  // Before the first login there is no state, and no timer runs in none.
  if (state_word.empty()) return fired;
  std::string state_token(state_word);
  state_token += ';';
  for (int row = 0; row < table_.RowCount(); ++row) {
    const TimerRow& timer = table_.RowAt(row);
    if (!ContainsNoCase(timer.state, "On;") || !ContainsNoCase(timer.state, state_token)) continue;
    const std::optional<int> interval = IntervalSeconds(timer.interval);
    if (!interval) continue;
    if (timer.count < *interval) {
      table_.Update(row, [](TimerRow& r) { ++r.count; });
    } else {
      fired.push_back(timer.action);
      table_.Update(row, [](TimerRow& r) { r.count = 0; });
    }
  }
  return fired;
}

}  // namespace tc
