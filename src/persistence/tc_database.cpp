#include "persistence/tc_database.h"

#include <algorithm>
#include <functional>

#include "common/date_time.h"
#include "common/text.h"
#include "persistence/free_slots.h"
#include "ports/ports.h"

namespace tc {

namespace {

constexpr int kRoomMade = 50;  // slots a full table gives up for each new record
constexpr int kSlots = kDatabaseSlots;
using FreeSlots = SlotBits<kSlots>;

constexpr size_t Idx(UserField f) {
  return static_cast<size_t>(f);
}

// The cache's six fields, as record fields.
constexpr std::array<UserField, 6> kCacheFields = {
    UserField::kAccount_Name,  UserField::kProduct, UserField::kFlag,
    UserField::kInterBot_Name, UserField::kIcon,    UserField::kStatus};

// Counters are text; the sum is widened so a saturated value never overflows.
std::string PlusOne(std::string_view counter) {
  return std::to_string(static_cast<int64_t>(SafeStrToInt(counter)) + 1);
}

bool IsAliasNumber(std::string_view number) {
  return !number.empty() && number[0] == '#';
}

struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const {
    uint64_t h = 1469598103934665603ULL;
    for (char c : text) {
      h ^= static_cast<unsigned char>(FoldNoCaseByte(c));
      h *= 1099511628211ULL;
    }
    return static_cast<size_t>(h);
  }
};

struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

struct BytesHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

using PoolList = std::vector<uint16_t>;

void RemoveFrom(PoolList& list, uint16_t p) {
  const auto it = std::find(list.begin(), list.end(), p);
  if (it != list.end()) {
    *it = list.back();
    list.pop_back();
  }
}

}  // namespace

// The records, allocated at their first use: a program that has not loaded or added a user yet
// (the window on its way to the screen) does not wait for thousands of empty records. Walking an
// unallocated pool visits nothing, which is what walking empty records amounts to.
class RecordPool {
 public:
  UserRecord& operator[](size_t p) {
    if (records_.empty()) records_.resize(kSlots);
    return records_[p];
  }
  const UserRecord& operator[](size_t p) const {
    static const UserRecord kEmpty{};
    return records_.empty() ? kEmpty : records_[p];
  }
  std::vector<UserRecord>::iterator begin() { return records_.begin(); }
  std::vector<UserRecord>::iterator end() { return records_.end(); }

 private:
  std::vector<UserRecord> records_;
};

// Slots hold records by index into a fixed pool, so moving a record is moving a 16-bit index.
// Every maximal run of occupied slots is kept in order by the first character of the name in the
// code page's byte order, as when names were Windows-1252 bytes (stable):
// that is what repeated neighbour swaps leave, and each operation disturbs at most one run.
struct TC_DataBase::Impl {
  Impl(const Clock& c, Frontend& f) : clock(c), frontend(f) {
    for (int s = 0; s < kSlots; ++s) {
      slot_to_pool[s] = static_cast<uint16_t>(s);
      pool_to_slot[s] = static_cast<uint16_t>(s);
    }
    names.reserve(kSlots);
  }

  const Clock& clock;
  Frontend& frontend;
  RecordPool pool;
  std::array<uint16_t, kSlots> slot_to_pool{};
  std::array<uint16_t, kSlots> pool_to_slot{};
  std::array<uint32_t, kSlots> key{};  // first character of the name, by pool index
  FreeSlots free;
  // Lower-cased name -> pool indices of every record with that name.
  std::unordered_map<std::string, PoolList, NoCaseHash, NoCaseEqual> names;
  // Account numbers beginning with "#" -> pool indices, for the alias collection.
  std::unordered_map<std::string, PoolList, BytesHash, std::equal_to<>> numbers;
  std::array<std::array<std::string, 6>, kPublicCacheEntries> cache;
  const UserRecord empty_record{};
  const std::array<std::string, 6> empty_entry{};
  // Counts changes to the records; equal to saved_changes when the file holds the table.
  uint64_t changes = 0;
  uint64_t saved_changes = 0;

  UserRecord& AtSlot(int slot0) { return pool[slot_to_pool[slot0]]; }

  bool KeyLess(uint16_t a, uint16_t b) const { return key[a] < key[b]; }

