// RW: the settings profile read into the options and lists, and written back from them.
#include "persistence/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <span>
#include <sstream>
#include <system_error>
#include <type_traits>
#include <vector>

#include "app/tc_main.h"
#include "common/code_text.h"
#include "common/file_names.h"
#include "common/font_style.h"
#include "common/text.h"
#include "common/write_all.h"
#include "persistence/list_lines.h"
#include "persistence/settings_keys.h"

namespace tc {

std::filesystem::path UsersFolder(const std::filesystem::path& program_dir) {
  return program_dir / "Users";
}

std::filesystem::path ProfileFolder(const std::filesystem::path& program_dir,
                                    std::string_view profile) {
  return UsersFolder(program_dir) / SafeFileComponent(profile);
}

std::filesystem::path ProfileFile(const std::filesystem::path& program_dir,
                                  std::string_view profile) {
  return FileInFolder(UsersFolder(program_dir), profile, ".usr");
}

std::filesystem::path NotesFile(const std::filesystem::path& program_dir,
                                std::string_view profile) {
  return ProfileFolder(program_dir, profile) / "notes.txt";
}

namespace {

// True when the file already holds exactly these bytes: rewriting it would change nothing.
bool Holds(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) ||
      std::filesystem::file_size(path, ec) != bytes.size() || ec) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::string held(bytes.size(), '\0');
  return in.read(held.data(), static_cast<std::streamsize>(held.size())) && held == bytes;
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  if (Holds(target, bytes)) return true;
  std::string temp =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // The new file keeps the old one's permissions; a first one is the owner's only, as it may hold
  // a password.
  struct stat old_file {};
  if (::stat(target.c_str(), &old_file) == 0) ::fchmod(fd, old_file.st_mode & 07777);
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::optional<int> IntFromText(std::string_view text) {
  const auto integer = ParseIntegerText(text);
  if (!integer) return std::nullopt;
  const bool hex = integer->hex;
  const bool negative = integer->negative;
  const unsigned long long value = integer->magnitude;
  // Hexadecimal text is a 32-bit pattern; decimal text must fit the signed range.
  long long signed_value =
      hex ? static_cast<int32_t>(static_cast<uint32_t>(value)) : static_cast<long long>(value);
  if (negative) signed_value = -signed_value;
  if (signed_value < INT_MIN || signed_value > INT_MAX) return std::nullopt;
  return static_cast<int>(signed_value);
}

std::string NotesFromFile(std::string_view bytes) {
  // Lines end at CR LF, LF or CR; the pane shows them joined by CR LF.
  std::string text;
  std::string_view rest = bytes;
  bool first = true;
  while (!rest.empty()) {
    const size_t end = rest.find_first_of("\r\n");
    if (!first) text += "\r\n";
    first = false;
    text += rest.substr(0, end);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + (rest.substr(end, 2) == "\r\n" ? 2 : 1));
  }
  return text;
}

std::string NotesToFile(std::string_view text) {
  const std::string lines = NotesFromFile(text);
  return lines.empty() ? std::string() : lines + "\r\n";
}

namespace {

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
  return "Error ( Not a valid " + std::string(what) + " in " + Utf8ToCp1252(file.string()) +
         ", line " + std::to_string(line_number) + ", key \"" + std::string(key) + "\" )";
}

}  // namespace

void TC_Main::RW(std::string_view mode) {
  if (profile_name_.empty()) profile_name_ = "Default";
  std::error_code ec;
  std::filesystem::create_directories(ProfileFolder(program_dir_, profile_name_), ec);
  // Any of the three files missing and impossible to create: nothing is read or written.
  for (const auto& path : {program_dir_ / "talvexchat.dat", NotesFile(program_dir_, profile_name_),
                           ProfileFile(program_dir_, profile_name_)}) {
    if (!CheckFile(path)) return;
  }
  if (mode == "Read") ReadProfile();
  if (mode == "Write") WriteProfile();
}

ProfileLists TC_Main::Lists() {
  return {custom_channels_,
          accounts_,
          custom_colors_,
          keys_,
          timers_,
          monitor_,
          servers_,
          variables_,
          appearance_.tray_icons().table()};
}

void TC_Main::ReadProfile() {
  RestoreHeldValues();
  const std::filesystem::path profile = ProfileFile(program_dir_, profile_name_);
  bool opened = false;
  const std::string bytes = ReadWholeFile(profile, opened);
  if (opened) {
    custom_channels_.Clear();
    monitor_.Clear();
    keys_.Clear();
    timers_.Clear();
    accounts_.Clear();
    custom_colors_.Clear();
    variables_.Clear();
    ReadProfileLines(profile, bytes);
  }
  bool notes_opened = false;
  const std::filesystem::path notes = NotesFile(program_dir_, profile_name_);
  notes_ = NotesFromFile(ReadWholeFile(notes, notes_opened));
  if (!notes_opened) CheckFile(notes);
  DefaultIconStates(appearance_.tray_icons().table());
  ApplyRunOverrides();
}

