// How each core table looks in its view: the named columns TableModel shows.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "common/list_rows.h"
#include "common/text.h"
#include "common/text_table.h"
#include "ui/art.h"
#include "ui/table_model.h"

namespace tc::ui {

// Pictures drawn the first time a view asks for them: lists are empty while the window comes up.
class DrawnOnDemand {
 public:
  DrawnOnDemand(int count, std::function<QImage(int)> draw)
      : icons_(static_cast<size_t>(count)), draw_(std::move(draw)) {}
  // The picture `index`, or nothing outside the range.
  QVariant At(int index) const {
    if (index < 0 || index >= static_cast<int>(icons_.size())) return {};
    QIcon& icon = icons_[static_cast<size_t>(index)];
    if (icon.isNull()) icon = QIcon(QPixmap::fromImage(draw_(index)));
    return icon;
  }

 private:
  mutable std::vector<QIcon> icons_;
  std::function<QImage(int)> draw_;
};

// The columns of each view; a view's pictures are drawn once for the model that shows them.

// Users_ListView1: the account name with its icon (the second field holds the icon number).
inline std::vector<Column<TextTable::Row>> UserColumns() {
  auto icons = std::make_shared<DrawnOnDemand>(kUserIconCount, [](int i) { return UserIcon(i); });
  return {
      {QStringLiteral("Account"), [icons](const TextTable::Row& row, int, int role) -> QVariant {
         if (role == Qt::DisplayRole) return QString::fromStdString(row.at(0));
         if (role == Qt::DecorationRole) return icons->At(SafeStrToInt(row.at(1)));
         return {};
       }}};
}

// WhisperBox_ListBox1.
inline std::vector<Column<TextTable::Row>> RecipientColumns() {
  return {TextColumn<TextTable::Row>(QStringLiteral("Account"),
                                     [](const TextTable::Row& row) { return row.at(0); })};
}

// CustomColors_ListView1.
inline std::vector<Column<CustomColorRow>> CustomColorColumns() {
  return {TextColumn<CustomColorRow>(QStringLiteral("Text"), &CustomColorRow::text),
          TextColumn<CustomColorRow>(QStringLiteral("Color"), &CustomColorRow::color)};
}

// Keys_ListView1: the six fields in the order the key editor shows them.
inline std::vector<Column<KeyRow>> KeyColumns() {
  return {TextColumn<KeyRow>(QStringLiteral("Key Word"), &KeyRow::key_text),
          TextColumn<KeyRow>(QStringLiteral("Action"), &KeyRow::action),
          TextColumn<KeyRow>(QStringLiteral("Applies To"), &KeyRow::applies_to),
          TextColumn<KeyRow>(QStringLiteral("Applies On"), &KeyRow::applies_on),
          TextColumn<KeyRow>(QStringLiteral("History"), &KeyRow::history),
          TextColumn<KeyRow>(QStringLiteral("State"),
                             [](const KeyRow& row) { return row.state.ToText(); })};
}

// Variables_ListView1.
inline std::vector<Column<VariableRow>> VariableColumns() {
  return {TextColumn<VariableRow>(QStringLiteral("Variable"), &VariableRow::name),
          TextColumn<VariableRow>(QStringLiteral("Value"), &VariableRow::value)};
}

// Timer_ListView1.
inline std::vector<Column<TimerRow>> TimerColumns() {
  return {TextColumn<TimerRow>(QStringLiteral("Name"), &TimerRow::name),
          TextColumn<TimerRow>(QStringLiteral("Timer"), &TimerRow::interval),
          TextColumn<TimerRow>(QStringLiteral("On Timer Action"), &TimerRow::action),
          TextColumn<TimerRow>(QStringLiteral("State"), &TimerRow::state),
          TextColumn<TimerRow>(QStringLiteral("Count"),
                               [](const TimerRow& row) { return std::to_string(row.count); })};
}

// Icons_ListView1: each state picture (by row number) captioned with the state it stands for.
inline std::vector<Column<TextTable::Row>> TrayColumns() {
  auto pictures = std::make_shared<DrawnOnDemand>(kStatePictureCount,
                                                  [](int i) { return StatePicture(i, 32); });
  return {{QStringLiteral("State"),
           [pictures](const TextTable::Row& row, int number, int role) -> QVariant {
             if (role == Qt::DisplayRole) return QString::fromStdString(row.at(0));
             if (role == Qt::DecorationRole) return pictures->At(number);
             return {};
           }}};
}

}  // namespace tc::ui
