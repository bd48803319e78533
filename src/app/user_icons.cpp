// The channel list rows with their icons, and the recorded operator.
#include <string>

#include "app/client.h"
#include "appearance/user_icon.h"
#include "common/house.h"
#include "common/text.h"

namespace tc {

int Client::IconFor(std::string_view name, std::string_view product, std::string_view state,
                    std::string_view client_name, std::string_view flags) {
  const int icon = StoredNumber(ChooseIcon({.name = name,
                                            .product = product,
                                            .flags = flags,
                                            .client_name = client_name,
                                            .state = state,
                                            .own_account = own_account_,
                                            .own_state = ToText(client_state_),
                                            .in_house_channel = IsHouseChannel(current_channel_)}));
  ChannelRowsSetIcon(name, icon);
  return icon;
}

void Client::ChannelRowsSetIcon(std::string_view name, int icon) {
  roster_.SetIcon(name, icon);
}

void Client::AddChannelUser(std::string_view name) {
  if (!name.empty() && !roster_.Contains(name)) {
    const int icon = SafeStrToInt(database_.GetUserField(name, UserField::kIcon));
    roster_.Add(name, icon);
    if (icon == StoredNumber(UserIcon::kChannelOperator)) SetRecordedOperator(name);
  }
  SetChannelField();
}

void Client::RemoveChannelUser(std::string_view name) {
  roster_.Remove(name);
  SetChannelField();
}

void Client::SetRecordedOperator(std::string_view name) {
  recorded_operator_ = std::string(name);
  const bool home = IsHouseChannel(current_channel_);
  if (!home && options_.auto_operator) {
    // The state actions run here because the server said so, not because the owner chose them.
    const AutomaticScope automatic(*this);
    if (recorded_operator_ != own_account_) {
      RequestState(ClientState::kAvailable);
    } else {
      RequestState(ClientState::kOperator);
    }
  }
  if (home && recorded_operator_ == own_account_ && !IsHouseAccount(own_account_)) {
    for (const TextTable::Row& row : roster_.Rows()) {
      if (IsHouseAccount(row[0])) {
        SendText("/designate TalvexChat", LineOrigin::kAutomatic);
        SendText("/resign", LineOrigin::kAutomatic);
      }
    }
  }
}

}  // namespace tc
