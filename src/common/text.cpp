#include "common/text.h"

#include <array>
#include <climits>

namespace tc {

char LowerChar1252(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 32);
  switch (b) {
    case 0x8A:
      return static_cast<char>(0x9A);
    case 0x8C:
      return static_cast<char>(0x9C);
    case 0x8E:
      return static_cast<char>(0x9E);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

std::string LowerCase1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerChar1252(c);
  return out;
}

int PosNoCase(std::string_view text, std::string_view part) {
  if (part.empty() || part.size() > text.size()) return 0;
  const size_t last = text.size() - part.size();
  const char first = LowerChar1252(part[0]);
  for (size_t i = 0; i <= last; ++i) {
    if (LowerChar1252(text[i]) != first) continue;
    size_t j = 1;
    while (j < part.size() && LowerChar1252(text[i + j]) == LowerChar1252(part[j])) ++j;
    if (j == part.size()) return static_cast<int>(i + 1);
  }
  return 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerChar1252(a[i]) != LowerChar1252(b[i])) return false;
  }
  return true;
}

int SafeStrToInt(std::string_view text) {
  long long value = 0;
  bool any = false;
  for (char c : text) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return 0;
    any = true;
    if (value < INT_MAX) value = value * 10 + (c - '0');
  }
  if (!any) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::optional<IntegerText> ParseIntegerText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  IntegerText out;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    out.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  out.hex = !text.empty() && text.front() == '$';
  if (out.hex) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  unsigned long long value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (out.hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (out.hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (out.hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  out.magnitude = static_cast<uint32_t>(value);
  return out;
}

namespace {

// Code points of bytes 0x80..0x9F; the undefined five map to the C1 control of the same value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char ToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else if (b < 0xA0) {
      AppendUtf8(out, kHigh[b - 0x80]);
    } else {
      AppendUtf8(out, b);
    }
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    size_t len = 0;
    char32_t cp = 0;
    if (b < 0x80) {
      len = 1;
      cp = b;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
      cp = b & 0x07;
    }
    bool ok = len != 0 && i + len <= text.size();
    for (size_t k = 1; ok && k < len; ++k) {
      const auto cont = static_cast<unsigned char>(text[i + k]);
      if ((cont & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (cont & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += ToCp1252(cp);
    i += len;
  }
  return out;
}

std::string DurationText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  return std::to_string(seconds / 3600) + ":" + std::to_string(seconds / 60 % 60) + ":" +
         std::to_string(seconds % 60);
}

std::string PrintableText(std::string_view cp1252) {
  std::string out(cp1252);
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if ((b < 0x20 && b != '\t') || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 ||
        b == 0x9D) {
      c = '?';
    }
  }
  return out;
}

std::string JoinList(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i != 0) out += ", ";
    out += items[i];
  }
  return out;
}

std::string_view Mid(std::string_view text, size_t start1, size_t count) {
  if (start1 == 0) start1 = 1;
  if (start1 > text.size()) return {};
  return text.substr(start1 - 1, count);
}

std::string_view DropFirst(std::string_view text, size_t n) {
  return n >= text.size() ? std::string_view{} : text.substr(n);
}

std::string_view DropLast(std::string_view text, size_t n) {
  return n >= text.size() ? std::string_view{} : text.substr(0, text.size() - n);
}

std::string_view Last(std::string_view text, size_t n) {
  return n >= text.size() ? text : text.substr(text.size() - n);
}

}  // namespace tc
