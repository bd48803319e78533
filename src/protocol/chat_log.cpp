#include "protocol/chat_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <system_error>

#include "common/text.h"
#include "common/write_all.h"

namespace tc {

ChatLog::~ChatLog() {
  Close();
}

void ChatLog::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
}

bool ChatLog::Open(const std::filesystem::path& file) {
  Close();
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  fd_ = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  path_ = file;
  return true;
}

bool ChatLog::Append(const std::filesystem::path& file, std::string_view text, int64_t now_ms) {
  if (fd_ >= 0 && file == path_ && now_ms - checked_ms_ >= 1000) {
    // A log deleted while open is made anew, as reopening it for each line would; looking once
    // a second is enough for that and keeps a burst of lines cheap.
    checked_ms_ = now_ms;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || st.st_nlink == 0) Close();
  }
  if ((fd_ < 0 || file != path_) && !Open(file)) return false;
  // Logs are read with cat and less: another user's escapes, bells and line breaks stay out.
  std::string line = PrintableText(text);
  line += "\r\n";
  if (!WriteAll(fd_, line)) {
    Close();
    return false;
  }
  return true;
}

}  // namespace tc
