// DataBase.dat lines from anywhere: parsing never reads out of bounds, a record written back is
// one line that reads back the same, and a whole file of such bytes loads and saves cleanly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "harness/fakes.h"
#include "harness/session.h"
#include "persistence/tc_database.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tc::UserRecord record = tc::ParseUserRecord(bytes);
  const std::string line = tc::FormatUserRecord(record);
  Check(line.find_first_of("\r\n") == std::string::npos);
  // Values without "<%" or line breaks come back unchanged.
  bool plain = true;
  for (const std::string& field : record) {
    plain = plain && field.find("<%") == std::string::npos &&
            field.find_first_of("\r\n") == std::string::npos;
  }
  if (plain) Check(tc::ParseUserRecord(line) == record);

  // The bytes as a whole file, loaded, used and saved.
  if (size > 4096) return 0;
  tc::test::VirtualClock clock;
  tc::test::FakeFrontend ui;
  tc::test::TempDir dir;
  {
    std::ofstream out(dir.path() / "DataBase.dat", std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  tc::TC_DataBase db(clock, ui);
  db.LoadUserDatabase(dir.path(), true);
  Check(db.IsOpen());
  const int count = db.CountUsers();
  const std::string first = db.Slot(1)[0];
  const bool adds = first.empty() && db.FindUser("x") == 0;
  db.UpdateUser(first.empty() ? "x" : first,
                tc::UserUpdate{{tc::UserField::kAccount_Number, "#1"}});
  (void)db.GetUserField(first, "Alias_Names");
  db.SaveUserDatabase();
  Check(ui.progress_steps == ui.progress_maximum);
  db.LoadUserDatabase(dir.path(), true);
  Check(db.CountUsers() == count + (adds ? 1 : 0));
  return 0;
}
