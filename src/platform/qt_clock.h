// The core's clock on Qt: monotonic milliseconds for timers, the local wall clock for texts.
#pragma once

#include <QElapsedTimer>

#include "ports/ports.h"

namespace tc::platform {

class QtClock : public Clock {
 public:
  QtClock();
  int64_t NowMs() const override;
  DateTime LocalNow() const override;

 private:
  QElapsedTimer elapsed_;
};

}  // namespace tc::platform
