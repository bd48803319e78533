#include "automation/key_editor.h"

#include <utility>

namespace tc {

namespace {

bool Valid(const Table<KeyRow>& keys, int row) {
  return row >= 0 && row < keys.RowCount();
}

int MoveKey(Table<KeyRow>& keys, int from, int to) {
  if (!Valid(keys, from) || !Valid(keys, to)) return from;
  KeyRow row = keys.RowAt(from);
  keys.Remove(from);
  keys.Insert(to, std::move(row));
  return to;
}

}  // namespace

int AddKey(Table<KeyRow>& keys, const KeyRow& fields) {
  if (fields.key_text.empty()) return -1;
  keys.Append(fields);
  return keys.RowCount() - 1;
}

bool SaveKey(Table<KeyRow>& keys, int selected, const KeyRow& fields) {
  if (!Valid(keys, selected) || keys.RowAt(selected).key_text != fields.key_text) return false;
  keys.Update(selected, [&fields](KeyRow& row) { row = fields; });
  return true;
}

std::optional<KeyRow> RemoveKey(Table<KeyRow>& keys, int selected) {
  if (!Valid(keys, selected)) return std::nullopt;
  KeyRow removed = keys.RowAt(selected);
  keys.Remove(selected);
  return removed;
}

void SetAllKeys(Table<KeyRow>& keys, OnOff state) {
  for (int i = 0; i < keys.RowCount(); ++i) {
    keys.Update(i, [state](KeyRow& row) { row.state = state; });
  }
}

int MoveKeyUp(Table<KeyRow>& keys, int selected) {
  return MoveKey(keys, selected, selected - 1);
}

int MoveKeyDown(Table<KeyRow>& keys, int selected) {
  return MoveKey(keys, selected, selected + 1);
}

}  // namespace tc
