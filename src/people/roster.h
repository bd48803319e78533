// The users of the channel we are in, in the order the server listed them, with the icon shown for
// each, and the users the server told us were banned while we were there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text_table.h"

namespace tc {

class Roster {
 public:
  // At most this many banned names, or this many bytes of their text, the oldest dropped, so a
  // flood of ban notices cannot grow it.
  static constexpr size_t kBannedNames = 200;
  static constexpr size_t kBannedBytes = 4096;

  Roster() = default;
  Roster(const Roster&) = delete;
  Roster& operator=(const Roster&) = delete;

  // A row for `name` at the end; the caller checks Contains first when it wants a name once.
  void Add(std::string_view name, int icon);
  // The last row for `name`; nothing when it is not listed.
  void Remove(std::string_view name);
  void Clear() { users_.Clear(); }
  bool Contains(std::string_view name) const { return user_rows_.FindFirst(name) >= 0; }
  // Every row for `name` shows `icon`.
  void SetIcon(std::string_view name, int icon);
  // The listed spelling of `name`, letter case ignored; empty when it is not listed.
  std::string ListedName(std::string_view name) const;
  int Count() const { return users_.RowCount(); }
  const std::vector<TextTable::Row>& Rows() const { return users_.Rows(); }
  // Columns: name, icon number.
  TextTable& table() { return users_; }

  // The banned-users text, "<name>, <name>, ": each name once, letter case ignored as the server
  // looks accounts up.
  void AddBanned(std::string_view name);
  void ClearBanned() { banned_.clear(); }
  const std::string& banned() const { return banned_; }

 private:
  TextTable users_{2};
  TableIndex user_rows_{users_, 0};  // users_ rows by name
  std::string banned_;
};

}  // namespace tc
