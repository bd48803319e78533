// How each core table looks in its view: the presenters of TableModel.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

#include "common/text.h"
#include "common/text_table.h"
#include "ui/art.h"

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

// Users_ListView1: the account name with its icon (column 1 holds the icon number).
struct UserPresenter {
  static constexpr bool kDraggable = true;
  DrawnOnDemand icons{kUserIconCount, [](int i) { return UserIcon(i); }};

  QStringList Headers() const { return {QStringLiteral("Account")}; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (column != 0) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(Cp1252ToUtf8(table.Cell(row, 0)));
    if (role == Qt::DecorationRole) return icons.At(SafeStrToInt(table.Cell(row, 1)));
    return {};
  }
};

// Icons_ListView1: each state picture captioned with the state it stands for.
struct TrayPresenter {
  static constexpr bool kDraggable = false;
  DrawnOnDemand pictures{kStatePictureCount, [](int i) { return StatePicture(i, 32); }};

  QStringList Headers() const { return {QStringLiteral("State")}; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (column != 0) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(table.Cell(row, 0));
    if (role == Qt::DecorationRole) return pictures.At(row);
    return {};
  }
};

}  // namespace tc::ui
