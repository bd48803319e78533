// The variable list: named snippets that any outgoing text can use, kept sorted by name. It holds
// the away, do-not-disturb and anti-idle texts and the fifteen macros from the start, until a
// settings profile with variables of its own replaces them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/list_rows.h"
#include "common/table.h"

namespace tc {

class Variables {
 public:
  // The names the panel lists under "System Variables:".
  static constexpr std::array<std::string_view, 18> kSystemNames = {
      "$anti-idle$", "$away$",    "$dnd$",     "$macro01$", "$macro02$", "$macro03$",
      "$macro04$",   "$macro05$", "$macro06$", "$macro07$", "$macro08$", "$macro09$",
      "$macro10$",   "$macro11$", "$macro12$", "$macro13$", "$macro14$", "$macro15$"};

  Variables() { RestoreDefaults(); }

  Table<VariableRow>& table() { return table_; }
  const Table<VariableRow>& table() const { return table_; }

  // The list a fresh program directory starts with.
  void RestoreDefaults();
  // The value of the last row named exactly `name`; "" when none.
  std::string Value(std::string_view name) const;
  // Puts a row at its sorted place; every path that adds a variable comes through here.
  void Insert(VariableRow row);

  // A name the list can store: not empty and without the field mark (either letter case), which
  // would cut the stored line in the wrong place.
  static bool UsableName(std::string_view name);

  // The panel's "Add": the selected row (-1 for none) takes the value when its name is exactly
  // `name`, even an empty value; otherwise a new row when no row has exactly that name and both
  // texts are given. False when nothing changed.
  bool Add(int selected, std::string_view name, std::string_view value);
  // The panel's "Remove": the selected row, handed back for the editing fields, then deleted.
  std::optional<VariableRow> Remove(int selected);

  // "/edit " name ";" value: every row named `name` (letter case ignored) is deleted ("<delete>"),
  // counted up or down ("<add>", "<sub>") or set; with none, a row is added. The error text
  // when a counted value is no integer, or the name cannot be stored.
  std::optional<std::string> Edit(std::string_view rest);

 private:
  Table<VariableRow> table_;
};

}  // namespace tc
