// DataBase.dat on the disk: one line per record, each field behind its "<%Name%>" tag, ended by
// "<%end%>" and CR LF. The previous save is kept as DataBase.save.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

enum class UserField : int {
  kAccount_Name = 0,
  kAccount_Number,
  kProduct,
  kFlag,
  kInterBot_Name,
  kIcon,
  kStatus,
  kNotes,
  kInformation,
  kLast_Time_Seen,
  kFirst_Time_Seen,
  kTotal_Time_Seen,
  kTime_In_Channel,
  kNumber_Times_Seen,
  kLast_Message_Seen,
  kLocation,
  kIn_Channel,
  kTold_InterBot,
  kAlias_Names,
};

inline constexpr int kUserFieldCount = 19;

using UserRecord = std::array<std::string, kUserFieldCount>;

// The field's name as the file and GetUserField spell it ("Account_Name", ...), and back (exact
// letter case; nothing for a name that is no field).
std::string_view UserFieldName(UserField field);
std::optional<UserField> UserFieldFromName(std::string_view name);

// A record as one DataBase.dat line (without CR LF), and back. Parsing never fails: missing tags
// leave fields empty.
std::string FormatUserRecord(const UserRecord& record);
UserRecord ParseUserRecord(std::string_view line);

// DataBase.dat in `folder`; made empty when it does not exist. True when it can be read as a
// regular file.
bool PrepareDatabaseFile(const std::filesystem::path& folder);

// Calls `on_record` for each non-empty line of DataBase.dat in `folder`, in file order. False
// when the file cannot be opened for reading as a regular file.
bool ReadDatabaseFile(const std::filesystem::path& folder,
                      const std::function<void(UserRecord&&)>& on_record);

// Writes the records to a new file beside DataBase.dat and puts it in place in one rename on
// Commit, so DataBase.dat is always a complete old or new file; DataBase.save becomes the old
// one. Dropped without a Commit, the new file is removed and DataBase.dat is left alone.
class DatabaseFileWriter {
 public:
  explicit DatabaseFileWriter(const std::filesystem::path& folder);
  ~DatabaseFileWriter();
  DatabaseFileWriter(const DatabaseFileWriter&) = delete;
  DatabaseFileWriter& operator=(const DatabaseFileWriter&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // False once a write has failed.
  bool Add(const UserRecord& record);
  bool Commit();

 private:
  // Closes and removes the new file.
  void Discard();

  std::filesystem::path folder_;
  std::filesystem::path tmp_;
  int fd_ = -1;
  bool failed_ = false;
  std::string out_;
};

}  // namespace tc
