// The one adapter between a core table and the Qt views. The table tells it of each change after
// the fact, so the adapter keeps the row count the view knows and, between begin… and end…, maps
// the view's old row numbers onto the table's new rows. It holds no copy of any field: each column
// is a header and a getter that reads the field of a row for a role.
#pragma once

#include <QAbstractTableModel>
#include <QMimeData>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/table.h"
#include "common/text.h"

namespace tc::ui {

// A column of a view: its header and what it shows of a row (and of the row's number) for a role.
template <typename Row>
struct Column {
  QString header;
  std::function<QVariant(const Row&, int row, int role)> data;
};

// A column that shows one text field of the row as it is (UTF-8 in the core).
template <typename Row, typename Field>
Column<Row> TextColumn(QString header, Field field) {
  return {std::move(header), [field](const Row& row, int, int role) -> QVariant {
            if (role != Qt::DisplayRole) return {};
            return QString::fromStdString(std::invoke(field, row));
          }};
}

// `TableType` is a Table<Row> or a TextTable: RowCount, RowAt and the change reports.
template <typename TableType>
class TableModel : public QAbstractTableModel {
 public:
  using Row = typename TableType::Row;

  // A draggable table's rows are dragged out as their first column's display text.
  TableModel(TableType& table, std::vector<Column<Row>> columns, bool draggable = false,
             QObject* parent = nullptr)
      : QAbstractTableModel(parent),
        table_(table),
        columns_(std::move(columns)),
        draggable_(draggable),
        rows_(table.RowCount()) {
    listener_ = table_.AddListener([this](const TableChange& change) { Apply(change); });
  }
  ~TableModel() override { table_.RemoveListener(listener_); }
  TableModel(const TableModel&) = delete;
  TableModel& operator=(const TableModel&) = delete;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : rows_;
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
  }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int row = TableRow(index.row());
    if (row < 0 || row >= table_.RowCount()) return {};
    return columns_[static_cast<size_t>(index.column())].data(table_.RowAt(row), row, role);
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return columns_[static_cast<size_t>(section)].header;
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && draggable_) f |= Qt::ItemIsDragEnabled;
    return f;
  }
  QStringList mimeTypes() const override { return {QStringLiteral("text/plain")}; }
  QMimeData* mimeData(const QModelIndexList& indexes) const override {
    if (indexes.isEmpty() || columns_.empty()) return nullptr;
    const int row = TableRow(indexes.first().row());
    if (row < 0 || row >= table_.RowCount()) return nullptr;
    auto mime = std::make_unique<QMimeData>();
    mime->setText(columns_.front().data(table_.RowAt(row), row, Qt::DisplayRole).toString());
    return mime.release();  // Qt's drag takes ownership
  }

  const TableType& table() const { return table_; }

 private:
  // The table row behind a row the view knows, while a reported change is being applied.
  int TableRow(int view_row) const {
    if (pending_ == Pending::kInsert && view_row >= pending_first_) {
      return view_row + pending_count_;
    }
    if (pending_ == Pending::kRemove && view_row >= pending_first_) {
      if (view_row < pending_first_ + pending_count_) return -1;  // already gone
      return view_row - pending_count_;
    }
    return view_row;
  }

  void Apply(const TableChange& change) {
    switch (change.kind) {
      case TableChange::Kind::kInserted:
        pending_ = Pending::kInsert;
        pending_first_ = change.first;
        pending_count_ = change.count;
        beginInsertRows({}, change.first, change.first + change.count - 1);
        pending_ = Pending::kNone;
        rows_ += change.count;
        endInsertRows();
        break;
      case TableChange::Kind::kRemoved:
        pending_ = Pending::kRemove;
        pending_first_ = change.first;
        pending_count_ = change.count;
        beginRemoveRows({}, change.first, change.first + change.count - 1);
        pending_ = Pending::kNone;
        rows_ -= change.count;
        endRemoveRows();
        break;
      case TableChange::Kind::kChanged:
        emit dataChanged(index(change.first, 0),
                         index(change.first + change.count - 1, columnCount() - 1));
        break;
      case TableChange::Kind::kReset:
        beginResetModel();
        rows_ = table_.RowCount();
        endResetModel();
        break;
    }
  }

  enum class Pending { kNone, kInsert, kRemove };

  TableType& table_;
  std::vector<Column<Row>> columns_;
  bool draggable_;
  int rows_;
  int listener_ = 0;
  Pending pending_ = Pending::kNone;
  int pending_first_ = 0;
  int pending_count_ = 0;
};

}  // namespace tc::ui
