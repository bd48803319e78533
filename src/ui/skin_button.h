// A skinned button: the shared button picture with a caption drawn in the buttons font, in the
// hover colour while the pointer is over it.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace tc::ui {

class SkinButton : public QAbstractButton {
 public:
  SkinButton(const QString& object_name, const QString& caption, QWidget* parent);

  void SetSkin(const QPixmap& skin);
  void SetColors(const QColor& text, const QColor& hover);
  QSize sizeHint() const override { return {80, 20}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QPixmap skin_;
  QColor text_{0x80, 0x80, 0x80};
  QColor hover_{0xC0, 0xC0, 0xC0};
  bool hovered_ = false;
};

}  // namespace tc::ui
