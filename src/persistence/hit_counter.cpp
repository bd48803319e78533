#include "persistence/hit_counter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "common/text.h"
#include "common/write_all.h"

namespace tc {
namespace {

constexpr std::string_view kHex = "0123456789ABCDEF";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool EscapeAt(std::string_view text, size_t i) {
  return text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
         HexDigit(text[i + 2]) >= 0;
}

}  // namespace

std::string SectionForChannel(std::string_view channel) {
  std::string out;
  out.reserve(channel.size());
  for (size_t i = 0; i < channel.size(); ++i) {
    const auto b = static_cast<unsigned char>(channel[i]);
    if (b < 0x20 || b == 0x7F || b == '[' || b == ']' || b == '=' || EscapeAt(channel, i)) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    } else {
      out += channel[i];
    }
  }
  return out;
}

std::string ChannelForSection(std::string_view section) {
  std::string out;
  out.reserve(section.size());
  for (size_t i = 0; i < section.size(); ++i) {
    if (EscapeAt(section, i)) {
      out += static_cast<char>(HexDigit(section[i + 1]) * 16 + HexDigit(section[i + 2]));
      i += 2;
    } else {
      out += section[i];
    }
  }
  return out;
}

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

void HitCounter::Load() {
  std::ifstream in(path_, std::ios::binary);
  written_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  written_known_ = true;
  ini_.Parse(written_);
  sections_ = ini_.SectionCount();
  loaded_ = true;
}

bool HitCounter::WriteThrough(const std::string& text) {
  if (fd_ < 0) fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  size_t done = 0;
  if (written_known_) {
    const size_t common = std::min(text.size(), written_.size());
    done = static_cast<size_t>(
        std::mismatch(text.begin(), text.begin() + static_cast<long>(common), written_.begin())
            .first -
        text.begin());
  }
  const bool known_before = written_known_;
  written_known_ = false;
  if (!WriteAllAt(fd_, std::string_view(text).substr(done), static_cast<int64_t>(done))) {
    return false;
  }
  // A count that grew a digit or a new section made the file longer; only a shorter one needs
  // cutting, which saves a system call per join.
  const bool shorter = !known_before || text.size() < written_.size();
  if (shorter && ::ftruncate(fd_, static_cast<off_t>(text.size())) != 0) return false;
  written_ = text;
  written_known_ = true;
  return true;
}

int HitCounter::Count(std::string_view channel) {
  if (channel.empty()) return 0;
  if (!loaded_) Load();
  return SafeStrToInt(ini_.Read(SectionForChannel(channel), "Hits").value_or("0"));
}

int HitCounter::Add(std::string_view channel, std::string* error) {
  if (channel.empty()) return 0;
  if (!loaded_) Load();
  const std::string section = SectionForChannel(channel);
  const auto read = [&] { return SafeStrToInt(ini_.Read(section, "Hits").value_or("0")); };
  const int before = read();
  if (ini_.HasSection(section)) {
    ini_.MoveSectionToEnd(section);
  } else {
    ++sections_;
  }
  ini_.Write(section, "Hits", std::to_string(before == INT32_MAX ? before : before + 1));
  std::string text = ini_.Serialize();
  size_t size = text.size();
  bool dropped = false;
  while ((sections_ > kMaxChannels || size > kMaxBytes) && sections_ > 1) {
    size -= std::min(size, ini_.RemoveSection(ini_.FirstSection()));
    --sections_;
    dropped = true;
  }
  if (dropped) text = ini_.Serialize();
  if (!WriteThrough(text)) {
    // What the file held before stands again in memory; the next write rewrites all of it.
    ini_.Parse(written_);
    sections_ = ini_.SectionCount();
    if (error) *error = "Unable to write to " + path_.string();
  }
  return read();
}

}  // namespace tc
