#include "persistence/reference_database.h"

#include "common/date_time.h"
#include "common/text.h"

namespace tc::test {

namespace {

const char* const kNames[kUserFieldCount] = {"Account_Name",
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

enum : int { kName = 0, kNumber = 1, kStatus = 6, kTotal = 11, kInChan = 12, kTimes = 13 };
enum : int { kFirstSeen = 10, kLocation = 15, kInChannel = 16, kTold = 17, kAlias = 18 };

bool SameName(const std::string& a, std::string_view b) {
  return LowerCase1252(a) == LowerCase1252(b);
}

std::string Inc(const std::string& counter) {
  return std::to_string(static_cast<long long>(SafeStrToInt(counter)) + 1);
}

}  // namespace

ReferenceDataBase::ReferenceDataBase(const Clock& clock)
    : slots(kDatabaseSlots + 1), cache(kPublicCacheEntries + 1), clock_(clock) {}

UserRecord ReferenceDataBase::ParseLine(std::string line) {
  UserRecord record;
  for (int i = 0; i < kUserFieldCount; ++i) {
    const std::string tag = std::string("<%") + kNames[i] + "%>";
    const int pos = PosNoCase(line, tag);
    if (pos == 0) continue;
    line.erase(0, static_cast<size_t>(pos) - 1 + tag.size());
    const size_t next = line.find("<%");
    record[i] = line.substr(0, next);
    line.erase(0, record[i].size());
  }
  return record;
}

std::string ReferenceDataBase::FormatLine(const UserRecord& record) {
  std::string line;
  for (int i = 0; i < kUserFieldCount; ++i) {
    std::string value = record[i];
    for (char& c : value) {
      if (c == '\r' || c == '\n') c = ' ';
    }
    for (size_t at = value.find("<%"); at != std::string::npos; at = value.find("<%", at + 2)) {
      value.insert(at + 1, "_");
    }
    line += std::string("<%") + kNames[i] + "%>" + value;
  }
  return line + "<%end%>";
}

void ReferenceDataBase::LoadUnused() {
  ClearUserRecord(0);
  open = false;
}

void ReferenceDataBase::LoadText(std::string_view content) {
  ClearUserRecord(0);
  open = true;
  int fill = 0;
  size_t start = 0;
  while (start <= content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    std::string line(content.substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const UserRecord record = ParseLine(line);
    int found = 0;
    for (int s = fill + 1; s <= kDatabaseSlots; ++s) {
      if (slots[s][kName].empty()) {
        found = s;
        break;
      }
    }
    if (found != 0) {
      if (!record[kName].empty()) slots[found] = record;
      fill = found;
    } else {
      MakeRoom();
      if (!record[kName].empty()) slots[1] = record;
      fill = 0;
    }
  }
  Sort();
}

std::string ReferenceDataBase::SaveText() {
  std::string out;
  if (!open) return out;
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (!slots[s][kName].empty()) out += FormatLine(slots[s]) + "\r\n";
  }
  open = false;
  return out;
}

int ReferenceDataBase::FindUser(std::string_view name) const {
  int result = 0;
  if (name.empty()) return 0;
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (SameName(slots[s][kName], name)) result = s;
  }
  return result;
}

void ReferenceDataBase::MakeRoom() {
  for (int s = kDatabaseSlots; s > 50; --s) slots[s] = slots[s - 50];
  for (int s = 1; s <= 50; ++s) slots[s] = UserRecord{};
}

void ReferenceDataBase::Sort() {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (int i = 1; i < kDatabaseSlots; ++i) {
      const std::string& low = slots[i][kName];
      const std::string& high = slots[i + 1][kName];
      if (low.empty() || high.empty()) continue;
      if (static_cast<unsigned char>(low[0]) > static_cast<unsigned char>(high[0])) {
        std::swap(slots[i], slots[i + 1]);
        swapped = true;
      }
    }
  }
}

void ReferenceDataBase::AddUser(std::string_view name) {
  if (!open || name.empty() || FindUser(name) != 0) return;
  UserRecord record;
  record[kName] = std::string(name);
  record[kFirstSeen] = DateTimeText(clock_.LocalNow());
  record[kTotal] = "0";
  record[kInChan] = "0";
  record[kTimes] = "0";
  record[kLocation] = "Unavailable";
  record[kInChannel] = "No";
  record[kTold] = "No";
  int free_slot = 0;
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (slots[s][kName].empty()) {
      free_slot = s;
      break;
    }
  }
  if (free_slot == 0) {
    MakeRoom();
    free_slot = 1;
  }
  slots[free_slot] = record;
  Sort();
}

