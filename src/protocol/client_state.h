// The own account's state as this client keeps it, shows it and announces it to other copies.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "common/spellings.h"

namespace tc {

enum class ClientState {
  kNone,  // not yet logged in on this run
  kAvailable,
  kAway,
  kDoNotDisturb,
  kOperator,  // a local state only: the server never hears of it
  kDisconnected,
};

// The spellings on the wire (identification whispers), in the user database, in "<state>" and
// in the state label. kNone is the empty text.
inline constexpr std::array<std::pair<ClientState, std::string_view>, 6> kClientStateTexts = {{
    {ClientState::kNone, ""},
    {ClientState::kAvailable, "Available"},
    {ClientState::kAway, "Away"},
    {ClientState::kDoNotDisturb, "DND"},
    {ClientState::kOperator, "Operator"},
    {ClientState::kDisconnected, "Disconnected"},
}};

constexpr std::string_view ToText(ClientState state) {
  return SpellingOf(kClientStateTexts, state);
}

// Exact spelling only, letter case included; anything else is no state of ours.
constexpr std::optional<ClientState> ClientStateFromText(std::string_view text) {
  return ValueSpelled(kClientStateTexts, text);
}

}  // namespace tc
