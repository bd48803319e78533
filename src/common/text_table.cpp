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

TableIndex::TableIndex(TextTable& table, int column) : table_(table), column_(column) {
  Rebuild();
  listener_ = table_.AddListener([this](const TableChange& change) { OnChange(change); });
}

TableIndex::~TableIndex() {
  table_.RemoveListener(listener_);
}

void TableIndex::Rebuild() {
  ids_.clear();
  values_.clear();
  by_value_.clear();
  next_id_ = 0;
  for (int row = 0; row < table_.RowCount(); ++row) AddRow(row);
}

void TableIndex::AddRow(int row) {
  const uint64_t id = next_id_++;
  auto [entry, added] = by_value_.try_emplace(table_.Cell(row, column_));
  entry->second.push_back(id);
  ids_.push_back(id);
  values_.push_back(&entry->first);
}

void TableIndex::Forget(size_t row) {
  const auto entry = by_value_.find(*values_[row]);
  std::erase(entry->second, ids_[row]);
  if (entry->second.empty()) by_value_.erase(entry);
  ids_.erase(ids_.begin() + static_cast<long>(row));
  values_.erase(values_.begin() + static_cast<long>(row));
}

void TableIndex::OnChange(const TableChange& change) {
  switch (change.kind) {
    case TableChange::Kind::kInserted:
      if (static_cast<size_t>(change.first) != ids_.size()) {
        Rebuild();
        return;
      }
      for (int i = 0; i < change.count; ++i) AddRow(change.first + i);
      return;
    case TableChange::Kind::kRemoved:
      for (int i = change.count; i-- > 0;) {
        const auto row = static_cast<size_t>(change.first + i);
        if (row < ids_.size()) Forget(row);
      }
      return;
    case TableChange::Kind::kChanged: {
      const auto row = static_cast<size_t>(change.first);
      if (row >= ids_.size()) return;
      const std::string& now = table_.Cell(change.first, column_);
      if (*values_[row] == now) return;
      const uint64_t id = ids_[row];
      const auto old = by_value_.find(*values_[row]);
      std::erase(old->second, id);
      if (old->second.empty()) by_value_.erase(old);
      auto [entry, added] = by_value_.try_emplace(now);
      std::vector<uint64_t>& ids = entry->second;
      ids.insert(std::lower_bound(ids.begin(), ids.end(), id), id);
      values_[row] = &entry->first;
      return;
    }
    case TableChange::Kind::kReset:
      Rebuild();
      return;
  }
}

int TableIndex::RowOf(uint64_t id) const {
  return static_cast<int>(std::lower_bound(ids_.begin(), ids_.end(), id) - ids_.begin());
}

int TableIndex::FindFirst(std::string_view value) const {
  const auto entry = by_value_.find(value);
  return entry == by_value_.end() ? -1 : RowOf(entry->second.front());
}

int TableIndex::FindLast(std::string_view value) const {
  const auto entry = by_value_.find(value);
  return entry == by_value_.end() ? -1 : RowOf(entry->second.back());
}

std::vector<int> TableIndex::FindAll(std::string_view value) const {
  std::vector<int> rows;
  if (const auto entry = by_value_.find(value); entry != by_value_.end()) {
    for (const uint64_t id : entry->second) rows.push_back(RowOf(id));
  }
  return rows;
}

}  // namespace tc
