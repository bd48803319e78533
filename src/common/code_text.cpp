#include "common/code_text.h"

#include "common/text.h"

namespace tc {
namespace {

constexpr int kOffset = 5273;
// Substitutes for the digits 0..9. Stored files depend on this table: it never changes.
constexpr std::string_view kTable = "kQwZpXjVbN";

char Substitute(char digit) {
  return kTable[static_cast<size_t>(digit - '0')];
}

char Restore(char c) {
  const size_t at = kTable.find(c);
  return at == std::string_view::npos ? c : static_cast<char>('0' + at);
}

}  // namespace

std::string CodeText(std::string_view mode, std::string_view text) {
  std::string out;
  if (mode == "Encode") {
    out.reserve(text.size() * 4);
    for (char c : text) {
      const int value = static_cast<unsigned char>(c) + kOffset;
      const char d1 = static_cast<char>('0' + value / 1000);
      const char d2 = static_cast<char>('0' + value / 100 % 10);
      const char d3 = static_cast<char>('0' + value / 10 % 10);
      const char d4 = static_cast<char>('0' + value % 10);
      for (char d : {d3, d4, d1, d2}) out += Substitute(d);
    }
  } else if (mode == "Decode") {
    out.reserve(text.size() / 4);
    for (size_t i = 0; i + 4 <= text.size(); i += 4) {
      const std::string group = {Restore(text[i + 2]), Restore(text[i + 3]), Restore(text[i]),
                                 Restore(text[i + 1])};
      out += static_cast<char>(SafeStrToInt(group) - kOffset);
    }
  }
  return out;
}

}  // namespace tc
