#include "persistence/database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "common/text.h"
#include "common/write_all.h"

namespace tc {

namespace {

constexpr std::array<std::string_view, kUserFieldCount> kFieldNames = {"Account_Name",
                                                                       "Account_Number",
                                                                       "Product",
                                                                       "Flag",
                                                                       "InterBot_Name",
                                                                       "Icon",
                                                                       "Status",
                                                                       "Notes",
                                                                       "Information",
                                                                       "Last_Time_Seen",
                                                                       "First_Time_Seen",
                                                                       "Total_Time_Seen",
                                                                       "Time_In_Channel",
                                                                       "Number_Times_Seen",
                                                                       "Last_Message_Seen",
                                                                       "Location",
                                                                       "In_Channel",
                                                                       "Told_InterBot",
                                                                       "Alias_Names"};

constexpr std::array<std::string_view, kUserFieldCount> kTags = {"<%Account_Name%>",
                                                                 "<%Account_Number%>",
                                                                 "<%Product%>",
                                                                 "<%Flag%>",
                                                                 "<%InterBot_Name%>",
                                                                 "<%Icon%>",
                                                                 "<%Status%>",
                                                                 "<%Notes%>",
                                                                 "<%Information%>",
                                                                 "<%Last_Time_Seen%>",
                                                                 "<%First_Time_Seen%>",
                                                                 "<%Total_Time_Seen%>",
                                                                 "<%Time_In_Channel%>",
                                                                 "<%Number_Times_Seen%>",
                                                                 "<%Last_Message_Seen%>",
                                                                 "<%Location%>",
                                                                 "<%In_Channel%>",
                                                                 "<%Told_InterBot%>",
                                                                 "<%Alias_Names%>"};

constexpr std::string_view kEndTag = "<%end%>";
constexpr std::string_view kTagOpen = "<%";
constexpr std::string_view kDataFile = "DataBase.dat";
// Lines gather in memory up to this size before a write, so a save is a few system calls.
constexpr size_t kChunk = size_t{1} << 20;

// The first occurrence of `tag` in `text`, letter case ignored. Every tag starts with "<%", which
// has no letters, so only those places can match.
size_t FindTagNoCase(std::string_view text, std::string_view tag) {
  for (size_t at = text.find(kTagOpen); at != std::string_view::npos;
       at = text.find(kTagOpen, at + 1)) {
    if (text.size() - at >= tag.size() && EqualsNoCase(text.substr(at, tag.size()), tag)) return at;
  }
  return std::string_view::npos;
}

// A line break inside a value would split the record in two on the next load, and a "<%" would
// let text another user said (a last message) pose as the tags of the fields after it.
void AppendValue(std::string& out, std::string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\r' || c == '\n') {
      out += ' ';
    } else {
      out += c;
      if (c == '<' && i + 1 < value.size() && value[i + 1] == '%') out += '_';
    }
  }
}

void AppendRecordLine(std::string& out, const UserRecord& record) {
  for (size_t i = 0; i < kUserFieldCount; ++i) {
    out.append(kTags[i]);
    AppendValue(out, record[i]);
  }
  out.append(kEndTag);
}

// Calls `on_line` for each non-empty line, a line ending at LF with one CR before it dropped.
// False when the file cannot be opened for reading as a regular file.
bool ReadLines(const std::filesystem::path& path,
               const std::function<void(std::string_view)>& on_line) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  const auto emit = [&](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) on_line(line);
  };
  std::vector<char> buffer(size_t{1} << 16);
  std::string carry;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    const std::string_view chunk(buffer.data(), static_cast<size_t>(n));
    size_t start = 0;
    for (size_t nl = chunk.find('\n'); nl != std::string_view::npos; nl = chunk.find('\n', start)) {
      if (carry.empty()) {
        emit(chunk.substr(start, nl - start));
      } else {
        carry.append(chunk.substr(start, nl - start));
        emit(carry);
        carry.clear();
      }
      start = nl + 1;
    }
    carry.append(chunk.substr(start));
  }
  ::close(fd);
  emit(carry);
  return true;
}

