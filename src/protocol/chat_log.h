// The chat log writer. Each shown line is handed to the operating system before the call returns,
// so it is on disk right after it is shown; the file stays open between lines because a join burst
// must not cost an open and a close per line.
#pragma once

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
  // file cannot be made or written.
  bool Append(const std::filesystem::path& file, std::string_view text);
  void Close();

 private:
  bool Open(const std::filesystem::path& file);

  std::filesystem::path path_;
  int fd_ = -1;
};

}  // namespace tc
