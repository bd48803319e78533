// The user database: one record of nineteen text fields per account met, in 5000 slots, stored
// in DataBase.dat with the previous save kept as DataBase.save.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "persistence/database_file.h"

namespace tc {

class Clock;
class Frontend;

inline constexpr int kDatabaseSlots = 5000;
inline constexpr int kPublicCacheEntries = 150;

// The fields UpdateUser writes; every other field is left as it is. Any text is a value, "$"
// included: the file's "leave unchanged" mark is no concern of an update made in memory.
class UserUpdate {
 public:
  UserUpdate() = default;
  UserUpdate(std::initializer_list<std::pair<UserField, std::string_view>> fields) {
    for (const auto& [f, v] : fields) Set(f, v);
  }
  UserUpdate& Set(UserField field, std::string_view value) {
    values_[static_cast<size_t>(field)] = std::string(value);
    return *this;
  }
  // By record index (index 0 is Account_Name and is ignored); empty for a field left alone.
  const std::array<std::optional<std::string>, kUserFieldCount>& Values() const { return values_; }

 private:
  std::array<std::optional<std::string>, kUserFieldCount> values_;
};

class TC_DataBase {
 public:
  // `clock` dates new records; `frontend` shows the save progress and the load error box.
  TC_DataBase(const Clock& clock, Frontend& frontend);
  ~TC_DataBase();
  TC_DataBase(const TC_DataBase&) = delete;
  TC_DataBase& operator=(const TC_DataBase&) = delete;

  void LoadUserDatabase(const std::filesystem::path& folder, bool use);
  void SaveUserDatabase();
  // Between shutdowns: writes the table through the same atomic path when it changed since the
  // last load or save, without the progress box, and keeps it open. False when the write failed.
  bool SaveChanges();
  // Whether the table differs from what was last loaded or saved.
  bool Changed() const;

  int FindUser(std::string_view name) const;
  void AddUser(std::string_view name);
  void UpdateUser(std::string_view name, const UserUpdate& update);
  std::string GetUserField(std::string_view name, std::string_view field_name) const;
  std::string GetUserField(std::string_view name, UserField field) const;
  void IncTimesSeen(std::string_view name);
  void ClearUserRecord(int slot);
  int CountUsers() const;

  // The whole-table passes.
  void SecondTick();      // In_Channel "Yes": Total_Time_Seen and Time_In_Channel + 1
  void ChannelEntered();  // Time_In_Channel "0", In_Channel "No", Told_InterBot "No"
  void Disconnected();    // and Status "Disconnected"

  bool IsOpen() const { return open_; }
  bool PublicChannel() const { return public_channel_; }
  void SetPublicChannel(bool value) { public_channel_ = value; }
  const std::filesystem::path& Folder() const { return folder_; }

  // Slot contents, 1-based; an empty Account_Name marks a free slot.
  const UserRecord& Slot(int slot) const;
  // Public-channel cache entry, 1-based: Account_Name, Product, Flag, InterBot_Name, Icon, Status.
  const std::array<std::string, 6>& CacheEntry(int entry) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  bool open_ = false;
  bool public_channel_ = false;
  std::filesystem::path folder_;
};

}  // namespace tc
