// Turns received bytes into server lines. TCP keeps no message boundaries, so a piece without its
// CR LF waits for the rest; a piece that grows past the bound is handed on as a line of its own so
// that a server that never ends its line cannot make us hold unbounded memory.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tc {

class LineSplitter {
 public:
  static constexpr size_t kMaxPending = 4096;

  // Appends `bytes` and returns the complete lines, without CR LF, in order. Empty lines are kept
  // (the caller drops them after removing BEL characters).
  std::vector<std::string> Feed(std::string_view bytes);
  // What is waiting for its CR LF.
  const std::string& Pending() const { return pending_; }
  void Reset() { pending_.clear(); }

 private:
  std::string pending_;
};

}  // namespace tc
