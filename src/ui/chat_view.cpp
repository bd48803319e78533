#include "ui/chat_view.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>

#include "common/text.h"

namespace tc::ui {

QColor ToQColor(Color color) {
  if ((color & 0xFF000000u) != 0) return QColor(0xC0, 0xC0, 0xC0);
  return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

Color FromQColor(const QColor& color) {
  return static_cast<Color>(color.red()) | (static_cast<Color>(color.green()) << 8) |
         (static_cast<Color>(color.blue()) << 16);
}

ChatView::ChatView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setMaximumBlockCount(kDefaultLineCap);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  SetBackground(Qt::black);
}

void ChatView::AppendStyled(const StyledLine& line) {
  pending_.push_back(line);
  if (!flush_scheduled_) {
    flush_scheduled_ = true;
    QTimer::singleShot(0, this, [this] { Flush(); });
  }
}

void ChatView::ClearAll() {
  pending_.clear();
  has_lines_ = false;
  clear();
}

void ChatView::Flush() {
  flush_scheduled_ = false;
  if (pending_.empty()) return;
  ++flush_count_;
  QScrollBar* bar = verticalScrollBar();
  // A reader scrolled up to older lines keeps their place; at the end the view follows.
  const bool following = bar->value() >= bar->maximum();
  const int kept = bar->value();
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  QTextCharFormat format;
  for (const StyledLine& line : pending_) {
    if (has_lines_) cursor.insertBlock();
    has_lines_ = true;
    const std::string_view text = line.text;
    size_t pos = 0;
    const auto insert = [&](size_t begin, size_t end, Color color) {
      format.setForeground(ToQColor(color));
      cursor.insertText(QString::fromUtf8(text.substr(begin, end - begin)), format);
    };
    for (const ColorRun& run : line.runs) {
      const size_t begin = std::max(std::min(run.begin, text.size()), pos);
      const size_t end = std::min(text.size(), run.begin + std::min(run.length, text.size()));
      if (end <= begin) continue;
      if (begin > pos) insert(pos, begin, kClSilver);
      insert(begin, end, run.color);
      pos = end;
    }
    if (pos < text.size()) insert(pos, text.size(), kClSilver);
  }
  cursor.endEditBlock();
  pending_.clear();
  bar->setValue(following ? bar->maximum() : kept);
}

void ChatView::SetBackground(const QColor& color) {
  QPalette pal = palette();
  pal.setColor(QPalette::Base, color);
  pal.setColor(QPalette::Text, Qt::white);
  setPalette(pal);
}

void ChatView::SetTextFont(const QFont& font) {
  document()->setDefaultFont(font);
  setFont(font);
}

}  // namespace tc::ui
