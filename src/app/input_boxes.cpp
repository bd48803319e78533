// The input boxes, the Send, whisper and emote buttons and the user-list popup commands: each
// builds a line and hands it to SendText. The window and the console call these alike.
#include <algorithm>
#include <string>
#include <utility>

#include "app/client.h"
#include "common/text.h"
#include "send/user_popup.h"

namespace tc {

namespace {

constexpr std::string_view kSelectFirst = "System ( You must first select a user. )";

// A line naming a user picked from the channel list: the server supplied that name, so it is
// never expanded.
TaintedText NamingUser(std::string_view head, std::string_view user, std::string_view tail) {
  TaintedText line(head);
  line.AppendUntrusted(user);
  line.Append(TaintedText(tail));
  return line;
}

}  // namespace

void Client::WhoisCheckRequest(std::string_view name) {
  account_tracking_.Add(name);
  whois_requests_.Append({std::string(name)});
}

void Client::SendActiveInput() {
  // Only this button counts as the owner being there: not macros, the other buttons or the bot.
  auto_away_.Start(options_.auto_away_minutes);
  InputBox& box = active_input_ == 2 ? whisper_input() : main_input();
  const std::string text = box.text;
  if (active_input_ == 1 && (BeginsNoCase(text, "/whois") || BeginsNoCase(text, "/whoami")) &&
      whois_.phase != WhoisPhase::kReady) {
    // The check would take the server's answer for its own; the line waits for it to finish.
    std::string& slot = whois_.pending[0].empty() ? whois_.pending[0] : whois_.pending[1];
    slot = text;
    return;
  }
  if (active_input_ == 1) {
    if (BeginsNoCase(text, "/whois ")) {
      WhoisCheckRequest(std::string_view(text).substr(7));
    } else {
      SendText(TaintedText(text));
    }
  } else {
    const std::vector<TextTable::Row> recipients = whisper_recipients_.Rows();
    for (const TextTable::Row& row : recipients) SendText(NamingUser("/w ", row[0], " " + text));
    last_whisper_text_ = text;
  }
  box.Remember(text);
  box.text.clear();
}

void Client::WhisperActiveInputTo(std::string_view selected_user) {
  if (selected_user.empty()) {
    ShowLocal(kSelectFirst);
    return;
  }
  InputBox& box = active_input_ == 2 ? whisper_input() : main_input();
  const std::string text = std::exchange(box.text, {});
  SendText(NamingUser("/w ", selected_user, " " + text));
}

void Client::WhisperBoxTo(std::string_view selected_user) {
  if (selected_user.empty()) {
    ShowLocal(kSelectFirst);
    return;
  }
  const std::string text = std::exchange(whisper_input().text, {});
  SendText(NamingUser("/w ", selected_user, " " + text));
}

void Client::EmoteActiveInput() {
  InputBox& box = active_input_ == 2 ? whisper_input() : main_input();
  const std::string text = std::exchange(box.text, {});
  SendText(TaintedText("/me " + text));
}

void Client::InsertUserName(std::string_view selected_user) {
  if (selected_user.empty()) return;
  InputBox& box = active_input_ == 2 ? whisper_input() : main_input();
  box.text += selected_user;
}

void Client::UsersPopupCommand(std::string_view caption, std::string_view selected_user) {
  const auto row =
      std::find_if(kUserPopupEntries.begin(), kUserPopupEntries.end(),
                   [caption](const UserPopupEntry& entry) { return entry.caption == caption; });
  if (row == kUserPopupEntries.end()) return;
  if (row->sends == PopupSends::kAlone) {
    SendText(TaintedText(row->caption));
    return;
  }
  if (selected_user.empty()) {
    ShowLocal(kSelectFirst);
    return;
  }
  if (row->sends == PopupSends::kWhoisCheck) {
    WhoisCheckRequest(selected_user);
  } else {
    SendText(NamingUser(std::string(row->caption) + " ", selected_user, ""));
  }
}

bool Client::AddWhisperRecipient(std::string_view name, RecipientSource source) {
  std::string stored(name);
  if (source == RecipientSource::kChannelUser) {
    // Dragged text or a console line is only a hint: the channel list says who the user is.
    stored = roster_.ListedName(name);
  }
  if (stored.empty() || EqualsNoCase(stored, own_account_)) return false;
  for (int row = 0; row < whisper_recipients_.RowCount(); ++row) {
    if (EqualsNoCase(whisper_recipients_.Cell(row, 0), stored)) return false;
  }
  whisper_recipients_.Append({stored});
  return true;
}

}  // namespace tc
