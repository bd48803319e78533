// Shared text routines. Text is bytes in Windows-1252 throughout the core; Unicode appears only at
// the front ends' boundary.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// 1-based position of the first occurrence of `part` in `text`, both compared in lower case
// (Windows-1252 letters included); 0 when absent. An empty part is never found.
int PosNoCase(std::string_view text, std::string_view part);

// True when `text` contains `part`, letter case ignored.
inline bool ContainsNoCase(std::string_view text, std::string_view part) {
  return PosNoCase(text, part) != 0;
}

// Equality, letter case ignored.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Spaces are removed; anything but decimal digits (or nothing at all) gives 0. Values beyond the
// int range saturate rather than wrap, so a hostile digit string cannot turn negative.
int SafeStrToInt(std::string_view text);

// Integer text as settings files hold it: optional leading spaces, a sign, then decimal digits
// or "$" and hexadecimal digits, at most 32 bits of magnitude.
struct IntegerText {
  bool negative = false;
  bool hex = false;
  uint32_t magnitude = 0;
};
std::optional<IntegerText> ParseIntegerText(std::string_view text);

// Windows-1252 lower-casing: ASCII letters and the accented capitals of the code page.
char LowerChar1252(char c);
std::string LowerCase1252(std::string_view text);

// Lossless both ways for every byte: the five bytes Windows-1252 leaves undefined travel as the C1
// control of the same value. Text that is not valid UTF-8 or has no Windows-1252 form becomes "?".
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);

// Control characters (C0 but tab, DEL, and the code page's undefined bytes, which travel as C1
// controls) become "?": shown on a terminal or written to a log, another user's text could move
// the cursor, retitle the terminal or ring its bell. The length stays, so colour runs line up.
std::string PrintableText(std::string_view cp1252);

// Hours, minutes and seconds without leading zeros, joined by ":" (3725 gives "1:2:5").
std::string DurationText(int64_t seconds);

// The list join: elements separated by ", ".
std::string JoinList(const std::vector<std::string>& items);

// True when `text` begins with `word`, letter case ignored.
inline bool BeginsNoCase(std::string_view text, std::string_view word) {
  return EqualsNoCase(text.substr(0, word.size()), word);
}

// `StartsWith` on bytes, exact.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Bounds-checked cuts in the manner of the original 1-based string routines: never throw, never
// read past the end. `Mid(text, start1, count)` takes `count` bytes from 1-based `start1`.
std::string_view Mid(std::string_view text, size_t start1, size_t count = std::string_view::npos);
std::string_view DropFirst(std::string_view text, size_t n);
std::string_view DropLast(std::string_view text, size_t n);
std::string_view Last(std::string_view text, size_t n);

}  // namespace tc
