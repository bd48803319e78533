#include "people/account_tracking.h"

#include "common/text.h"

namespace tc {
namespace {
const std::string kNone;
}

void AccountTracking::Add(std::string_view name) {
  std::string key = LowerCase1252(name);
  if (const auto found = by_key_.find(key); found != by_key_.end()) {
    *found->second = std::string(name);
    names_.splice(names_.begin(), names_, found->second);
    return;
  }
  names_.emplace_front(name);
  by_key_.emplace(std::move(key), names_.begin());
  if (names_.size() > kLimit) {
    by_key_.erase(LowerCase1252(names_.back()));
    names_.pop_back();
  }
}

bool AccountTracking::Contains(std::string_view name) const {
  return by_key_.contains(LowerCase1252(name));
}

const std::string& AccountTracking::Front() const {
  return names_.empty() ? kNone : names_.front();
}

std::vector<std::string> AccountTracking::Names() const {
  return {names_.begin(), names_.end()};
}

void AccountTracking::Clear() {
  names_.clear();
  by_key_.clear();
}

}  // namespace tc
