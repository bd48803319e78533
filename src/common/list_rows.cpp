#include "common/list_rows.h"

#include "common/spellings.h"

namespace tc {
namespace {
constexpr SpellingTable<OnOff, 2> kOnOffSpellings = {{{OnOff::kOn, "On"}, {OnOff::kOff, "Off"}}};
constexpr SpellingTable<MonitorStatus, 2> kMonitorSpellings = {
    {{MonitorStatus::kOnline, "*Online"}, {MonitorStatus::kOffline, "Offline"}}};
}  // namespace

OnOffText OnOffText::FromText(std::string_view text) {
  const std::optional<OnOff> value = ValueSpelled(kOnOffSpellings, text);
  OnOffText field(value.value_or(OnOff::kOff));
  if (!value) field.as_read_ = std::string(text);
  return field;
}

std::string OnOffText::ToText() const {
  if (as_read_) return *as_read_;
  return std::string(SpellingOf(kOnOffSpellings, value_));
}

std::string_view ToText(MonitorStatus status) {
  return SpellingOf(kMonitorSpellings, status);
}

std::optional<MonitorStatus> MonitorStatusFromText(std::string_view text) {
  return ValueSpelled(kMonitorSpellings, text);
}

}  // namespace tc
