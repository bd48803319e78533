#include "persistence/list_lines.h"

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_set>

#include "common/text.h"

namespace tc {
namespace {

constexpr std::string_view kActionMarker = "<%|action|%>";
constexpr std::string_view kAppliesMarker = "<%|applies|%>";
constexpr std::string_view kNameMarker = "<%|name|%>";
constexpr std::string_view kNotesMarker = "<%|notes|%>";
constexpr std::string_view kMark = kFieldMark;
constexpr int kIconStateRows = 12;
constexpr std::string_view kDefaultIconStates =
    "Disconnected;Available;Away;DND;Operator;-----;-----;-----;-----;-----;-----;-----;";
constexpr std::string_view kTimerStateTokens =
    ";State:Operator;State:Away;State:DND;State:Available;";

// The original 1-based cut: a start below 1 counts from 1, a count of 0 or less gives nothing.
std::string_view Copy(std::string_view text, int index, int count = INT_MAX) {
  if (count <= 0) return {};
  return Mid(text, static_cast<size_t>(std::max(index, 1)), static_cast<size_t>(count));
}

int Pos(std::string_view text, std::string_view part) {
  return PosNoCase(text, part);
}

// Takes the text up to the next field mark out of `rest`, mark included; empty when none is left.
std::string TakeField(std::string_view& rest) {
  const int at = Pos(rest, kMark);
  std::string field(Copy(rest, 1, at - 1));
  if (at != 0) rest = DropFirst(rest, static_cast<size_t>(at - 1) + kMark.size());
  return field;
}

std::string_view Value(std::string_view line) {
  return DropFirst(line, 3);
}

// The two fields between the "<%|action|%>" and "<%|applies|%>" markers, as "uz=" and "ue=" have.
struct MarkedFields {
  std::string first;
  std::string second;
  int applies = 0;
};

MarkedFields SplitMarked(std::string_view line) {
  const int a = Pos(line, kActionMarker);
  const int p = Pos(line, kAppliesMarker);
  const int second_start = a + static_cast<int>(kActionMarker.size());
  return {std::string(Copy(line, 4, a - 4)),
          std::string(Copy(line, second_start, p - second_start)), p};
}

std::string AfterApplies(std::string_view line, int applies) {
  return std::string(Copy(line, applies + static_cast<int>(kAppliesMarker.size())));
}

// The smallest non-negative number no timer uses as its name.
std::string FreeTimerName(const Table<TimerRow>& timers) {
  std::unordered_set<std::string> used;
  for (const TimerRow& row : timers.Rows()) used.insert(row.name);
  int n = 0;
  while (used.count(std::to_string(n)) != 0) ++n;
  return std::to_string(n);
}

// The older two-word timer state gains the four state tokens.
std::string WidenTimerState(std::string state) {
  if (state == "On" || state == "Off") state += kTimerStateTokens;
  return state;
}

std::string OlderAppliesTo(const std::string& applies) {
  if (applies == "All") return "Friends;Enemies;Operators;Other;";
  if (applies == "None") return "None;";
  if (applies == "Enemies") return "Enemies;";
  if (applies == "Friends") return "Friends;";
  if (applies == "Other") return "Other;";
  return applies;
}

}  // namespace

int InsertSorted(TextTable& table, TextTable::Row row, bool ignore_case) {
  const std::string_view key = row.empty() ? std::string_view() : std::string_view(row[0]);
  const auto compare = ignore_case ? CompareNoCaseText : CompareLocaleText;
  int low = 0;
  int high = table.RowCount();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (compare(table.Cell(mid, 0), key) <= 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  table.Insert(low, std::move(row));
  return low;
}

bool IsListKey(std::string_view key) {
  static constexpr std::array<std::string_view, 14> kKeys = {
      "zc=", "ua=", "ub=", "uc=", "ud=", "uz=", "ue=",
      "ui=", "cc=", "uf=", "ug=", "uh=", "ma=", "ga="};
  return std::find(kKeys.begin(), kKeys.end(), key) != kKeys.end();
}

bool ReadListLine(const ProfileLists& lists, std::string_view line) {
  const std::string_view key = line.substr(0, 3);
  if (key == "zc=") ReadCustomChannelLine(lists.custom_channels, line);
  if (key == "uz=") ReadAccountLine(lists.accounts, line);
  if (key == "ua=" || key == "ub=" || key == "uc=" || key == "ud=") {
    ReadOlderAccountLine(lists.accounts, line);
  }
  if (key == "cc=") ReadCustomColorLine(lists.custom_colors, line);
  if (key == "ui=") ReadKeyLine(lists.keys, line);
  if (key == "ue=") ReadOlderKeyLine(lists.keys, line);
  if (key == "uf=") ReadTimerLine(lists.timers, line);
  if (key == "ug=") ReadMonitorLine(lists.monitor, line);
  if (key == "uh=") ReadServerLine(lists.servers, line);
  if (key == "ga=") ReadIconStatesLine(lists.icon_states, line);
  return key == "ma=" && ReadVariableLine(lists.variables, line);
}

void ReadCustomChannelLine(TextTable& channels, std::string_view line) {
  const std::string_view value = Value(line);
  if (value.empty()) return;
  for (const auto& row : channels.Rows()) {
    if (EqualsNoCase(row[0], value)) return;
  }
  InsertSorted(channels, {std::string(value)}, true);
}

void ReadAccountLine(Table<AccountRow>& accounts, std::string_view line) {
  MarkedFields fields = SplitMarked(line);
  if (accounts.FindFirst([&](const AccountRow& row) { return row.name == fields.first; }) >= 0) {
    return;
  }
  InsertSorted(accounts, AccountRow{std::move(fields.first), std::move(fields.second),
                                    OnOffText::FromText(AfterApplies(line, fields.applies))});
}

void ReadOlderAccountLine(Table<AccountRow>& accounts, std::string_view line) {
  const std::string_view value = Value(line);
  if (value.empty()) return;
  const std::string_view key = line.substr(0, 3);
  std::string type = "Auto Ban";
  if (key == "ua=") type = "Friends";
  if (key == "ub=") type = "Enemies";
  if (key == "uc=") type = "Ignore";
  InsertSorted(accounts, AccountRow{std::string(value), std::move(type), OnOff::kOn});
}

void AddCustomColor(Table<CustomColorRow>& custom_colors, std::string_view word, Color color) {
  if (word.empty()) return;
  bool matched = false;
  for (int row = 0; row < custom_colors.RowCount(); ++row) {
    if (EqualsNoCase(custom_colors.RowAt(row).text, word)) {
      custom_colors.Update(row, [&](CustomColorRow& r) { r.color = ColorText(color); });
      matched = true;
    }
  }
  if (!matched) InsertSorted(custom_colors, CustomColorRow{std::string(word), ColorText(color)});
}

void ReadCustomColorLine(Table<CustomColorRow>& colors, std::string_view line) {
  std::string_view rest = Value(line);
  std::string text = TakeField(rest);
  std::string color = TakeField(rest);
  // A row without text is removed again as soon as it is added: it never appears.
  if (text.empty()) return;
  InsertSorted(colors, CustomColorRow{std::move(text), std::move(color)});
}

void ReadKeyLine(Table<KeyRow>& keys, std::string_view line) {
  std::string_view rest = Value(line);
  std::array<std::string, 6> fields;
  for (std::string& field : fields) field = TakeField(rest);
  // History starts empty after every read.
  keys.Append(
      KeyRow{fields[0], fields[1], fields[2], fields[3], "", OnOffText::FromText(fields[5])});
}

void ReadOlderKeyLine(Table<KeyRow>& keys, std::string_view line) {
  MarkedFields fields = SplitMarked(line);
  keys.Append(KeyRow{std::move(fields.first), std::move(fields.second),
                     OlderAppliesTo(AfterApplies(line, fields.applies)), "", "",
                     OnOffText::FromText("")});
}

void ReadTimerLine(Table<TimerRow>& timers, std::string_view line) {
  MarkedFields fields = SplitMarked(line);
  const std::string rest = AfterApplies(line, fields.applies);
  std::string state = rest;
  std::string name;
  if (const int at = Pos(rest, kNameMarker); at != 0) {
    state = std::string(Copy(rest, 1, at - 1));
    name = std::string(Copy(rest, at + static_cast<int>(kNameMarker.size())));
  }
  if (name.empty()) name = FreeTimerName(timers);
  timers.Append(TimerRow{std::move(name), std::move(fields.first), std::move(fields.second),
                         WidenTimerState(std::move(state)), 0});
}

void ReadMonitorLine(Table<MonitorRow>& monitor, std::string_view line) {
  const std::string_view value = Value(line);
  if (monitor.FindFirst([&](const MonitorRow& row) { return row.search_account == value; }) >= 0) {
    return;
  }
  InsertSorted(monitor, MonitorRow{.search_account = std::string(value)});
}

void ReadServerLine(Table<ServerRow>& servers, std::string_view line) {
  const int at = Pos(line, kNotesMarker);
  const std::string_view server = Copy(line, 4, at - 4);
  if (servers.FindFirst([&](const ServerRow& row) { return row.address == server; }) >= 0) return;
  InsertSorted(servers,
               ServerRow{"???", std::string(server),
                         std::string(Copy(line, at + static_cast<int>(kNotesMarker.size())))});
}

std::string_view VariableLineName(std::string_view line) {
  const std::string_view rest = Value(line);
  return Copy(rest, 1, Pos(rest, kMark) - 1);
}

bool ReadVariableLine(Table<VariableRow>& variables, std::string_view line) {
  std::string_view rest = Value(line);
  const int at = Pos(rest, kMark);
  std::string name(VariableLineName(line));
  std::string value(Copy(rest, at + static_cast<int>(kMark.size())));
  if (name.empty()) return false;
  const bool macro = ContainsNoCase(name, "$macro");
  InsertSorted(variables, VariableRow{std::move(name), std::move(value)});
  return macro;
}

void ReadIconStatesLine(TextTable& icon_states, std::string_view line) {
  icon_states.Clear();
  std::string_view rest = Value(line);
  if (rest.empty()) return;
  std::vector<TextTable::Row> rows;
  for (int index = 0; index < kIconStateRows; ++index) {
    const size_t at = rest.find(';');
    if (at == std::string_view::npos) {
      rows.push_back({""});
      continue;
    }
    rows.push_back({std::string(rest.substr(0, at))});
    rest.remove_prefix(at + 1);
  }
  icon_states.Assign(std::move(rows));
}

void CustomChannelLines(const TextTable& channels, std::vector<std::string>& out) {
  for (const auto& row : channels.Rows()) out.push_back("zc=" + row[0]);
}

void AccountLines(const Table<AccountRow>& accounts, std::vector<std::string>& out) {
  for (const AccountRow& row : accounts.Rows()) {
    out.push_back("uz=" + row.name + std::string(kActionMarker) + row.type +
                  std::string(kAppliesMarker) + row.tracking.ToText());
  }
}

void CustomColorLines(const Table<CustomColorRow>& colors, std::vector<std::string>& out) {
  for (const CustomColorRow& row : colors.Rows()) {
    out.push_back("cc=" + row.text + std::string(kMark) + row.color + std::string(kMark));
  }
}

void KeyLines(const Table<KeyRow>& keys, std::vector<std::string>& out) {
  for (const KeyRow& row : keys.Rows()) {
    std::string line = "ui=";
    for (const std::string* field :
         {&row.key_text, &row.action, &row.applies_to, &row.applies_on, &row.history}) {
      line += *field;
      line += kMark;
    }
    line += row.state.ToText();
    line += kMark;
    out.push_back(std::move(line));
  }
}

void TimerLines(const Table<TimerRow>& timers, std::vector<std::string>& out) {
  // The count is not stored.
  for (const TimerRow& row : timers.Rows()) {
    out.push_back("uf=" + row.interval + std::string(kActionMarker) + row.action +
                  std::string(kAppliesMarker) + row.state + std::string(kNameMarker) + row.name);
  }
}

void MonitorLines(const Table<MonitorRow>& monitor, std::vector<std::string>& out) {
  for (const MonitorRow& row : monitor.Rows()) out.push_back("ug=" + row.search_account);
}

void ServerLines(const Table<ServerRow>& servers, std::vector<std::string>& out) {
  for (const ServerRow& row : servers.Rows()) {
    out.push_back("uh=" + row.address + std::string(kNotesMarker) + row.type);
  }
}

void VariableLines(const Table<VariableRow>& variables, std::vector<std::string>& out) {
  for (const VariableRow& row : variables.Rows()) {
    out.push_back("ma=" + row.name + std::string(kMark) + row.value);
  }
}

std::string IconStatesLine(const TextTable& icon_states) {
  std::string line = "ga=";
  for (const auto& row : icon_states.Rows()) line += row[0] + ';';
  return line;
}

void DefaultIconStates(TextTable& icon_states) {
  if (!icon_states.Empty()) return;
  ReadIconStatesLine(icon_states, "ga=" + std::string(kDefaultIconStates));
}

std::vector<ServerRow> BuiltInServers() {
  // Public servers of the PvPGN community on port 6112, and a server on this machine first, so
  // that an untouched profile never reaches out before the user picks a server. Each operator
  // keeps its own accounts, so each row's type names its network and a reconnect never carries
  // the password from one network to another; hosts of one network share a type.
  struct BuiltIn {
    std::string_view host;
    std::string_view network;
  };
  static constexpr std::array<BuiltIn, 14> kServers = {{
      {"127.0.0.1", "Private"},
      {"server.eurobattle.net", "eurobattle.net"},
      {"rubattle.net", "rubattle.net"},
      {"server.war2.ru", "war2.ru"},
      {"backup.war2.ru", "war2.ru"},
      {"server.war2.me", "war2.me"},
      {"backup.war2.me", "war2.me"},
      {"europe.warcraft3.eu", "warcraft3.eu"},
      {"pvpgn.onligamez.ru", "onligamez.ru"},
      {"war3.nightbot.ru", "nightbot.ru"},
      {"server.tsgamerz.com", "tsgamerz.com"},
      {"worldofeditors.net", "worldofeditors.net"},
      {"olds.ar", "olds.ar"},
      {"pvpgn.valpohacks.com", "valpohacks.com"},
  }};
  std::vector<ServerRow> rows;
  for (const BuiltIn& server : kServers) {
    rows.push_back({"???", std::string(server.host), std::string(server.network)});
  }
  return rows;
}

}  // namespace tc
