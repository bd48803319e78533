#include "persistence/hit_counter.h"

#include <fcntl.h>
#include <unistd.h>

#include "common/text.h"

namespace tc {

HitCounter::~HitCounter() {
  if (fd_ >= 0) ::close(fd_);
}

void HitCounter::SetFile(std::filesystem::path path) {
  if (path == path_) return;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_ = std::move(path);
  loaded_ = false;
}

bool HitCounter::WriteThrough() {
  if (fd_ < 0) fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  const std::string text = ini_.Serialize();
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n =
        ::pwrite(fd_, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return ::ftruncate(fd_, static_cast<off_t>(text.size())) == 0;
}

int HitCounter::Hit(std::string_view channel, std::string_view operation, std::string* error) {
  if (channel.empty()) return 0;
  if (!loaded_) {
    ini_.Load(path_);
    loaded_ = true;
  }
  const auto read = [&] { return SafeStrToInt(ini_.Read(channel, "Hits").value_or("0")); };
  if (operation == "Add") {
    const int before = read();
    ini_.Write(channel, "Hits", std::to_string(before == INT32_MAX ? before : before + 1));
    if (!WriteThrough()) {
      ini_.Write(channel, "Hits", std::to_string(before));
      if (error) *error = "Unable to write to " + path_.string();
      return before;
    }
  }
  return read();
}

}  // namespace tc
