// The whois check's phase and status keep their spellings both ways.
#include "people/whois_check.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

namespace tc::test {
namespace {

TEST(WhoisCheckText, PhasesAndStatusesKeepTheirSpellingsBothWays) {
  const std::vector<std::pair<WhoisPhase, std::string_view>> phases = {
      {WhoisPhase::kReady, "Ready"},
      {WhoisPhase::kUpdating, "Updating"},
      {WhoisPhase::kComplete, "Complete"}};
  for (const auto& [phase, text] : phases) {
    EXPECT_EQ(ToText(phase), text);
    EXPECT_EQ(WhoisPhaseFromText(text), phase) << text;
  }
  const std::vector<std::pair<WhoisStatus, std::string_view>> statuses = {
      {WhoisStatus::kUnknown, ""},
      {WhoisStatus::kOnline, "Online"},
      {WhoisStatus::kOffline, "Offline"}};
  for (const auto& [status, text] : statuses) {
    EXPECT_EQ(ToText(status), text);
    EXPECT_EQ(WhoisStatusFromText(text), status) << text;
  }
  EXPECT_EQ(WhoisPhaseFromText("ready"), std::nullopt);
  EXPECT_EQ(WhoisStatusFromText("online"), std::nullopt);
}

}  // namespace
}  // namespace tc::test
