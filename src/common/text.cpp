#include "common/text.h"

#include <array>
#include <climits>

namespace tc {

namespace {

// One character at `i`: its code point and length, or length 0 when the bytes there are not a
// complete, shortest-form UTF-8 sequence of a Unicode scalar value.
struct Utf8Char {
  char32_t cp = 0;
  size_t length = 0;
};

Utf8Char DecodeAt(std::string_view text, size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (b < 0x80) return {b, 1};
  size_t length = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    cp = b & 0x1F;
    min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    length = 3;
    cp = b & 0x0F;
    min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    cp = b & 0x07;
    min = 0x10000;
  } else {
    return {};
  }
  if (text.size() - i < length) return {};
  for (size_t k = 1; k < length; ++k) {
    const auto cont = static_cast<unsigned char>(text[i + k]);
    if ((cont & 0xC0) != 0x80) return {};
    cp = (cp << 6) | (cont & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
  return {cp, length};
}

char32_t LowerCodePoint1252(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  switch (cp) {
    case 0x160:  // S with caron
    case 0x152:  // OE
    case 0x17D:  // Z with caron
      return cp + 1;
    case 0x178:  // Y with diaeresis
      return 0xFF;
    default:
      return cp;
  }
}

void AppendUtf8(std::string& out, char32_t cp);
int Cp1252Byte(char32_t cp);

// Where a character sorts in the code page's byte order (see CompareText1252). A byte that is
// not UTF-8 sorts as the Windows-1252 byte it would be read as.
uint32_t OrderKey(std::string_view text, size_t& i, bool ignore_case) {
  const Utf8Char c = DecodeAt(text, i);
  if (c.length == 0) {
    const auto b = static_cast<unsigned char>(text[i++]);
    return b;
  }
  i += c.length;
  const char32_t cp = ignore_case ? LowerCodePoint1252(c.cp) : c.cp;
  const int byte = Cp1252Byte(cp);
  return byte >= 0 ? static_cast<uint32_t>(byte) : 0x100 + static_cast<uint32_t>(cp);
}

}  // namespace

std::string LowerCase1252(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (b < 0x80) {
      if (b >= 'A' && b <= 'Z') out[i] = static_cast<char>(b + 32);
      ++i;
      continue;
    }
    const Utf8Char c = DecodeAt(out, i);
    if (c.length == 0) {
      ++i;
      continue;
    }
    const char32_t lower = LowerCodePoint1252(c.cp);
    if (lower != c.cp) {
      std::string bytes;
      AppendUtf8(bytes, lower);
      out.replace(i, c.length, bytes);  // the same length: both are two-byte characters
    }
    i += c.length;
  }
  return out;
}

char FoldNoCaseByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  // Case pairs differ in a continuation byte, or (Y with diaeresis) in the lead bytes 0xC3/0xC5.
  if (b >= 0x80 && b <= 0xBF) return static_cast<char>(0x80);
  if (b == 0xC5) return static_cast<char>(0xC3);
  return c;
}

int CompareText1252(std::string_view a, std::string_view b, bool ignore_case) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const uint32_t x = OrderKey(a, i, ignore_case);
    const uint32_t y = OrderKey(b, j, ignore_case);
    if (x != y) return x < y ? -1 : 1;
  }
  const bool a_done = i >= a.size();
  const bool b_done = j >= b.size();
  if (a_done && b_done) return 0;
  return a_done ? -1 : 1;
}

uint32_t FirstCharOrder1252(std::string_view text) {
  size_t i = 0;
  return text.empty() ? 0 : OrderKey(text, i, false);
}

