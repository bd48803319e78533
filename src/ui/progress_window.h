// The small stay-on-top progress window (saving the user database, the server sweep).
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

namespace tc::ui {

class ProgressWindow : public QWidget {
 public:
  ProgressWindow();
  void Start(const QString& caption, int maximum);
  void Step();
  int value() const { return bar_->value(); }
  int maximum() const { return bar_->maximum(); }

 private:
  QLabel* label_;
  QProgressBar* bar_;
};

}  // namespace tc::ui