bool CopyFileBytes(const std::filesystem::path& from, const std::filesystem::path& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  bool ok = out >= 0;
  std::vector<char> buffer(size_t{1} << 16);
  while (ok) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    ok = WriteAll(out, std::string_view(buffer.data(), static_cast<size_t>(n)));
  }
  ::close(in);
  if (out >= 0) {
    ok = ::fsync(out) == 0 && ok;
    ok = ::close(out) == 0 && ok;
  }
  return ok;
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// DataBase.save := the current DataBase.dat, replaced in one rename so one of them always
// exists. Without a DataBase.dat the older DataBase.save is kept rather than lost.
void KeepPrevious(const std::filesystem::path& folder, const std::filesystem::path& dat) {
  struct stat st {};
  if (::lstat(dat.c_str(), &st) != 0) return;
  const std::filesystem::path save = folder / "DataBase.save";
  const std::filesystem::path save_tmp = folder / "DataBase.save.tmp";
  ::unlink(save_tmp.c_str());
  if (::link(dat.c_str(), save_tmp.c_str()) != 0 && !CopyFileBytes(dat, save_tmp)) {
    ::unlink(save_tmp.c_str());
    return;
  }
  if (::rename(save_tmp.c_str(), save.c_str()) != 0) ::unlink(save_tmp.c_str());
}

}  // namespace

std::string_view UserFieldName(UserField field) {
  const auto i = static_cast<size_t>(field);
  return i < kFieldNames.size() ? kFieldNames[i] : std::string_view();
}

std::optional<UserField> UserFieldFromName(std::string_view name) {
  const auto* it = std::find(kFieldNames.begin(), kFieldNames.end(), name);
  if (it == kFieldNames.end()) return std::nullopt;
  return static_cast<UserField>(it - kFieldNames.begin());
}

std::string FormatUserRecord(const UserRecord& record) {
  std::string line;
  AppendRecordLine(line, record);
  return line;
}

UserRecord ParseUserRecord(std::string_view line) {
  UserRecord record;
  for (size_t i = 0; i < kUserFieldCount; ++i) {
    const size_t at = FindTagNoCase(line, kTags[i]);
    if (at == std::string_view::npos) continue;
    line.remove_prefix(at + kTags[i].size());
    const std::string_view value = line.substr(0, line.find(kTagOpen));
    record[i] = std::string(value);
    line.remove_prefix(value.size());
  }
  return record;
}

bool PrepareDatabaseFile(const std::filesystem::path& folder) {
  const std::filesystem::path dat = folder / kDataFile;
  struct stat st {};
  if (::lstat(dat.c_str(), &st) != 0 && errno == ENOENT) {
    const int fd = ::open(dat.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) ::close(fd);
  }
  const int probe = ::open(dat.c_str(), O_RDONLY | O_CLOEXEC);
  const bool readable = probe >= 0 && ::fstat(probe, &st) == 0 && S_ISREG(st.st_mode);
  if (probe >= 0) ::close(probe);
  return readable;
}

bool ReadDatabaseFile(const std::filesystem::path& folder,
                      const std::function<void(UserRecord&&)>& on_record) {
  return ReadLines(folder / kDataFile,
                   [&](std::string_view line) { on_record(ParseUserRecord(TextFromBytes(line))); });
}

DatabaseFileWriter::DatabaseFileWriter(const std::filesystem::path& folder)
    : folder_(folder), tmp_(folder / "DataBase.dat.tmp") {
  fd_ = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd_ >= 0) out_.reserve(kChunk + 4096);
}

DatabaseFileWriter::~DatabaseFileWriter() {
  if (fd_ >= 0) Discard();
}

bool DatabaseFileWriter::Add(const UserRecord& record) {
  if (fd_ < 0 || failed_) return false;
  const size_t start = out_.size();
  AppendRecordLine(out_, record);
  // Each record line in the file's coding rule: Windows-1252 where it fits, else UTF-8. Most
  // lines are ASCII, the same in both, and stay where they were written.
  if (const std::string_view line = std::string_view(out_).substr(start); !IsAscii(line)) {
    out_.replace(start, std::string::npos, FileBytesFromText(line));
  }
  out_.append("\r\n");
  if (out_.size() >= kChunk) {
    failed_ = !WriteAll(fd_, out_);
    out_.clear();
  }
  return !failed_;
}

bool DatabaseFileWriter::Commit() {
  if (fd_ < 0) return false;
  if (failed_) {
    Discard();
    return false;
  }
  bool ok = WriteAll(fd_, out_) && ::fsync(fd_) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  const std::filesystem::path dat = folder_ / kDataFile;
  if (ok) {
    KeepPrevious(folder_, dat);
    ok = ::rename(tmp_.c_str(), dat.c_str()) == 0;
  }
  if (!ok) {
    ::unlink(tmp_.c_str());
    return false;
  }
  SyncFolder(folder_);
  return true;
}

void DatabaseFileWriter::Discard() {
  ::close(fd_);
  fd_ = -1;
  ::unlink(tmp_.c_str());
}

}  // namespace tc
