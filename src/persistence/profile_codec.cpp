#include "persistence/profile_codec.h"

#include "common/code_text.h"
#include "common/text.h"

namespace tc {

std::string_view TakeProfileLine(std::string_view& bytes) {
  const size_t end = bytes.find('\n');
  std::string_view line = bytes.substr(0, end);
  bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::string DecodeProfileLine(std::string_view coded) {
  return TextFromBytes(CodeText("Decode", coded));
}

std::string EncodeProfileLine(std::string_view line) {
  return CodeText("Encode", FileBytesFromText(line));
}

std::optional<ProfileReadStop> ReadProfileLines(std::string_view bytes,
                                                const SettingsTarget& target,
                                                const ProfileLists& lists,
                                                const VariableLineRead& variable_read) {
  int line_number = 0;
  while (!bytes.empty()) {
    ++line_number;
    const std::string line = DecodeProfileLine(TakeProfileLine(bytes));
    if (line.size() < 3) continue;
    const std::string_view key = std::string_view(line).substr(0, 3);
    if (const SingleKey* entry = FindSingleKey(key)) {
      const Applied applied = entry->set(target, DropFirst(line, 3));
      if (applied != Applied::kDone) return ProfileReadStop{applied, line_number, std::string(key)};
    } else if (IsListKey(key)) {
      const bool macro = ReadListLine(lists, line);
      if (key == "ma=" && variable_read) variable_read(VariableLineName(line), macro);
    }
  }
  return std::nullopt;
}

std::vector<std::string> ProfileLines(const SettingsValues& values, const ProfileLists& lists) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(
      80 + lists.accounts.RowCount() + lists.custom_colors.RowCount() + lists.keys.RowCount() +
      lists.timers.RowCount() + lists.monitor.RowCount() + lists.servers.RowCount() +
      lists.variables.RowCount() + lists.custom_channels.RowCount()));
  for (const SingleKey& entry : SingleKeys()) {
    lines.push_back(std::string(entry.key) + entry.get(values));
    if (entry.key == "aj=") CustomChannelLines(lists.custom_channels, lines);
    if (entry.key == "mo=") {
      AccountLines(lists.accounts, lines);
      CustomColorLines(lists.custom_colors, lines);
      KeyLines(lists.keys, lines);
      TimerLines(lists.timers, lines);
      MonitorLines(lists.monitor, lines);
      ServerLines(lists.servers, lines);
      VariableLines(lists.variables, lines);
    }
  }
  lines.push_back(IconStatesLine(lists.icon_states));
  return lines;
}

std::string EncodeProfile(const SettingsValues& values, const ProfileLists& lists) {
  std::string coded;
  for (const std::string& line : ProfileLines(values, lists)) {
    coded += EncodeProfileLine(line);
    coded += "\r\n";
  }
  return coded;
}

}  // namespace tc
