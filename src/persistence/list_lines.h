// The list lines of the settings profile file: one plain line (before coding) per list row, and
// back. Each list's rules for reading (duplicates, missing separators, older line forms) live here;
// the settings file decides when they run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text_table.h"

namespace tc {

// Ends a field in "cc=", "ui=" and "ma=" lines (found without regard to case, so 0xF1 too).
inline constexpr char kFieldMark = static_cast<char>(0xD1);

// The comparisons the sorted lists keep their rows in: letters in alphabetical order with lower
// case before upper case for the same letter (the locale order), and the same letter case ignored.
int CompareLocaleText(std::string_view a, std::string_view b);
int CompareNoCaseText(std::string_view a, std::string_view b);

// Inserts a row at its sorted place by the first column, after the rows that compare equal, and
// returns that place.
int InsertSorted(TextTable& table, TextTable::Row row, bool ignore_case = false);

// The tables the list lines fill, by reference.
struct ProfileLists {
  TextTable& custom_channels;  // channel
  TextTable& accounts;         // account, type, state
  TextTable& custom_colors;    // text, color
  TextTable& keys;             // key word, action, applies to, applies on, history, state
  TextTable& timers;           // name, timer, action, state, count
  TextTable& monitor;          // status, search account, account name, account number, location
  TextTable& servers;          // ping, server, type
  TextTable& variables;        // variable, value
  TextTable& icon_states;      // caption; the row number is the image index
};

// True for the keys whose lines belong to a list.
bool IsListKey(std::string_view key);

// Hands one decoded line (key included) to its list's reader. Returns true when the line was a
// "ma=" line whose variable names a macro (the caller refreshes the macro hints).
bool ReadListLine(const ProfileLists& lists, std::string_view line);

// One reader per line form.
void ReadCustomChannelLine(TextTable& channels, std::string_view line);
void ReadAccountLine(TextTable& accounts, std::string_view line);
void ReadOlderAccountLine(TextTable& accounts, std::string_view line);
void ReadCustomColorLine(TextTable& colors, std::string_view line);
void ReadKeyLine(TextTable& keys, std::string_view line);
void ReadOlderKeyLine(TextTable& keys, std::string_view line);
void ReadTimerLine(TextTable& timers, std::string_view line);
void ReadMonitorLine(TextTable& monitor, std::string_view line);
void ReadServerLine(TextTable& servers, std::string_view line);
bool ReadVariableLine(TextTable& variables, std::string_view line);
void ReadIconStatesLine(TextTable& icon_states, std::string_view line);

// The plain lines of each list, in row order, appended to `out`.
void CustomChannelLines(const TextTable& channels, std::vector<std::string>& out);
void AccountLines(const TextTable& accounts, std::vector<std::string>& out);
void CustomColorLines(const TextTable& colors, std::vector<std::string>& out);
void KeyLines(const TextTable& keys, std::vector<std::string>& out);
void TimerLines(const TextTable& timers, std::vector<std::string>& out);
void MonitorLines(const TextTable& monitor, std::vector<std::string>& out);
void ServerLines(const TextTable& servers, std::vector<std::string>& out);
void VariableLines(const TextTable& variables, std::vector<std::string>& out);
std::string IconStatesLine(const TextTable& icon_states);

// Fills an empty icon state list with the five state names and seven "-----" rows.
void DefaultIconStates(TextTable& icon_states);

// The server list the program ships with.
std::vector<TextTable::Row> BuiltInServers();

}  // namespace tc
