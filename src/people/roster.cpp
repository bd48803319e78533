#include "people/roster.h"

#include <algorithm>

#include "common/text.h"

namespace tc {

void Roster::Add(std::string_view name, int icon) {
  users_.Append({std::string(name), std::to_string(icon)});
}

void Roster::Remove(std::string_view name) {
  users_.Remove(user_rows_.FindLast(name));
}

void Roster::SetIcon(std::string_view name, int icon) {
  const std::string text = std::to_string(icon);
  for (const int row : user_rows_.FindAll(name)) users_.SetCell(row, 1, text);
}

std::string Roster::ListedName(std::string_view name) const {
  for (const TextTable::Row& row : users_.Rows()) {
    if (EqualsNoCase(row[0], name)) return row[0];
  }
  return {};
}

void Roster::AddBanned(std::string_view name) {
  if (name.empty() || name.size() + 2 > kBannedBytes) return;
  size_t count = 0;
  for (size_t at = 0; at < banned_.size();) {
    const size_t end = std::min(banned_.find(", ", at), banned_.size());
    if (EqualsNoCase(std::string_view(banned_).substr(at, end - at), name)) return;
    ++count;
    at = end + 2;
  }
  banned_ += name;
  banned_ += ", ";
  ++count;
  while (count > kBannedNames || banned_.size() > kBannedBytes) {
    banned_.erase(0, std::min(banned_.find(", "), banned_.size() - 2) + 2);
    --count;
  }
}

}  // namespace tc
