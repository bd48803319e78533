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
  // Drawn when a row first shows one: the list is empty while the window comes up.
  mutable std::vector<QIcon> icons = std::vector<QIcon>(kUserIconCount);

  QStringList Headers() const { return {QStringLiteral("Account")}; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (column != 0) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(Cp1252ToUtf8(table.Cell(row, 0)));
    if (role == Qt::DecorationRole) {
      const int icon = SafeStrToInt(table.Cell(row, 1));
      if (icon >= 0 && icon < kUserIconCount) {
        QIcon& drawn = icons[static_cast<size_t>(icon)];
        if (drawn.isNull()) drawn = QIcon(QPixmap::fromImage(UserIcon(icon)));
        return drawn;
      }
    }
    return {};
  }
};

// Icons_ListView1: each state picture captioned with the state it stands for.
struct TrayPresenter {
  static constexpr bool kDraggable = false;
  // Drawn when the GUI options page first shows them.
  mutable std::vector<QIcon> pictures = std::vector<QIcon>(kStatePictureCount);

  QStringList Headers() const { return {QStringLiteral("State")}; }
  QVariant Data(const TextTable& table, int row, int column, int role) const {
    if (column != 0) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(table.Cell(row, 0));
    if (role == Qt::DecorationRole && row >= 0 && row < kStatePictureCount) {
      QIcon& drawn = pictures[static_cast<size_t>(row)];
      if (drawn.isNull()) drawn = QIcon(QPixmap::fromImage(StatePicture(row, 32)));
      return drawn;
    }
    return {};
  }
};

}  // namespace tc::ui
