// The channel hit counter and the last-ten list.
#include <string>

#include "app/tc_main.h"
#include "common/text.h"

namespace tc {

int TC_Main::ChannelHit(std::string_view channel, std::string_view operation) {
  hit_counter_.SetFile(program_dir_ / "HitCounter.ini");
  std::string error;
  const int count = hit_counter_.Hit(channel, operation, &error);
  if (!error.empty()) DisplayText("Error ( " + error + " )", 5);
  return count;
}

void TC_Main::Add_LastTen(std::string_view name) {
  for (int row = last_ten_.RowCount() - 1; row >= 0; --row) {
    if (EqualsNoCase(last_ten_.Cell(row, 0), name)) {
      last_ten_.Remove(row);
      break;
    }
  }
  last_ten_.Insert(0, {std::string(name)});
  if (last_ten_.RowCount() > 10) last_ten_.Remove(10);
}

}  // namespace tc
