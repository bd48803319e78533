// The window's look as core state: skins, fonts and colours of the themes, the tray picture
// assigned to each client state, and the colour editors' rules. No Qt here; the window renders it.
#pragma once

#include <string>
#include <string_view>

#include "common/colors.h"
#include "common/list_rows.h"
#include "common/table.h"
#include "common/text_table.h"

namespace tc {

enum class FontStyle { kNone, kBold, kItalic, kBoldItalic };

struct FontChoice {
  std::string name;
  int size = 8;
  FontStyle style = FontStyle::kNone;
};

struct AppearanceSettings {
  std::string background_skin;  // full path; empty means the default skin
  std::string buttons_skin;
  Color buttons_text = kClGray;
  Color buttons_hover = kClSilver;
  FontChoice buttons_font{"Comic Sans MS", 8, FontStyle::kBold};
  FontChoice text_font{"Verdana", 8, FontStyle::kNone};
  Color text = kClWhite;
  Color background = kClBlack;
};

// Icons_ListView1: one caption per picture of the state image list.
class TrayIcons {
 public:
  // As many rows as a profile read gives, each with its picture.
  static constexpr int kPictures = 12;
  static constexpr std::string_view kNone = "-----";

  TrayIcons();
  TextTable& table() { return table_; }
  const TextTable& table() const { return table_; }
  // IconsStats_ComboBox1Change: the picture gets the caption, any other picture holding it
  // becomes "-----".
  void SetCaption(int picture, std::string_view caption);
  // The last picture captioned with the state; -1 when none is.
  int PictureFor(std::string_view state) const;

 private:
  TextTable table_{1};
};

class Appearance {
 public:
  AppearanceSettings& settings() { return settings_; }
  const AppearanceSettings& settings() const { return settings_; }
  TrayIcons& tray_icons() { return tray_icons_; }
  const TrayIcons& tray_icons() const { return tray_icons_; }

 private:
  AppearanceSettings settings_;
  TrayIcons tray_icons_;
};

}  // namespace tc
