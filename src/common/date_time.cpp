#include "common/date_time.h"

#include <cstdio>

namespace tc {

std::string DateText(const DateTime& when) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", when.month, when.day, when.year);
  return buf;
}

std::string TimeText(const DateTime& when) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", when.hour, when.minute, when.second);
  return buf;
}

std::string DateTimeText(const DateTime& when) {
  return DateText(when) + " " + TimeText(when);
}

}  // namespace tc
