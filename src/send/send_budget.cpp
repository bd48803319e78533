#include "send/send_budget.h"

#include <algorithm>
#include <cstdint>

namespace tc {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "/me" or "/emote" as the whole command word, in any case. Checked on every line written, so it
// looks at the first bytes only.
bool IsEmote(std::string_view line) {
  if (line.size() < 3 || line[0] != '/') return false;
  size_t word = 0;
  if (LowerAscii(line[1]) == 'm' && LowerAscii(line[2]) == 'e') {
    word = 3;
  } else if (line.size() >= 6 && LowerAscii(line[1]) == 'e' && LowerAscii(line[2]) == 'm' &&
             LowerAscii(line[3]) == 'o' && LowerAscii(line[4]) == 't' &&
             LowerAscii(line[5]) == 'e') {
    word = 6;
  }
  return word > 0 && (line.size() == word || line[word] == ' ');
}

}  // namespace

int SendBudget::Cost(std::string_view line, const SendQuota& quota) {
  // Narrow numbers on purpose: this runs for every line written, and a line is never near 1 MB.
  const auto per_unit = static_cast<uint32_t>(std::max(quota.bytes_per_unit, 1));
  const auto bytes = static_cast<uint32_t>(std::min<size_t>(line.size(), 1u << 20));
  const uint32_t units = bytes <= per_unit ? 1 : (bytes + per_unit - 1) / per_unit;
  const auto factor =
      static_cast<uint32_t>(IsEmote(line) ? std::clamp(quota.emote_factor, 1, 100) : 1);
  return static_cast<int>(units * factor);
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
