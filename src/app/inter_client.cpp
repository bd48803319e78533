// Inter-client messages carried in whispers: copies of the program announce themselves, ask each
// other for their information text and answer with it.
#include <string>

#include "app/client.h"
#include "common/tainted_text.h"
#include "common/text.h"

namespace tc {

namespace {

constexpr std::string_view kGetInfo = "//TC;GetInfo;";
constexpr std::string_view kInfo = "//TC;Info;";
constexpr std::string_view kIdentification = "//id;1;";

// The state field of an identification message; Available when it has none. Another copy's state
// stays text: it is stored and compared as sent, whatever it says.
std::string IdentifiedState(std::string_view message) {
  const size_t at = message.find("State:");
  if (at == std::string_view::npos) return std::string(ToText(ClientState::kAvailable));
  const std::string_view rest = message.substr(at + 6);
  return std::string(rest.substr(0, rest.find(';')));
}

}  // namespace

std::string Client::IdentificationMessage() const {
  return std::string(kIdentification) + std::string(kClientName) + ";Build:" + std::string(kBuild) +
         ";State:" + std::string(ToText(client_state_)) + ";";
}

void Client::InterClientMessage(std::string_view sender, std::string_view message) {
  if (StartsWith(message, kGetInfo)) {
    TaintedText answer("/w ");
    answer.AppendUntrusted(sender);
    answer.Append(" " + std::string(kInfo));
    // The own information goes out as it is stored, never expanded.
    answer.AppendUntrusted(database_.GetUserField(own_account_, UserField::kInformation));
    SendText(answer, LineOrigin::kAutomatic);
    return;
  }
  if (StartsWith(message, kInfo)) {
    database_.UpdateUser(sender, {{UserField::kInformation, DropFirst(message, kInfo.size())}});
    if (!information_target_.empty() && EqualsNoCase(information_target_, sender)) {
      const std::string target = std::move(information_target_);
      information_target_.clear();
      frontend_.ShowProfile(target, own_account_);
    }
    return;
  }
  if (StartsWith(message, kIdentification)) {
    const std::string_view rest = DropFirst(message, kIdentification.size());
    const size_t end = rest.find(';');
    // Without a ";" after the tag the client name is empty.
    const std::string client(end == std::string_view::npos ? std::string_view()
                                                           : rest.substr(0, end));
    const std::string state = IdentifiedState(message);
    const int icon = IconFor(sender, database_.GetUserField(sender, UserField::kProduct), state,
                             database_.GetUserField(sender, UserField::kInterBot_Name),
                             database_.GetUserField(sender, UserField::kFlag));
    database_.UpdateUser(sender, {{UserField::kInterBot_Name, client},
                                  {UserField::kIcon, std::to_string(icon)},
                                  {UserField::kStatus, state},
                                  {UserField::kTold_InterBot, "Yes"}});
  }
  // Any other "//" text is neither shown nor acted upon.
}

}  // namespace tc
