// The variables panel and the quick buttons: the client's side of the variable list and the
// macros it holds.
#include <string>
#include <string_view>

#include "app/client.h"
#include "common/text.h"

namespace tc {

void Client::AddVariable(int selected, std::string_view name, std::string_view value) {
  if (ContainsNoCase(name, kFieldMark)) {
    ShowLocal("Error ( A variable name cannot hold \"" + std::string(kFieldMark) + "\" )");
    return;
  }
  if (variables_.Add(selected, name, value) && ContainsNoCase(name, "$macro")) {
    macros_.UpdateMacroHints(name);
  }
}

std::optional<VariableRow> Client::RemoveVariable(int selected) {
  std::optional<VariableRow> removed = variables_.Remove(selected);
  if (removed && ContainsNoCase(removed->name, "$macro")) macros_.UpdateMacroHints(removed->name);
  return removed;
}

void Client::RunMacro(int n) {
  if (n < 1 || n > Macros::kCount) return;
  const TaintedText value = Prepare(TaintedText(VariableValue(Macros::Name(n))), {}, {});
  const Macros::Lines cut = Macros::CutAtBreaks(value);
  // The owner clicked: every line is the owner's, each expanded again and possibly a command.
  for (const TaintedText& line : cut.lines) SendText(line, LineOrigin::kOwner);
  if (cut.dropped > 0) {
    ShowLocal("System ( Macro #" + Macros::Name(n).substr(6, 2) + " sent its first " +
              std::to_string(Macros::kMaxLines) + " lines; " + std::to_string(cut.dropped) +
              " more were not sent. )");
  }
}

}  // namespace tc
