#include "ui/art.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <system_error>

namespace tc::ui {

namespace {

enum class Mark { kText, kStar, kCrown, kDot, kSquelch, kGlobe };

struct IconDesign {
  QRgb back;
  QRgb fore;
  const char* text;
  Mark mark;
};

// One design per icon number; the short texts name what the number stands for.
constexpr std::array<IconDesign, kUserIconCount> kDesigns = {{
    {0xff1d3b8a, 0xffffe14d, "SC", Mark::kStar},     // 0  [STAR]
    {0xff7a1010, 0xffffb347, "DR", Mark::kText},     // 1  [DRTL]
    {0xffb8860b, 0xfffff3b0, "", Mark::kCrown},      // 2  channel operator
    {0xff3a3a3a, 0xffd8d8d8, "CH", Mark::kText},     // 3  chat and others
    {0xff203070, 0xff9fd0ff, "BW", Mark::kStar},     // 4  [SEXP]
    {0xff5a3d1a, 0xfff0d090, "SS", Mark::kText},     // 5  [SSHR]
    {0xff4a1a1a, 0xfff09090, "DS", Mark::kText},     // 6  [DSHR]
    {0xff2e5e2e, 0xffc8ffc8, "SQ", Mark::kSquelch},  // 7  squelched / special flags
    {0xff0d6b3a, 0xffffffff, "TC", Mark::kDot},      // 8  this program, available
    {0xff4a2a6a, 0xffe0c0ff, "W2", Mark::kText},     // 9  [W2BN]
    {0xff6a4a10, 0xffffe0a0, "JS", Mark::kText},     // 10 [JSTR]
    {0xff101010, 0xffff6060, "SP", Mark::kText},     // 11 flags 0200
    {0xff102a40, 0xff80d0ff, "GU", Mark::kText},     // 12 flags 0400
    {0xff202020, 0xffffffff, "AD", Mark::kGlobe},    // 13 flags 0001 (administrator)
    {0xff3a2000, 0xffffc060, "SV", Mark::kText},     // 14 flags 0004
    {0xff002a3a, 0xff60ffff, "SY", Mark::kText},     // 15 flags 0008
    {0xff2a002a, 0xffff80ff, "BT", Mark::kText},     // 16 flags 0800
    {0xff2a2a00, 0xffffff80, "VP", Mark::kText},     // 17 flags 1000
    {0xff1e4d4d, 0xffa0f0f0, "PC", Mark::kText},     // 18 other client
    {0xff4d1e3a, 0xfff0a0d0, "IB", Mark::kText},     // 19 other client
    {0xff1e1e4d, 0xffc0c0ff, "ML", Mark::kText},     // 20 other client
    {0xff3a4d1e, 0xffd8f0a0, "SW", Mark::kText},     // 21 other client
    {0xff4d331e, 0xfff0c8a0, "FG", Mark::kText},     // 22 other client
    {0xff000000, 0xffffd700, "TC", Mark::kStar},     // 23 the program's own account
    {0xff7a0d0d, 0xffffffff, "TC", Mark::kDot},      // 24 this program, DND
    {0xff0d3a7a, 0xffffffff, "TC", Mark::kDot},      // 25 this program, Operator
    {0xff7a6a0d, 0xffffffff, "TC", Mark::kDot},      // 26 this program, Away
}};

QColor DotColor(int number) {
  switch (number) {
    case 24:
      return QColor(0xff, 0x40, 0x40);
    case 25:
      return QColor(0x60, 0xa0, 0xff);
    case 26:
      return QColor(0xff, 0xd0, 0x30);
    default:
      return QColor(0x40, 0xff, 0x70);
  }
}

QPainterPath StarPath(QPointF centre, double outer, double inner) {
  QPainterPath path;
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const double r = (i % 2 == 0) ? outer : inner;
    const QPointF p(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
    if (i == 0) {
      path.moveTo(p);
    } else {
      path.lineTo(p);
    }
  }
  path.closeSubpath();
  return path;
}

QFont TinyFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(9);
  font.setBold(true);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

}  // namespace

QImage UserIcon(int number) {
  QImage image(kUserIconWidth, kUserIconHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  if (number < 0 || number >= kUserIconCount) {
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(0, 0, kUserIconWidth - 1, kUserIconHeight - 1);
    return image;
  }
  const IconDesign& d = kDesigns[static_cast<size_t>(number)];
  QLinearGradient shade(0, 0, 0, kUserIconHeight);
  shade.setColorAt(0, QColor(d.back).lighter(150));
  shade.setColorAt(1, QColor(d.back));
  p.setBrush(shade);
  p.setPen(QColor(d.back).darker(160));
  p.drawRoundedRect(QRectF(0.5, 0.5, kUserIconWidth - 1, kUserIconHeight - 1), 3, 3);
  p.setPen(QColor(d.fore));
  p.setFont(TinyFont());
  switch (d.mark) {
    case Mark::kCrown: {
      QPainterPath crown;
      crown.moveTo(7, 11);
      crown.lineTo(5, 4);
      crown.lineTo(10, 7.5);
      crown.lineTo(14, 2.5);
      crown.lineTo(18, 7.5);
      crown.lineTo(23, 4);
      crown.lineTo(21, 11);
      crown.closeSubpath();
      p.setBrush(QColor(d.fore));
      p.setPen(QColor(0x60, 0x40, 0x00));
      p.drawPath(crown);
      break;
    }
    case Mark::kStar:
      p.setBrush(QColor(d.fore));
      p.setPen(Qt::NoPen);
      p.drawPath(StarPath(QPointF(6.5, 7), 5, 2.2));
      p.setPen(QColor(d.fore));
      p.drawText(QRectF(11, 0, 17, kUserIconHeight), Qt::AlignCenter, QString::fromLatin1(d.text));
      break;
    case Mark::kDot:
      p.setBrush(DotColor(number));
      p.setPen(QColor(0, 0, 0, 160));
      p.drawEllipse(QRectF(2.5, 3.5, 7, 7));
      p.setPen(QColor(d.fore));
      p.drawText(QRectF(10, 0, 18, kUserIconHeight), Qt::AlignCenter, QString::fromLatin1(d.text));
      break;
    case Mark::kSquelch:
      p.drawText(QRectF(0, 0, kUserIconWidth, kUserIconHeight), Qt::AlignCenter,
                 QString::fromLatin1(d.text));
      p.setPen(QPen(QColor(0xff, 0x50, 0x50), 1.5));
      p.drawLine(QPointF(3, 11), QPointF(25, 3));
      break;
    case Mark::kGlobe:
      p.setBrush(Qt::NoBrush);
      p.setPen(QColor(0x80, 0xc0, 0xff));
      p.drawEllipse(QRectF(2.5, 2.5, 9, 9));
      p.drawLine(QPointF(7, 2.5), QPointF(7, 11.5));
      p.drawLine(QPointF(2.5, 7), QPointF(11.5, 7));
      p.setPen(QColor(d.fore));
      p.drawText(QRectF(12, 0, 16, kUserIconHeight), Qt::AlignCenter, QString::fromLatin1(d.text));
      break;
    case Mark::kText:
      p.drawText(QRectF(0, 0, kUserIconWidth, kUserIconHeight), Qt::AlignCenter,
                 QString::fromLatin1(d.text));
      break;
  }
  return image;
}

QImage StatePicture(int picture, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  static constexpr std::array<QRgb, kStatePictureCount> kColors = {
      0xff808080, 0xff30c050, 0xffe0b020, 0xffd03030, 0xff3070e0, 0xff9050c0,
      0xff20a0a0, 0xffe07030, 0xffc04890, 0xff708030, 0xff5088b0, 0xffb0a070};
  const QColor base(kColors[static_cast<size_t>(std::clamp(picture, 0, kStatePictureCount - 1))]);
  QRadialGradient ball(QPointF(6, 5), 10);
  ball.setColorAt(0, base.lighter(170));
  ball.setColorAt(1, base.darker(130));
  p.setBrush(ball);
  p.setPen(QPen(base.darker(200), 1));
  p.drawEllipse(QRectF(1, 1, 14, 14));
  p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  switch (picture) {
    case 0:  // unplugged: a cross
      p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
      p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
      break;
    case 1:  // a tick
      p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5)}));
      break;
    case 2:  // clock hands
      p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
      p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
      break;
    case 3:  // a bar
      p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
      break;
    case 4:  // a star
      p.setBrush(Qt::white);
      p.setPen(Qt::NoPen);
      p.drawPath(StarPath(QPointF(8, 8.3), 4.6, 2));
      break;
    case 5:
    case 6:
    case 7:  // a ring
      p.drawEllipse(QRectF(5, 5, 6, 6));
      break;
    case 8:
    case 9:  // a dot
      p.setBrush(Qt::white);
      p.drawEllipse(QRectF(6.5, 6.5, 3, 3));
      break;
    default:  // a diamond
      p.drawPolygon(
          QPolygonF({QPointF(8, 4.5), QPointF(11.5, 8), QPointF(8, 11.5), QPointF(4.5, 8)}));
      break;
  }
  return image;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(StatePicture(1, size)));
  return icon;
}

