// What the chat output does with one line: where it came from, and what its handler decided.
#pragma once

#include <string>
#include <utility>

namespace tc {

// A line read from the server, or a message the program itself shows ("System ( ... )").
enum class LineSource { kServer, kLocal };

enum class LineShow {
  kHidden,       // nothing appears in the chat view or the log
  kDisplayText,  // the handler's own text for the line appears
  kAsIs,         // the line appears as it is (the program's own messages)
};

// A handler's answer: whether the line appears, and as what.
struct LineDecision {
  LineShow show = LineShow::kHidden;
  std::string text;  // what appears for kDisplayText

  static LineDecision Hidden() { return {}; }
  static LineDecision Shown(std::string text) { return {LineShow::kDisplayText, std::move(text)}; }
  // The handler's text, shown or kept back by `shown`.
  static LineDecision Of(bool shown, std::string text) {
    return {shown ? LineShow::kDisplayText : LineShow::kHidden, std::move(text)};
  }
};

}  // namespace tc
