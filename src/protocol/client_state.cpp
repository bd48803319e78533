// The client state of the own account and the state menu actions.
#include <string>

#include "app/tc_main.h"
#include "common/tainted_text.h"

namespace tc {

namespace {

constexpr std::string_view kDefaultAway = "I am currently away from Talvex Chat 2000.";
constexpr std::string_view kDefaultDnd = "I am currently unavailable.";

}  // namespace

void TC_Main::StateChange(std::string_view state) {
  if (!state.empty()) client_state_ = std::string(state);
  if (client_state_ != "Disconnected") {
    // Known copies of the program hear of every change.
    for (int row = 0; row < users_.RowCount(); ++row) {
      const std::string& name = users_.Cell(row, 0);
      if (name == own_account_) continue;
      if (database_.GetUserField(name, UserField::kInterBot_Name).empty()) continue;
      TaintedText line("/w ");
      line.AppendUntrusted(name);
      line.Append(TaintedText(" " + IdentificationMessage()));
      SendText(line, LineOrigin::kAutomatic);
    }
  }
  frontend_.ShowClientState(client_state_.empty() ? "Disconnected" : client_state_);
  if (logged_in()) {
    const int icon = GetImage(own_account_, "[CHAT]", client_state_, kClientName,
                              database_.GetUserField(own_account_, UserField::kFlag));
    database_.UpdateUser(own_account_, {{UserField::kProduct, "[CHAT]"},
                                        {UserField::kInterBot_Name, kClientName},
                                        {UserField::kIcon, std::to_string(icon)},
                                        {UserField::kStatus, client_state_},
                                        {UserField::kLocation, current_channel_},
                                        {UserField::kIn_Channel, "Yes"},
                                        {UserField::kTold_InterBot, "Yes"}});
  }
}

// The server's confirmations (information lines) move Away and DND; the actions only ask.
void TC_Main::Available2Click() {
  if (!logged_in()) {
    StateChange("Disconnected");
    return;
  }
  if (client_state_ == "Away") SendText("/away");
  if (client_state_ == "DND") SendText("/dnd");
  if (client_state_ == "Operator") StateChange("Available");
}

void TC_Main::Away2Click() {
  if (!logged_in()) {
    StateChange("Disconnected");
    return;
  }
  if (client_state_ == "DND") SendText("/dnd");
  if (client_state_ == "Away") return;
  // The owner's own away and do-not-disturb texts.
  const std::string text = VariableValue("$away$");
  SendText(TaintedText("/away " + (text.empty() ? std::string(kDefaultAway) : text)));
}

void TC_Main::DND2Click() {
  if (!logged_in()) {
    StateChange("Disconnected");
    return;
  }
  if (client_state_ == "Away") SendText("/away");
  if (client_state_ == "DND") return;
  const std::string text = VariableValue("$dnd$");
  SendText(TaintedText("/dnd " + (text.empty() ? std::string(kDefaultDnd) : text)));
}

// Operator is a local state only; nothing tells the server.
void TC_Main::Operator2Click() {
  if (!logged_in()) {
    StateChange("Disconnected");
    return;
  }
  if (client_state_ == "DND") SendText("/dnd");
  if (client_state_ == "Away") SendText("/away");
  if (client_state_ != "Operator") StateChange("Operator");
}

}  // namespace tc
