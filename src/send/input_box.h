// The two input boxes of the main window as core state: the window and the console show and edit
// these, so the send handlers read the same text whichever front end runs.
#pragma once

#include <string>
#include <vector>

namespace tc {

struct InputBox {
  static constexpr size_t kHistoryLimit = 25;

  std::string text;
  std::vector<std::string> history;  // the drop-down list, newest first

  // An entry goes to the front unless an equal one is already there somewhere.
  void Remember(const std::string& entry);
};

}  // namespace tc
