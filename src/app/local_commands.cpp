// The local slash commands: lines that act on the program itself and never reach the server.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "app/client.h"
#include "common/file_names.h"
#include "common/text.h"
#include "persistence/list_lines.h"
#include "send/outbox.h"

namespace tc {

namespace {

enum class Command {
  kDisplay,
  kChatText,
  kWhisperText,
  kConnect,
  kExit,
  kClear,
  kSend,
  kBuffer,
  kBrowser,
  kUsfDelete,
  kUsfExecute,
  kUsfWrite,
  kKeyExecute,
  kExecute,
  kEdit,
  kGroup,
  kDelTimer,
  kNewTimer,
  kTimerOff,
  kTimerOn,
};

struct CommandRow {
  std::string_view word;  // compared, letter case ignored, with the line's first word.size() bytes
  size_t rest_from;       // 1-based position where the rest begins
  bool needs_semicolon;   // the row matches only a line that also holds a ";"
  Command command;
};

// Tested in this order; the first match runs.
constexpr std::array<CommandRow, 20> kCommands = {{
    {"/display ", 10, false, Command::kDisplay},
    {"/chattext", 11, false, Command::kChatText},
    {"/whispertext", 14, false, Command::kWhisperText},
    {"/connect", 0, false, Command::kConnect},
    {"/exit", 0, false, Command::kExit},
    {"/clear", 0, false, Command::kClear},
    {"/send ", 7, false, Command::kSend},
    {"/buffer", 0, false, Command::kBuffer},
    {"/browser ", 10, false, Command::kBrowser},
    {"/usfdelete ", 12, false, Command::kUsfDelete},
    {"/usfexecute ", 13, false, Command::kUsfExecute},
    {"/usfwrite ", 11, true, Command::kUsfWrite},
    {"/keyexecute ", 13, true, Command::kKeyExecute},
    {"/execute ", 10, false, Command::kExecute},
    {"/edit ", 7, true, Command::kEdit},
    {"/group ", 8, true, Command::kGroup},
    {"/deltimer ", 11, false, Command::kDelTimer},
    {"/newtimer ", 11, false, Command::kNewTimer},
    {"/timeroff ", 11, false, Command::kTimerOff},
    {"/timeron ", 10, false, Command::kTimerOn},
}};

// "/group " type ";" account ";" action.
void GroupCommand(Table<AccountRow>& accounts, std::string_view rest) {
  const auto [type_given, remainder] = SplitAtFirst(rest, ';');
  const auto [account, action] = SplitAtFirst(remainder, ';');
  if (type_given.empty() || account.empty() || action.empty()) return;
  std::string type(type_given);
  if (type.back() != ';') type += ';';
  if (action == "Add") {
    bool matched = false;
    for (int row = 0; row < accounts.RowCount(); ++row) {
      if (!EqualsNoCase(accounts.RowAt(row).name, account)) continue;
      matched = true;
      if (!ContainsNoCase(accounts.RowAt(row).type, type)) {
        accounts.Update(row, [&type](AccountRow& r) { r.type += type; });
      }
    }
    if (!matched) InsertSorted(accounts, AccountRow{std::string(account), type, OnOff::kOn});
  } else if (action == "Remove") {
    for (int row = 0; row < accounts.RowCount();) {
      const AccountRow& entry = accounts.RowAt(row);
      const int at = EqualsNoCase(entry.name, account) ? PosNoCase(entry.type, type) : 0;
      if (at == 0) {
        ++row;
        continue;
      }
      std::string kept = entry.type;
      kept.erase(static_cast<size_t>(at - 1), type.size());
      if (kept.empty()) {
        accounts.Remove(row);
      } else {
        accounts.Update(row, [&kept](AccountRow& r) { r.type = std::move(kept); });
        ++row;
      }
    }
  }
}

}  // namespace

bool Client::RunLocalCommand(const TaintedText& line) {
  const std::string& text = line.text();
  const CommandRow* match = nullptr;
  for (const CommandRow& row : kCommands) {
    if (text.size() < row.word.size()) continue;
    // Only words the sender wrote themselves: another user's text is never a command.
    if (!line.Trusted(0, row.word.size())) continue;
    if (!EqualsNoCase(std::string_view(text).substr(0, row.word.size()), row.word)) continue;
    if (row.needs_semicolon && text.find(';') == std::string::npos) continue;
    match = &row;
    break;
  }
  if (match == nullptr) return false;
  const TaintedText rest_marked =
      match->rest_from == 0 ? TaintedText() : line.Substr(match->rest_from - 1);
  const std::string& rest = rest_marked.text();

  switch (match->command) {
    case Command::kDisplay:
      ShowLocal("Display ( " + rest + " )");
      break;
    case Command::kChatText:
      main_input().text += rest;
      break;
    case Command::kWhisperText:
      whisper_input().text += rest;
      break;
    case Command::kConnect:
      ToggleConnection();
      break;
    case Command::kExit:
      frontend_.CloseMainWindow();
      break;
    case Command::kClear:
      ClearChatView();
      break;
    case Command::kSend:
      // The rest keeps its marks: what another user supplied stays text the second time too.
      SendText(rest_marked);
      break;
    case Command::kBuffer:
      outbox_->ClearQueue();
      break;
    case Command::kBrowser:
      // The embedded browser is not built yet: the page is shown and the address remembered.
      browser_url_ = rest;
      frontend_.ShowPage(Page::kBrowser);
      break;
    case Command::kUsfDelete:
      if (!rest.empty()) DeleteUserFile(rest);
      break;
    case Command::kUsfExecute:
      if (!rest.empty()) RunUserFile(rest);
      break;
    case Command::kUsfWrite: {
      const size_t at = rest.find(';');
      const TaintedText name = rest_marked.Substr(0, at);
      const TaintedText content =
          rest_marked.Substr(at == std::string::npos ? rest.size() : at + 1);
      if (name.empty() || content.empty()) break;
      if (content.FullyTrusted()) {
        WriteUserFile(name.text(), content.text());
      } else if (content.text()[0] == '/') {
        // A script runs its lines as the owner's own: another user's command never goes in.
        ShowLocal("Error ( A script line with another user's text cannot begin with \"/\". )");
      } else {
        // Kept as it was sent, never expanded when the script runs.
        WriteUserFile(name.text(), "<nf>" + content.text());
      }
      break;
    }
    case Command::kKeyExecute: {
      const auto [user, message] = SplitAtFirst(rest, ';');
      if (!user.empty() && !message.empty()) RunKeys(user, message, "Messages;");
      break;
    }
    case Command::kExecute:
      ExecuteProgram(rest);
      break;
    case Command::kEdit:
      if (const auto error = variables_.Edit(rest)) {
        ShowLocal("Error ( " + *error + " )");
      }
      // "/edit" finds its rows whatever their letter case: so do the hints it changed.
      macros_.UpdateMacroHintsNoCase(rest.substr(0, rest.find(';')));
      break;
    case Command::kGroup:
      GroupCommand(accounts_, rest);
      break;
    case Command::kDelTimer:
      timers_.DeleteTimer(rest);
      break;
    case Command::kNewTimer:
      timers_.NewTimer(rest);
      break;
    case Command::kTimerOff:
      timers_.Switch(rest, false);
      break;
    case Command::kTimerOn:
      timers_.Switch(rest, true);
      break;
  }
  return true;
}

void Client::ExecuteProgram(std::string_view rest) {
  std::string_view file = rest;
  for (const char separator : {'\\', '/'}) {
    const size_t at = file.rfind(separator);
    if (at != std::string_view::npos) file.remove_prefix(at + 1);
  }
  const std::filesystem::path folder = program_dir_ / "Execute";
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directories(folder, ec);
  const std::filesystem::path path = FileInFolder(folder, file, "");
  const std::string shown = program_dir_.string() + "/Execute/" + std::string(file);
  if (!file.empty() && std::filesystem::is_regular_file(path, ec)) {
    frontend_.OpenFile(path.string(), folder.string());
    ShowLocal("System ( Executed " + shown + " )");
  } else {
    ShowLocal("System ( Unable to execute " + shown + " )");
  }
}

}  // namespace tc
