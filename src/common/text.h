// Shared text routines. Text is UTF-8 throughout the core; bytes in other codings exist only at
// the boundaries (socket, files), each crossed by one routine below (see ARCHITECTURE.md, "Text
// and bytes").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tc {

// 1-based byte position of the first occurrence of `part` in `text`, both compared in lower case
// (the letters of Windows-1252: ASCII and the accented Latin ones); 0 when absent. An empty part
// is never found.
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

// Lower-casing of the letters Windows-1252 has (ASCII and the accented capitals), on UTF-8 text.
// Every such pair is as long in bytes in either case, so byte positions stay. Bytes that are not
// valid UTF-8 stay as they are.
std::string LowerCase1252(std::string_view text);

// A byte-wise folding coarser than letter case: texts equal under EqualsNoCase fold to equal
// bytes. For hashes and quick filters that must never rule out a match.
char FoldNoCaseByte(char c);

// Byte order of the Windows-1252 code page, as lists were always sorted: characters the code
// page holds by their byte, any other after them by code point. With `ignore_case`, letters
// compare as their lower case.
int CompareText1252(std::string_view a, std::string_view b, bool ignore_case);
// Where the first character of `text` sorts in that order (0 for an empty text).
uint32_t FirstCharOrder1252(std::string_view text);

// Lossless both ways for every byte: the five bytes Windows-1252 leaves undefined travel as the C1
// control of the same value. Text that is not valid UTF-8 or has no Windows-1252 form becomes "?".
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);

bool IsValidUtf8(std::string_view bytes);
// True when every byte is below 0x80: the same text in every coding the program uses.
bool IsAscii(std::string_view text);
// True when every character of the UTF-8 text has a Windows-1252 byte.
bool FitsCp1252(std::string_view utf8);

// Received or read bytes as text: valid UTF-8 as it is, anything else as Windows-1252 (never
// dropped). The reading rule of every file the program keeps (one line at a time).
std::string TextFromBytes(std::string_view bytes);

// The socket's way in: a server line by TextFromBytes, or when the line as a whole is not valid
// UTF-8, each run between quote marks on its own, so a name in one coding and a text in another
// both read right.
std::string TextFromServer(std::string_view line);

// How typed text goes out on the socket.
enum class SendEncoding { kUtf8, kWindows1252 };
// The socket's way out: UTF-8 as it is, or Windows-1252 with "?" for what the code page lacks.
std::string TextToServer(std::string_view text, SendEncoding encoding);
// What TextToServer gave, as text again: how a sent line is shown.
std::string TextFromSent(std::string_view bytes, SendEncoding encoding);

// The writing rule of every file the program keeps, one line at a time: Windows-1252 bytes when
// the line fits the code page (the bytes files always had), otherwise UTF-8. A Windows-1252 form
// that would read back as UTF-8 is written as UTF-8 too, so that TextFromBytes gives the line back.
std::string FileBytesFromText(std::string_view text);

// At most `max_bytes` of `bytes`, cut before a UTF-8 character rather than inside it.
std::string_view CutBytes(std::string_view bytes, size_t max_bytes);

// Control characters (C0 but tab, DEL, and the C1 controls, among them the code page's undefined
// bytes) become "?": shown on a terminal or written to a log, another user's text could move the
// cursor, retitle the terminal or ring its bell. Bytes that are not UTF-8 become "?" too. The
// length in bytes stays, so colour runs line up (a C1 control is "??").
std::string PrintableText(std::string_view text);

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
// The parts before and after the first `mark`; without one, the whole text and an empty rest.
std::pair<std::string_view, std::string_view> SplitAtFirst(std::string_view text, char mark);
std::string_view DropLast(std::string_view text, size_t n);
std::string_view Last(std::string_view text, size_t n);

}  // namespace tc
