// The window's one crossing between the core's Windows-1252 bytes and Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>

#include "common/text.h"

namespace tc::ui {

// Core text for a widget.
inline QString QtText(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

// A widget's text for the core; characters the code page lacks become "?".
inline std::string CoreText(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

}  // namespace tc::ui