void TC_Main::ReadProfileLines(const std::filesystem::path& file, std::string_view bytes) {
  const ProfileLists lists = Lists();
  int line_number = 0;
  while (!bytes.empty()) {
    ++line_number;
    const size_t end = bytes.find('\n');
    std::string_view coded = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (!coded.empty() && coded.back() == '\r') coded.remove_suffix(1);
    const std::string line = CodeText("Decode", coded);
    if (line.size() < 3) continue;
    const std::string_view key = std::string_view(line).substr(0, 3);
    if (const SingleKey* entry = FindSingleKey(key)) {
      const Applied applied = entry->set(*this, DropFirst(line, 3));
      if (applied != Applied::kDone) {
        DisplayText(ConversionMessage(applied, file, line_number, key), 5);
        return;
      }
    } else if (IsListKey(key)) {
      ReadListLine(lists, line);
    }
  }
}

std::vector<std::string> TC_Main::ProfileLines() {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(80 + accounts_.RowCount() + custom_colors_.RowCount() +
                                    keys_.RowCount() + timers_.RowCount() + monitor_.RowCount() +
                                    servers_.RowCount() + variables_.RowCount() +
                                    custom_channels_.RowCount()));
  for (const SingleKey& entry : SingleKeys()) {
    lines.push_back(std::string(entry.key) + HeldValue(entry.key, entry.get(*this)));
    if (entry.key == "aj=") CustomChannelLines(custom_channels_, lines);
    if (entry.key == "mo=") {
      AccountLines(accounts_, lines);
      CustomColorLines(custom_colors_, lines);
      KeyLines(keys_, lines);
      TimerLines(timers_, lines);
      MonitorLines(monitor_, lines);
      ServerLines(servers_, lines);
      VariableLines(variables_, lines);
    }
  }
  lines.push_back(IconStatesLine(appearance_.tray_icons().table()));
  return lines;
}

void TC_Main::WriteProfile() {
  const std::filesystem::path settings = program_dir_ / "talvexchat.dat";
  const std::filesystem::path notes = NotesFile(program_dir_, profile_name_);
  const std::filesystem::path profile = ProfileFile(program_dir_, profile_name_);
  std::string coded;
  for (const std::string& line : ProfileLines()) {
    coded += CodeText("Encode", line);
    coded += "\r\n";
  }
  struct Output {
    const std::filesystem::path& path;
    std::string bytes;
  };
  // In this order, each file whole or not at all; the first failure ends the write.
  const std::array<Output, 3> outputs = {{{settings, CodeText("Encode", profile_name_) + "\r\n"},
                                          {notes, NotesToFile(notes_)},
                                          {profile, std::move(coded)}}};
  for (const Output& output : outputs) {
    if (!ReplaceFileAtomically(output.path, output.bytes)) {
      DisplayText("Error ( Unable to write file: " + Utf8ToCp1252(output.path.string()) + " )", 5);
      return;
    }
  }
}

// The command line's values stand in for the profile's during this run only: the profile keeps
// its own, and a profile switch does not undo them.
void TC_Main::ApplyRunOverrides() {
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

void TC_Main::RestoreHeldValues() {
  if (overrides_.server) options_.server = held_[0];
  if (overrides_.port) options_.port = held_[1];
  if (overrides_.account) options_.account_name = held_[2];
  if (overrides_.password) options_.password = held_[3];
}

std::string TC_Main::HeldValue(std::string_view key, std::string value) const {
  if (key == "af=" && overrides_.server) return held_[0];
  if (key == "ag=" && overrides_.port) return held_[1];
  if (key == "ab=" && overrides_.account) return held_[2];
  if (key == "ac=" && overrides_.password) return options_.save_password ? held_[3] : "";
  return value;
}

// --- Controls whose change acts on others; an unchanged value triggers nothing.

void TC_Main::SetAntiIdle(bool on) {
  if (options_.anti_idle == on) return;
  options_.anti_idle = on;
  if (on) {
    anti_idle_timer_.Enable(clock_.NowMs());
  } else {
    anti_idle_timer_.Disable();
  }
}

void TC_Main::SetAntiIdleMinutes(int minutes) {
  minutes = std::clamp(minutes, 1, 30);
  if (options_.anti_idle_minutes == minutes) return;
  options_.anti_idle_minutes = minutes;
  anti_idle_timer_.SetInterval(int64_t{minutes} * 60000, clock_.NowMs());
}

void TC_Main::SetAutoAway(bool on) {
  // The delay field follows the check box; the window reads its enabled state from the option.
  options_.auto_away = on;
}

void TC_Main::SetAutoAwayMinutes(int minutes) {
  minutes = std::clamp(minutes, 1, 30);
  if (options_.auto_away_minutes == minutes) return;
  options_.auto_away_minutes = minutes;
  auto_away_countdown_ = minutes * 60;
}

void TC_Main::SetUseDatabase(bool on) {
  if (options_.use_database == on) return;
  options_.use_database = on;
  if (on) {
    database_.LoadUserDatabase(program_dir_, true);
  } else {
    database_.SaveUserDatabase();
  }
}

void TC_Main::SetViewJoinParts(ViewJoinParts choice) {
  // The number field is enabled for the third item only; the window reads that from the option.
  options_.view_join_parts = choice;
}

void TC_Main::SetKeepLog(KeepLog choice) {
  options_.keep_log = choice;
}

void TC_Main::SetCloseOnDisconnect(CloseOnDisconnect choice) {
  options_.close_on_disconnect = choice;
}

void TC_Main::SetOnBan(OnBanJoin choice) {
  // The channel field is enabled for the third item only; the window reads that from the option.
  options_.on_ban = choice;
}

}  // namespace tc
