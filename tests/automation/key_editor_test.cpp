// The key editor's operations on the keys list: what each leaves in the list and what it returns
// for the editor (the new selection, whether it saved).
#include "automation/key_editor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tc::test {
namespace {

KeyRow Key(std::string text, OnOff state, std::string action = "hi") {
  return {std::move(text), std::move(action), "All;", "", "", state};
}

// The list as key text and "+" (on) or "-" (off), space-separated.
std::string Shown(const Table<KeyRow>& keys) {
  std::string shown;
  for (const KeyRow& row : keys.Rows()) {
    shown += row.key_text + (row.state.on() ? "+" : "-") + (row.action == "hi" ? " " : "* ");
  }
  return shown;
}

TEST(KeyEditor, EachOperationOnAOneTwoThreeList) {
  using Op = std::function<int(Table<KeyRow>&)>;
  const struct {
    const char* what;
    Op op;
    int returned;
    std::string after;
  } cases[] = {
      {"add appends, duplicates too", [](auto& k) { return AddKey(k, Key("a", OnOff::kOff)); }, 3,
       "a+ b- c+ a- "},
      {"add of an empty key text", [](auto& k) { return AddKey(k, Key("", OnOff::kOn)); }, -1,
       "a+ b- c+ "},
      {"save over the same key text",
       [](auto& k) { return SaveKey(k, 1, Key("b", OnOff::kOn, "x")) ? 1 : 0; }, 1, "a+ b+* c+ "},
      {"save when the key text differs in case",
       [](auto& k) { return SaveKey(k, 1, Key("B", OnOff::kOn, "x")) ? 1 : 0; }, 0, "a+ b- c+ "},
      {"save with nothing selected",
       [](auto& k) { return SaveKey(k, -1, Key("b", OnOff::kOn, "x")) ? 1 : 0; }, 0, "a+ b- c+ "},
      {"remove gives the row back",
       [](auto& k) { return RemoveKey(k, 1) == Key("b", OnOff::kOff) ? 1 : 0; }, 1, "a+ c+ "},
      {"remove past the end", [](auto& k) { return RemoveKey(k, 3) ? 1 : 0; }, 0, "a+ b- c+ "},
      {"all on", [](auto& k) { return SetAllKeys(k, OnOff::kOn), 0; }, 0, "a+ b+ c+ "},
      {"all off", [](auto& k) { return SetAllKeys(k, OnOff::kOff), 0; }, 0, "a- b- c- "},
      {"up from the middle", [](auto& k) { return MoveKeyUp(k, 1); }, 0, "b- a+ c+ "},
      {"up from the top", [](auto& k) { return MoveKeyUp(k, 0); }, 0, "a+ b- c+ "},
      {"down from the middle", [](auto& k) { return MoveKeyDown(k, 1); }, 2, "a+ c+ b- "},
      {"down from the bottom", [](auto& k) { return MoveKeyDown(k, 2); }, 2, "a+ b- c+ "},
      {"move with nothing selected", [](auto& k) { return MoveKeyDown(k, -1); }, -1, "a+ b- c+ "},
  };
  for (const auto& c : cases) {
    Table<KeyRow> keys;
    keys.Assign({Key("a", OnOff::kOn), Key("b", OnOff::kOff), Key("c", OnOff::kOn)});
    EXPECT_EQ(c.op(keys), c.returned) << c.what;
    EXPECT_EQ(Shown(keys), c.after) << c.what;
  }
}

}  // namespace
}  // namespace tc::test
