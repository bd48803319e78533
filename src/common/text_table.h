// A list as the core keeps it: rows of text fields in a fixed order. Every change is reported to
// the listeners so that views (Qt model adapters, the console) follow without holding a copy.
#pragma once

#include <functional>
#include <string>
#include <string_view>
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

}  // namespace tc
