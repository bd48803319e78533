// Font families: the chosen one when installed, else a similar installed family, without a word.
#pragma once

#include <QFont>
#include <QString>

#include "appearance/appearance.h"

namespace tc::ui {

QString ResolveFamily(const QString& wanted);
QFont ToQFont(const FontChoice& choice);

}  // namespace tc::ui
