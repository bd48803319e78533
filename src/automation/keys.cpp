#include "automation/keys.h"

#include <array>
#include <utility>

#include "common/text.h"

namespace tc {

namespace {

constexpr int kMaxPieces = 20;
constexpr size_t kMaxTypeTokens = 7;

// Account classes as the account list spells them, and the words the keys use for them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kTypeWords = {{
    {"Friend;", "Friends;"},
    {"Enemy;", "Enemies;"},
    {"Operator;", "Operators;"},
}};

enum class TagTest { kContains, kEquals, kChannel, kInterBot };

struct ConditionTag {
  std::string_view tag;
  TagTest test;
  bool negated;
};

// In the order they are taken out of the applies-to text.
constexpr std::array<ConditionTag, 8> kConditionTags = {{
    {"<%contains;", TagTest::kContains, false},
    {"<%notcontains;", TagTest::kContains, true},
    {"<%equals;", TagTest::kEquals, false},
    {"<%notequals;", TagTest::kEquals, true},
    {"<%channel;", TagTest::kChannel, false},
    {"<%notchannel;", TagTest::kChannel, true},
    {"<%interbot;", TagTest::kInterBot, false},
    {"<%notinterbot;", TagTest::kInterBot, true},
}};
constexpr std::string_view kTagEnd = "%>";

bool TagHolds(TagTest test, std::string_view argument, KeySpeaker& speaker) {
  switch (test) {
    case TagTest::kContains:
      return ContainsNoCase(speaker.user(), argument);
    case TagTest::kEquals:
      return EqualsNoCase(speaker.user(), argument);
    case TagTest::kChannel:
      return EqualsNoCase(speaker.facts().CurrentChannel(), argument);
    case TagTest::kInterBot:
      return EqualsNoCase(speaker.Field(SpeakerField::kInterBotName), argument);
  }
  return false;
}

// The second character of the speaker's flags marks another copy of the program.
bool FlaggedInterBot(KeySpeaker& speaker) {
  const std::string& flag = speaker.Field(SpeakerField::kFlag);
  return flag.size() >= 2 && flag[1] == '1';
}

// One history entry: where its name and count lie in the history text.
struct HistoryEntry {
  size_t count_from = 0;  // first byte of the count
  size_t count_to = 0;    // one past its last byte
  bool found = false;
};

// The first entry "name=count" (";"-terminated, or the unterminated tail) whose name is `user`.
HistoryEntry FindHistoryEntry(std::string_view history, std::string_view user) {
  size_t from = 0;
  while (from < history.size()) {
    size_t end = history.find(';', from);
    if (end == std::string_view::npos) end = history.size();
    const std::string_view entry = history.substr(from, end - from);
    const size_t equals = entry.find('=');
    if (equals != std::string_view::npos && EqualsNoCase(entry.substr(0, equals), user)) {
      return {from + equals + 1, end, true};
    }
    from = end + 1;
  }
  return {};
}

}  // namespace

