// The rows of the program's typed lists: keys, timers, variables, accounts, monitored accounts,
// servers and custom colours. Text appears only where a row meets a file or a view; a field
// that can take only a few values is an enum with one ToText / FromText pair keeping the stored
// spellings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tc {

// Ends a field in the stored lines of the custom colours, keys and variables (found without regard
// to case, so its lower case too). The letter N with tilde: the byte 0xD1 in a line the file holds
// in Windows-1252, its two UTF-8 bytes in a line that needs UTF-8; either way the line reads back
// as this text.
inline constexpr std::string_view kFieldMark = "\u00D1";

enum class OnOff { kOn, kOff };

// An on/off field as the list lines store it: "On" or "Off". Any other text read from a file
// counts as off and is kept as read, so that writing the file again gives back its bytes.
class OnOffText {
 public:
  OnOffText(OnOff value = OnOff::kOff) : value_(value) {}  // NOLINT: a value is its own field
  static OnOffText FromText(std::string_view text);
  std::string ToText() const;
  OnOff value() const { return value_; }
  bool on() const { return value_ == OnOff::kOn; }
  bool operator==(const OnOffText&) const = default;

 private:
  OnOff value_;
  std::optional<std::string> as_read_;  // when the text read was neither spelling
};

// Keys_ListView1: a keyword trigger or an event handler (its key text begins with "#").
struct KeyRow {
  std::string key_text;
  std::string action;
  std::string applies_to;  // ";"-terminated tokens and condition tags
  std::string applies_on;  // empty, or ";"-terminated counts
  std::string history;     // per speaker: name "=" count ";"
  OnOffText state;
  bool operator==(const KeyRow&) const = default;
};

// Timer_ListView1.
struct TimerRow {
  std::string name;
  std::string interval;  // seconds, as entered
  std::string action;
  std::string state;  // "On;" or "Off;" and the client-state tokens, in the order they were put
  int count = 0;      // seconds since the last firing; not stored
  bool operator==(const TimerRow&) const = default;
};

// Variables_ListView1.
struct VariableRow {
  std::string name;
  std::string value;
  bool operator==(const VariableRow&) const = default;
};

// Accounts_ListView1: one classified account.
struct AccountRow {
  std::string name;
  std::string type;  // ";"-terminated class tokens
  OnOffText tracking;
  bool operator==(const AccountRow&) const = default;
};

enum class MonitorStatus { kOnline, kOffline };
// "*Online" / "Offline": the status caption, which the monitor list sorts by.
std::string_view ToText(MonitorStatus status);
std::optional<MonitorStatus> MonitorStatusFromText(std::string_view text);

// Monitor_ListView1: a watched account and what the last check found.
struct MonitorRow {
  MonitorStatus status = MonitorStatus::kOffline;
  std::string search_account;
  std::string account_name = "???";
  std::string account_number = "???";
  std::string location = "???";
  bool operator==(const MonitorRow&) const = default;
};

// Ping_ListView1.
struct ServerRow {
  std::string ping = "???";  // the reply time as shown; the list sorts by this text
  std::string address;
  std::string type;  // the network; a reconnect stays within it
  bool operator==(const ServerRow&) const = default;
};

// CustomColors_ListView1: a word and the colour its lines are shown in.
struct CustomColorRow {
  std::string text;
  std::string color;  // a colour text as stored
  bool operator==(const CustomColorRow&) const = default;
};

// The text each sorted list keeps its rows in order by.
inline std::string_view SortText(const VariableRow& row) {
  return row.name;
}
inline std::string_view SortText(const AccountRow& row) {
  return row.name;
}
inline std::string_view SortText(const MonitorRow& row) {
  return ToText(row.status);
}
inline std::string_view SortText(const ServerRow& row) {
  return row.ping;
}
inline std::string_view SortText(const CustomColorRow& row) {
  return row.text;
}

}  // namespace tc
