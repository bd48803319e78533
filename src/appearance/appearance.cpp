#include "appearance/appearance.h"

#include <array>

#include "common/text.h"

namespace tc {

namespace {
constexpr std::array<std::string_view, TrayIcons::kPictures> kInitialCaptions = {
    "Disconnected",   "Available",      "Away",           "DND",
    "Operator",       TrayIcons::kNone, TrayIcons::kNone, TrayIcons::kNone,
    TrayIcons::kNone, TrayIcons::kNone, TrayIcons::kNone, TrayIcons::kNone};
}

TrayIcons::TrayIcons() {
  for (std::string_view caption : kInitialCaptions) table_.Append({std::string(caption)});
}

void TrayIcons::SetCaption(int picture, std::string_view caption) {
  if (picture < 0 || picture >= table_.RowCount()) return;
  table_.SetCell(picture, 0, std::string(caption));
  if (caption == kNone) return;
  for (int row = 0; row < table_.RowCount(); ++row) {
    if (row != picture && table_.Cell(row, 0) == caption) {
      table_.SetCell(row, 0, std::string(kNone));
    }
  }
}

int TrayIcons::PictureFor(std::string_view state) const {
  int found = -1;
  for (int row = 0; row < table_.RowCount(); ++row) {
    if (table_.Cell(row, 0) == state) found = row;
  }
  return found;
}

}  // namespace tc
