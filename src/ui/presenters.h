// How each core table looks in its view: the presenters of TableModel.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "common/text.h"
#include "common/text_table.h"
#include "ui/art.h"

namespace tc::ui {

// Users_ListView1: the account name with its icon (column 1 holds the icon number).
struct UserPresenter {
  static constexpr bool kDraggable = true;
  std::vector<QIcon> icons;

  UserPresenter() {
    icons.reserve(kUserIconCount);
    for (int i = 0; i < kUserIconCount; ++i) icons.emplace_back(QPixmap::fromImage(UserIcon(i)));
  }
  QStringList Headers() const { return {QStringLiteral("Account")}; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (column != 0) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(Cp1252ToUtf8(table.Cell(row, 0)));
    if (role == Qt::DecorationRole) {
      const int icon = SafeStrToInt(table.Cell(row, 1));
      if (icon >= 0 && icon < kUserIconCount) return icons[static_cast<size_t>(icon)];
    }
    return {};
  }
};

// Icons_ListView1: each state picture captioned with the state it stands for.
struct TrayPresenter {
  static constexpr bool kDraggable = false;
  std::vector<QIcon> pictures;

  TrayPresenter() {
    for (int i = 0; i < 7; ++i) pictures.emplace_back(QPixmap::fromImage(StatePicture(i, 32)));
  }
  QStringList Headers() const { return {QStringLiteral("State")}; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (column != 0) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(table.Cell(row, 0));
    if (role == Qt::DecorationRole && row < static_cast<int>(pictures.size())) {
      return pictures[static_cast<size_t>(row)];
    }
    return {};
  }
};

}  // namespace tc::ui
