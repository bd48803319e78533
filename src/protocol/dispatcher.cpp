// DisplayText: every server line and every local message passes through here. Field cuts are
// bounds-checked; a line shorter than its code's layout is ignored.
#include <string>

#include "app/tc_main.h"
#include "common/house.h"
#include "common/text.h"
#include "people/channel_lists.h"

namespace tc {

namespace {

// Name, flags and product of a "1001"/"1002" line, cut from the end of the line.
struct PresentFields {
  std::string_view flags;
  std::string_view product;
};

bool CutPresent(std::string_view line, PresentFields& out) {
  // "1001 USER " + name + " " + flags + " " + product: at least one byte of name.
  if (line.size() < 23) return false;
  out.product = Last(line, 6);
  out.flags = line.substr(line.size() - 11, 4);
  return true;
}

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

void TC_Main::InsertCustom(std::string& line) const {
  if (variables_.Empty()) return;
  TaintedText text(std::move(line));
  InsertCustom(text);
  line = text.text();
}

void TC_Main::DisplayText(std::string_view text, int kind) {
  std::string line(text);
  InsertCustom(line);
  std::string display;

  // The server's echo of a line we sent: the last equal entry of the sent-lines list.
  bool echo = false;
  for (size_t i = sent_lines_.size(); i-- > 0;) {
    if (sent_lines_[i] == line) {
      display = "<" + own_account_ + "> " + line;
      sent_lines_.erase(sent_lines_.begin() + static_cast<long>(i));
      // The send path showed our talk when it wrote it; the server's echo is not shown again.
      kind = kind == 1 ? 2 : 3;
      echo = true;
      break;
    }
  }

  if (!echo) {
    const std::string_view code = std::string_view(line).substr(0, 4);
    if (code == "1001") {
      HandleUser(line);
      kind = 2;
    } else if (code == "1002") {
      HandleJoin(line, kind, display);
    } else if (code == "1003") {
      HandleLeave(line, kind, display);
    } else if (code == "1004") {
      HandleWhisper(line, kind, display, true);
    } else if (code == "1005") {
      HandleTalk(line, kind, display);
    } else if (code == "1007") {
      HandleChannel(line, kind, display);
    } else if (code == "1009") {
      HandleFlags(line, kind);
    } else if (code == "1018") {
      HandleInfo(line, kind, display);
    } else if (code == "1010") {
      HandleWhisper(line, kind, display, false);
    } else if (code == "1019") {
      HandleError(line, kind, display);
    } else if (code == "1023") {
      HandleEmote(line, kind, display);
    } else if (code == "2000" || code == "2010") {
      kind = 2;
    }
  }

  LoginLines(line, kind);

  if (kind == 5) display = line;
  if (kind == 3 || kind == 5) ShowAndLog(display);
}

int TC_Main::JoinPartKind() const {
  switch (options_.view_join_parts) {
    case ViewJoinParts::kAlways:
      return 3;
    case ViewJoinParts::kNever:
      return 2;
    case ViewJoinParts::kIfLessOrEqual:
      return users_.RowCount() > options_.view_join_parts_number ? 2 : 3;
  }
  return 3;
}

void TC_Main::SetChannelField() {
  channel_field_ = current_channel_ + " (" + std::to_string(users_.RowCount()) + ")";
  frontend_.ChannelFieldChanged(channel_field_);
}

void TC_Main::PresentUpdate(std::string_view name, std::string_view flags,
                            std::string_view product) {
  std::string number = database_.GetUserField(name, UserField::kAccount_Number);
  // The lookup answers "0" for an account it has never met; that is no account number.
  if (number == "0" && database_.FindUser(name) == 0) number.clear();
  if (number.empty()) number = "N/A";
  if (number == "N/A" && product == "[CHAT]") number = "Gateway";
  const int icon = GetImage(name, product, database_.GetUserField(name, UserField::kStatus),
                            database_.GetUserField(name, UserField::kInterBot_Name), flags);
  const std::string now = DateTimeText();
  database_.UpdateUser(name, {{UserField::kAccount_Number, number},
                              {UserField::kProduct, product},
                              {UserField::kFlag, flags},
                              {UserField::kIcon, std::to_string(icon)},
                              {UserField::kStatus, "Available"},
                              {UserField::kLast_Time_Seen, now},
                              {UserField::kTime_In_Channel, "0"},
                              {UserField::kLocation, current_channel_},
                              {UserField::kIn_Channel, "Yes"},
                              {UserField::kTold_InterBot, "No"}});
  database_.IncTimesSeen(name);
  UsersChange("Add", name);
}

void TC_Main::IdentificationWhisper(std::string_view name, std::string_view flags) {
  if (flags.size() < 2 || flags[1] != '1' || name == own_account_) return;
  if (!identified_users_.insert(LowerCase1252(name)).second) return;
  TaintedText line("/w ");
  line.AppendUntrusted(name);
  line.Append(TaintedText(" " + IdentificationMessage()));
  SendText(line, LineOrigin::kAutomatic);
}

void TC_Main::HandleUser(std::string_view line) {
  PresentFields f;
  if (!CutPresent(line, f)) return;
  const std::string name(DropLast(DropFirst(line, 10), 12));
  PresentUpdate(name, f.flags, f.product);
  IdentificationWhisper(name, f.flags);
}

void TC_Main::HandleJoin(std::string_view line, int& kind, std::string& display) {
  PresentFields f;
  if (!CutPresent(line, f)) return;
  const std::string_view rest = DropFirst(line, 10);
  const std::string name(rest.substr(0, rest.find(' ')));
  if (name.empty()) return;
  PresentUpdate(name, f.flags, f.product);
  if (f.product != "[CHAT]" && options_.account_tracking) account_tracking_.Add(name);
  PerformEvent("#User_Joined", name, current_channel_);
  kind = JoinPartKind();
  if (ContainsNoCase(User_Info(name, "Type"), "Ban")) {
    TaintedText ban("/ban ");
    ban.AppendUntrusted(name);
    SendText(ban, LineOrigin::kAutomatic);
  }
  IdentificationWhisper(name, f.flags);
  Add_LastTen(name);
  if (options_.channel_hit_counter) ChannelHit(current_channel_, "Add");
  if (IsHouseChannel(current_channel_) && IsHouseAccount(name) && !IsHouseAccount(own_account_) &&
      recorded_operator_ == own_account_) {
    SendText("/designate TalvexChat", LineOrigin::kAutomatic);
    SendText("/resign", LineOrigin::kAutomatic);
  }
  display = "Joins ( " + name + " ) (" + TimeText() + ")";
}

void TC_Main::HandleLeave(std::string_view line, int& kind, std::string& display) {
  if (line.size() < 17) return;
  std::string name(DropLast(DropFirst(line, 11), 5));
  if (!name.empty() && name.back() == ' ') name.pop_back();
  if (name.empty()) return;
  database_.UpdateUser(name, {{UserField::kLast_Time_Seen, DateTimeText()},
                              {UserField::kLocation, "Unavailable"},
                              {UserField::kIn_Channel, "No"},
                              {UserField::kTold_InterBot, "No"}});
  database_.IncTimesSeen(name);
  UsersChange("Remove", name);
  PerformEvent("#User_Parts", name, current_channel_);
  kind = JoinPartKind();
  Add_LastTen(name);
  display = "Parts ( " + name + " ) (" + TimeText() + ")";
  if (name == recorded_operator_) {
    CO_Change("");
    if (users_.RowCount() == 1 && !OwnIsOperator() && options_.auto_ops &&
        !PublicListContainsCurrent()) {
      const std::string channel = current_channel_;
      SendText("/join The Void", LineOrigin::kAutomatic);
      SendText(JoinLine(channel), LineOrigin::kAutomatic);
    }
  }
}

void TC_Main::HandleChannel(std::string_view line, int& kind, std::string& display) {
  if (line.size() < 16) return;
  database_.ChannelEntered();
  const std::string channel(DropLast(DropFirst(line, 14), 1));
  if (!current_channel_.empty()) options_.last_channel = current_channel_;
  current_channel_ = channel;
  if (!EqualsNoCase(channel, rejoin_tried_channel_) && LowerCase1252(channel) != "the void") {
    rejoin_tried_channel_.clear();
  }
  database_.SetPublicChannel(IsPublicChannel(channel));
  SetChannelField();
  database_.UpdateUser(own_account_, {{UserField::kProduct, "[CHAT]"},
                                      {UserField::kInterBot_Name, kClientName},
                                      {UserField::kStatus, client_state_},
                                      {UserField::kLast_Time_Seen, DateTimeText()},
                                      {UserField::kTime_In_Channel, "0"},
                                      {UserField::kLocation, channel},
                                      {UserField::kIn_Channel, "Yes"},
                                      {UserField::kTold_InterBot, "Yes"}});
  display = "Joining Channel ( " + channel + " ) (" + TimeText() + ")";
  kind = 3;
  users_.Clear();
  seconds_in_channel_ = 0;
  PerformEvent("#Joined_Channel", own_account_, channel);
  CO_Change("");
  banned_users_.clear();
  // Servers of today send no "Welcome to Battle.net!": the first channel after the naming line
  // stands in for it.
  if (naming_seen_) WelcomeSteps();
}

void TC_Main::HandleFlags(std::string_view line, int& kind) {
  if (!StartsWith(line, "1009 USER ")) return;
  if (line.size() < 16) return;
  const std::string flags(Last(line, 4));
  const std::string name(DropLast(DropFirst(line, 10), 5));
  const int icon = GetImage(name, database_.GetUserField(name, UserField::kProduct),
                            database_.GetUserField(name, UserField::kStatus),
                            database_.GetUserField(name, UserField::kInterBot_Name), flags);
  database_.UpdateUser(name, {{UserField::kFlag, flags}, {UserField::kIcon, std::to_string(icon)}});
  if (OperatorFlags(flags)) {
    CO_Change(name);
  } else if (name == recorded_operator_) {
    // A user listed with stale operator flags has lost them; the own gavel, if held, counts.
    CO_Change(OwnIsOperatorByFlags() ? own_account_ : "");
  }
  kind = 2;
}

bool TC_Main::PublicListContainsCurrent() const {
  for (std::string_view entry : PublicChannels()) {
    if (PosNoCase(entry, current_channel_) != 0) return true;
  }
  return false;
}

void TC_Main::TryRejoinForOperator() {
  if (users_.RowCount() != 1 || OwnIsOperator() || !options_.auto_ops || current_channel_.empty() ||
      PublicListContainsCurrent() || EqualsNoCase(current_channel_, rejoin_tried_channel_)) {
    return;
  }
  rejoin_tried_channel_ = current_channel_;
  const std::string channel = current_channel_;
  SendText("/join The Void", LineOrigin::kAutomatic);
  SendText(JoinLine(channel), LineOrigin::kAutomatic);
}

bool TC_Main::OwnIsOperator() const {
  return (!own_account_.empty() && recorded_operator_ == own_account_) || OwnIsOperatorByFlags();
}

bool TC_Main::OwnIsOperatorByFlags() const {
  return !own_account_.empty() &&
         OperatorFlags(database_.GetUserField(own_account_, UserField::kFlag));
}

}  // namespace tc
