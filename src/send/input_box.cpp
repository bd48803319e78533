#include "send/input_box.h"

#include <algorithm>

namespace tc {

void InputBox::Remember(const std::string& entry) {
  if (std::find(history.begin(), history.end(), entry) != history.end()) return;
  history.insert(history.begin(), entry);
  if (history.size() > kHistoryLimit) history.resize(kHistoryLimit);
}

}  // namespace tc
