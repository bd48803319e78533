#include "common/sort_order.h"

#include <algorithm>
#include <string>

#include "common/text.h"

namespace tc {
namespace {

int CompareBytes(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareNoCaseText(std::string_view a, std::string_view b) {
  return CompareText1252(a, b, true);
}

int CompareLocaleText(std::string_view a, std::string_view b) {
  if (const int letters = CompareNoCaseText(a, b); letters != 0) return letters;
  // Same letters: the first difference is one of letter case, and lower case comes first.
  const std::string lower = LowerCase1252(a);
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] == b[i]) continue;
    return lower[i] == a[i] ? -1 : 1;
  }
  return CompareBytes(a, b);
}

}  // namespace tc
