// Every picture of the window, drawn here with QPainter: nothing is read from disk, so a fresh
// program directory shows the same window as a themed one.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <filesystem>

namespace tc::ui {

inline constexpr int kUserIconCount = 27;
inline constexpr int kUserIconWidth = 28;
inline constexpr int kUserIconHeight = 14;

// Users_ListView1's icon `number` (0..26); an unknown number gets a blank frame.
QImage UserIcon(int number);
// Icons_ImageList1: the state and tray pictures (0 Disconnected, 1 Available, 2 Away, 3 DND,
// 4 Operator, 5 to 11 spare designs), one for each row of the tray picture list.
inline constexpr int kStatePictureCount = 12;
QImage StatePicture(int picture, int size = 16);
// The program's own icon, for the task list and the window frame: the "Available" picture.
QIcon ProgramIcon();
// The online monitor's status pictures.
QImage MonitorPicture(bool online);
// The default skins, as written to Skins/Backgrounds/Default.bmp and Skins/Buttons/Default.bmp.
QImage DefaultBackgroundSkin();
QImage DefaultButtonSkin();
// Writes the default skins where they are missing; returns false when one could not be written.
bool WriteDefaultSkins(const std::filesystem::path& program_dir);

}  // namespace tc::ui
