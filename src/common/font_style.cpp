#include "common/font_style.h"

namespace tc {

std::string FontStyleText(FontStyleFlags style) {
  if (style.bold && style.italic) return "[fsBold, fsItalic]";
  if (style.bold) return "[fsBold]";
  if (style.italic) return "[fsItalic]";
  return "[]";
}

FontStyleFlags FontStyleFromText(std::string_view text) {
  if (text == "[fsBold, fsItalic]") return {true, true};
  if (text == "[fsBold]") return {true, false};
  if (text == "[fsItalic]") return {false, true};
  return {};
}

}  // namespace tc
