// Talk, emotes, whispers, information and error lines: cut out the speaker and the text, keep the
// speaker's record, route whispers of the whisper-box partners, feed the bot and react to notices
// about the own account.
#include <algorithm>
#include <string>

#include "app/client.h"
#include "common/house.h"
#include "common/tainted_text.h"
#include "common/text.h"
#include "send/outbox.h"

namespace tc {

namespace {

// Set as the last whisper text once a multi-partner whisper has been shown.
constexpr std::string_view kWhisperShown = "~!@#$%^";

// `head` + untrusted `tail`: names, channels and texts from the server go out literally.
TaintedText Command(std::string_view head, std::string_view tail) {
  TaintedText line(head);
  line.AppendUntrusted(tail);
  return line;
}

// "NAME was kicked out of the channel by OP" (classic) or "NAME has been kicked by OP..." (PvPGN).
bool KickNoticeFor(std::string_view text, std::string_view name) {
  if (name.empty() || !StartsWith(text, name) || !StartsWith(DropFirst(text, name.size()), " ")) {
    return false;
  }
  const std::string_view after = DropFirst(text, name.size() + 1);
  return after.substr(0, 32) == "was kicked out of the channel by" ||
         StartsWith(after, "has been kicked by ");
}

constexpr std::string_view kBannedClassic = " was banned by ";
constexpr std::string_view kBannedServer = " has been banned by ";

bool BanNoticeFor(std::string_view text, std::string_view name) {
  if (name.empty() || !StartsWith(text, name)) return false;
  const std::string_view after = DropFirst(text, name.size());
  return StartsWith(after, kBannedClassic) || StartsWith(after, kBannedServer);
}

bool IsBanNotice(std::string_view text) {
  return text.find(kBannedClassic) != std::string_view::npos ||
         text.find(kBannedServer) != std::string_view::npos;
}

// The whois parser's six rules for information lines: such a line belongs to the check.
bool IsWhoisInformationLine(std::string_view text, std::string_view own_account) {
  if (text == "and is currently in a private channel.") return true;
  if (StartsWith(text, "and are currently in") || StartsWith(text, "and is currently in ")) {
    return true;
  }
  if (text == "(This game is password protected.)") return true;
  if (ContainsNoCase(text, " is away ")) return true;
  if (StartsWith(text, "You are refusing messages")) return true;
  if (StartsWith(text, "You are " + std::string(own_account))) return true;
  return text.find(" is logged on through a ") != std::string_view::npos ||
         text.find(" is logged on from account #") != std::string_view::npos;
}

}  // namespace

LineDecision Client::HandleTalk(const Talk& talk) {
  const std::string_view name = talk.name;
  const std::string_view message = talk.text;
  LineDecision decision =
      LineDecision::Shown("<" + std::string(name) + "> " + std::string(message));
  database_.UpdateUser(name, {{UserField::kLast_Time_Seen, DateTimeText()},
                              {UserField::kLast_Message_Seen, message},
                              {UserField::kLocation, current_channel_},
                              {UserField::kIn_Channel, "Yes"}});
  database_.IncTimesSeen(name);
  if (ContainsNoCase(AccountType(name), "Ignore"))
    SendText(Command("/ignore ", name), LineOrigin::kAutomatic);
  RunKeys(name, message, "Messages;");
  PerformEvent(Event::kUserSpoke, name, message);
  AddToLastTen(name);
  return decision;
}

LineDecision Client::HandleEmote(const Emote& emote) {
  const std::string_view name = emote.name;
  LineDecision decision =
      LineDecision::Shown("<" + std::string(name) + " " + std::string(emote.text) + ">");
  const std::string message = std::string(emote.text) + ">";
  database_.UpdateUser(name, {{UserField::kLast_Time_Seen, DateTimeText()},
                              {UserField::kLast_Message_Seen, message}});
  database_.IncTimesSeen(name);
  // The own emotes come back from the server; they must not set off the bot.
  if (name != own_account_) {
    if (StartsWith(message, "!")) UsersCommand(name, message, RemoteOrigin::kEmote);
    RunKeys(name, message, "Emotes;");
  }
  AddToLastTen(name);
  PerformEvent(Event::kUserEmote, name, message);
  return decision;
}

LineDecision Client::HandleWhisperFrom(const WhisperFrom& whisper) {
  const std::string_view name = whisper.name;
  const std::string_view message = whisper.text;
  bool shown = true;
  if (StartsWith(message, "//")) {
    InterClientMessage(name, message);
    shown = false;
  }
  if (shown) {
    for (const auto& row : whisper_recipients_.Rows()) {
      if (!EqualsNoCase(row[0], name)) continue;
      shown = false;
      ShowInWhisperView("<" + std::string(name) + "> " + std::string(message));
    }
  }
  // Only ordinary whispers shown in the chat window feed the bot.
  if (shown) {
    if (StartsWith(message, "!")) UsersCommand(name, message, RemoteOrigin::kWhisper);
    RunKeys(name, message, "Whispers;");
    PerformEvent(Event::kUserWhispered, name, message);
  }
  return LineDecision::Of(shown,
                          "\u00AB( " + std::string(name) + " )\u00AB " + std::string(message));
}

LineDecision Client::HandleWhisperTo(const WhisperTo& whisper) {
  const std::string_view name = whisper.name;
  const std::string_view message = whisper.text;
  bool shown = !StartsWith(message, "//");
  if (shown) PerformEvent(Event::kYouWhispered, name, message);
  const bool single = whisper_recipients_.RowCount() == 1;
  for (int row = 0; row < whisper_recipients_.RowCount(); ++row) {
    if (!EqualsNoCase(whisper_recipients_.Cell(row, 0), name)) continue;
    shown = false;
    // One text whispered to several partners comes back once per partner; show it once.
    if (single) {
      ShowInWhisperView("<" + own_account_ + "> " + std::string(message));
    } else if (last_whisper_text() == message) {
      last_whisper_text() = std::string(kWhisperShown);
      ShowInWhisperView("<" + own_account_ + "> " + std::string(message));
    }
  }
  return LineDecision::Of(shown,
                          "\u00BB( " + std::string(name) + " )\u00BB " + std::string(message));
}

void Client::ShowInWhisperView(const std::string& line) {
  frontend_.AppendLine(View::kWhisper, StyleLine(line));
}

LineDecision Client::HandleInfo(const InfoNotice& info) {
  const std::string_view text = info.text;
  if (text == "Welcome to Battle.net!") WelcomeSteps();
  RejoinWhenKicked(text);
  JoinWhenBanned(text);
  bool shown = true;
  if (IsBanNotice(text)) roster_.AddBanned(text.substr(0, text.find(' ')));
  // Servers of today word the beep answers differently; both spellings count.
  if (text == "Audible notifications enabled." || text == "Audible notification on.") {
    shown = false;
    connection_.SetBeepConfirmed(true);
  } else if (text == "Audible notifications disabled." || text == "Audible notification off.") {
    SendText("/beep", LineOrigin::kAutomatic);
    connection_.SetBeepConfirmed(false);
    shown = false;
  }
  if (whois_.phase == WhoisPhase::kUpdating) {
    if (IsWhoisInformationLine(text, own_account_)) shown = false;
    WhoisAnswer(text);
  }
  std::string display = "Info ( " + std::string(text) + " )";
  return LineDecision::Of(OwnStateNotice(text, shown), std::move(display));
}

void Client::RejoinWhenKicked(std::string_view text) {
  if (!options_.auto_rejoin_when_kicked || !KickNoticeFor(text, own_account_)) return;
  // Built now, from the channel still current: the leave line that follows may change things.
  if (!current_channel_.empty())
    SendText(Command("/join ", current_channel_), LineOrigin::kAutomatic);
}

void Client::JoinWhenBanned(std::string_view text) {
  if (!BanNoticeFor(text, own_account_)) return;
  switch (options_.on_ban) {
    case OnBanJoin::kStayInTheVoid:
      return;
    case OnBanJoin::kHomeChannel:
      // An empty channel name would only make the server print its help. The owner chose both
      // channels: their templates are the owner's.
      if (!options_.home_channel.empty()) {
        SendText(TaintedText("/join " + options_.home_channel), LineOrigin::kAutomatic);
      }
      return;
    case OnBanJoin::kChannel:
      if (!options_.on_ban_channel.empty()) {
        SendText(TaintedText("/join " + options_.on_ban_channel), LineOrigin::kAutomatic);
      }
      return;
  }
}

bool Client::OwnStateNotice(std::string_view text, bool shown) {
  if (text == "Do Not Disturb mode engaged.") {
    // Away and do-not-disturb are never both on at the server.
    if (client_state_ == ClientState::kAway) SendText("/away", LineOrigin::kAutomatic);
    SetClientState(ClientState::kDoNotDisturb);
    return true;
  }
  if (text == "TalvexChat is your new designated heir.") {
    return IsHouseChannel(current_channel_) ? false : shown;
  }
  if (text == "Do Not Disturb mode cancelled." || text == "Do Not Disturb mode canceled.") {
    if (client_state_ == ClientState::kDoNotDisturb) SetClientState(ClientState::kAvailable);
    return true;
  }
  if (text == "You are now marked as being away.") {
    if (client_state_ == ClientState::kDoNotDisturb) SendText("/dnd", LineOrigin::kAutomatic);
    SetClientState(ClientState::kAway);
    return true;
  }
  if (text == "You are no longer marked as away.") {
    if (client_state_ == ClientState::kAway) SetClientState(ClientState::kAvailable);
    return true;
  }
  return shown;
}

LineDecision Client::HandleError(const ErrorNotice& error) {
  const std::string_view text = error.text;
  bool shown = true;
  if (whois_.phase == WhoisPhase::kUpdating && text == "That user is not logged on.") {
    WhoisNotLoggedOn();
    shown = false;
  }
  outbox_->LineRefused(text);
  return LineDecision::Of(shown, "Error ( " + std::string(text) + " )");
}

// Whois answer parser hooks. The parser (it fills the check's status, found name, account number
// and location) arrives with the whois check; until then an answer changes nothing.
void Client::WhoisAnswer(std::string_view /*text*/) {}

void Client::WhoisNotLoggedOn() {}

}  // namespace tc
