// A chat pane: the core's styled lines on a QPlainTextEdit. Lines are queued and put into the
// document together, in one edit block, from the event loop (or at Flush), so a burst of lines
// read from the server is laid out and painted once.
#pragma once

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>
#include <vector>

#include "ports/ports.h"

namespace tc::ui {

class ChatView : public QPlainTextEdit {
 public:
  // Lines kept before the oldest are dropped: generous, and bounded so that a bot left running
  // for months keeps a flat memory and append cost.
  static constexpr int kDefaultLineCap = 100000;

  explicit ChatView(QWidget* parent = nullptr);

  void AppendStyled(const StyledLine& line);
  void ClearAll();
  // Puts the queued lines into the document now.
  void Flush();
  void SetLineCap(int lines) { setMaximumBlockCount(lines); }
  void SetBackground(const QColor& color);
  void SetTextFont(const QFont& font);

  int flush_count() const { return flush_count_; }
  int pending_lines() const { return static_cast<int>(pending_.size()); }

 private:
  std::vector<StyledLine> pending_;
  bool flush_scheduled_ = false;
  bool has_lines_ = false;
  int flush_count_ = 0;
};

// The Qt colour of a core colour (0x00BBGGRR; system colours become silver).
QColor ToQColor(Color color);
Color FromQColor(const QColor& color);

}  // namespace tc::ui
