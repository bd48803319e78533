#include "persistence/tc_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <functional>

#include "common/date_time.h"
#include "common/text.h"

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
constexpr int kRoomMade = 50;  // slots a full table gives up for each new record
constexpr int kSlots = kDatabaseSlots;

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

struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const {
    uint64_t h = 1469598103934665603ULL;
    for (char c : text) {
      h ^= static_cast<unsigned char>(LowerChar1252(c));
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

// Free slots as bits, so the lowest free slot and the ends of a run are found a word at a time.
class FreeSlots {
 public:
  FreeSlots() { SetAll(); }
  void SetAll() {
    words_.fill(~uint64_t{0});
    words_.back() &= kLastMask;
  }
  bool Test(int slot) const { return (words_[slot / 64] >> (slot % 64)) & 1U; }
  void Set(int slot, bool is_free) {
    const uint64_t bit = uint64_t{1} << (slot % 64);
    if (is_free) {
      words_[slot / 64] |= bit;
    } else {
      words_[slot / 64] &= ~bit;
    }
  }
  int Count() const {
    int n = 0;
    for (uint64_t w : words_) n += std::popcount(w);
    return n;
  }
  // First free slot at or after `from`; kSlots when none.
  int NextFrom(int from) const {
    if (from >= kSlots) return kSlots;
    size_t w = static_cast<size_t>(from / 64);
    uint64_t bits = words_[w] & (~uint64_t{0} << (from % 64));
    while (bits == 0) {
      if (++w == words_.size()) return kSlots;
      bits = words_[w];
    }
    return static_cast<int>(w * 64) + std::countr_zero(bits);
  }
  // Last free slot before `before`; -1 when none.
  int PrevBefore(int before) const {
    if (before <= 0) return -1;
    const int last = before - 1;
    int w = last / 64;
    const int shift = 63 - last % 64;
    uint64_t bits = (words_[w] << shift) >> shift;
    while (bits == 0) {
      if (--w < 0) return -1;
      bits = words_[w];
    }
    return w * 64 + 63 - std::countl_zero(bits);
  }
  // Slot i becomes slot i + n (n < 64); the top n fall off, the bottom n are not free.
  void ShiftUp(int n) {
    for (size_t w = words_.size(); w-- > 0;) {
      const uint64_t low = w > 0 ? words_[w - 1] >> (64 - n) : 0;
      words_[w] = (words_[w] << n) | low;
    }
    words_.back() &= kLastMask;
  }

 private:
  static constexpr size_t kWords = (kSlots + 63) / 64;
  static constexpr uint64_t kLastMask =
      kSlots % 64 == 0 ? ~uint64_t{0} : (uint64_t{1} << (kSlots % 64)) - 1;
  std::array<uint64_t, kWords> words_{};
};

using PoolList = std::vector<uint16_t>;

void RemoveFrom(PoolList& list, uint16_t p) {
  const auto it = std::find(list.begin(), list.end(), p);
  if (it != list.end()) {
    *it = list.back();
    list.pop_back();
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
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

}  // namespace

std::string_view UserFieldName(UserField field) {
  const auto i = static_cast<size_t>(field);
  return i < kFieldNames.size() ? kFieldNames[i] : std::string_view();
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
// Every maximal run of occupied slots is kept in order by the first byte of the name (stable):
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
  std::array<uint8_t, kSlots> key{};  // first byte of the name, by pool index
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
    key[p] = static_cast<uint8_t>(r[0][0]);
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
    // Into the part below: after every record whose first byte is not greater.
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
      if (!free.Test(s)) key[slot_to_pool[s]] = static_cast<uint8_t>(AtSlot(s)[0][0]);
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

  // Fills the emptied table from the file's lines. False when the file cannot be read.
  bool LoadFile(const std::filesystem::path& path) {
    int fill = -1;  // 0-based; -1 is "before slot 1"
    return ReadLines(path, [&](std::string_view line) {
      UserRecord record = ParseUserRecord(line);
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

  // Writes every record to a new file beside DataBase.dat and puts it in place in one rename, so
  // DataBase.dat is always a complete old or new file. DataBase.save becomes the old one.
  bool SaveFile(const std::filesystem::path& folder) {
    const std::filesystem::path dat = folder / "DataBase.dat";
    const std::filesystem::path tmp = folder / "DataBase.dat.tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return false;
    constexpr size_t kChunk = size_t{1} << 20;
    std::string out;
    out.reserve(kChunk + 4096);
    bool ok = true;
    for (int s = 0; s < kSlots && ok; ++s) {
      if (free.Test(s)) continue;
      AppendRecordLine(out, AtSlot(s));
      out.append("\r\n");
      frontend.StepProgress();
      if (out.size() >= kChunk) {
        ok = WriteAll(fd, out);
        out.clear();
      }
    }
    ok = ok && WriteAll(fd, out);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) {
      KeepPrevious(folder, dat);
      ok = ::rename(tmp.c_str(), dat.c_str()) == 0;
    }
    if (!ok) {
      ::unlink(tmp.c_str());
      return false;
    }
    SyncFolder(folder);
    return true;
  }

  // DataBase.save := the current DataBase.dat, replaced in one rename so one of them always
  // exists. Without a DataBase.dat the older DataBase.save is kept rather than lost.
  static void KeepPrevious(const std::filesystem::path& folder, const std::filesystem::path& dat) {
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
  const std::filesystem::path dat = folder / "DataBase.dat";
  struct stat st {};
  if (::lstat(dat.c_str(), &st) != 0 && errno == ENOENT) {
    const int fd = ::open(dat.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0) ::close(fd);
  }
  // Opened before the table is touched, so a failure leaves it as it was.
  const int probe = ::open(dat.c_str(), O_RDONLY | O_CLOEXEC);
  const bool readable = probe >= 0 && ::fstat(probe, &st) == 0 && S_ISREG(st.st_mode);
  if (probe >= 0) ::close(probe);
  if (!readable) {
    impl_->frontend.ShowMessage("Error loading user database.");
    return;
  }
  // A load cut short (out of memory) leaves a table that must never replace the file.
  impl_->saved_changes = impl_->changes;
  impl_->EmptyAll();
  open_ = true;
  impl_->LoadFile(dat);
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
  const auto* it = std::find(kFieldNames.begin(), kFieldNames.end(), field_name);
  if (it == kFieldNames.end()) return "0";
  return GetUserField(name, static_cast<UserField>(it - kFieldNames.begin()));
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
