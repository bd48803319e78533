#include "automation/macros.h"

#include "common/text.h"

namespace tc {
namespace {

constexpr std::string_view kBreak = "<break>";

std::string TwoDigits(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

Macros::Macros(const Variables& variables) : variables_(variables) {
  for (int n = 1; n <= kCount; ++n) hints_[static_cast<size_t>(n - 1)] = HintFor(n);
}

std::string Macros::Name(int n) {
  return "$macro" + TwoDigits(n) + "$";
}

std::optional<int> Macros::Number(std::string_view name) {
  for (int n = 1; n <= kCount; ++n) {
    if (name == Name(n)) return n;
  }
  return std::nullopt;
}

const std::string& Macros::Hint(int n) const {
  static const std::string kNone;
  if (n < 1 || n > kCount) return kNone;
  return hints_[static_cast<size_t>(n - 1)];
}

std::string Macros::HintFor(int n) const {
  std::string hint = "Execute Macro #" + TwoDigits(n);
  const std::string value = variables_.Value(Name(n));
  if (!value.empty()) hint += " (" + value + ")";
  return hint;
}

void Macros::UpdateMacroHints(std::string_view name) {
  const std::optional<int> n = Number(name);
  if (!n) return;
  std::string hint = HintFor(*n);
  std::string& current = hints_[static_cast<size_t>(*n - 1)];
  if (hint == current) return;
  current = std::move(hint);
  Notify({TableChange::Kind::kChanged, *n - 1, 1});
}

void Macros::UpdateMacroHintsNoCase(std::string_view name) {
  for (int n = 1; n <= kCount; ++n) {
    if (EqualsNoCase(Name(n), name)) UpdateMacroHints(Name(n));
  }
}

void Macros::UpdateAll() {
  for (int n = 1; n <= kCount; ++n) UpdateMacroHints(Name(n));
}

Macros::Lines Macros::CutAtBreaks(const TaintedText& value) {
  Lines out;
  out.lines = value.SplitAtTrusted(kBreak);
  if (out.lines.size() > kMaxLines) {
    out.dropped = out.lines.size() - kMaxLines;
    out.lines.resize(kMaxLines);
  }
  return out;
}

}  // namespace tc
