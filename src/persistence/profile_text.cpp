#include "persistence/profile_text.h"

#include <array>

#include "appearance/appearance.h"
#include "common/text.h"
#include "options/options.h"
#include "persistence/list_lines.h"
#include "persistence/profile_codec.h"
#include "persistence/settings_keys.h"

namespace tc {
namespace {

// Each line of the text, as the profile file's lines are cut.
template <typename Visit>
void ForEachLine(std::string_view bytes, Visit visit) {
  while (!bytes.empty()) visit(TakeProfileLine(bytes));
}

int CountNoCase(std::string_view text, std::string_view part) {
  int count = 0;
  while (const int at = PosNoCase(text, part)) {
    ++count;
    text = DropFirst(text, static_cast<size_t>(at - 1) + part.size());
  }
  return count;
}

// What a list line must hold for its reader to find its fields, as the program writes it.
struct ListLineNeeds {
  std::string_view key;
  std::string_view mark;
  int count;
};

constexpr std::string_view kAction = "<%|action|%>";
constexpr std::string_view kApplies = "<%|applies|%>";
constexpr std::array<ListLineNeeds, 8> kListLineNeeds = {{
    {"cc=", kFieldMark, 2},
    {"ui=", kFieldMark, 6},
    {"ma=", kFieldMark, 1},
    {"uz=", kAction, 1},
    {"uz=", kApplies, 1},
    {"uf=", kAction, 1},
    {"uf=", kApplies, 1},
    {"uh=", "<%|notes|%>", 1},
}};

// Empty when the list line holds what its reader needs.
std::string MissingMarks(std::string_view line) {
  const std::string_view key = line.substr(0, 3);
  for (const ListLineNeeds& needs : kListLineNeeds) {
    if (needs.key != key) continue;
    const int found = CountNoCase(DropFirst(line, 3), needs.mark);
    if (found < needs.count) {
      return "\"" + std::string(key) + "\" needs " + std::to_string(needs.count) + " \"" +
             std::string(needs.mark) + "\", found " + std::to_string(found);
    }
  }
  return {};
}

class NoOptionChanges final : public OptionChanges {
 public:
  void SetAntiIdle(bool) override {}
  void SetAntiIdleMinutes(int) override {}
  void SetAutoAway(bool) override {}
  void SetAutoAwayMinutes(int) override {}
  void SetDatabaseSaveMinutes(int) override {}
  void SetUseDatabase(bool) override {}
  void SetViewJoinParts(ViewJoinParts) override {}
  void SetKeepLog(KeepLog) override {}
  void SetCloseOnDisconnect(CloseOnDisconnect) override {}
  void SetOnBan(OnBanJoin) override {}
};

// The profile reader's verdict on the coded lines, read into throw-away settings.
std::optional<ProfileReadStop> ReaderStop(std::string_view coded) {
  Options options;
  AppearanceSettings appearance;
  NoOptionChanges changes;
  TextTable custom_channels(1);
  Table<AccountRow> accounts;
  Table<CustomColorRow> custom_colors;
  Table<KeyRow> keys;
  Table<TimerRow> timers;
  Table<MonitorRow> monitor;
  Table<ServerRow> servers;
  Table<VariableRow> variables;
  TextTable icon_states(1);
  const ProfileLists lists{custom_channels, accounts, custom_colors, keys,       timers,
                           monitor,         servers,  variables,     icon_states};
  return ReadProfileLines(coded, SettingsTarget{options, appearance, changes}, lists);
}

}  // namespace

std::string ProfileTextFromFile(std::string_view file_bytes) {
  std::string text;
  ForEachLine(file_bytes, [&](std::string_view coded) {
    text += DecodeProfileLine(coded);
    text += '\n';
  });
  return text;
}

ProfileFromText ProfileFileFromText(std::string_view text) {
  ProfileFromText result;
  // An editor's byte order mark is no part of the first key.
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  std::string coded;
  std::vector<int> text_line_of;  // the text's line number of each coded line
  int line_number = 0;
  ForEachLine(text, [&](std::string_view line) {
    ++line_number;
    if (result.error) return;
    const auto refuse = [&](std::string why) {
      result.error = ProfileTextNote{line_number, std::move(why)};
    };
    if (!IsValidUtf8(line)) return refuse("not UTF-8 (the text form is UTF-8 only)");
    if (line.find_first_not_of(" \t") == std::string_view::npos) return;
    if (line.size() < 3) return refuse("too short to hold a key (\"aa=\")");
    const std::string_view key = line.substr(0, 3);
    if (FindSingleKey(key) == nullptr && !IsListKey(key)) {
      result.warnings.push_back(
          {line_number, "unknown key \"" + std::string(key) + "\"; the line is skipped"});
      return;
    }
    if (std::string missing = MissingMarks(line); !missing.empty()) return refuse(missing);
    coded += EncodeProfileLine(line);
    coded += "\r\n";
    text_line_of.push_back(line_number);
  });
  if (result.error) return result;
  if (const auto stop = ReaderStop(coded)) {
    const char* what = stop->applied == Applied::kNotColor ? "colour" : "integer";
    result.error =
        ProfileTextNote{text_line_of.at(static_cast<size_t>(stop->line_number - 1)),
                        "not a valid " + std::string(what) + " for \"" + stop->key + "\""};
    return result;
  }
  result.file_bytes = std::move(coded);
  return result;
}

}  // namespace tc
