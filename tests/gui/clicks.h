// Mouse clicks for the window tests, apart from the fixture: the screenshot program builds the
// fixture without Qt Test.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>

namespace tc::gui {

// Near the left edge: check boxes and radio buttons answer on their box and caption only.
inline void Click(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
}

inline void ClickRow(QAbstractItemView* view, int row) {
  const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace tc::gui
