// A list as the core keeps it: rows of text fields in a fixed order. Every change is reported to
// the listeners so that views (Qt model adapters, the console) follow without holding a copy.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tc {

struct TableChange {
  enum class Kind { kInserted, kRemoved, kChanged, kReset };
  Kind kind;
  int first = 0;  // first row concerned
  int count = 0;  // rows inserted or removed; 1 for kChanged
};

class TextTable {
 public:
  using Row = std::vector<std::string>;
  using Listener = std::function<void(const TableChange&)>;

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

  // Listeners live as long as the table; returns an id for RemoveListener.
  int AddListener(Listener listener);
  void RemoveListener(int id);

 private:
  void Normalise(Row& row) const;
  void Notify(const TableChange& change);

  int columns_;
  std::vector<Row> rows_;
  std::vector<std::pair<int, Listener>> listeners_;
  int next_listener_ = 1;
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
