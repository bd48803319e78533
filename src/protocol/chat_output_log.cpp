#include "protocol/chat_output_log.h"

#include <utility>

#include "common/file_names.h"
#include "common/text.h"

namespace tc {

std::filesystem::path ChatOutputLog::Directory(const std::filesystem::path& program_dir,
                                               std::string_view profile) {
  return program_dir / "Users" / SafeFileComponent(profile) / "Logs";
}

std::filesystem::path ChatOutputLog::FileFor(const std::filesystem::path& directory,
                                             bool per_channel, std::string_view channel) {
  if (per_channel && !channel.empty()) {
    return FileInFolder(directory, LowerCase1252(channel), ".log");
  }
  return directory / "chat.log";
}

std::optional<std::filesystem::path> ChatOutputLog::Append(const std::filesystem::path& program_dir,
                                                           std::string_view profile,
                                                           bool per_channel,
                                                           std::string_view channel,
                                                           std::string_view text, int64_t now_ms) {
  // The file name is worked out again only when what it depends on changes.
  std::string key(profile);
  key += '\0';
  key += per_channel ? 'c' : '1';
  key += channel;
  if (key != file_key_) {
    file_key_ = std::move(key);
    file_ = FileFor(Directory(program_dir, profile), per_channel, channel);
  }
  if (log_.Append(file_, text, now_ms)) {
    failure_shown_ = false;
    return std::nullopt;
  }
  if (failure_shown_) return std::nullopt;
  failure_shown_ = true;
  return file_;
}

}  // namespace tc
