// HitCounter.ini: per channel, how many users joined while the program was there. The file is read
// once and every change is written through before the call returns, without reopening the file
// for each join.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/ini_file.h"

namespace tc {

class HitCounter {
 public:
  void SetFile(std::filesystem::path path);
  const std::filesystem::path& File() const { return path_; }
  // The count of `channel`; "Add" adds one first. Returns nothing for an empty channel (0).
  // On a write failure the count stays as it was and `error` names the file.
  int Hit(std::string_view channel, std::string_view operation, std::string* error);
  ~HitCounter();

 private:
  bool WriteThrough();

  std::filesystem::path path_;
  IniFile ini_;
  bool loaded_ = false;
  int fd_ = -1;
};

}  // namespace tc
