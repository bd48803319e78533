// The one whois check of the program: where it stands, what it found, and the typed lines held
// back while it runs.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/spellings.h"

namespace tc {

enum class WhoisPhase {
  kReady,     // no check running
  kUpdating,  // the server's answers belong to the check
  kComplete,
};

enum class WhoisStatus { kUnknown, kOnline, kOffline };

inline constexpr std::array<std::pair<WhoisPhase, std::string_view>, 3> kWhoisPhaseTexts = {{
    {WhoisPhase::kReady, "Ready"},
    {WhoisPhase::kUpdating, "Updating"},
    {WhoisPhase::kComplete, "Complete"},
}};

inline constexpr std::array<std::pair<WhoisStatus, std::string_view>, 3> kWhoisStatusTexts = {{
    {WhoisStatus::kUnknown, ""},
    {WhoisStatus::kOnline, "Online"},
    {WhoisStatus::kOffline, "Offline"},
}};

constexpr std::string_view ToText(WhoisPhase phase) {
  return SpellingOf(kWhoisPhaseTexts, phase);
}

constexpr std::string_view ToText(WhoisStatus status) {
  return SpellingOf(kWhoisStatusTexts, status);
}

constexpr std::optional<WhoisPhase> WhoisPhaseFromText(std::string_view text) {
  return ValueSpelled(kWhoisPhaseTexts, text);
}

constexpr std::optional<WhoisStatus> WhoisStatusFromText(std::string_view text) {
  return ValueSpelled(kWhoisStatusTexts, text);
}

struct WhoisCheck {
  WhoisPhase phase = WhoisPhase::kReady;
  WhoisStatus status = WhoisStatus::kUnknown;
  std::string account;
  std::string found_name;
  std::string account_number;
  std::string location;
  int countdown = 10;
  std::array<std::string, 2> pending;
};

}  // namespace tc
