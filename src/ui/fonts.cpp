#include "ui/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include "common/text.h"

namespace tc::ui {

QString ResolveFamily(const QString& wanted) {
  const QStringList installed = QFontDatabase::families();
  if (installed.contains(wanted, Qt::CaseInsensitive)) return wanted;
  // Rounded, informal faces first for the buttons' family, plain sans faces for the rest.
  const bool informal = wanted.contains(QStringLiteral("Comic"), Qt::CaseInsensitive);
  const QStringList candidates =
      informal ? QStringList{"Comic Neue",  "Comic Relief",    "Chilanka", "Ubuntu",
                             "DejaVu Sans", "Liberation Sans", "Noto Sans"}
               : QStringList{"DejaVu Sans",     "Bitstream Vera Sans",
                             "Liberation Sans", "Noto Sans",
                             "Arial",           "FreeSans"};
  for (const QString& family : candidates) {
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QFont ToQFont(const FontChoice& choice) {
  QFont font(ResolveFamily(QString::fromStdString(choice.name)));
  font.setPointSize(choice.size > 0 ? choice.size : 8);
  font.setBold(choice.style == FontStyle::kBold || choice.style == FontStyle::kBoldItalic);
  font.setItalic(choice.style == FontStyle::kItalic || choice.style == FontStyle::kBoldItalic);
  return font;
}

}  // namespace tc::ui
