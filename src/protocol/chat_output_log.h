// The chat log as the chat output keeps it: which file the next shown line goes to (worked out
// again only when what it depends on changes), the open file, and whether its failure has
// already been reported.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/chat_log.h"

namespace tc {

class ChatOutputLog {
 public:
  // The logs of a profile: "Users/<profile>/Logs" under the program directory.
  static std::filesystem::path Directory(const std::filesystem::path& program_dir,
                                         std::string_view profile);
  // One file per channel, or "chat.log" for all (and for lines outside any channel).
  static std::filesystem::path FileFor(const std::filesystem::path& directory, bool per_channel,
                                       std::string_view channel);

  // Appends a shown line to the log of `channel`. Returns the file when its failure is to be
  // reported now: once per failure, not once per line.
  std::optional<std::filesystem::path> Append(const std::filesystem::path& program_dir,
                                              std::string_view profile, bool per_channel,
                                              std::string_view channel, std::string_view text,
                                              int64_t now_ms);

 private:
  ChatLog log_;
  bool failure_shown_ = false;
  std::string file_key_;
  std::filesystem::path file_;
};

}  // namespace tc
