#include "common/text_table.h"

#include <algorithm>

namespace tc {
namespace {
const std::string kEmpty;
}

const std::string& TextTable::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return kEmpty;
  const Row& r = rows_[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < r.size() ? r[static_cast<size_t>(column)] : kEmpty;
}

void TextTable::Normalise(Row& row) const {
  row.resize(static_cast<size_t>(columns_));
}

void TextTable::Append(Row row) {
  Insert(RowCount(), std::move(row));
}

void TextTable::Insert(int at, Row row) {
  at = std::clamp(at, 0, RowCount());
  Normalise(row);
  rows_.insert(rows_.begin() + at, std::move(row));
  Notify({TableChange::Kind::kInserted, at, 1});
}

void TextTable::Remove(int row) {
  if (row < 0 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + row);
  Notify({TableChange::Kind::kRemoved, row, 1});
}

void TextTable::SetCell(int row, int column, std::string value) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) return;
  std::string& cell = rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
  if (cell == value) return;
  cell = std::move(value);
  Notify({TableChange::Kind::kChanged, row, 1});
}

void TextTable::SetRow(int row, Row value) {
  if (row < 0 || row >= RowCount()) return;
  Normalise(value);
  rows_[static_cast<size_t>(row)] = std::move(value);
  Notify({TableChange::Kind::kChanged, row, 1});
}

void TextTable::Clear() {
  if (rows_.empty()) return;
  rows_.clear();
  Notify({TableChange::Kind::kReset, 0, 0});
}

void TextTable::Assign(std::vector<Row> rows) {
  rows_ = std::move(rows);
  for (Row& r : rows_) Normalise(r);
  Notify({TableChange::Kind::kReset, 0, 0});
}

int TextTable::FindFirst(int column, std::string_view value) const {
  for (int i = 0; i < RowCount(); ++i) {
    if (Cell(i, column) == value) return i;
  }
  return -1;
}

int TextTable::FindLast(int column, std::string_view value) const {
  for (int i = RowCount() - 1; i >= 0; --i) {
    if (Cell(i, column) == value) return i;
  }
  return -1;
}

int TextTable::AddListener(Listener listener) {
  listeners_.emplace_back(next_listener_, std::move(listener));
  return next_listener_++;
}

void TextTable::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void TextTable::Notify(const TableChange& change) {
  for (const auto& [id, listener] : listeners_) listener(change);
}

}  // namespace tc
