#include "common/colors.h"

#include <array>
#include <cstdio>
#include <utility>

#include "common/text.h"

namespace tc {
namespace {

struct NamedColor {
  std::string_view name;
  Color value;
};

constexpr std::array<NamedColor, 41> kNamed = {{
    {"clBlack", 0x00000000},         {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},         {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},          {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},          {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},        {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},          {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},          {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},          {"clWhite", 0x00FFFFFF},
    {"clScrollBar", 0x80000000},     {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002}, {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},          {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},   {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},  {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},  {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E}, {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},     {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},       {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},  {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},       {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
}};

}  // namespace

std::string ColorText(Color color) {
  for (const auto& named : kNamed) {
    if (named.value == color) return std::string(named.name);
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
  return buf;
}

std::optional<Color> ColorFromText(std::string_view text) {
  for (const auto& named : kNamed) {
    if (EqualsNoCase(named.name, text)) return named.value;
  }
  const auto integer = ParseIntegerText(text);
  if (!integer) return std::nullopt;
  const uint32_t bits = integer->magnitude;
  return integer->negative ? static_cast<Color>(0u - bits) : static_cast<Color>(bits);
}

}  // namespace tc
