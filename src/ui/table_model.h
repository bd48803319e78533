// The one adapter between a core table and the Qt views. The table tells it of each change after
// the fact, so the adapter keeps the row count the view knows and, between begin… and end…, maps
// the view's old row numbers onto the table's new rows. It holds no copy of any field.
#pragma once

#include <QAbstractTableModel>
#include <QMimeData>
#include <QStringList>
#include <memory>
#include <utility>

#include "common/text.h"
#include "common/text_table.h"

namespace tc::ui {

// What a table shows: `Presenter` gives the headers and the data of each role for a row.
//   QStringList Headers() const;
//   QVariant Data(const TextTable&, int row, int column, int role) const;
//   static constexpr bool kDraggable;   // rows can be dragged out as their first field's text
template <typename Presenter>
class TableModel : public QAbstractTableModel {
 public:
  explicit TableModel(TextTable& table, Presenter presenter = Presenter{},
                      QObject* parent = nullptr)
      : QAbstractTableModel(parent),
        table_(table),
        presenter_(std::move(presenter)),
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
    return parent.isValid() ? 0 : static_cast<int>(presenter_.Headers().size());
  }
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int row = TableRow(index.row());
    if (row < 0 || row >= table_.RowCount()) return {};
    return presenter_.Data(table_, row, index.column(), role);
  }
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override {
    const QStringList headers = presenter_.Headers();
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers.size()) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return headers.at(section);
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && Presenter::kDraggable) f |= Qt::ItemIsDragEnabled;
    return f;
  }
  QStringList mimeTypes() const override { return {QStringLiteral("text/plain")}; }
  QMimeData* mimeData(const QModelIndexList& indexes) const override {
    if (indexes.isEmpty()) return nullptr;
    auto mime = std::make_unique<QMimeData>();
    const int row = TableRow(indexes.first().row());
    mime->setText(QString::fromStdString(Cp1252ToUtf8(table_.Cell(row, 0))));
    return mime.release();  // Qt's drag takes ownership
  }

  const TextTable& table() const { return table_; }

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

  TextTable& table_;
  Presenter presenter_;
  int rows_;
  int listener_ = 0;
  Pending pending_ = Pending::kNone;
  int pending_first_ = 0;
  int pending_count_ = 0;
};

// The plain presenter: every column as its text, the given headers.
struct TextPresenter {
  QStringList headers;
  static constexpr bool kDraggable = false;
  QStringList Headers() const { return headers; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (role != Qt::DisplayRole) return {};
    return QString::fromStdString(Cp1252ToUtf8(table.Cell(row, column)));
  }
};

}  // namespace tc::ui
