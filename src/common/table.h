// A list as the core keeps it: rows of one struct with named fields, in a fixed order. Every
// change is reported to the listeners so that views (the Qt model adapter, the console) follow
// without holding a copy.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace tc {

struct TableChange {
  enum class Kind { kInserted, kRemoved, kChanged, kReset };
  Kind kind;
  int first = 0;  // first row concerned
  int count = 0;  // rows inserted or removed; 1 for kChanged
};

// The listeners of one table and the reports they are sent.
class TableReports {
 public:
  using Listener = std::function<void(const TableChange&)>;

  // Listeners live as long as the table; returns an id for RemoveListener.
  int AddListener(Listener listener) {
    listeners_.emplace_back(next_listener_, std::move(listener));
    return next_listener_++;
  }
  void RemoveListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
  }

 protected:
  void Notify(const TableChange& change) {
    for (const auto& [id, listener] : listeners_) listener(change);
  }

 private:
  std::vector<std::pair<int, Listener>> listeners_;
  int next_listener_ = 1;
};

template <typename RowType>
class Table : public TableReports {
 public:
  using Row = RowType;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  const Row& RowAt(int row) const { return rows_.at(static_cast<size_t>(row)); }
  const std::vector<Row>& Rows() const { return rows_; }

  void Append(Row row) { Insert(RowCount(), std::move(row)); }
  void Insert(int at, Row row) {
    at = std::clamp(at, 0, RowCount());
    rows_.insert(rows_.begin() + at, std::move(row));
    Notify({TableChange::Kind::kInserted, at, 1});
  }
  void Remove(int row) {
    if (row < 0 || row >= RowCount()) return;
    rows_.erase(rows_.begin() + row);
    Notify({TableChange::Kind::kRemoved, row, 1});
  }
  // Changes a row in place through `change`; reported only when the row differs afterwards.
  template <typename Change>
  void Update(int row, Change&& change) {
    if (row < 0 || row >= RowCount()) return;
    Row& current = rows_[static_cast<size_t>(row)];
    Row before = current;
    std::forward<Change>(change)(current);
    if (current == before) return;
    Notify({TableChange::Kind::kChanged, row, 1});
  }
  void Clear() {
    if (rows_.empty()) return;
    rows_.clear();
    Notify({TableChange::Kind::kReset, 0, 0});
  }
  void Assign(std::vector<Row> rows) {
    rows_ = std::move(rows);
    Notify({TableChange::Kind::kReset, 0, 0});
  }

  // First / last row for which `match` holds; -1 when none.
  template <typename Match>
  int FindFirst(Match&& match) const {
    for (int i = 0; i < RowCount(); ++i) {
      if (match(rows_[static_cast<size_t>(i)])) return i;
    }
    return -1;
  }
  template <typename Match>
  int FindLast(Match&& match) const {
    for (int i = RowCount() - 1; i >= 0; --i) {
      if (match(rows_[static_cast<size_t>(i)])) return i;
    }
    return -1;
  }

 private:
  std::vector<Row> rows_;
};

}  // namespace tc
