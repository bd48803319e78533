// A deliberately plain user database for the equivalence tests: a 5000-slot array, neighbour-swap
// passes after every insertion and linear scans, each step done the long way. The fast table must
// leave every slot exactly as this one does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "persistence/tc_database.h"
#include "ports/ports.h"

namespace tc::test {

class ReferenceDataBase {
 public:
  explicit ReferenceDataBase(const Clock& clock);

  // The file's bytes as the load reads them (the file itself is the fast table's business).
  void LoadText(std::string_view content);
  void LoadUnused();
  // The bytes a save writes; closes the database.
  std::string SaveText();

  int FindUser(std::string_view name) const;
  void AddUser(std::string_view name);
  void UpdateUser(std::string_view name, const UserUpdate& update);
  std::string GetUserField(std::string_view name, std::string_view field_name);
  void IncTimesSeen(std::string_view name);
  void ClearUserRecord(int slot);
  int CountUsers() const;
  void SecondTick();
  void ChannelEntered();
  void Disconnected();

  bool open = false;
  bool public_channel = false;
  std::vector<UserRecord> slots;                  // index 1..5000; 0 unused
  std::vector<std::array<std::string, 6>> cache;  // index 1..150; 0 unused

  static UserRecord ParseLine(std::string line);
  static std::string FormatLine(const UserRecord& record);

 private:
  void MakeRoom();
  void Sort();
  void CollectAliases(const std::string& number);

  const Clock& clock_;
};

}  // namespace tc::test
