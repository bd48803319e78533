// The client state of the own account and the owner's requests to change it.
#include "protocol/client_state.h"

#include <string>

#include "app/client.h"
#include "common/tainted_text.h"

namespace tc {

namespace {

constexpr std::string_view kDefaultAway = "I am currently away from Talvex Chat 2000.";
constexpr std::string_view kDefaultDnd = "I am currently unavailable.";

}  // namespace

void Client::SetClientState(ClientState state) {
  client_state_ = state;
  if (client_state_ != ClientState::kDisconnected) {
    // Known copies of the program hear of every change.
    for (const TextTable::Row& row : roster_.Rows()) {
      const std::string& name = row[0];
      if (name == own_account_) continue;
      if (database_.GetUserField(name, UserField::kInterBot_Name).empty()) continue;
      TaintedText line("/w ");
      line.AppendUntrusted(name);
      line.Append(TaintedText(" " + IdentificationMessage()));
      SendText(line, LineOrigin::kAutomatic);
    }
  }
  const ClientState shown =
      client_state_ == ClientState::kNone ? ClientState::kDisconnected : client_state_;
  frontend_.ShowClientState(std::string(ToText(shown)));
  if (logged_in()) {
    const std::string state_text(ToText(client_state_));
    const int icon = IconFor(own_account_, "[CHAT]", state_text, kClientName,
                             database_.GetUserField(own_account_, UserField::kFlag));
    database_.UpdateUser(own_account_, {{UserField::kProduct, "[CHAT]"},
                                        {UserField::kInterBot_Name, kClientName},
                                        {UserField::kIcon, std::to_string(icon)},
                                        {UserField::kStatus, state_text},
                                        {UserField::kLocation, current_channel_},
                                        {UserField::kIn_Channel, "Yes"},
                                        {UserField::kTold_InterBot, "Yes"}});
  }
}

// The server's confirmations (information lines) move Away and DND; a request only asks.
// Operator is a local state only; nothing tells the server.
void Client::RequestState(ClientState wanted) {
  if (!logged_in()) {
    SetClientState(ClientState::kDisconnected);
    return;
  }
  // Read afresh each time: a line sent may already have changed the state.
  const auto away = [this] { return client_state_ == ClientState::kAway; };
  const auto dnd = [this] { return client_state_ == ClientState::kDoNotDisturb; };
  switch (wanted) {
    case ClientState::kAvailable:
      if (away()) SendText("/away");
      if (dnd()) SendText("/dnd");
      if (client_state_ == ClientState::kOperator) SetClientState(ClientState::kAvailable);
      return;
    case ClientState::kAway: {
      if (dnd()) SendText("/dnd");
      if (away()) return;
      // The owner's own away and do-not-disturb texts.
      const std::string text = VariableValue("$away$");
      SendText(TaintedText("/away " + (text.empty() ? std::string(kDefaultAway) : text)));
      return;
    }
    case ClientState::kDoNotDisturb: {
      if (away()) SendText("/away");
      if (dnd()) return;
      const std::string text = VariableValue("$dnd$");
      SendText(TaintedText("/dnd " + (text.empty() ? std::string(kDefaultDnd) : text)));
      return;
    }
    case ClientState::kOperator:
      if (dnd()) SendText("/dnd");
      if (away()) SendText("/away");
      if (client_state_ != ClientState::kOperator) SetClientState(ClientState::kOperator);
      return;
    case ClientState::kNone:
    case ClientState::kDisconnected:
      return;  // not the owner's to ask for
  }
}

}  // namespace tc
