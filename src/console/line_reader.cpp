#include "console/line_reader.h"

#include <unistd.h>

#include <cerrno>

#include "common/text.h"

namespace tc::console {

namespace {

// A line longer than this is handed on in pieces rather than held without bound.
constexpr size_t kMaxLine = 64 * 1024;

}  // namespace

LineReader::LineReader(int fd, std::function<void(std::string_view)> on_line)
    : fd_(fd), on_line_(std::move(on_line)), notifier_(fd, QSocketNotifier::Read) {
  // The descriptor stays blocking: O_NONBLOCK would also change the terminal or pipe shared with
  // the shell. One read() per "readable" notification does not block; a regular file or /dev/null
  // is always readable and simply reaches its end.
  connect(&notifier_, &QSocketNotifier::activated, this, &LineReader::ReadAvailable);
}

void LineReader::ReadAvailable() {
  char buffer[4096];
  const ssize_t n = ::read(fd_, buffer, sizeof buffer);
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return;
    Finish();
    return;
  }
  if (n == 0) {
    Finish();
    return;
  }
  pending_.append(buffer, static_cast<size_t>(n));
  size_t start = 0;
  for (size_t lf = pending_.find('\n'); lf != std::string::npos; lf = pending_.find('\n', start)) {
    // Copy first: the callback may run for a while and must not see the buffer change.
    const std::string line = pending_.substr(start, lf - start);
    start = lf + 1;
    on_line_(line);
  }
  pending_.erase(0, start);
  while (pending_.size() > kMaxLine) {
    // Never inside a character: each piece stays UTF-8.
    const std::string piece(CutBytes(pending_, kMaxLine));
    pending_.erase(0, piece.size());
    on_line_(piece);
  }
}

void LineReader::Finish() {
  notifier_.setEnabled(false);
  if (at_end_) return;
  at_end_ = true;
  // A last line without its LF is still a line.
  if (!pending_.empty()) {
    std::string last;
    last.swap(pending_);
    on_line_(last);
  }
  emit endOfInput();
}

}  // namespace tc::console
