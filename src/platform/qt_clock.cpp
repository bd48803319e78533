#include "platform/qt_clock.h"

#include <QDateTime>

namespace tc::platform {

QtClock::QtClock() {
  elapsed_.start();
}

int64_t QtClock::NowMs() const {
  return elapsed_.elapsed();
}

DateTime QtClock::LocalNow() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

}  // namespace tc::platform
