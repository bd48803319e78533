// The channel hit counter and the last-ten list.
#include <string>

#include "app/client.h"
#include "common/text.h"

namespace tc {

HitCounter& Client::hits() {
  hit_counter_.SetFile(program_dir_ / "HitCounter.ini");
  return hit_counter_;
}

int Client::ChannelHitCount(std::string_view channel) {
  return hits().Count(channel);
}

int Client::AddChannelHit(std::string_view channel) {
  std::string error;
  const int count = hits().Add(channel, &error);
  if (!error.empty()) ShowLocal("Error ( " + error + " )");
  return count;
}

void Client::AddToLastTen(std::string_view name) {
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
