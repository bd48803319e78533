// The fifteen quick buttons: button n sends the variable "$macro" + two digits + "$". The module
// keeps each button's hint, "Execute Macro #" + two digits and then the value in brackets, and
// tells its listeners which button's hint changed (a kChanged report whose row is n - 1), so that
// the window follows without asking.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/variables.h"
#include "common/table.h"
#include "common/tainted_text.h"

namespace tc {

class Macros : public TableReports {
 public:
  static constexpr int kCount = 15;
  // The lines one click may send: about a minute of the owner's lane under anti-flood. A longer
  // macro would hold back everything the owner types for many minutes.
  static constexpr size_t kMaxLines = 25;

  explicit Macros(const Variables& variables);

  // "$macro01$" .. "$macro15$" for 1 .. 15, and back (exact names only).
  static std::string Name(int n);
  static std::optional<int> Number(std::string_view name);

  // The hint of button n (1 .. 15); "" outside.
  const std::string& Hint(int n) const;
  // Refreshes the hint of the one macro whose name is exactly `name`; any other name changes
  // nothing.
  void UpdateMacroHints(std::string_view name);
  // Refreshes the macros whose names match `name` with letter case ignored, as "/edit" finds rows.
  void UpdateMacroHintsNoCase(std::string_view name);
  void UpdateAll();

  // A macro's expanded value cut at each "<break>" (any case, the owner's own text only) into at
  // most kMaxLines lines; `dropped` counts the lines beyond.
  struct Lines {
    std::vector<TaintedText> lines;
    size_t dropped = 0;
  };
  static Lines CutAtBreaks(const TaintedText& value);

 private:
  std::string HintFor(int n) const;

  const Variables& variables_;
  std::array<std::string, kCount> hints_;
};

}  // namespace tc