void ReferenceDataBase::CollectAliases(const std::string& number) {
  if (number.empty() || number[0] != '#' || !open) return;
  std::string list;
  std::vector<std::string> collected;
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (slots[s][kNumber] != number) continue;
    const std::string& name = slots[s][kName];
    if (PosNoCase(list, name + ", ") != 0) continue;
    list += name + ", ";
    collected.push_back(name);
  }
  if (!list.empty()) list.erase(list.size() - 2);
  for (const std::string& name : collected) {
    UpdateUser(name, UserUpdate{{UserField::kAlias_Names, list}});
  }
}

void ReferenceDataBase::UpdateUser(std::string_view name, const UserUpdate& update) {
  if (!open || name.empty()) return;
  const auto& v = update.Values();
  if (public_channel) {
    // Cache fields 1..5 are record fields 3..7.
    const int fields[6] = {0, 2, 3, 4, 5, 6};
    if (v[kInChannel] == std::optional<std::string>("Yes")) {
      bool known = false;
      for (int e = 1; e <= kPublicCacheEntries; ++e) known = known || SameName(cache[e][0], name);
      if (!known) {
        for (int e = 1; e <= kPublicCacheEntries; ++e) {
          if (!cache[e][0].empty()) continue;
          cache[e][0] = std::string(name);
          for (int j = 1; j < 6; ++j) {
            if (v[fields[j]]) cache[e][j] = *v[fields[j]];
          }
          break;
        }
      }
      for (int e = 1; e <= kPublicCacheEntries; ++e) {
        if (!SameName(cache[e][0], name)) continue;
        for (int j = 1; j < 6; ++j) {
          if (v[fields[j]]) cache[e][j] = *v[fields[j]];
        }
      }
    } else if (v[kInChannel] == std::optional<std::string>("No")) {
      int last = 0;
      for (int e = 1; e <= kPublicCacheEntries; ++e) {
        if (SameName(cache[e][0], name)) last = e;
      }
      if (last != 0) cache[last] = {};
    }
    return;
  }
  int slot = FindUser(name);
  if (slot == 0) {
    AddUser(name);
    slot = FindUser(name);
  }
  for (int i = 1; i < kUserFieldCount; ++i) {
    if (!v[i]) continue;
    slots[slot][i] = *v[i];
    if (i == kNumber) CollectAliases(*v[i]);
  }
}

std::string ReferenceDataBase::GetUserField(std::string_view name, std::string_view field_name) {
  std::string result = "0";
  if (!open) return result;
  if (public_channel) {
    const char* const cached[6] = {"Account_Name",  "Product", "Flag",
                                   "InterBot_Name", "Icon",    "Status"};
    for (int e = 1; e <= kPublicCacheEntries; ++e) {
      if (name.empty() || !SameName(cache[e][0], name)) continue;
      for (int j = 0; j < 6; ++j) {
        if (field_name == cached[j]) result = cache[e][j];
      }
    }
    return result;
  }
  const int slot = FindUser(name);
  if (slot == 0) return result;
  for (int i = 0; i < kUserFieldCount; ++i) {
    if (field_name != kNames[i]) continue;
    if (i == kAlias) CollectAliases(slots[slot][kNumber]);
    result = slots[slot][i];
  }
  return result;
}

void ReferenceDataBase::IncTimesSeen(std::string_view name) {
  if (name.empty()) return;
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (SameName(slots[s][kName], name)) slots[s][kTimes] = Inc(slots[s][kTimes]);
  }
}

void ReferenceDataBase::ClearUserRecord(int slot) {
  if (slot == 0) {
    for (int s = 1; s <= kDatabaseSlots; ++s) slots[s] = UserRecord{};
  } else if (slot >= 1 && slot <= kDatabaseSlots) {
    slots[slot] = UserRecord{};
  }
}

int ReferenceDataBase::CountUsers() const {
  int n = 0;
  for (int s = 1; s <= kDatabaseSlots; ++s) n += slots[s][kName].empty() ? 0 : 1;
  return n;
}

void ReferenceDataBase::SecondTick() {
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (slots[s][kInChannel] != "Yes") continue;
    slots[s][kTotal] = Inc(slots[s][kTotal]);
    slots[s][kInChan] = Inc(slots[s][kInChan]);
  }
}

void ReferenceDataBase::ChannelEntered() {
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (slots[s][kName].empty()) continue;
    slots[s][kInChan] = "0";
    slots[s][kInChannel] = "No";
    slots[s][kTold] = "No";
  }
}

void ReferenceDataBase::Disconnected() {
  for (int s = 1; s <= kDatabaseSlots; ++s) {
    if (slots[s][kName].empty()) continue;
    slots[s][kStatus] = "Disconnected";
    slots[s][kInChan] = "0";
    slots[s][kInChannel] = "No";
    slots[s][kTold] = "No";
  }
}

}  // namespace tc::test