// The happening's text, lowered once for the word match of every key: an ASCII piece is then
// found by a plain byte search, the rest by PosNoCase.
class KeyText {
 public:
  explicit KeyText(std::string_view text) : text_(text), lower_(LowerCase1252(text)) {}
  bool empty() const { return text_.empty(); }
  bool Contains(std::string_view piece) const {
    std::array<char, 64> buffer;
    if (piece.size() > buffer.size()) return PosNoCase(text_, piece) != 0;
    for (size_t i = 0; i < piece.size(); ++i) {
      const char c = piece[i];
      if (static_cast<unsigned char>(c) >= 0x80) return PosNoCase(text_, piece) != 0;
      buffer[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    return lower_.find(std::string_view(buffer.data(), piece.size())) != std::string::npos;
  }

 private:
  std::string_view text_;
  std::string lower_;
};

namespace {

bool WordsApply(std::string_view key_text, const KeyText& text) {
  if (text.empty()) return false;
  size_t from = 0;
  for (int piece = 0; piece < kMaxPieces; ++piece) {
    const size_t star = key_text.find('*', from);
    const std::string_view word = key_text.substr(
        from, star == std::string_view::npos ? std::string_view::npos : star - from);
    if (!word.empty() && !text.Contains(word)) return false;
    if (star == std::string_view::npos) break;
    from = star + 1;
  }
  return true;
}

}  // namespace

bool KeyWordApplies(std::string_view key_text, std::string_view text) {
  return WordsApply(key_text, KeyText(text));
}

const std::vector<std::string>& KeySpeaker::Tokens() {
  if (tokens_) return *tokens_;
  std::string type = "Other;";
  for (const AccountRow& row : facts_.Accounts().Rows()) {
    if (row.tracking.on() && EqualsNoCase(row.name, user_)) type = row.type;
  }
  if (user_ == facts_.OwnAccount()) type += "Me;";
  std::vector<std::string> tokens;
  if (type == "Other;") {
    tokens.push_back(type);
  } else if (type.find(';') == std::string::npos) {
    tokens.emplace_back();
  } else {
    size_t from = 0;
    for (size_t end = type.find(';'); end != std::string::npos && tokens.size() < kMaxTypeTokens;
         end = type.find(';', from)) {
      std::string token = type.substr(from, end + 1 - from);
      for (const auto& [listed, word] : kTypeWords) {
        if (EqualsNoCase(token, listed)) token = word;
      }
      tokens.push_back(std::move(token));
      from = end + 1;
    }
  }
  tokens_ = std::move(tokens);
  return *tokens_;
}

const std::string& KeySpeaker::Field(SpeakerField field) {
  std::optional<std::string>& value = fields_[static_cast<size_t>(field)];
  if (!value) value = facts_.UserField(user_, field);
  return *value;
}

const std::string& KeySpeaker::StateToken() {
  if (!state_token_) state_token_ = std::string(facts_.StateWord()) + ";";
  return *state_token_;
}

const std::string& KeySpeaker::ProductToken() {
  if (!product_token_) product_token_ = "Product:" + Field(SpeakerField::kProduct) + ";";
  return *product_token_;
}

bool KeyVariables(std::string_view applies_to, KeySpeaker& speaker) {
  // Cheap way out for the many keys without any tag.
  if (applies_to.find("<%") == std::string_view::npos) return true;
  // Tags are found like every other word of an applies-to text, letter case ignored: in a
  // lowered copy kept beside the text (folding keeps every length), so one byte search does.
  std::string rest(applies_to);
  std::string lower = LowerCase1252(applies_to);
  bool holds = true;
  for (const ConditionTag& kind : kConditionTags) {
    // Each turn takes the tag, its argument and the "%>" out, so the loop ends.
    for (size_t at = lower.find(kind.tag); at != std::string::npos; at = lower.find(kind.tag)) {
      const size_t from = at + kind.tag.size();
      const size_t end = rest.find(kTagEnd, from);
      if (end == std::string::npos) break;
      const std::string argument = rest.substr(from, end - from);
      rest.erase(at, end + kTagEnd.size() - at);
      lower.erase(at, end + kTagEnd.size() - at);
      if (TagHolds(kind.test, argument, speaker) == kind.negated) holds = false;
    }
  }
  if (lower.find("<%isainterbot%>") != std::string::npos && !FlaggedInterBot(speaker)) {
    holds = false;
  }
  if (lower.find("<%isnotainterbot%>") != std::string::npos && FlaggedInterBot(speaker)) {
    holds = false;
  }
  return holds;
}

namespace {

// The count after one more trigger of the entry found (1 for a speaker without one).
int64_t CountAfter(std::string_view history, const HistoryEntry& entry) {
  if (!entry.found) return 1;
  return int64_t{
             SafeStrToInt(history.substr(entry.count_from, entry.count_to - entry.count_from))} +
         1;
}

}  // namespace

int64_t NextHistoryCount(std::string_view history, std::string_view user) {
  return CountAfter(history, FindHistoryEntry(history, user));
}

int64_t RaiseHistoryCount(std::string& history, std::string_view user) {
  const HistoryEntry entry = FindHistoryEntry(history, user);
  const int64_t count = CountAfter(history, entry);
  if (entry.found) {
    history.replace(entry.count_from, entry.count_to - entry.count_from, std::to_string(count));
  } else {
    // A hand-edited history may lack its last ";": the new entry must not run into it.
    if (!history.empty() && history.back() != ';') history += ';';
    history.append(user).append("=1;");
  }
  return count;
}

bool AppliesOnCount(std::string_view applies_on, std::string_view count) {
  if (applies_on.empty()) return true;
  size_t from = 0;
  for (size_t end = applies_on.find(';'); end != std::string_view::npos;
       end = applies_on.find(';', from)) {
    if (applies_on.substr(from, end - from) == count) return true;
    from = end + 1;
  }
  return false;
}

KeyVerdict Keys::Judge(const KeyRow& row, const KeyText& text, std::string_view kind,
                       KeySpeaker& speaker, std::string* new_history, std::string& count) {
  if (!WordsApply(row.key_text, text) && !EqualsNoCase(row.key_text, kind)) {
    return KeyVerdict::kNotSelected;
  }
  if (!row.state.on()) return KeyVerdict::kSwitchedOff;
  const std::string_view applies_to = row.applies_to;
  if (!ContainsNoCase(applies_to, "All;")) {
    bool typed = false;
    for (const std::string& token : speaker.Tokens()) {
      // The empty token of a class text without ";" is inside any applies-to but the empty one.
      typed = token.empty() ? !applies_to.empty() : ContainsNoCase(applies_to, token);
      if (typed) break;
    }
    if (!typed) return KeyVerdict::kUserType;
  }
  if (!ContainsNoCase(applies_to, speaker.StateToken())) return KeyVerdict::kClientState;
  if (!ContainsNoCase(applies_to, speaker.ProductToken())) return KeyVerdict::kProduct;
  if (!KeyVariables(applies_to, speaker)) return KeyVerdict::kCondition;
  if (!StartsWith(kind, "#") && !ContainsNoCase(applies_to, kind)) {
    return KeyVerdict::kMessageKind;
  }
  count.clear();
  const std::string_view user = speaker.user();
  if (!user.empty()) {
    if (new_history != nullptr) {
      *new_history = row.history;
      count = std::to_string(RaiseHistoryCount(*new_history, user));
    } else {
      count = std::to_string(NextHistoryCount(row.history, user));
    }
  }
  return AppliesOnCount(row.applies_on, count) ? KeyVerdict::kFires : KeyVerdict::kAppliesOn;
}

std::vector<FiredKey> Keys::Execute_Key(std::string_view user, std::string_view text,
                                        std::string_view kind, const KeyFacts& facts) {
  KeySpeaker speaker(user, facts);
  const KeyText words(text);
  std::vector<FiredKey> fired;
  std::string history;
  std::string count;
  for (int index = 0; index < table_.RowCount(); ++index) {
    history.clear();
    count.clear();
    const KeyVerdict verdict = Judge(table_.RowAt(index), words, kind, speaker, &history, count);
    if (!user.empty() && !count.empty()) {
      table_.Update(index, [&history](KeyRow& row) { row.history = std::move(history); });
    }
    if (verdict != KeyVerdict::kFires) continue;
    const KeyRow& row = table_.RowAt(index);
    fired.push_back({row.key_text, row.action});
  }
  return fired;
}

std::vector<Keys::Explained> Keys::Explain(std::string_view user, std::string_view text,
                                           std::string_view kind, const KeyFacts& facts) const {
  KeySpeaker speaker(user, facts);
  const KeyText words(text);
  std::vector<Explained> answers;
  answers.reserve(table_.Rows().size());
  for (const KeyRow& row : table_.Rows()) {
    std::string count;
    const KeyVerdict verdict = Judge(row, words, kind, speaker, nullptr, count);
    answers.push_back({verdict, std::move(count)});
  }
  return answers;
}

std::string_view VerdictText(KeyVerdict verdict) {
  switch (verdict) {
    case KeyVerdict::kFires:
      return "fires";
    case KeyVerdict::kNotSelected:
      return "not selected: neither its words are in the text nor is it the kind";
    case KeyVerdict::kSwitchedOff:
      return "stopped by its state: Off";
    case KeyVerdict::kUserType:
      return "stopped by the user type";
    case KeyVerdict::kClientState:
      return "stopped by the client state";
    case KeyVerdict::kProduct:
      return "stopped by the product";
    case KeyVerdict::kCondition:
      return "stopped by a condition tag";
    case KeyVerdict::kMessageKind:
      return "stopped by the message kind";
    case KeyVerdict::kAppliesOn:
      return "stopped by the applies-on count";
  }
  return "";
}

}  // namespace tc