  void Renumber(int from0, int to0) {
    for (int s = from0; s < to0; ++s) pool_to_slot[slot_to_pool[s]] = static_cast<uint16_t>(s);
  }

  void Index(uint16_t p) {
    const UserRecord& r = pool[p];
    key[p] = FirstCharOrder1252(r[0]);
    auto it = names.find(std::string_view(r[0]));
    if (it == names.end()) it = names.emplace(LowerCase1252(r[0]), PoolList{}).first;
    it->second.push_back(p);
    IndexNumber(p);
  }

  void IndexNumber(uint16_t p) {
    const std::string& number = pool[p][Idx(UserField::kAccount_Number)];
    if (!IsAliasNumber(number)) return;
    auto it = numbers.find(std::string_view(number));
    if (it == numbers.end()) it = numbers.emplace(number, PoolList{}).first;
    it->second.push_back(p);
  }

  void UnindexNumber(uint16_t p) {
    const std::string& number = pool[p][Idx(UserField::kAccount_Number)];
    if (!IsAliasNumber(number)) return;
    const auto it = numbers.find(std::string_view(number));
    if (it == numbers.end()) return;
    RemoveFrom(it->second, p);
    if (it->second.empty()) numbers.erase(it);
  }

  // Empties one pool record and drops it from the indexes; the caller frees its slot.
  void ClearPool(uint16_t p) {
    UserRecord& r = pool[p];
    if (!r[0].empty()) {
      const auto it = names.find(std::string_view(r[0]));
      if (it != names.end()) {
        RemoveFrom(it->second, p);
        if (it->second.empty()) names.erase(it);
      }
      UnindexNumber(p);
    }
    for (std::string& field : r) field.clear();
  }

  void EmptyAll() {
    for (UserRecord& r : pool) {
      for (std::string& field : r) field.clear();
    }
    names.clear();
    numbers.clear();
    free.SetAll();
  }

  // Highest 1-based slot holding `name`, letter case ignored; 0 when none.
  int Find(std::string_view name) const {
    if (name.empty()) return 0;
    const auto it = names.find(name);
    if (it == names.end()) return 0;
    int best = -1;
    for (uint16_t p : it->second) best = std::max(best, static_cast<int>(pool_to_slot[p]));
    return best + 1;
  }

  // A full table: slots 1..4950 move up by 50, the top 50 are lost and slots 1..50 are free.
  void MakeRoom() {
    for (int s = kSlots - kRoomMade; s < kSlots; ++s) ClearPool(slot_to_pool[s]);
    std::rotate(slot_to_pool.begin(), slot_to_pool.end() - kRoomMade, slot_to_pool.end());
    Renumber(0, kSlots);
    free.ShiftUp(kRoomMade);
    for (int s = 0; s < kRoomMade; ++s) free.Set(s, true);
  }

  // Restores the order of the run around `slot0`, which has just been filled. The rest of the
  // run was in order on both sides of it.
  void PlaceInRun(int slot0) {
    const int lo = free.PrevBefore(slot0) + 1;
    const int hi = free.NextFrom(slot0 + 1);
    uint16_t* base = slot_to_pool.data();
    const auto less = [this](uint16_t a, uint16_t b) { return KeyLess(a, b); };
    // Into the part below: after every record whose first character is not greater.
    uint16_t* at = std::upper_bound(base + lo, base + slot0, base[slot0], less);
    std::rotate(at, base + slot0, base + slot0 + 1);
    int changed_lo = static_cast<int>(at - base);
    int changed_hi = slot0 + 1;
    uint16_t* mid = base + slot0 + 1;
    if (slot0 + 1 < hi && KeyLess(mid[0], mid[-1])) {
      // The two sorted halves overlap; merge only the overlap, lower half first on ties.
      uint16_t* first = std::upper_bound(base + lo, mid, mid[0], less);
      uint16_t* last = std::lower_bound(mid, base + hi, mid[-1], less);
      if (mid - first == 1) {
        std::rotate(first, mid, last);  // only the new record is out of place
      } else {
        std::inplace_merge(first, mid, last, less);
      }
      changed_lo = std::min(changed_lo, static_cast<int>(first - base));
      changed_hi = static_cast<int>(last - base);
    }
    Renumber(changed_lo, changed_hi);
  }

