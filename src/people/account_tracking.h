// Accounts waiting for a whois check. The check takes the front (newest) name next. A name is
// queued once, and queuing it again brings it to the front; the queue holds at most kLimit names,
// the oldest dropped, so a busy channel's joins cannot grow it without end.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tc {

class AccountTracking {
 public:
  static constexpr size_t kLimit = 1000;

  // Account names match without regard to letter case, as the server looks them up; the letter
  // case last passed is kept.
  void Add(std::string_view name);
  bool Contains(std::string_view name) const;
  size_t Size() const { return names_.size(); }
  bool Empty() const { return names_.empty(); }
  // The name the check takes next; empty when none waits.
  const std::string& Front() const;
  // Newest first.
  std::vector<std::string> Names() const;
  void Clear();

 private:
  std::list<std::string> names_;  // front: newest
  std::unordered_map<std::string, std::list<std::string>::iterator> by_key_;
};

}  // namespace tc
