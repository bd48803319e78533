// SIGINT and SIGTERM as an event-loop notification (the self-pipe pattern): the handler only
// writes one byte; the shutdown itself runs later on the event loop.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace tc::platform {

class ShutdownSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; only one instance may exist at a time.
  ShutdownSignals();
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

  bool ok() const { return notifier_ != nullptr; }

 signals:
  void triggered(int signal_number);

 private:
  void Drain();

  int fds_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace tc::platform