QImage MonitorPicture(bool online) {
  QImage image(14, 14, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor base = online ? QColor(0x30, 0xd0, 0x50) : QColor(0x90, 0x20, 0x20);
  QRadialGradient ball(QPointF(5, 4), 8);
  ball.setColorAt(0, base.lighter(170));
  ball.setColorAt(1, base.darker(120));
  p.setBrush(ball);
  p.setPen(base.darker(200));
  p.drawEllipse(QRectF(1, 1, 12, 12));
  return image;
}

QImage DefaultBackgroundSkin() {
  QImage image(640, 470, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sky(0, 0, 0, 470);
  sky.setColorAt(0, QColor(0x14, 0x18, 0x2a));
  sky.setColorAt(0.12, QColor(0x06, 0x08, 0x10));
  sky.setColorAt(1, QColor(0x02, 0x02, 0x06));
  p.fillRect(image.rect(), sky);
  // A faint diagonal weave gives the panels some texture without fighting the text.
  p.setPen(QColor(0x20, 0x26, 0x3a, 90));
  for (int x = -470; x < 640; x += 12) p.drawLine(x, 470, x + 470, 0);
  p.setPen(QColor(0x50, 0x60, 0x90));
  p.drawRect(0, 0, 639, 469);
  p.setPen(QColor(0x30, 0x38, 0x58));
  p.drawLine(1, 25, 638, 25);
  return image;
}

QImage DefaultButtonSkin() {
  QImage image(90, 20, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient metal(0, 0, 0, 20);
  metal.setColorAt(0, QColor(0x4a, 0x52, 0x6e));
  metal.setColorAt(0.5, QColor(0x24, 0x2a, 0x3e));
  metal.setColorAt(1, QColor(0x12, 0x16, 0x24));
  p.fillRect(image.rect(), metal);
  p.setPen(QColor(0x8a, 0x96, 0xc0));
  p.drawLine(0, 0, 89, 0);
  p.drawLine(0, 0, 0, 19);
  p.setPen(QColor(0x06, 0x08, 0x10));
  p.drawLine(0, 19, 89, 19);
  p.drawLine(89, 0, 89, 19);
  return image;
}

bool WriteDefaultSkins(const std::filesystem::path& program_dir) {
  bool ok = true;
  // Drawn only when missing: on every later start this is on the way to the first window.
  const auto write = [&ok](const std::filesystem::path& path, QImage (*draw)()) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (!draw().save(QString::fromStdString(path.string()), "BMP")) ok = false;
  };
  write(program_dir / "Skins" / "Backgrounds" / "Default.bmp", &DefaultBackgroundSkin);
  write(program_dir / "Skins" / "Buttons" / "Default.bmp", &DefaultButtonSkin);
  return ok;
}

}  // namespace tc::ui
