#include "platform/shutdown_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tc::platform {

namespace {

// The write end of the self-pipe. A signal handler can reach nothing but a global, so this one
// file-local variable is the exception to "no global state"; it is set and cleared only by the
// single ShutdownSignals instance, with the handlers installed only while it is valid.
volatile sig_atomic_t g_signal_fd = -1;

extern "C" void OnShutdownSignal(int signal_number) {
  const int saved_errno = errno;
  const auto byte = static_cast<unsigned char>(signal_number);
  // Async-signal-safe; a full pipe means a shutdown is already on its way.
  [[maybe_unused]] const ssize_t n = ::write(g_signal_fd, &byte, 1);
  errno = saved_errno;
}

void Install(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

ShutdownSignals::ShutdownSignals() {
  if (g_signal_fd != -1) return;  // another instance owns the handlers
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds_) != 0) return;
  g_signal_fd = fds_[0];
  notifier_ = std::make_unique<QSocketNotifier>(fds_[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &ShutdownSignals::Drain);
  Install(OnShutdownSignal);
}

ShutdownSignals::~ShutdownSignals() {
  if (notifier_ == nullptr) {
    for (int fd : fds_) {
      if (fd != -1) ::close(fd);
    }
    return;
  }
  Install(SIG_DFL);
  g_signal_fd = -1;
  notifier_.reset();
  ::close(fds_[0]);
  ::close(fds_[1]);
}

void ShutdownSignals::Drain() {
  unsigned char bytes[16];
  ssize_t n;
  while ((n = ::read(fds_[1], bytes, sizeof bytes)) > 0) {
    for (ssize_t i = 0; i < n; ++i) emit triggered(bytes[i]);
  }
}

}  // namespace tc::platform
