#include "ui/progress_window.h"

#include "ui/owned.h"

namespace tc::ui {

ProgressWindow::ProgressWindow()
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint),
      label_(Owned<QLabel>(this)),
      bar_(Owned<QProgressBar>(this)) {
  setObjectName(QStringLiteral("Progress_Form1"));
  setFixedSize(260, 56);
  label_->setObjectName(QStringLiteral("Progress_Label1"));
  label_->setGeometry(8, 4, 244, 18);
  bar_->setObjectName(QStringLiteral("Progress_ProgressBar1"));
  bar_->setGeometry(8, 26, 244, 20);
}

void ProgressWindow::Start(const QString& caption, int maximum) {
  setWindowTitle(caption);
  label_->setText(caption);
  bar_->setRange(0, std::max(maximum, 1));
  bar_->setValue(0);
  show();
}

void ProgressWindow::Step() {
  // Steps beyond the maximum keep the bar full rather than wrapping.
  bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
}

}  // namespace tc::ui
