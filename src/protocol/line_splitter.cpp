#include "protocol/line_splitter.h"

namespace tc {

std::vector<std::string> LineSplitter::Feed(std::string_view bytes) {
  std::vector<std::string> lines;
  pending_.append(bytes);
  size_t start = 0;
  while (true) {
    const size_t crlf = pending_.find("\r\n", start);
    if (crlf == std::string::npos) break;
    lines.emplace_back(pending_, start, crlf - start);
    start = crlf + 2;
  }
  pending_.erase(0, start);
  // Keep a lone trailing CR: its LF may be in the next read.
  while (pending_.size() > kMaxPending) {
    lines.emplace_back(pending_, 0, kMaxPending);
    pending_.erase(0, kMaxPending);
  }
  return lines;
}

}  // namespace tc
