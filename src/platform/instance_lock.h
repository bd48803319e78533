// One running program per program directory: two would both write DataBase.dat, the profile and
// the logs. The lock is an advisory lock on talvexchat.lock in that directory, which also holds
// the holder's process id as text; the system drops the lock when the process ends, however it
// ends.
#pragma once

#include <filesystem>
#include <string>

namespace tc::platform {

class InstanceLock {
 public:
  static constexpr const char* kFileName = "talvexchat.lock";

  // Tries once; see held().
  explicit InstanceLock(const std::filesystem::path& program_dir);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  bool held() const { return fd_ >= 0; }
  // When not held: one line for the user, naming the process that holds the lock.
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  std::string error_;
};

}  // namespace tc::platform
