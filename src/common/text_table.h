// A list of text rows, for the lists that are names and nothing else (and the user list, whose
// rows are found by name through TableIndex). Changes are reported as a Table's are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/table.h"

namespace tc {

class TextTable : public TableReports {
 public:
  using Row = std::vector<std::string>;

  explicit TextTable(int columns) : columns_(columns) {}

  int ColumnCount() const { return columns_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  const Row& RowAt(int row) const { return rows_.at(static_cast<size_t>(row)); }
  // A field of a row; empty text for a row or column that does not exist.
  const std::string& Cell(int row, int column) const;
  const std::vector<Row>& Rows() const { return rows_; }

  // Rows are padded or cut to the column count.
  void Append(Row row);
  void Insert(int at, Row row);
  void Remove(int row);
  void SetCell(int row, int column, std::string value);
  void SetRow(int row, Row value);
  void Clear();
  void Assign(std::vector<Row> rows);

  // First / last row whose field equals `value` exactly; -1 when none.
  int FindFirst(int column, std::string_view value) const;
  int FindLast(int column, std::string_view value) const;

 private:
  void Normalise(Row& row) const;

  int columns_;
  std::vector<Row> rows_;
};

// The rows of a table by the exact text of one column, kept current through the table's change
// reports whoever makes the change, so finding a name in a long list costs no scan of it. Each row
// carries a number that only grows along the rows; a row is found again by a binary search for it.
// An insertion other than at the end renumbers the rows (the lists indexed grow at their end).
class TableIndex {
 public:
  TableIndex(TextTable& table, int column);
  ~TableIndex();
  TableIndex(const TableIndex&) = delete;
  TableIndex& operator=(const TableIndex&) = delete;

  // First / last row whose field equals `value`; -1 when none.
  int FindFirst(std::string_view value) const;
  int FindLast(std::string_view value) const;
  // Every row whose field equals `value`, in row order.
  std::vector<int> FindAll(std::string_view value) const;

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  using Map = std::unordered_map<std::string, std::vector<uint64_t>, Hash, std::equal_to<>>;

  void OnChange(const TableChange& change);
  void Rebuild();
  void AddRow(int row);  // the table's row `row`, the last one the index knows
  void Forget(size_t row);
  int RowOf(uint64_t id) const;

  TextTable& table_;
  int column_;
  int listener_ = 0;
  std::vector<uint64_t> ids_;               // per row, ascending
  std::vector<const std::string*> values_;  // per row, the key of by_value_ it is filed under
  Map by_value_;                            // value -> ids of its rows, ascending
  uint64_t next_id_ = 0;
};

}  // namespace tc
