// DisplayText: every server line and every local message passes through here. The parser cuts the
// fields (server_line.h); a line shorter than its code's layout reaches no handler.
#include <string>

#include "app/client.h"
#include "common/house.h"
#include "common/text.h"
#include "people/public_channels.h"
#include "send/outbox.h"

namespace tc {

namespace {

// A temporary operator ("0002", "0012", ...) or the account's own channel operator ("0008").
bool OperatorFlags(std::string_view flags) {
  return (flags.size() == 4 && flags[3] == '2') || flags == "0008";
}

// "/join " and a channel the server named: the name goes out byte for byte.
TaintedText JoinLine(std::string_view channel) {
  TaintedText line("/join ");
  line.AppendUntrusted(channel);
  return line;
}

}  // namespace

void Client::ExpandVariables(std::string& line) const {
  if (variables_.table().Empty()) return;
  TaintedText text(std::move(line));
  ExpandVariables(text);
  line = text.text();
}

void Client::DisplayText(std::string_view text, LineSource source) {
  std::string line(text);
  ExpandVariables(line);
  LineDecision decision =
      source == LineSource::kServer ? LineDecision::Hidden() : LineDecision{LineShow::kAsIs, {}};

  // The server's echo of a line we sent: the last equal entry of the sent-lines list.
  const bool echo = outbox_->TakeEcho(line);
  if (echo) {
    // The send path showed our talk when it wrote it; the server's echo is not shown again.
    decision = LineDecision::Of(source != LineSource::kServer, "<" + own_account_ + "> " + line);
  }

  // The views of `event` point into `line`, which stays unchanged until the end.
  const std::optional<ServerEvent> event = ParseServerLine(line);
  if (event) {
    if (!echo) {
      if (std::optional<LineDecision> handled = Dispatch(*event)) {
        decision = std::move(*handled);
      }
    }
    if (LoginLines(*event)) decision = LineDecision::Hidden();
  }

  switch (decision.show) {
    case LineShow::kHidden:
      return;
    case LineShow::kDisplayText:
      ShowAndLog(decision.text);
      return;
    case LineShow::kAsIs:
      ShowAndLog(line);
      return;
  }
}

std::optional<LineDecision> Client::Dispatch(const ServerEvent& event) {
  if (const auto* e = std::get_if<UserPresent>(&event)) return HandleUser(*e);
  if (const auto* e = std::get_if<UserJoined>(&event)) return HandleJoin(*e);
  if (const auto* e = std::get_if<UserLeft>(&event)) return HandleLeave(*e);
  if (const auto* e = std::get_if<WhisperFrom>(&event)) return HandleWhisperFrom(*e);
  if (const auto* e = std::get_if<Talk>(&event)) return HandleTalk(*e);
  if (const auto* e = std::get_if<ChannelEntered>(&event)) return HandleChannel(*e);
  if (const auto* e = std::get_if<FlagsChanged>(&event)) return HandleFlags(*e);
  if (const auto* e = std::get_if<InfoNotice>(&event)) return HandleInfo(*e);
  if (const auto* e = std::get_if<WhisperTo>(&event)) return HandleWhisperTo(*e);
  if (const auto* e = std::get_if<ErrorNotice>(&event)) return HandleError(*e);
  if (const auto* e = std::get_if<Emote>(&event)) return HandleEmote(*e);
  // A user-present line is never shown, even one too short to read.
  if (const auto* e = std::get_if<UnreadableLine>(&event)) {
    if (e->code == LineCode::kUserPresent) return LineDecision::Hidden();
    return std::nullopt;
  }
  if (std::holds_alternative<KeepAlive>(event) || std::holds_alternative<LoggedIn>(event)) {
    return LineDecision::Hidden();
  }
  return std::nullopt;
}

bool Client::ShowJoinsAndParts() const {
  switch (options_.view_join_parts) {
    case ViewJoinParts::kAlways:
      return true;
    case ViewJoinParts::kNever:
      return false;
    case ViewJoinParts::kIfLessOrEqual:
      return roster_.Count() <= options_.view_join_parts_number;
  }
  return true;
}

void Client::SetChannelField() {
  channel_field_ = current_channel_ + " (" + std::to_string(roster_.Count()) + ")";
  frontend_.ChannelFieldChanged(channel_field_);
}

void Client::PresentUpdate(std::string_view name, std::string_view flags,
                           std::string_view product) {
  std::string number = database_.GetUserField(name, UserField::kAccount_Number);
  // The lookup answers "0" for an account it has never met; that is no account number.
  if (number == "0" && database_.FindUser(name) == 0) number.clear();
  if (number.empty()) number = "N/A";
  if (number == "N/A" && product == "[CHAT]") number = "Gateway";
  const int icon = IconFor(name, product, database_.GetUserField(name, UserField::kStatus),
                           database_.GetUserField(name, UserField::kInterBot_Name), flags);
  const std::string now = DateTimeText();
  database_.UpdateUser(name, {{UserField::kAccount_Number, number},
                              {UserField::kProduct, product},
                              {UserField::kFlag, flags},
                              {UserField::kIcon, std::to_string(icon)},
                              {UserField::kStatus, std::string(ToText(ClientState::kAvailable))},
                              {UserField::kLast_Time_Seen, now},
                              {UserField::kTime_In_Channel, "0"},
                              {UserField::kLocation, current_channel_},
                              {UserField::kIn_Channel, "Yes"},
                              {UserField::kTold_InterBot, "No"}});
  database_.IncTimesSeen(name);
  AddChannelUser(name);
}

void Client::IdentificationWhisper(std::string_view name, std::string_view flags) {
  if (flags.size() < 2 || flags[1] != '1' || name == own_account_) return;
  if (!identified_users_.insert(LowerCase1252(name)).second) return;
  TaintedText line("/w ");
  line.AppendUntrusted(name);
  line.Append(TaintedText(" " + IdentificationMessage()));
  SendText(line, LineOrigin::kAutomatic);
}

LineDecision Client::HandleUser(const UserPresent& user) {
  PresentUpdate(user.name, user.flags, user.product);
  IdentificationWhisper(user.name, user.flags);
  return LineDecision::Hidden();
}

LineDecision Client::HandleJoin(const UserJoined& join) {
  const std::string_view name = join.name;
  PresentUpdate(name, join.flags, join.product);
  if (join.product != "[CHAT]" && options_.account_tracking) account_tracking_.Add(name);
  PerformEvent(Event::kUserJoined, name, current_channel_);
  const bool shown = ShowJoinsAndParts();
  if (ContainsNoCase(AccountType(name), "Ban")) {
    TaintedText ban("/ban ");
    ban.AppendUntrusted(name);
    SendText(ban, LineOrigin::kAutomatic);
  }
  IdentificationWhisper(name, join.flags);
  AddToLastTen(name);
  if (options_.channel_hit_counter) AddChannelHit(current_channel_);
  if (IsHouseChannel(current_channel_) && IsHouseAccount(name) && !IsHouseAccount(own_account_) &&
      recorded_operator_ == own_account_) {
    SendText("/designate TalvexChat", LineOrigin::kAutomatic);
    SendText("/resign", LineOrigin::kAutomatic);
  }
  return LineDecision::Of(shown, "Joins ( " + std::string(name) + " ) (" + TimeText() + ")");
}

LineDecision Client::HandleLeave(const UserLeft& leave) {
  const std::string_view name = leave.name;
  database_.UpdateUser(name, {{UserField::kLast_Time_Seen, DateTimeText()},
                              {UserField::kLocation, "Unavailable"},
                              {UserField::kIn_Channel, "No"},
                              {UserField::kTold_InterBot, "No"}});
  database_.IncTimesSeen(name);
  RemoveChannelUser(name);
  PerformEvent(Event::kUserParts, name, current_channel_);
  const bool shown = ShowJoinsAndParts();
  AddToLastTen(name);
  LineDecision decision =
      LineDecision::Of(shown, "Parts ( " + std::string(name) + " ) (" + TimeText() + ")");
  if (name == recorded_operator_) {
    SetRecordedOperator("");
    if (roster_.Count() == 1 && !OwnIsOperator() && options_.auto_ops &&
        !PublicListContainsCurrent()) {
      const std::string channel = current_channel_;
      SendText("/join The Void", LineOrigin::kAutomatic);
      SendText(JoinLine(channel), LineOrigin::kAutomatic);
    }
  }
  return decision;
}

LineDecision Client::HandleChannel(const ChannelEntered& entered) {
  database_.ChannelEntered();
  const std::string channel(entered.channel);
  if (!current_channel_.empty()) options_.last_channel = current_channel_;
  current_channel_ = channel;
  if (!EqualsNoCase(channel, rejoin_tried_channel_) && LowerCase1252(channel) != "the void") {
    rejoin_tried_channel_.clear();
  }
  database_.SetPublicChannel(IsPublicChannel(channel));
  SetChannelField();
  database_.UpdateUser(own_account_, {{UserField::kProduct, "[CHAT]"},
                                      {UserField::kInterBot_Name, kClientName},
                                      {UserField::kStatus, std::string(ToText(client_state_))},
                                      {UserField::kLast_Time_Seen, DateTimeText()},
                                      {UserField::kTime_In_Channel, "0"},
                                      {UserField::kLocation, channel},
                                      {UserField::kIn_Channel, "Yes"},
                                      {UserField::kTold_InterBot, "Yes"}});
  LineDecision decision =
      LineDecision::Shown("Joining Channel ( " + channel + " ) (" + TimeText() + ")");
  roster_.Clear();
  seconds_in_channel_ = 0;
  PerformEvent(Event::kJoinedChannel, own_account_, channel);
  SetRecordedOperator("");
  roster_.ClearBanned();
  // Servers of today send no "Welcome to Battle.net!": the first channel after the naming line
  // stands in for it.
  if (connection_.naming_seen()) WelcomeSteps();
  return decision;
}

LineDecision Client::HandleFlags(const FlagsChanged& change) {
  const std::string_view flags = change.flags;
  const std::string_view name = change.name;
  const int icon = IconFor(name, database_.GetUserField(name, UserField::kProduct),
                           database_.GetUserField(name, UserField::kStatus),
                           database_.GetUserField(name, UserField::kInterBot_Name), flags);
  database_.UpdateUser(name, {{UserField::kFlag, flags}, {UserField::kIcon, std::to_string(icon)}});
  if (OperatorFlags(flags)) {
    SetRecordedOperator(name);
  } else if (name == recorded_operator_) {
    // A user listed with stale operator flags has lost them; the own gavel, if held, counts.
    SetRecordedOperator(OwnIsOperatorByFlags() ? own_account_ : "");
  }
  return LineDecision::Hidden();
}

bool Client::PublicListContainsCurrent() const {
  for (std::string_view entry : PublicChannels()) {
    if (PosNoCase(entry, current_channel_) != 0) return true;
  }
  return false;
}

void Client::TryRejoinForOperator() {
  if (roster_.Count() != 1 || OwnIsOperator() || !options_.auto_ops || current_channel_.empty() ||
      PublicListContainsCurrent() || EqualsNoCase(current_channel_, rejoin_tried_channel_)) {
    return;
  }
  rejoin_tried_channel_ = current_channel_;
  const std::string channel = current_channel_;
  SendText("/join The Void", LineOrigin::kAutomatic);
  SendText(JoinLine(channel), LineOrigin::kAutomatic);
}

bool Client::OwnIsOperator() const {
  return (!own_account_.empty() && recorded_operator_ == own_account_) || OwnIsOperatorByFlags();
}

bool Client::OwnIsOperatorByFlags() const {
  return !own_account_.empty() &&
         OperatorFlags(database_.GetUserField(own_account_, UserField::kFlag));
}

}  // namespace tc
