#include "app/client.h"
#include "common/house.h"
#include "common/text.h"
#include "people/public_channels.h"

namespace tc {

bool Client::IsPublicChannel(std::string_view channel) const {
  if (!options_.dont_save_public) return false;
  if (IsHouseChannel(channel)) return false;
  const std::string lower = LowerCase1252(channel);
  for (std::string_view entry : PublicChannels()) {
    if (EqualsNoCase(entry, lower)) return true;
  }
  for (std::string_view word : PublicChannelWords()) {
    if (ContainsNoCase(lower, word)) return true;
  }
  return false;
}

std::string Client::AccountType(std::string_view name) const {
  const int row = accounts_.FindLast([&](const AccountRow& r) { return r.name == name; });
  if (row < 0 || !accounts_.RowAt(row).tracking.on()) return "None";
  return accounts_.RowAt(row).type;
}

std::string Client::ListedAccountType(std::string_view name) const {
  const int row = accounts_.FindLast([&](const AccountRow& r) { return r.name == name; });
  if (row < 0) return "None";
  return accounts_.RowAt(row).type;
}

}  // namespace tc
