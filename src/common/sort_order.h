// The one order the sorted lists keep their rows in, and the one way a row gets its place: the
// profile reader, the window's editors and the commands that add rows all go through here.
#pragma once

#include <string_view>
#include <utility>

#include "common/list_rows.h"
#include "common/table.h"

namespace tc {

// Letters in alphabetical order with lower case before upper case for the same letter (the locale
// order), and the same with letter case ignored.
int CompareLocaleText(std::string_view a, std::string_view b);
int CompareNoCaseText(std::string_view a, std::string_view b);

// Inserts a row at its sorted place by its SortText in the locale order, after the rows that
// compare equal, and returns that place.
template <typename Row>
int InsertSorted(Table<Row>& table, Row row) {
  const std::string_view key = SortText(row);
  int low = 0;
  int high = table.RowCount();
  while (low < high) {
    const int mid = low + (high - low) / 2;
    if (CompareLocaleText(SortText(table.RowAt(mid)), key) <= 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  table.Insert(low, std::move(row));
  return low;
}

}  // namespace tc
