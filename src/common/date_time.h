// Date and time texts of records and lines: "MM/DD/YYYY" and "HH:MM:SS", fixed, so that stored
// records stay portable and day counts stay right.
#pragma once

#include <string>

#include "ports/clock.h"

namespace tc {

std::string DateText(const DateTime& when);
std::string TimeText(const DateTime& when);
// Date + " " + time, the record time stamp.
std::string DateTimeText(const DateTime& when);

}  // namespace tc
