#include "automation/variables.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <system_error>
#include <utility>
#include <vector>

#include "common/sort_order.h"
#include "common/text.h"

namespace tc {
namespace {

constexpr std::string_view kMacroText = "Please enter a message.";

// A whole decimal integer, an optional sign before it; nothing else, not even spaces.
std::optional<int64_t> StrictInteger(std::string_view text) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  if (value < INT_MIN || value > INT_MAX) return {};
  return value;
}

}  // namespace

void Variables::RestoreDefaults() {
  std::vector<VariableRow> rows = {
      {"$anti-idle$", "Get <version> now, from <website>"},
      {"$away$", "I am currently away from <version>"},
      {"$dnd$", "I'm busy, please don't disturb me."},
  };
  for (size_t i = 3; i < kSystemNames.size(); ++i) {
    rows.push_back({std::string(kSystemNames[i]), std::string(kMacroText)});
  }
  table_.Assign(std::move(rows));
}

std::string Variables::Value(std::string_view name) const {
  const int row = table_.FindLast([&](const VariableRow& r) { return r.name == name; });
  return row < 0 ? std::string() : table_.RowAt(row).value;
}

void Variables::Insert(VariableRow row) {
  InsertSorted(table_, std::move(row));
}

bool Variables::UsableName(std::string_view name) {
  return !name.empty() && !ContainsNoCase(name, kFieldMark);
}

bool Variables::Add(int selected, std::string_view name, std::string_view value) {
  if (!UsableName(name)) return false;
  if (selected >= 0 && selected < table_.RowCount() && table_.RowAt(selected).name == name) {
    table_.Update(selected, [&](VariableRow& row) { row.value = value; });
    return true;
  }
  if (value.empty()) return false;
  if (table_.FindFirst([&](const VariableRow& row) { return row.name == name; }) >= 0) {
    return false;
  }
  Insert(VariableRow{std::string(name), std::string(value)});
  return true;
}

std::optional<VariableRow> Variables::Remove(int selected) {
  if (selected < 0 || selected >= table_.RowCount()) return std::nullopt;
  VariableRow row = table_.RowAt(selected);
  table_.Remove(selected);
  return row;
}

std::optional<std::string> Variables::Edit(std::string_view rest) {
  const auto [name, value] = SplitAtFirst(rest, ';');
  if (ContainsNoCase(name, kFieldMark)) {
    return "A variable name cannot hold \"" + std::string(kFieldMark) + "\"";
  }
  const bool remove = EqualsNoCase(value, "<delete>");
  const bool add = EqualsNoCase(value, "<add>");
  const bool sub = EqualsNoCase(value, "<sub>");
  bool matched = false;
  for (int row = 0; row < table_.RowCount();) {
    if (!EqualsNoCase(table_.RowAt(row).name, name)) {
      ++row;
      continue;
    }
    matched = true;
    if (remove) {
      table_.Remove(row);
      continue;
    }
    if (add || sub) {
      const std::string& now = table_.RowAt(row).value;
      const std::optional<int64_t> current = StrictInteger(now);
      const int64_t next = current ? *current + (add ? 1 : -1) : 0;
      if (!current || next < INT_MIN || next > INT_MAX) {
        return "\"" + now + "\" is not a valid integer value";
      }
      table_.Update(row, [next](VariableRow& r) { r.value = std::to_string(next); });
    } else {
      table_.Update(row, [text = std::string(value)](VariableRow& r) { r.value = text; });
    }
    ++row;
  }
  if (!matched && !name.empty() && !remove) {
    const std::string initial = add ? "1" : sub ? "-1" : std::string(value);
    Insert(VariableRow{std::string(name), initial});
  }
  return {};
}

}  // namespace tc
