// The key editor's operations on the keys list. The editor's fields travel as a KeyRow; the
// selection is a row number, -1 for none. Each call changes the table only where the editor
// allows it, so a front end needs no checks of its own.
#pragma once

#include <optional>

#include "common/list_rows.h"
#include "common/table.h"

namespace tc {

// Appends the editor's fields as a new key unless the key text is empty; there is no duplicate
// check. Returns the new row, -1 when nothing was added.
int AddKey(Table<KeyRow>& keys, const KeyRow& fields);

// Overwrites the selected key's action, applies-to, applies-on, history and state, only when its
// key text equals the editor's exactly. Returns whether it did.
bool SaveKey(Table<KeyRow>& keys, int selected, const KeyRow& fields);

// Removes the selected key and gives it back for the editor, so that Add restores it unchanged.
std::optional<KeyRow> RemoveKey(Table<KeyRow>& keys, int selected);

// Switches every key on or off.
void SetAllKeys(Table<KeyRow>& keys, OnOff state);

// Moves the selected key one place; returns the row that holds it afterwards (`selected` when it
// could not move, -1 stays -1).
int MoveKeyUp(Table<KeyRow>& keys, int selected);
int MoveKeyDown(Table<KeyRow>& keys, int selected);

}  // namespace tc