  // A new record for `name` (not in the table); returns its 1-based slot after sorting.
  int Add(std::string_view name) {
    int slot0 = free.NextFrom(0);
    if (slot0 == kSlots) {
      MakeRoom();
      slot0 = 0;
    }
    const uint16_t p = slot_to_pool[slot0];
    UserRecord& r = pool[p];
    r[Idx(UserField::kAccount_Name)] = std::string(name);
    r[Idx(UserField::kFirst_Time_Seen)] = DateTimeText(clock.LocalNow());
    r[Idx(UserField::kTotal_Time_Seen)] = "0";
    r[Idx(UserField::kTime_In_Channel)] = "0";
    r[Idx(UserField::kNumber_Times_Seen)] = "0";
    r[Idx(UserField::kLocation)] = "Unavailable";
    r[Idx(UserField::kIn_Channel)] = "No";
    r[Idx(UserField::kTold_InterBot)] = "No";
    free.Set(slot0, false);
    Index(p);
    PlaceInRun(slot0);
    return pool_to_slot[p] + 1;
  }

  void SetNumber(uint16_t p, const std::string& number) {
    std::string& field = pool[p][Idx(UserField::kAccount_Number)];
    if (field == number) return;
    UnindexNumber(p);
    field = number;
    IndexNumber(p);
  }

  // Every account sharing `number` gets the list of their names, in slot order. A name is left
  // out when it plus ", " already occurs in the list, letter case ignored.
  void CollectAliases(const std::string& number) {
    if (!IsAliasNumber(number)) return;
    const auto it = numbers.find(std::string_view(number));
    if (it == numbers.end()) return;
    std::vector<uint16_t> slots;
    slots.reserve(it->second.size());
    for (uint16_t p : it->second) slots.push_back(pool_to_slot[p]);
    std::sort(slots.begin(), slots.end());
    std::string list;
    std::vector<std::string_view> collected;
    for (uint16_t s : slots) {
      const std::string& name = pool[slot_to_pool[s]][0];
      std::string entry = name + ", ";
      if (PosNoCase(list, entry) != 0) continue;
      list += entry;
      collected.push_back(name);
    }
    if (list.size() >= 2) list.resize(list.size() - 2);
    // As an update by name: the highest slot of each name gets it.
    for (std::string_view name : collected) {
      const int slot = Find(name);
      if (slot == 0) continue;
      std::string& aliases = AtSlot(slot - 1)[Idx(UserField::kAlias_Names)];
      if (aliases != list) {
        aliases = list;
        ++changes;
      }
    }
  }

  // After a load: order every run, then rebuild what follows from the slots.
  void Reindex() {
    names.clear();
    numbers.clear();
    for (int s = 0; s < kSlots; ++s) {
      if (!free.Test(s)) key[slot_to_pool[s]] = FirstCharOrder1252(AtSlot(s)[0]);
    }
    uint16_t* base = slot_to_pool.data();
    const auto less = [this](uint16_t a, uint16_t b) { return KeyLess(a, b); };
    for (int lo = 0; lo < kSlots;) {
      while (lo < kSlots && free.Test(lo)) ++lo;
      if (lo == kSlots) break;
      const int hi = free.NextFrom(lo);
      std::stable_sort(base + lo, base + hi, less);
      lo = hi;
    }
    Renumber(0, kSlots);
    for (int s = 0; s < kSlots; ++s) {
      if (!free.Test(s)) Index(slot_to_pool[s]);
    }
  }

  // Fills the emptied table from the file's records. False when the file cannot be read.
  bool LoadFile(const std::filesystem::path& folder) {
    int fill = -1;  // 0-based; -1 is "before slot 1"
    return ReadDatabaseFile(folder, [&](UserRecord&& record) {
      int slot0 = free.NextFrom(fill + 1);
      const bool made_room = slot0 == kSlots;
      if (made_room) {
        MakeRoom();
        slot0 = 0;
      }
      // A line without a name takes its place but stays a free slot.
      if (!record[0].empty()) {
        pool[slot_to_pool[slot0]] = std::move(record);
        free.Set(slot0, false);
      }
      fill = made_room ? -1 : slot0;
    });
  }

