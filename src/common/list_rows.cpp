#include "common/list_rows.h"

namespace tc {
namespace {
constexpr std::string_view kOn = "On";
constexpr std::string_view kOff = "Off";
constexpr std::string_view kOnline = "*Online";
constexpr std::string_view kOffline = "Offline";
}  // namespace

OnOffText OnOffText::FromText(std::string_view text) {
  if (text == kOn) return OnOff::kOn;
  OnOffText field(OnOff::kOff);
  if (text != kOff) field.as_read_ = std::string(text);
  return field;
}

std::string OnOffText::ToText() const {
  if (as_read_) return *as_read_;
  return std::string(value_ == OnOff::kOn ? kOn : kOff);
}

std::string_view ToText(MonitorStatus status) {
  return status == MonitorStatus::kOnline ? kOnline : kOffline;
}

std::optional<MonitorStatus> MonitorStatusFromText(std::string_view text) {
  if (text == kOnline) return MonitorStatus::kOnline;
  if (text == kOffline) return MonitorStatus::kOffline;
  return std::nullopt;
}

}  // namespace tc
