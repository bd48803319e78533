#include "ui/skin_button.h"

#include <QPainter>

namespace tc::ui {

SkinButton::SkinButton(const QString& object_name, const QString& caption, QWidget* parent)
    : QAbstractButton(parent) {
  setObjectName(object_name);
  setText(caption);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

void SkinButton::SetSkin(const QPixmap& skin) {
  skin_ = skin;
  update();
}

void SkinButton::SetColors(const QColor& text, const QColor& hover) {
  text_ = text;
  hover_ = hover;
  update();
}

void SkinButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (skin_.isNull()) {
    p.fillRect(rect(), QColor(0x20, 0x24, 0x34));
  } else {
    p.drawPixmap(rect(), skin_);
  }
  if (isDown()) p.fillRect(rect(), QColor(0, 0, 0, 80));
  if (!isEnabled()) p.fillRect(rect(), QColor(0, 0, 0, 120));
  p.setPen(hovered_ ? hover_ : text_);
  p.setFont(font());
  p.drawText(rect(), Qt::AlignCenter, text());
}

void SkinButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

}  // namespace tc::ui
