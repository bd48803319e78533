// A label that acts on a left click released over it: the colour captions and the quick buttons.
#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <functional>
#include <utility>

namespace tc::ui {

class ClickLabel : public QLabel {
 public:
  ClickLabel(const QString& text, QWidget* parent, std::function<void()> on_click)
      : QLabel(text, parent), on_click_(std::move(on_click)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      on_click_();
    }
    QLabel::mouseReleaseEvent(event);
  }

 private:
  std::function<void()> on_click_;
};

}  // namespace tc::ui
