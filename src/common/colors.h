// Colours are 32-bit values 0x00BBGGRR, or 0x80000000 plus an index for a system colour.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

using Color = uint32_t;

inline constexpr Color kClBlack = 0x00000000;
inline constexpr Color kClMaroon = 0x00000080;
inline constexpr Color kClGreen = 0x00008000;
inline constexpr Color kClOlive = 0x00008080;
inline constexpr Color kClNavy = 0x00800000;
inline constexpr Color kClPurple = 0x00800080;
inline constexpr Color kClTeal = 0x00808000;
inline constexpr Color kClGray = 0x00808080;
inline constexpr Color kClSilver = 0x00C0C0C0;
inline constexpr Color kClRed = 0x000000FF;
inline constexpr Color kClLime = 0x0000FF00;
inline constexpr Color kClYellow = 0x0000FFFF;
inline constexpr Color kClBlue = 0x00FF0000;
inline constexpr Color kClFuchsia = 0x00FF00FF;
inline constexpr Color kClAqua = 0x00FFFF00;
inline constexpr Color kClWhite = 0x00FFFFFF;

// The colour's name when it has one of the 41 names, else "$" and eight upper-case hex digits.
std::string ColorText(Color color);
// A name (letter case ignored), a decimal integer or "$" and hex digits; nothing for other text.
std::optional<Color> ColorFromText(std::string_view text);

// Red, green and blue bytes of a literal colour (system colours map to a fixed stand-in).
inline uint8_t ColorRed(Color c) {
  return static_cast<uint8_t>(c & 0xFF);
}
inline uint8_t ColorGreen(Color c) {
  return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline uint8_t ColorBlue(Color c) {
  return static_cast<uint8_t>((c >> 16) & 0xFF);
}

}  // namespace tc
