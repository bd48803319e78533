// The client state of the own account and the state menu actions.
#include <string>

#include "app/tc_main.h"

namespace tc {

void TC_Main::StateChange(std::string_view state) {
  if (!state.empty()) client_state_ = std::string(state);
  if (client_state_ != "Disconnected") {
    for (int row = 0; row < users_.RowCount(); ++row) {
      const std::string& name = users_.Cell(row, 0);
      if (name == own_account_) continue;
      if (database_.GetUserField(name, UserField::kInterBot_Name).empty()) continue;
      SendText("/w " + name + " //id;1;" + std::string(kClientName) +
               ";Build:" + std::string(kBuild) + ";State:" + client_state_ + ";");
    }
  }
  frontend_.ShowClientState(client_state_.empty() ? "Disconnected" : client_state_);
  if (logged_in_) {
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

void TC_Main::Available2Click() {
  if (!logged_in_) {
    StateChange("Disconnected");
    return;
  }
  if (client_state_ == "Away") SendText("/away");
  if (client_state_ == "DND") SendText("/dnd");
  if (client_state_ == "Operator") StateChange("Available");
}

void TC_Main::Operator2Click() {
  if (!logged_in_) {
    StateChange("Disconnected");
    return;
  }
  if (client_state_ == "DND") SendText("/dnd");
  if (client_state_ == "Away") SendText("/away");
  if (client_state_ != "Operator") StateChange("Operator");
}

}  // namespace tc