int PosNoCase(std::string_view text, std::string_view part) {
  if (part.empty() || part.size() > text.size()) return 0;
  if (IsAscii(part)) {
    // An ASCII part can only meet ASCII bytes, whose lower case is ASCII: bytes suffice.
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const size_t last = text.size() - part.size();
    for (size_t i = 0; i <= last; ++i) {
      size_t j = 0;
      while (j < part.size() && lower(text[i + j]) == lower(part[j])) ++j;
      if (j == part.size()) return static_cast<int>(i + 1);
    }
    return 0;
  }
  const size_t at = LowerCase1252(text).find(LowerCase1252(part));
  return at == std::string::npos ? 0 : static_cast<int>(at + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  bool beyond_ascii = false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    if (FoldNoCaseByte(a[i]) != FoldNoCaseByte(b[i])) return false;
    if (static_cast<unsigned char>(a[i]) >= 0x80) beyond_ascii = true;
  }
  return !beyond_ascii || LowerCase1252(a) == LowerCase1252(b);
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
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code page's byte for a code point, or -1 when it has none.
int Cp1252Byte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

}  // namespace

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

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
    const Utf8Char c = DecodeAt(text, i);
    if (c.length == 0) {
      out += '?';
      ++i;
      continue;
    }
    const int byte = Cp1252Byte(c.cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
    i += c.length;
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const Utf8Char c = DecodeAt(bytes, i);
    if (c.length == 0) return false;
    i += c.length;
  }
  return true;
}

bool FitsCp1252(std::string_view utf8) {
  for (size_t i = 0; i < utf8.size();) {
    const Utf8Char c = DecodeAt(utf8, i);
    if (c.length == 0 || Cp1252Byte(c.cp) < 0) return false;
    i += c.length;
  }
  return true;
}

std::string TextFromBytes(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::string TextFromServer(std::string_view line) {
  if (IsValidUtf8(line)) return std::string(line);
  // A quote mark is never part of a multi-byte character, so the runs split cleanly.
  std::string out;
  out.reserve(line.size() + line.size() / 4);
  size_t begin = 0;
  while (begin <= line.size()) {
    size_t end = line.find('"', begin);
    if (end == std::string_view::npos) end = line.size();
    out += TextFromBytes(line.substr(begin, end - begin));
    if (end < line.size()) out += '"';
    begin = end + 1;
  }
  return out;
}

std::string TextToServer(std::string_view text, SendEncoding encoding) {
  if (encoding == SendEncoding::kWindows1252) return Utf8ToCp1252(text);
  return IsValidUtf8(text) ? std::string(text) : Cp1252ToUtf8(text);
}

std::string TextFromSent(std::string_view bytes, SendEncoding encoding) {
  return encoding == SendEncoding::kWindows1252 ? Cp1252ToUtf8(bytes) : TextFromBytes(bytes);
}

std::string FileBytesFromText(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  // One pass: the database save runs this on every record.
  std::string bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      bytes += text[i++];
      continue;
    }
    const Utf8Char c = DecodeAt(text, i);
    // Not text (the bytes as they are) or beyond the code page: UTF-8 as it is.
    const int byte = c.length == 0 ? -1 : Cp1252Byte(c.cp);
    if (byte < 0) return std::string(text);
    bytes += static_cast<char>(byte);
    i += c.length;
  }
  return IsValidUtf8(bytes) ? std::string(text) : bytes;
}

std::string_view CutBytes(std::string_view bytes, size_t max_bytes) {
  if (bytes.size() <= max_bytes) return bytes;
  size_t cut = max_bytes;
  // Back over continuation bytes to the start of the character the cut would split.
  size_t back = 0;
  while (cut > 0 && back < 3 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) {
    --cut;
    ++back;
  }
  if (back > 0) {
    // Only a whole character that the cut would split moves it; anything else is cut by bytes.
    const size_t length = DecodeAt(bytes, cut).length;
    if (length == 0 || cut + length <= max_bytes) cut = max_bytes;
  }
  return bytes.substr(0, cut);
}

std::string DurationText(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  return std::to_string(seconds / 3600) + ":" + std::to_string(seconds / 60 % 60) + ":" +
         std::to_string(seconds % 60);
}

std::string PrintableText(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (b < 0x80) {
      if ((b < 0x20 && b != '\t') || b == 0x7F) out[i] = '?';
      ++i;
      continue;
    }
    const Utf8Char c = DecodeAt(out, i);
    if (c.length == 0) {
      out[i++] = '?';
      continue;
    }
    if (c.cp >= 0x80 && c.cp <= 0x9F) out.replace(i, c.length, "??");
    i += c.length;
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

std::pair<std::string_view, std::string_view> SplitAtFirst(std::string_view text, char mark) {
  const size_t at = text.find(mark);
  if (at == std::string_view::npos) return {text, {}};
  return {text.substr(0, at), text.substr(at + 1)};
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
