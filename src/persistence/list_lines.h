// The list lines of the settings profile file: one plain line (before coding) per list row, and
// back. Each list's rules for reading (duplicates, missing separators, older line forms) live here;
// the settings file decides when they run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/colors.h"
#include "common/list_rows.h"
#include "common/table.h"
#include "common/text_table.h"

namespace tc {

// Ends a field in "cc=", "ui=" and "ma=" lines (found without regard to case, so its lower case
// too). The letter N with tilde: the byte 0xD1 in a line the file holds in Windows-1252, its two
// UTF-8 bytes in a line that needs UTF-8; either way the line reads back as this text.
inline constexpr std::string_view kFieldMark = "\u00D1";

// The comparisons the sorted lists keep their rows in: letters in alphabetical order with lower
// case before upper case for the same letter (the locale order), and the same letter case ignored.
int CompareLocaleText(std::string_view a, std::string_view b);
int CompareNoCaseText(std::string_view a, std::string_view b);

// Inserts a row at its sorted place by the first column, after the rows that compare equal, and
// returns that place.
int InsertSorted(TextTable& table, TextTable::Row row, bool ignore_case = false);

// The custom word colour editor's "Add": rows whose word equals `word` (case ignored) take the
// colour; with none, a row goes in at its sorted place, as a read from the file puts it. An empty
// word does nothing.
void AddCustomColor(Table<CustomColorRow>& custom_colors, std::string_view word, Color color);

// Inserts a row at its sorted place by its SortText in the locale order, after the rows that
// compare equal, and returns that place. The file reader, the window and the commands that add
// rows all place rows through this, so a list has one order whoever fills it.
template <typename Row>
int InsertSorted(Table<Row>& table, Row row) {
  const std::string_view key = SortText(row);
  int low = 0;
  int high = table.RowCount();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (CompareLocaleText(SortText(table.RowAt(mid)), key) <= 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  table.Insert(low, std::move(row));
  return low;
}

// The tables the list lines fill, by reference.
struct ProfileLists {
  TextTable& custom_channels;  // channel
  Table<AccountRow>& accounts;
  Table<CustomColorRow>& custom_colors;
  Table<KeyRow>& keys;
  Table<TimerRow>& timers;
  Table<MonitorRow>& monitor;
  Table<ServerRow>& servers;
  Table<VariableRow>& variables;
  TextTable& icon_states;  // caption; the row number is the image index
};

// True for the keys whose lines belong to a list.
bool IsListKey(std::string_view key);

// Hands one decoded line (key included) to its list's reader. Returns true when the line was a
// "ma=" line whose variable names a macro (the caller refreshes the macro hints).
bool ReadListLine(const ProfileLists& lists, std::string_view line);

// One reader per line form.
void ReadCustomChannelLine(TextTable& channels, std::string_view line);
void ReadAccountLine(Table<AccountRow>& accounts, std::string_view line);
void ReadOlderAccountLine(Table<AccountRow>& accounts, std::string_view line);
void ReadCustomColorLine(Table<CustomColorRow>& colors, std::string_view line);
void ReadKeyLine(Table<KeyRow>& keys, std::string_view line);
void ReadOlderKeyLine(Table<KeyRow>& keys, std::string_view line);
void ReadTimerLine(Table<TimerRow>& timers, std::string_view line);
void ReadMonitorLine(Table<MonitorRow>& monitor, std::string_view line);
void ReadServerLine(Table<ServerRow>& servers, std::string_view line);
bool ReadVariableLine(Table<VariableRow>& variables, std::string_view line);
void ReadIconStatesLine(TextTable& icon_states, std::string_view line);

// The plain lines of each list, in row order, appended to `out`.
void CustomChannelLines(const TextTable& channels, std::vector<std::string>& out);
void AccountLines(const Table<AccountRow>& accounts, std::vector<std::string>& out);
void CustomColorLines(const Table<CustomColorRow>& colors, std::vector<std::string>& out);
void KeyLines(const Table<KeyRow>& keys, std::vector<std::string>& out);
void TimerLines(const Table<TimerRow>& timers, std::vector<std::string>& out);
void MonitorLines(const Table<MonitorRow>& monitor, std::vector<std::string>& out);
void ServerLines(const Table<ServerRow>& servers, std::vector<std::string>& out);
void VariableLines(const Table<VariableRow>& variables, std::vector<std::string>& out);
std::string IconStatesLine(const TextTable& icon_states);

// Fills an empty icon state list with the five state names and seven "-----" rows.
void DefaultIconStates(TextTable& icon_states);

// The server list the program ships with.
std::vector<ServerRow> BuiltInServers();

}  // namespace tc