  // Every record in slot order, through one atomic replace of DataBase.dat.
  bool SaveFile(const std::filesystem::path& folder) {
    DatabaseFileWriter file(folder);
    if (!file.IsOpen()) return false;
    bool ok = true;
    for (int s = 0; s < kSlots && ok; ++s) {
      if (free.Test(s)) continue;
      ok = file.Add(AtSlot(s));
      frontend.StepProgress();
    }
    return ok && file.Commit();
  }
};

TC_DataBase::TC_DataBase(const Clock& clock, Frontend& frontend)
    : impl_(std::make_unique<Impl>(clock, frontend)) {}

TC_DataBase::~TC_DataBase() = default;

void TC_DataBase::LoadUserDatabase(const std::filesystem::path& folder, bool use) {
  folder_ = folder;
  open_ = false;
  if (!use) {
    impl_->EmptyAll();
    return;
  }
  // Opened before the table is touched, so a failure leaves it as it was.
  if (!PrepareDatabaseFile(folder)) {
    impl_->frontend.ShowMessage("Error loading user database.");
    return;
  }
  // A load cut short (out of memory) leaves a table that must never replace the file.
  impl_->saved_changes = impl_->changes;
  impl_->EmptyAll();
  open_ = true;
  impl_->LoadFile(folder);
  impl_->Reindex();
  impl_->saved_changes = impl_->changes;
}

void TC_DataBase::SaveUserDatabase() {
  if (!open_) return;
  impl_->frontend.ShowProgress("Saving user database...", CountUsers());
  const bool saved = impl_->SaveFile(folder_);
  impl_->frontend.HideProgress();
  open_ = false;
  if (saved) impl_->saved_changes = impl_->changes;
  if (!saved)
    impl_->frontend.ShowMessage("Unable to open file: " + (folder_ / "DataBase.dat").string());
}

bool TC_DataBase::SaveChanges() {
  if (!open_ || !Changed()) return true;
  // Taken before the write: a change made while it runs is saved next time.
  const uint64_t changes = impl_->changes;
  if (!impl_->SaveFile(folder_)) return false;
  impl_->saved_changes = changes;
  return true;
}

bool TC_DataBase::Changed() const {
  return impl_->changes != impl_->saved_changes;
}

int TC_DataBase::FindUser(std::string_view name) const {
  return impl_->Find(name);
}

void TC_DataBase::AddUser(std::string_view name) {
  if (!open_ || name.empty() || impl_->Find(name) != 0) return;
  impl_->Add(name);
  ++impl_->changes;
}

void TC_DataBase::UpdateUser(std::string_view name, const UserUpdate& update) {
  if (!open_ || name.empty()) return;
  const auto& values = update.Values();
  if (public_channel_) {
    const std::string in_channel = values[Idx(UserField::kIn_Channel)].value_or("");
    auto& cache = impl_->cache;
    const auto has_name = [&](const std::array<std::string, 6>& e) {
      return EqualsNoCase(e[0], name);
    };
    const auto give_values = [&](std::array<std::string, 6>& e) {
      for (size_t j = 1; j < kCacheFields.size(); ++j) {
        const std::optional<std::string>& v = values[Idx(kCacheFields[j])];
        if (v) e[j] = *v;
      }
    };
    if (in_channel == "Yes") {
      if (std::none_of(cache.begin(), cache.end(), has_name)) {
        const auto free_entry =
            std::find_if(cache.begin(), cache.end(), [](const auto& e) { return e[0].empty(); });
        if (free_entry != cache.end()) (*free_entry)[0] = std::string(name);
      }
      for (auto& e : cache) {
        if (has_name(e)) give_values(e);
      }
    } else if (in_channel == "No") {
      const auto last = std::find_if(cache.rbegin(), cache.rend(), has_name);
      if (last != cache.rend()) {
        for (std::string& field : *last) field.clear();
      }
    }
    return;
  }
  int slot = impl_->Find(name);
  if (slot == 0) slot = impl_->Add(name);
  const uint16_t p = impl_->slot_to_pool[slot - 1];
  ++impl_->changes;
  for (size_t i = 1; i < kUserFieldCount; ++i) {
    if (!values[i]) continue;
    const std::string& v = *values[i];
    if (i == Idx(UserField::kAccount_Number)) {
      impl_->SetNumber(p, v);
      impl_->CollectAliases(v);
    } else {
      impl_->pool[p][i] = v;
    }
  }
}

