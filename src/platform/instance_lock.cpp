#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "common/text.h"

namespace tc::platform {

namespace {

// The process id the holder wrote, or nothing when the text is not one (it may not be written yet).
std::string HolderPid(int fd) {
  std::array<char, 32> buffer{};
  const ssize_t got = ::pread(fd, buffer.data(), buffer.size() - 1, 0);
  if (got <= 0) return {};
  std::string text(buffer.data(), static_cast<size_t>(got));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  const int pid = SafeStrToInt(text);
  if (pid <= 0) return {};
  return std::to_string(pid);
}

}  // namespace

InstanceLock::InstanceLock(const std::filesystem::path& program_dir) {
  const std::filesystem::path path = program_dir / kFileName;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    error_ = "cannot open " + path.string() + ": " + std::strerror(errno);
    return;
  }
  // flock belongs to the open file, not the process: a second open in the same process is refused
  // as well, and a child started later does not inherit it (O_CLOEXEC).
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    const std::string pid = HolderPid(fd);
    ::close(fd);
    if (err == EWOULDBLOCK) {
      error_ = "the program directory " + program_dir.string() + " is already in use by " +
               (pid.empty() ? std::string("another process") : "process " + pid);
    } else {
      error_ = "cannot lock " + path.string() + ": " + std::strerror(err);
    }
    return;
  }
  const std::string text = std::to_string(::getpid()) + "\n";
  // Should this fail, the lock is still held; a second instance just cannot name the holder.
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
  }
  fd_ = fd;
}

InstanceLock::~InstanceLock() {
  // Closing drops the lock. The file stays: removing it would let a third instance lock a new
  // file while a second still waits on the old one.
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace tc::platform
