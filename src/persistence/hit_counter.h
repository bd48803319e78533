// HitCounter.ini: per channel, how many users joined while the program was there. The file is read
// once and every change is written through before the call returns, without reopening the file
// for each join and writing only from the first byte that changed.
//
// One section per channel, named by the channel with the bytes that would break the file's layout
// escaped, and at most kMaxChannels sections or kMaxBytes bytes: the channel counted last is moved
// to the end of the file and the first one is dropped when the file is full, so the file keeps the
// most recently counted channels.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/ini_file.h"

namespace tc {

// Control bytes, "[", "]", "=" and a "%" that could be read as an escape become "%" and two
// hexadecimal digits; ordinary channel names stay as they are.
std::string SectionForChannel(std::string_view channel);
// Undoes SectionForChannel.
std::string ChannelForSection(std::string_view section);

class HitCounter {
 public:
  static constexpr int kMaxChannels = 1000;
  static constexpr size_t kMaxBytes = 256 * 1024;

  void SetFile(std::filesystem::path path);
  const std::filesystem::path& File() const { return path_; }
  // The count of `channel`; 0 for an empty channel.
  int Count(std::string_view channel);
  // Counts one more join of `channel` and returns the new count; nothing for an empty channel
  // (0). On a write failure the count stays as it was and `error` names the file.
  int Add(std::string_view channel, std::string* error);
  ~HitCounter();

 private:
  void Load();
  bool WriteThrough(const std::string& text);

  std::filesystem::path path_;
  IniFile ini_;
  bool loaded_ = false;
  int fd_ = -1;
  int sections_ = 0;
  std::string written_;         // what the file holds
  bool written_known_ = false;  // false after a failed write: the next one writes everything
};

}  // namespace tc
