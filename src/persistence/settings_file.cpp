// Where a settings profile lies, and the file routines of the profile and its notes.
#include "persistence/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <system_error>

#include "common/file_names.h"
#include "common/text.h"
#include "common/write_all.h"

namespace tc {

std::filesystem::path UsersFolder(const std::filesystem::path& program_dir) {
  return program_dir / "Users";
}

std::filesystem::path ProfileFolder(const std::filesystem::path& program_dir,
                                    std::string_view profile) {
  return UsersFolder(program_dir) / SafeFileComponent(profile);
}

std::filesystem::path ProfileFile(const std::filesystem::path& program_dir,
                                  std::string_view profile) {
  return FileInFolder(UsersFolder(program_dir), profile, ".usr");
}

std::filesystem::path NotesFile(const std::filesystem::path& program_dir,
                                std::string_view profile) {
  return ProfileFolder(program_dir, profile) / "notes.txt";
}

namespace {

// True when the file already holds exactly these bytes: rewriting it would change nothing.
bool Holds(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) ||
      std::filesystem::file_size(path, ec) != bytes.size() || ec) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  std::string held(bytes.size(), '\0');
  return in.read(held.data(), static_cast<std::streamsize>(held.size())) && held == bytes;
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
  if (Holds(target, bytes)) return true;
  std::string temp =
      (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // The new file keeps the old one's permissions; a first one is the owner's only, as it may hold
  // a password.
  struct stat old_file {};
  if (::stat(target.c_str(), &old_file) == 0) ::fchmod(fd, old_file.st_mode & 07777);
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

std::optional<int> IntFromText(std::string_view text) {
  const auto integer = ParseIntegerText(text);
  if (!integer) return std::nullopt;
  const bool hex = integer->hex;
  const bool negative = integer->negative;
  const unsigned long long value = integer->magnitude;
  // Hexadecimal text is a 32-bit pattern; decimal text must fit the signed range.
  long long signed_value =
      hex ? static_cast<int32_t>(static_cast<uint32_t>(value)) : static_cast<long long>(value);
  if (negative) signed_value = -signed_value;
  if (signed_value < INT_MIN || signed_value > INT_MAX) return std::nullopt;
  return static_cast<int>(signed_value);
}

namespace {

// Lines end at CR LF, LF or CR; they are joined by CR LF, each passed through `convert`.
template <typename Convert>
std::string JoinLines(std::string_view bytes, Convert convert) {
  std::string text;
  std::string_view rest = bytes;
  bool first = true;
  while (!rest.empty()) {
    const size_t end = rest.find_first_of("\r\n");
    if (!first) text += "\r\n";
    first = false;
    text += convert(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + (rest.substr(end, 2) == "\r\n" ? 2 : 1));
  }
  return text;
}

}  // namespace

std::string NotesFromFile(std::string_view bytes) {
  return JoinLines(bytes, [](std::string_view line) { return TextFromBytes(line); });
}

std::string NotesToFile(std::string_view text) {
  const std::string lines =
      JoinLines(text, [](std::string_view line) { return FileBytesFromText(line); });
  return lines.empty() ? std::string() : lines + "\r\n";
}

}  // namespace tc
