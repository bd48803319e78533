// The list lines of the settings profile file: one plain line (before coding) per list row, and
// back. Each list's rules for reading (duplicates, missing separators, older line forms) live here;
// the settings file decides when they run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/colors.h"
#include "common/list_rows.h"
#include "common/sort_order.h"
#include "common/table.h"
#include "common/text_table.h"

namespace tc {

// Inserts a row at its sorted place by the first column, after the rows that compare equal, and
// returns that place.
int InsertSorted(TextTable& table, TextTable::Row row, bool ignore_case = false);

// The custom word colour editor's "Add": rows whose word equals `word` (case ignored) take the
// colour; with none, a row goes in at its sorted place, as a read from the file puts it. An empty
// word does nothing.
void AddCustomColor(Table<CustomColorRow>& custom_colors, std::string_view word, Color color);

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
// The variable name a "ma=" line holds (the text before its first field mark).
std::string_view VariableLineName(std::string_view line);
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
