// The keys: keyword triggers and event handlers (a key whose key text names an event). Keys owns
// the list and decides which keys fire for one happening; the client expands and sends what
// fires. The facts the decision needs from the rest of the program come through KeyFacts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/list_rows.h"
#include "common/table.h"

namespace tc {

// The speaker's user-database fields the keys read.
enum class SpeakerField { kProduct, kFlag, kInterBotName };

class KeyFacts {
 public:
  virtual ~KeyFacts() = default;
  virtual std::string_view OwnAccount() const = 0;
  // The client state word: "Available", "Away", "DND", "Operator", "Disconnected".
  virtual std::string_view StateWord() const = 0;
  virtual std::string_view CurrentChannel() const = 0;
  virtual const Table<AccountRow>& Accounts() const = 0;
  // The field of the user's record; "0" when the user has none.
  virtual std::string UserField(std::string_view user, SpeakerField field) const = 0;
};

class KeyText;  // the happening's text, prepared for the word match

// What became of one key for one happening: it fires, or the first test that stopped it.
enum class KeyVerdict {
  kFires,
  kNotSelected,  // neither the words nor the kind
  kSwitchedOff,
  kUserType,
  kClientState,
  kProduct,
  kCondition,
  kMessageKind,
  kAppliesOn,
};

// The word match: every "*"-separated piece of the key text (at most 20) occurs in the text,
// letter case ignored; an empty piece occurs in any text but the empty one.
bool KeyWordApplies(std::string_view key_text, std::string_view text);

// The speaker of one happening, as the keys see it. Each fact is looked up once, when a key
// first needs it, and kept for the rest of the run.
class KeySpeaker {
 public:
  KeySpeaker(std::string_view user, const KeyFacts& facts) : user_(user), facts_(facts) {}
  std::string_view user() const { return user_; }
  const KeyFacts& facts() const { return facts_; }
  // The user-type tokens in the key vocabulary ("Friends;", "Me;", "Other;", ...); an empty
  // token stands for a class text without any ";".
  const std::vector<std::string>& Tokens();
  const std::string& Field(SpeakerField field);
  // What an applies-to text holds for the client state ("Available;") and the speaker's
  // product ("Product:[STAR];").
  const std::string& StateToken();
  const std::string& ProductToken();

 private:
  std::string_view user_;
  const KeyFacts& facts_;
  std::optional<std::vector<std::string>> tokens_;
  std::array<std::optional<std::string>, 3> fields_;
  std::optional<std::string> state_token_;
  std::optional<std::string> product_token_;
};

// The condition tags of an applies-to text ("<%equals;bob%>", "<%isainterbot%>", ...): true when
// every tag present holds for the speaker. A tag without its closing "%>" is not a condition.
bool KeyVariables(std::string_view applies_to, KeySpeaker& speaker);

// History: the speaker's count raised by one, whole entries ("name=count;") matched by name with
// letter case ignored, an unreadable count read as 0. Returns the new count; `history` keeps
// every other byte.
int64_t RaiseHistoryCount(std::string& history, std::string_view user);
// The count `user` would reach, without changing the history.
int64_t NextHistoryCount(std::string_view history, std::string_view user);

// True when the applies-on list is empty or one of its ";"-terminated entries is `count`.
bool AppliesOnCount(std::string_view applies_on, std::string_view count);

struct FiredKey {
  std::string key_text;
  std::string action;
};

class Keys {
 public:
  Table<KeyRow>& table() { return table_; }
  const Table<KeyRow>& table() const { return table_; }

  // Runs every key against one happening: `kind` is "Messages;", "Whispers;", "Emotes;" or an
  // event name. Histories are counted; returns the keys that fire, in list order.
  std::vector<FiredKey> Execute_Key(std::string_view user, std::string_view text,
                                    std::string_view kind, const KeyFacts& facts);
  // The same tests without counting: for each key, in list order, its verdict and, for a key
  // that got as far as the history, the count it would have reached.
  struct Explained {
    KeyVerdict verdict;
    std::string count;
  };
  std::vector<Explained> Explain(std::string_view user, std::string_view text,
                                 std::string_view kind, const KeyFacts& facts) const;

 private:
  // The tests of one key in their order; with `count` given the history is counted into `row`.
  static KeyVerdict Judge(const KeyRow& row, const KeyText& text, std::string_view kind,
                          KeySpeaker& speaker, std::string* new_history, std::string& count);

  Table<KeyRow> table_;
};

// How a verdict reads in the key test's answer.
std::string_view VerdictText(KeyVerdict verdict);

}  // namespace tc
