// Which icon each user in the channel gets, the channel list rows, and the recorded operator.
#include <array>
#include <string>

#include "app/tc_main.h"
#include "common/text.h"

namespace tc {

namespace {

struct ProductIcon {
  std::string_view product;
  int icon;
};
constexpr std::array<ProductIcon, 8> kProducts = {{{"[STAR]", 0},
                                                   {"[DRTL]", 1},
                                                   {"[CHAT]", 3},
                                                   {"[SEXP]", 4},
                                                   {"[SSHR]", 5},
                                                   {"[DSHR]", 6},
                                                   {"[W2BN]", 9},
                                                   {"[JSTR]", 10}}};

// Other chat clients that announce themselves with an identification whisper.
struct ClientIcon {
  std::string_view name;  // lower case
  int icon;
};
constexpr std::array<ClientIcon, 5> kOtherClients = {
    {{"pebble chat", 18}, {"ironbot", 19}, {"moonlight", 20}, {"sparrow", 21}, {"foxglove", 22}}};
constexpr std::string_view kEarlierRelease = "talvex chat 1999";

int StateIcon(std::string_view state) {
  if (state == "Away") return 26;
  if (state == "DND") return 24;
  if (state == "Operator") return 25;
  return 8;
}

}  // namespace

int TC_Main::GetImage(std::string_view name, std::string_view product, std::string_view state,
                      std::string_view client_name, std::string_view flags) {
  int icon = 3;
  for (const ProductIcon& p : kProducts) {
    if (p.product == product) icon = p.icon;
  }
  const bool home = LowerCase1252(current_channel_) == "talvex chat";
  if (flags == "0001") {
    icon = 13;
  } else if (flags == "0004") {
    icon = 14;
  } else if (flags == "0008" || flags == "0012" || flags == "0002") {
    // "0008" is the account's own channel operator on servers of today: a gavel like the rest.
    if (!home) icon = 2;
  } else if (flags == "0010" || flags == "0110") {
    icon = 3;
  } else if (flags == "0020" || flags == "0030" || flags == "0032" || flags == "0130" ||
             flags == "0132") {
    icon = 7;
  } else if (flags == "0200") {
    icon = 11;
  } else if (flags == "0400") {
    icon = 12;
  } else if (flags == "0800") {
    icon = 16;
  } else if (flags == "1000") {
    icon = 17;
  } else if (flags == "0112") {
    if (!home) icon = 2;
  }
  if (icon == 3 && !client_name.empty()) {
    const std::string client = LowerCase1252(client_name);
    for (const ClientIcon& c : kOtherClients) {
      if (c.name == client) icon = c.icon;
    }
    if (client == "talvex chat" || client == kEarlierRelease) icon = StateIcon(state);
  }
  if (name == own_account_ && icon != 2 && !client_state_.empty() &&
      client_state_ != "Disconnected") {
    icon = StateIcon(client_state_);
  }
  if (name == "TalvexChat") icon = 23;
  ChannelRowsSetIcon(name, icon);
  return icon;
}

void TC_Main::ChannelRowsSetIcon(std::string_view name, int icon) {
  const std::string text = std::to_string(icon);
  for (const int row : user_rows_.FindAll(name)) users_.SetCell(row, 1, text);
}

void TC_Main::UsersChange(std::string_view action, std::string_view name) {
  if (action == "Add") {
    if (!name.empty() && user_rows_.FindFirst(name) < 0) {
      const int icon = SafeStrToInt(database_.GetUserField(name, UserField::kIcon));
      users_.Append({std::string(name), std::to_string(icon)});
      if (icon == 2) CO_Change(name);
    }
  } else if (action == "Remove") {
    users_.Remove(user_rows_.FindLast(name));
  }
  SetChannelField();
}

void TC_Main::CO_Change(std::string_view name) {
  recorded_operator_ = std::string(name);
  const bool home = LowerCase1252(current_channel_) == "talvex chat";
  if (!home && options_.auto_operator) {
    // The state actions run here because the server said so, not because the owner chose them.
    const AutomaticScope automatic(*this);
    if (recorded_operator_ != own_account_) {
      Available2Click();
    } else {
      Operator2Click();
    }
  }
  if (home && recorded_operator_ == own_account_ && own_account_ != "TalvexChat") {
    for (int row = 0; row < users_.RowCount(); ++row) {
      if (users_.Cell(row, 0) == "TalvexChat") {
        SendText("/designate TalvexChat", LineOrigin::kAutomatic);
        SendText("/resign", LineOrigin::kAutomatic);
      }
    }
  }
}

}  // namespace tc
