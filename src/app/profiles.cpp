// The client's settings profile: read into the options and lists and written back from them
// through the profile codec, and the profile commands of the options page (Open, New, Delete,
// the profile name field).
#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/client.h"
#include "common/code_text.h"
#include "common/text.h"
#include "persistence/list_lines.h"
#include "persistence/profile_codec.h"
#include "persistence/profile_names.h"
#include "persistence/settings_file.h"

namespace tc {

namespace {

constexpr std::string_view kUserFilesFilter = "User Files (*.usr)|*.usr";

std::string ReadWholeFile(const std::filesystem::path& path, bool& opened) {
  // A folder opens as a stream too, but reads as nothing: it is no file.
  std::error_code ec;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
  opened = in.is_open();
  if (!opened) return {};
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string ConversionMessage(Applied applied, const std::filesystem::path& file, int line_number,
                              std::string_view key) {
  const char* what = applied == Applied::kNotColor ? "colour" : "integer";
  return "Error ( Not a valid " + std::string(what) + " in " + TextFromBytes(file.string()) +
         ", line " + std::to_string(line_number) + ", key \"" + std::string(key) + "\" )";
}

// The client's answers to the options whose change acts on others.
class ClientOptionChanges final : public OptionChanges {
 public:
  explicit ClientOptionChanges(Client& client) : client_(client) {}
  void SetAntiIdle(bool on) override { client_.SetAntiIdle(on); }
  void SetAntiIdleMinutes(int minutes) override { client_.SetAntiIdleMinutes(minutes); }
  void SetAutoAway(bool on) override { client_.SetAutoAway(on); }
  void SetAutoAwayMinutes(int minutes) override { client_.SetAutoAwayMinutes(minutes); }
  void SetDatabaseSaveMinutes(int minutes) override { client_.SetDatabaseSaveMinutes(minutes); }
  void SetUseDatabase(bool on) override { client_.SetUseDatabase(on); }
  void SetViewJoinParts(ViewJoinParts choice) override { client_.SetViewJoinParts(choice); }
  void SetKeepLog(KeepLog choice) override { client_.SetKeepLog(choice); }
  void SetCloseOnDisconnect(CloseOnDisconnect choice) override {
    client_.SetCloseOnDisconnect(choice);
  }
  void SetOnBan(OnBanJoin choice) override { client_.SetOnBan(choice); }

 private:
  Client& client_;
};

}  // namespace

bool Client::ProfileFilesUsable() {
  if (profile_name_.empty()) profile_name_ = "Default";
  std::error_code ec;
  std::filesystem::create_directories(ProfileFolder(program_dir_, profile_name_), ec);
  // Any of the three files missing and impossible to create: nothing is read or written.
  for (const auto& path : {program_dir_ / "talvexchat.dat", NotesFile(program_dir_, profile_name_),
                           ProfileFile(program_dir_, profile_name_)}) {
    if (!CheckFile(path)) return false;
  }
  return true;
}

void Client::LoadProfile() {
  if (ProfileFilesUsable()) ReadProfile();
}

void Client::SaveProfile() {
  if (ProfileFilesUsable()) WriteProfile();
}

ProfileLists Client::Lists() {
  return {custom_channels_, accounts_,          custom_colors_,
          keys_.table(),    timers_.table(),    monitor_,
          servers_,         variables_.table(), appearance_.tray_icons().table()};
}

void Client::ReadProfile() {
  RestoreHeldValues();
  const std::filesystem::path profile = ProfileFile(program_dir_, profile_name_);
  bool opened = false;
  const std::string bytes = ReadWholeFile(profile, opened);
  if (opened) {
    custom_channels_.Clear();
    monitor_.Clear();
    keys_.table().Clear();
    timers_.table().Clear();
    accounts_.Clear();
    custom_colors_.Clear();
    variables_.table().Clear();
    ClientOptionChanges changes(*this);
    const SettingsTarget target{options_, appearance_.settings(), changes};
    bool variable_lines = false;
    const auto variable_read = [&](std::string_view name, bool macro) {
      variable_lines = true;
      if (macro) macros_.UpdateMacroHints(name);
    };
    if (const auto stop = ReadProfileLines(bytes, target, Lists(), variable_read)) {
      ShowLocal(ConversionMessage(stop->applied, profile, stop->line_number, stop->key));
    }
    // A profile that never stored variables keeps the program's own.
    if (!variable_lines) variables_.RestoreDefaults();
    // The macros the profile did not name lost their rows with the clearing.
    macros_.UpdateAll();
  }
  bool notes_opened = false;
  const std::filesystem::path notes = NotesFile(program_dir_, profile_name_);
  notes_ = NotesFromFile(ReadWholeFile(notes, notes_opened));
  if (!notes_opened) CheckFile(notes);
  DefaultIconStates(appearance_.tray_icons().table());
  ApplyRunOverrides();
}

void Client::WriteProfile() {
  const std::filesystem::path settings = program_dir_ / "talvexchat.dat";
  const std::filesystem::path notes = NotesFile(program_dir_, profile_name_);
  const std::filesystem::path profile = ProfileFile(program_dir_, profile_name_);
  const Options kept = ProfileOptions();
  std::string coded = EncodeProfile({kept, appearance_.settings()}, Lists());
  struct Output {
    const std::filesystem::path& path;
    std::string bytes;
  };
  // In this order, each file whole or not at all; the first failure ends the write.
  const std::array<Output, 3> outputs = {
      {{settings, CodeText("Encode", FileBytesFromText(profile_name_)) + "\r\n"},
       {notes, NotesToFile(notes_)},
       {profile, std::move(coded)}}};
  for (const Output& output : outputs) {
    if (!ReplaceFileAtomically(output.path, output.bytes)) {
      ShowLocal("Error ( Unable to write file: " + TextFromBytes(output.path.string()) + " )");
      return;
    }
  }
}

// The command line's values stand in for the profile's during this run only: the profile keeps
// its own, and a profile switch does not undo them.
void Client::ApplyRunOverrides() {
  held_ = {options_.server, options_.port, options_.account_name, options_.password};
  if (overrides_.server) {
    options_.server = *overrides_.server;
    connection_.Pin();
  }
  if (overrides_.port) {
    connection_.SetPort(*overrides_.port);
    options_.port = std::to_string(*overrides_.port);
  }
  if (overrides_.account) options_.account_name = *overrides_.account;
  if (overrides_.password) options_.password = *overrides_.password;
}

void Client::RestoreHeldValues() {
  if (overrides_.server) options_.server = held_[0];
  if (overrides_.port) options_.port = held_[1];
  if (overrides_.account) options_.account_name = held_[2];
  if (overrides_.password) options_.password = held_[3];
}

// The options as the profile keeps them: its own values where the command line stands in.
Options Client::ProfileOptions() const {
  Options kept = options_;
  if (overrides_.server) kept.server = held_[0];
  if (overrides_.port) kept.port = held_[1];
  if (overrides_.account) kept.account_name = held_[2];
  if (overrides_.password) kept.password = held_[3];
  return kept;
}

// --- Controls whose change acts on others; an unchanged value triggers nothing.

void Client::SetAntiIdle(bool on) {
  if (options_.anti_idle == on) return;
  options_.anti_idle = on;
  if (on) {
    anti_idle_timer_.Enable(clock_.NowMs());
  } else {
    anti_idle_timer_.Disable();
  }
}

void Client::SetAntiIdleMinutes(int minutes) {
  minutes = std::clamp(minutes, 1, 30);
  if (options_.anti_idle_minutes == minutes) return;
  options_.anti_idle_minutes = minutes;
  anti_idle_timer_.SetInterval(int64_t{minutes} * 60000, clock_.NowMs());
}

void Client::SetAutoAway(bool on) {
  // The delay field follows the check box; the window reads its enabled state from the option.
  if (options_.auto_away == on) return;
  options_.auto_away = on;
  // A whole delay from now, not what was left of an old countdown.
  if (on) auto_away_.Start(options_.auto_away_minutes);
}

void Client::SetAutoAwayMinutes(int minutes) {
  minutes = std::clamp(minutes, 1, 30);
  if (options_.auto_away_minutes == minutes) return;
  options_.auto_away_minutes = minutes;
  auto_away_.Start(minutes);
}

void Client::SetUseDatabase(bool on) {
  if (options_.use_database == on) return;
  options_.use_database = on;
  if (on) {
    database_.LoadUserDatabase(program_dir_, true);
  } else {
    database_.SaveUserDatabase();
  }
}

void Client::SetViewJoinParts(ViewJoinParts choice) {
  // The number field is enabled for the third item only; the window reads that from the option.
  options_.view_join_parts = choice;
}

void Client::SetKeepLog(KeepLog choice) {
  options_.keep_log = choice;
}

void Client::SetCloseOnDisconnect(CloseOnDisconnect choice) {
  options_.close_on_disconnect = choice;
}

void Client::SetOnBan(OnBanJoin choice) {
  // The channel field is enabled for the third item only; the window reads that from the option.
  options_.on_ban = choice;
}

void Client::OpenProfile() {
  OpenOrNew("Open User File");
}

void Client::NewProfile() {
  OpenOrNew("Create New User File");
}

void Client::OpenOrNew(std::string_view title) {
  SaveProfile();
  const std::string chosen = frontend_.AskFileName(
      std::string(title), std::string(kUserFilesFilter), UsersFolder(program_dir_));
  if (chosen.empty()) return;
  // Whatever folder was chosen, the profile is read from the Users folder.
  SwitchProfile(ProfileNameFromFileName(chosen));
}

void Client::DeleteProfile() {
  if (!frontend_.AskOkCancel("Are you sure you want to remove this user?", "Remove User")) return;
  // The folder and its notes stay; unsaved changes of the removed profile are not written.
  std::error_code ec;
  std::filesystem::remove(ProfileFile(program_dir_, profile_name_), ec);
  SwitchProfile("Default");
}

void Client::SwitchProfile(std::string name) {
  profile_name_ = name.empty() ? "Default" : std::move(name);
  LoadProfile();
}

void Client::SelectProfileAtStartUp(std::string name) {
  start_profile_ = std::move(name);
}

}  // namespace tc