std::string TC_DataBase::GetUserField(std::string_view name, std::string_view field_name) const {
  const std::optional<UserField> field = UserFieldFromName(field_name);
  return field ? GetUserField(name, *field) : "0";
}

std::string TC_DataBase::GetUserField(std::string_view name, UserField field) const {
  const auto f = static_cast<size_t>(field);
  if (!open_ || f >= kUserFieldCount) return "0";
  if (public_channel_) {
    const auto* cached = std::find(kCacheFields.begin(), kCacheFields.end(), field);
    if (cached == kCacheFields.end()) return "0";
    const size_t j = static_cast<size_t>(cached - kCacheFields.begin());
    const auto& cache = impl_->cache;
    const auto last = std::find_if(cache.rbegin(), cache.rend(), [&](const auto& e) {
      return !name.empty() && EqualsNoCase(e[0], name);
    });
    return last != cache.rend() ? (*last)[j] : "0";
  }
  const int slot = impl_->Find(name);
  if (slot == 0) return "0";
  if (field == UserField::kAlias_Names) {
    impl_->CollectAliases(impl_->AtSlot(slot - 1)[Idx(UserField::kAccount_Number)]);
  }
  return impl_->AtSlot(slot - 1)[f];
}

void TC_DataBase::IncTimesSeen(std::string_view name) {
  if (name.empty()) return;
  const auto it = impl_->names.find(name);
  if (it == impl_->names.end()) return;
  for (uint16_t p : it->second) {
    std::string& seen = impl_->pool[p][Idx(UserField::kNumber_Times_Seen)];
    seen = PlusOne(seen);
  }
  ++impl_->changes;
}

void TC_DataBase::ClearUserRecord(int slot) {
  if (slot == 0) {
    impl_->EmptyAll();
    ++impl_->changes;
    return;
  }
  if (slot < 1 || slot > kSlots || impl_->free.Test(slot - 1)) return;
  impl_->ClearPool(impl_->slot_to_pool[slot - 1]);
  impl_->free.Set(slot - 1, true);
  ++impl_->changes;
}

int TC_DataBase::CountUsers() const {
  return kSlots - impl_->free.Count();
}

void TC_DataBase::SecondTick() {
  // Counted once after the pass: a write per record would cost the busiest loop of the tick.
  bool changed = false;
  for (UserRecord& r : impl_->pool) {
    if (r[Idx(UserField::kIn_Channel)] != "Yes") continue;
    r[Idx(UserField::kTotal_Time_Seen)] = PlusOne(r[Idx(UserField::kTotal_Time_Seen)]);
    r[Idx(UserField::kTime_In_Channel)] = PlusOne(r[Idx(UserField::kTime_In_Channel)]);
    changed = true;
  }
  if (changed) ++impl_->changes;
}

void TC_DataBase::ChannelEntered() {
  for (UserRecord& r : impl_->pool) {
    if (r[0].empty()) continue;
    r[Idx(UserField::kTime_In_Channel)] = "0";
    r[Idx(UserField::kIn_Channel)] = "No";
    r[Idx(UserField::kTold_InterBot)] = "No";
    ++impl_->changes;
  }
}

void TC_DataBase::Disconnected() {
  for (UserRecord& r : impl_->pool) {
    if (r[0].empty()) continue;
    r[Idx(UserField::kStatus)] = "Disconnected";
    r[Idx(UserField::kTime_In_Channel)] = "0";
    r[Idx(UserField::kIn_Channel)] = "No";
    r[Idx(UserField::kTold_InterBot)] = "No";
    ++impl_->changes;
  }
}

const UserRecord& TC_DataBase::Slot(int slot) const {
  if (slot < 1 || slot > kSlots) return impl_->empty_record;
  return impl_->AtSlot(slot - 1);
}

const std::array<std::string, 6>& TC_DataBase::CacheEntry(int entry) const {
  if (entry < 1 || entry > kPublicCacheEntries) return impl_->empty_entry;
  return impl_->cache[static_cast<size_t>(entry - 1)];
}

}  // namespace tc
