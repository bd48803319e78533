// The chat log writer. Each shown line is handed to the operating system before the call returns,
// so it is on disk right after it is shown; the file stays open between lines because a join burst
// must not cost an open and a close per line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace tc {

class ChatLog {
 public:
  ChatLog() = default;
  ~ChatLog();
  ChatLog(const ChatLog&) = delete;
  ChatLog& operator=(const ChatLog&) = delete;

  // Appends `text` + CR LF to `file`, creating its folder and the file as needed. False when the
  // file cannot be made or written. `now_ms` paces the check for a log deleted while open.
  bool Append(const std::filesystem::path& file, std::string_view text, int64_t now_ms);
  void Close();

 private:
  bool Open(const std::filesystem::path& file);

  std::filesystem::path path_;
  int fd_ = -1;
  int64_t checked_ms_ = 0;
};

}  // namespace tc
