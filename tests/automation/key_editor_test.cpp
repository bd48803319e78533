// The key editor's operations on the keys list, with the change reports a view would follow.
#include "automation/key_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tc::test {
namespace {

KeyRow Key(std::string text, OnOff state = OnOff::kOn, std::string action = "hi") {
  return {std::move(text), std::move(action), "All;Messages;", "", "", state};
}

std::vector<std::string> Texts(const Table<KeyRow>& keys) {
  std::vector<std::string> texts;
  for (const KeyRow& row : keys.Rows()) texts.push_back(row.key_text);
  return texts;
}

TEST(KeyEditor, AddAppendsAnyNonEmptyKeyTextEvenTwice) {
  Table<KeyRow> keys;
  EXPECT_EQ(AddKey(keys, Key("hello")), 0);
  EXPECT_EQ(AddKey(keys, Key("hello", OnOff::kOff)), 1);
  EXPECT_EQ(AddKey(keys, Key("")), -1);
  ASSERT_EQ(keys.RowCount(), 2);
  EXPECT_EQ(keys.RowAt(1), Key("hello", OnOff::kOff));
}

TEST(KeyEditor, SaveOnlyOverTheSelectedKeyWithTheSameKeyText) {
  struct Case {
    const char* what;
    int selected;
    std::string key_text;
    bool saved;
  };
  const std::vector<Case> cases = {
      {"same text", 1, "bye", true},
      {"text differs in case", 1, "Bye", false},
      {"text of another row", 1, "hello", false},
      {"nothing selected", -1, "bye", false},
      {"selection past the end", 2, "bye", false},
  };
  for (const Case& c : cases) {
    Table<KeyRow> keys;
    keys.Assign({Key("hello"), Key("bye")});
    KeyRow fields{c.key_text, "new action", "Whispers;", "1;", "ann=2;", OnOff::kOff};
    EXPECT_EQ(SaveKey(keys, c.selected, fields), c.saved) << c.what;
    EXPECT_EQ(keys.RowAt(1), c.saved ? fields : Key("bye")) << c.what;
    EXPECT_EQ(keys.RowAt(0), Key("hello")) << c.what;
  }
}

TEST(KeyEditor, RemoveGivesTheRowBackForTheEditor) {
  Table<KeyRow> keys;
  keys.Assign({Key("a"), Key("b", OnOff::kOff)});
  EXPECT_EQ(RemoveKey(keys, 5), std::nullopt);
  EXPECT_EQ(RemoveKey(keys, -1), std::nullopt);
  EXPECT_EQ(RemoveKey(keys, 1), Key("b", OnOff::kOff));
  EXPECT_EQ(Texts(keys), std::vector<std::string>{"a"});
}

TEST(KeyEditor, AllAndNoneSwitchEveryKeyAndReportOnlyChangedRows) {
  Table<KeyRow> keys;
  keys.Assign({Key("a"), Key("b", OnOff::kOff), Key("c")});
  std::vector<int> changed;
  keys.AddListener([&changed](const TableChange& change) { changed.push_back(change.first); });
  SetAllKeys(keys, OnOff::kOn);
  EXPECT_EQ(changed, std::vector<int>{1});
  SetAllKeys(keys, OnOff::kOff);
  for (const KeyRow& row : keys.Rows()) EXPECT_FALSE(row.state.on()) << row.key_text;
}

TEST(KeyEditor, MovesKeepTheKeySelectedAndStopAtTheEnds) {
  struct Case {
    const char* what;
    int (*move)(Table<KeyRow>&, int);
    int selected;
    int now;
    std::vector<std::string> order;
  };
  const std::vector<Case> cases = {
      {"up from the middle", MoveKeyUp, 1, 0, {"b", "a", "c"}},
      {"up from the top", MoveKeyUp, 0, 0, {"a", "b", "c"}},
      {"down from the middle", MoveKeyDown, 1, 2, {"a", "c", "b"}},
      {"down from the bottom", MoveKeyDown, 2, 2, {"a", "b", "c"}},
      {"nothing selected", MoveKeyDown, -1, -1, {"a", "b", "c"}},
      {"selection past the end", MoveKeyUp, 7, 7, {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    Table<KeyRow> keys;
    keys.Assign({Key("a"), Key("b"), Key("c")});
    EXPECT_EQ(c.move(keys, c.selected), c.now) << c.what;
    EXPECT_EQ(Texts(keys), c.order) << c.what;
  }
}

}  // namespace
}  // namespace tc::test
