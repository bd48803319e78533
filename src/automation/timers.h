// The user timers: the list, how rows are added, edited and switched (the Timer page and the
// "/newtimer", "/deltimer", "/timeron", "/timeroff" commands), and the step of the one-second
// tick that counts them. Sending what fires is the client's business.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/list_rows.h"
#include "common/table.h"

namespace tc {

// What the Timer page's controls hold: the interval spin, the action edit, the switch box and the
// four state boxes.
struct TimerPanel {
  int interval = 30;
  std::string action;
  bool on = false;
  bool operator_state = false;
  bool away = false;
  bool dnd = false;
  bool available = false;
  bool operator==(const TimerPanel&) const = default;
};

class Timers {
 public:
  // The panel's interval spin.
  static constexpr int kMinInterval = 10;
  static constexpr int kMaxInterval = 9999999;
  static constexpr int kIntervalStep = 5;
  static constexpr int kDefaultInterval = 30;

  Table<TimerRow>& table() { return table_; }
  const Table<TimerRow>& table() const { return table_; }

  // Appends a timer counting from 0. An empty name becomes the smallest free number ("0", "1",
  // ...). Nothing is added (false) when the interval, action or state is empty.
  bool AddTimer(std::string_view name, std::string_view interval, std::string_view action,
                std::string_view state);

  // The Timer page. The state text is the switch ("On;" or "Off;") and then each ticked state's
  // token in the order Operator, Away, DND, Available.
  static std::string StateText(const TimerPanel& panel);
  // The row's fields as the panel shows them; the default panel when there is no such row.
  TimerPanel Select(int row) const;
  void Add(const TimerPanel& panel);
  // Interval, action and state of `row` from the panel; name and count stay.
  void Save(int row, const TimerPanel& panel);
  void Remove(int row);
  void SwitchAll(bool on);

  // The local commands; names are compared without regard to case.
  void NewTimer(std::string_view rest);  // name ";" interval ";" action ";" switch
  void DeleteTimer(std::string_view name);
  void Switch(std::string_view name, bool on);

  // One second of the user timers while the client is in the state spelled `state_word`
  // ("Available"): the actions of the timers that fire, in list order. A timer whose interval is
  // not a decimal number is left out.
  std::vector<std::string> Tick(std::string_view state_word);

 private:
  void SwitchRow(int row, bool on);

  Table<TimerRow> table_;
};

}  // namespace tc
