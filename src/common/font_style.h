// Font styles as the settings and theme files store them: bold and italic, in four texts.
#pragma once

#include <string>
#include <string_view>

namespace tc {

struct FontStyleFlags {
  bool bold = false;
  bool italic = false;
  bool operator==(const FontStyleFlags&) const = default;
};

// "[]", "[fsBold]", "[fsItalic]" or "[fsBold, fsItalic]".
std::string FontStyleText(FontStyleFlags style);
// One of the four texts, compared exactly; anything else is the plain style.
FontStyleFlags FontStyleFromText(std::string_view text);

}  // namespace tc
