// Reads lines from a file descriptor (stdin) without blocking the event loop. End of input only
// stops the reading: an unattended bot runs on with its input closed.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <string>
#include <string_view>

namespace tc::console {

class LineReader : public QObject {
  Q_OBJECT

 public:
  // `on_line` gets each line without its LF (a CR before it is kept for the caller to strip).
  LineReader(int fd, std::function<void(std::string_view)> on_line);
  bool at_end() const { return at_end_; }

 signals:
  void endOfInput();

 private:
  void ReadAvailable();
  void Finish();

  int fd_;
  std::function<void(std::string_view)> on_line_;
  QSocketNotifier notifier_;
  std::string pending_;
  bool at_end_ = false;
};

}  // namespace tc::console
