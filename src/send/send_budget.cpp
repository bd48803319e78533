#include "send/send_budget.h"

#include <algorithm>

#include "common/text.h"

namespace tc {

namespace {

bool IsEmote(std::string_view line) {
  for (std::string_view command : {std::string_view("/me"), std::string_view("/emote")}) {
    if (line.size() >= command.size() && EqualsNoCase(line.substr(0, command.size()), command) &&
        (line.size() == command.size() || line[command.size()] == ' ')) {
      return true;
    }
  }
  return false;
}

}  // namespace

int SendBudget::Cost(std::string_view line, const SendQuota& quota) {
  const int64_t per_unit = std::max(quota.bytes_per_unit, 1);
  const auto bytes = static_cast<int64_t>(line.size());
  const int64_t units = std::max<int64_t>(1, (bytes + per_unit - 1) / per_unit);
  const int64_t factor = IsEmote(line) ? std::max(quota.emote_factor, 1) : 1;
  // A line is at most a few kilobytes; the clamp only keeps the sum in range.
  return static_cast<int>(std::min<int64_t>(units * factor, 1'000'000));
}

int64_t SendBudget::WaitFor(int units, const SendQuota& quota, int64_t now_ms) {
  Expire(quota, now_ms);
  if (!quota.Active()) return 0;
  // A line larger than the window still goes once the window is empty.
  const int needed = std::min(units, quota.units);
  int left = total_;
  for (const Spent& s : spent_) {
    if (left + needed <= quota.units) break;
    left -= s.units;
    if (left + needed <= quota.units) return s.at_ms + quota.window_ms - now_ms;
  }
  return 0;
}

void SendBudget::Expire(const SendQuota& quota, int64_t now_ms) {
  if (!quota.Active()) {
    Clear();
    return;
  }
  while (!spent_.empty() && spent_.front().at_ms + quota.window_ms <= now_ms) {
    total_ -= spent_.front().units;
    spent_.pop_front();
  }
}

void SendBudget::Charge(int units, const SendQuota& quota, int64_t now_ms) {
  Expire(quota, now_ms);
  if (!quota.Active()) return;
  spent_.push_back({now_ms, units});
  total_ += units;
}

void SendBudget::Fill(const SendQuota& quota, int64_t now_ms) {
  Charge(quota.units, quota, now_ms);
}

void SendBudget::Clear() {
  spent_.clear();
  total_ = 0;
}

}  // namespace tc
