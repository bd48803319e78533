// The window's one crossing between the core's text and Qt's strings: both sides are Unicode,
// the core's as UTF-8, so nothing is converted but the form.
#pragma once

#include <QString>
#include <string>

namespace tc::ui {

// Core text for a widget.
inline QString QtText(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

// A widget's text for the core.
inline std::string CoreText(const QString& text) {
  return text.toStdString();
}

}  // namespace tc::ui
