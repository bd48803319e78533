// Prepare: user variables, built-in variables, in-text definitions and function tags in a line.
// Whatever other users supplied (the current user, the event text, words and record fields taken
// from them) is inserted as untrusted text, and every name, tag and separator is looked for in
// trusted bytes only, so nothing another user wrote is ever expanded or run.
#include <array>
#include <bitset>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/tc_main.h"
#include "common/text.h"
#include "people/channel_lists.h"
#include "send/templates.h"

namespace tc {

namespace {

constexpr size_t npos = TaintedText::npos;

// Each definition may multiply the text; a template cannot hold more than this many.
constexpr int kMaxDefinitions = 1024;

constexpr std::array<std::string_view, 40> kBuiltinNames = {
    "<user>",
    "<event>",
    "<channel current>",
    "<account>",
    "<time connected>",
    "<time channel>",
    "<server address>",
    "<server port>",
    "<channel previous>",
    "<channel home>",
    "<time>",
    "<date>",
    "<website>",
    "<version>",
    "<state>",
    "<channel custom>",
    "<channel public>",
    "<channel users>",
    "<channel whisper>",
    "<monitor all>",
    "<keys>",
    "<events>",
    "<users all>",
    "<skins backgrounds>",
    "<skins buttons>",
    "<themes>",
    "<server list>",
    "<lastten>",
    "<[STAR]>",
    "<[DRTL]>",
    "<[CHAT]>",
    "<[SEXP]>",
    "<[SSHR]>",
    "<[DSHR]>",
    "<[W2BN]>",
    "<[JSTR]>",
    "<bannedusers>",
    "<monitor online>",
    "<monitor offline>",
    "<latestver>",
};

enum class Tag { kUserInfo, kUsersOfType, kChannelHits, kWord, kNavigate };
constexpr std::array<std::pair<std::string_view, Tag>, 5> kTags = {{
    {"<%userinfo;", Tag::kUserInfo},
    {"<%usersoftype;", Tag::kUsersOfType},
    {"<%channelhits;", Tag::kChannelHits},
    {"<%word;", Tag::kWord},
    {"<%navigate;", Tag::kNavigate},
}};

unsigned char Low(char c) {
  return static_cast<unsigned char>(LowerChar1252(c));
}

// Which lower-cased bytes and byte pairs occur in the trusted bytes of the text: a name with a
// pair that is not there cannot be found, so most of two hundred variable names and forty
// built-ins are ruled out without a search. Pairs are hashed into a small set that is cheap to
// build again after each change.
class NameFilter {
 public:
  void Build(const TaintedText& text) {
    bytes_.reset();
    pairs_.reset();
    const std::string& s = text.text();
    size_t begin = 0;
    for (const auto& [untrusted_begin, untrusted_end] : text.UntrustedRanges()) {
      AddRun(s, begin, untrusted_begin);
      begin = untrusted_end;
    }
    AddRun(s, begin, s.size());
  }
  bool MayContain(std::string_view name) const {
    if (name.empty()) return false;
    if (name.size() == 1) return bytes_.test(Low(name[0]));
    unsigned char previous = Low(name[0]);
    for (size_t i = 1; i < name.size(); ++i) {
      const unsigned char next = Low(name[i]);
      if (!pairs_.test(Slot(previous, next))) return false;
      previous = next;
    }
    return true;
  }

 private:
  static constexpr size_t kSlots = 4096;
  static size_t Slot(unsigned char a, unsigned char b) {
    return ((uint32_t{a} << 8 | b) * 0x9E3779B1u) >> 20;
  }
  void AddRun(const std::string& s, size_t begin, size_t end) {
    if (begin >= end) return;
    unsigned char previous = Low(s[begin]);
    bytes_.set(previous);
    for (size_t i = begin + 1; i < end; ++i) {
      const unsigned char next = Low(s[i]);
      bytes_.set(next);
      pairs_.set(Slot(previous, next));
      previous = next;
    }
  }
  std::bitset<256> bytes_;
  std::bitset<kSlots> pairs_;
};

// The line being expanded. Every change goes through Replace, which keeps the filter true and
// the line within its length bound.
class Work {
 public:
  explicit Work(TaintedText text) : text_(std::move(text)) { filter_.Build(text_); }
  const TaintedText& text() const { return text_; }
  TaintedText Take() && { return std::move(text_); }

  size_t Find(std::string_view name, size_t from = 0) const {
    return filter_.MayContain(name) ? text_.FindTrusted(name, from) : npos;
  }
  // False, and nothing changed, when the line would grow past the bound.
  bool Replace(size_t pos, size_t length, const TaintedText& with) {
    if (with.size() > length && text_.size() - length + with.size() > kMaxSubstitutedLength) {
      return false;
    }
    text_.Replace(pos, length, with);
    filter_.Build(text_);
    return true;
  }

 private:
  TaintedText text_;
  NameFilter filter_;
};

void SubstituteVariables(const Table<VariableRow>& variables, Work& work) {
  for (int pass = 0; pass < kMaxSubstitutionPasses; ++pass) {
    bool finished = true;
    for (const VariableRow& row : variables.Rows()) {
      const std::string& name = row.name;
      const std::string& value = row.value;
      const size_t at = work.Find(name);
      // A row whose value holds its own name is skipped and sets the flag; that only matters
      // after a replacement in this pass, so the test is spared otherwise.
      if (at == npos) {
        if (!finished && ContainsNoCase(value, name)) finished = true;
        continue;
      }
      if (ContainsNoCase(value, name)) {
        finished = true;
        continue;
      }
      if (!work.Replace(at, name.size(), TaintedText(value))) return;
      finished = false;
    }
    if (finished) return;
  }
}

// A built-in value that holds its own name keeps that name as literal text, or each sweep (and
// the send path's second expansion) would expand it one level deeper.
TaintedText KeepOwnNameLiteral(TaintedText value, std::string_view name) {
  for (size_t at = value.FindTrusted(name); at != npos;
       at = value.FindTrusted(name, at + name.size())) {
    value.Replace(at, name.size(), TaintedText::Untrusted(value.text().substr(at, name.size())));
  }
  return value;
}

template <class ValueOf>
void SubstituteBuiltins(Work& work, ValueOf& value_of) {
  for (int pass = 0; pass < kMaxSubstitutionPasses; ++pass) {
    bool replaced = false;
    for (size_t i = 0; i < kBuiltinNames.size(); ++i) {
      const std::string_view name = kBuiltinNames[i];
      const size_t at = work.Find(name);
      if (at == npos) continue;
      if (!work.Replace(at, name.size(), value_of(i))) return;
      replaced = true;
    }
    if (!replaced) return;
  }
}

// "<$" name ":" replacement "$>": removed, and every later name in the line replaced.
void ExpandDefinitions(Work& work) {
  size_t from = 0;
  for (int done = 0; done < kMaxDefinitions;) {
    const size_t open = work.Find("<$", from);
    if (open == npos) return;
    const size_t close = work.Find("$>", open + 2);
    if (close == npos) return;
    const TaintedText& text = work.text();
    const std::string_view body = std::string_view(text.text()).substr(open + 2, close - open - 2);
    const size_t colon = body.find(':');
    const size_t name_length = colon == npos ? body.size() : colon;
    // A name another user supplied would let them choose what the definition rewrites: such a
    // definition stays as text.
    if (!text.Trusted(open + 2, colon == npos ? name_length : name_length + 1)) {
      from = open + 1;
      continue;
    }
    const std::string name(body.substr(0, name_length));
    TaintedText replacement =
        colon == npos ? TaintedText() : text.Substr(open + 3 + colon, close - open - 3 - colon);
    if (!work.Replace(open, close + 2 - open, TaintedText())) return;
    ++done;
    from = 0;
    if (name.empty()) continue;
    if (replacement.FindTrusted(name) != npos) replacement = TaintedText();
    for (size_t at = work.Find(name); at != npos; at = work.Find(name, at + replacement.size())) {
      if (!work.Replace(at, name.size(), replacement)) return;
    }
  }
}

template <class ValueOf>
void Sweep(const Table<VariableRow>& variables, Work& work, ValueOf& value_of) {
  SubstituteVariables(variables, work);
  SubstituteBuiltins(work, value_of);
  ExpandDefinitions(work);
}

// A decimal integer with optional spaces around it and an optional sign.
std::optional<int> ReadInteger(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string JoinColumn(const TextTable& table, int column) {
  std::vector<std::string> items;
  items.reserve(table.Rows().size());
  for (const auto& row : table.Rows()) items.push_back(row.at(static_cast<size_t>(column)));
  return JoinList(items);
}

// One field of the rows `keep` holds for, joined.
template <class Row, class Field, class Keep>
std::string JoinFieldIf(const Table<Row>& table, Field field, Keep keep) {
  std::vector<std::string> items;
  for (const Row& row : table.Rows()) {
    if (keep(row)) items.push_back(row.*field);
  }
  return JoinList(items);
}

template <class Row, class Field>
std::string JoinField(const Table<Row>& table, Field field) {
  return JoinFieldIf(table, field, [](const Row&) { return true; });
}

}  // namespace

std::string GetWordNumber(std::string_view text, int n) {
  if (text.empty()) return "";
  std::string rest(text);
  if (rest.back() != ' ') rest += ' ';
  std::string word;
  std::string result;
  size_t start = 0;
  for (int i = 1; i <= n && start < rest.size(); ++i) {
    const size_t space = rest.find(' ', start);
    word = rest.substr(start, space - start);
    start = space + 1;
    if (i == n) result = word;
  }
  if (result.empty() && !word.empty()) result = word;
  return result;
}

int64_t DateToCount(std::string_view date) {
  const int64_t month = SafeStrToInt(Mid(date, 1, 2));
  const int64_t day = SafeStrToInt(Mid(date, 4, 2));
  const int64_t year = SafeStrToInt(Mid(date, 7));
  return year * 365 + month * 31 + day;
}

std::string TC_Main::VariableValue(std::string_view name) const {
  const int row = variables_.FindLast([&](const VariableRow& r) { return r.name == name; });
  return row < 0 ? std::string() : variables_.RowAt(row).value;
}

void TC_Main::InsertCustom(TaintedText& line) const {
  if (variables_.Empty()) return;
  Work work(std::move(line));
  SubstituteVariables(variables_, work);
  line = std::move(work).Take();
}

// Values that other users or the server chose (names, channel names, texts) are untrusted; what
// the local user configured, counters and constants are trusted.
TaintedText TC_Main::BuiltinValue(size_t index, std::string_view user,
                                  std::string_view event_text) const {
  const auto untrusted = [](std::string_view text) { return TaintedText::Untrusted(text); };
  switch (index) {
    case 0:
      return untrusted(user);
    case 1:
      return untrusted(event_text);
    case 2:
      return untrusted(current_channel_);
    case 3:
      return untrusted(own_account_);
    case 4:
      return DurationText(seconds_online_);
    case 5:
      return DurationText(seconds_in_channel_);
    case 6:
      return connection_.host();
    case 7:
      return std::to_string(connection_.port());
    case 8:
      return untrusted(options_.last_channel);
    case 9:
      return options_.home_channel;
    case 10:
      return TimeText();
    case 11:
      return DateText();
    case 12:
      return kWebsite;
    case 13:
      return kVersionText;
    case 14:
      return ToText(client_state_);
    case 15:
      return JoinColumn(custom_channels_, 0);
    case 16: {
      std::vector<std::string> names(PublicChannels().begin(), PublicChannels().end());
      return JoinList(names);
    }
    case 17:
      return untrusted(JoinColumn(users_, 0));
    case 18:
      return untrusted(JoinColumn(whisper_recipients_, 0));
    case 19:
      return JoinField(monitor_, &MonitorRow::search_account);
    case 20:
      return JoinFieldIf(keys_, &KeyRow::key_text,
                         [](const KeyRow& row) { return !StartsWith(row.key_text, "#"); });
    case 21:
      return JoinFieldIf(keys_, &KeyRow::key_text,
                         [](const KeyRow& row) { return StartsWith(row.key_text, "#"); });
    case 22:
      return untrusted(JoinField(accounts_, &AccountRow::name));
    case 23:
      return JoinColumn(skins_backgrounds_, 0);
    case 24:
      return JoinColumn(skins_buttons_, 0);
    case 25:
      return JoinColumn(themes_, 0);
    case 26:
      return JoinField(servers_, &ServerRow::ping);
    case 27:
      return untrusted(JoinColumn(last_ten_, 0));
    case 28:
      return "StarCraft";
    case 29:
      return "Diablo";
    case 30:
      return "Gateway";
    case 31:
      return "StarCraft Brood-War";
    case 32:
      return "StarCraft Shareware";
    case 33:
      return "Diablo Shareware";
    case 34:
      return "WarCraft II BNE";
    case 35:
      return "Japanese StarCraft";
    case 36: {
      std::string_view banned = banned_users_;
      if (banned.ends_with(", ")) banned.remove_suffix(2);
      return untrusted(banned);
    }
    case 37:
      return JoinFieldIf(monitor_, &MonitorRow::search_account, [](const MonitorRow& row) {
        return row.status == MonitorStatus::kOnline;
      });
    case 38:
      return JoinFieldIf(monitor_, &MonitorRow::search_account, [](const MonitorRow& row) {
        return row.status == MonitorStatus::kOffline;
      });
    case 39:
      return untrusted(latest_version_);
    default:
      return {};
  }
}

TaintedText TC_Main::Prepare(const TaintedText& text, std::string_view user,
                             std::string_view event_text) {
  if (text.FindTrusted("<nf>") != npos) return text;

  // Only the built-ins the line names are worked out, once per call.
  std::array<std::optional<TaintedText>, kBuiltinNames.size()> values;
  const auto value_of = [&](size_t i) -> const TaintedText& {
    if (!values[i])
      values[i] = KeepOwnNameLiteral(BuiltinValue(i, user, event_text), kBuiltinNames[i]);
    return *values[i];
  };

  // A tag's result; nothing when the expansion must end.
  const auto tag_result = [&](Tag tag, const TaintedText& argument) -> std::optional<TaintedText> {
    switch (tag) {
      case Tag::kUserInfo: {
        const size_t semicolon = argument.FindTrusted(";");
        const std::string& arg = argument.text();
        const std::string account = semicolon == npos ? "" : arg.substr(0, semicolon);
        const std::string field = semicolon == npos ? arg : arg.substr(semicolon + 1);
        return TaintedText::Untrusted(database_.GetUserField(account, field));
      }
      case Tag::kUsersOfType: {
        std::string type = argument.text();
        if (!type.ends_with(';')) type += ';';
        return TaintedText::Untrusted(
            JoinFieldIf(accounts_, &AccountRow::name,
                        [&](const AccountRow& row) { return ContainsNoCase(row.type, type); }));
      }
      case Tag::kChannelHits:
        return TaintedText(std::to_string(ChannelHitCount(argument.text())));
      case Tag::kWord: {
        const std::optional<int> n = ReadInteger(argument.text());
        if (!n) {
          DisplayText("Error ( A <%word; tag needs a whole number. )", 5);
          return std::nullopt;
        }
        return TaintedText::Untrusted(GetWordNumber(event_text, *n));
      }
      case Tag::kNavigate:
        // No browser port exists yet; the tag only disappears.
        return TaintedText();
    }
    return TaintedText();
  };

  Work work(text);
  Sweep(variables_, work, value_of);
  // Every result adds only untrusted or fewer trusted bytes than its tag had, so each kind ends.
  for (const auto& [tag_text, tag] : kTags) {
    for (;;) {
      const size_t at = work.Find(tag_text);
      if (at == npos) break;
      const size_t close = work.Find("%>", at + tag_text.size());
      if (close == npos) break;
      const size_t arg_begin = at + tag_text.size();
      const std::optional<TaintedText> result =
          tag_result(tag, work.text().Substr(arg_begin, close - arg_begin));
      if (!result) return std::move(work).Take();
      if (!work.Replace(at, close + 2 - at, *result)) break;
    }
  }
  Sweep(variables_, work, value_of);
  return std::move(work).Take();
}

}  // namespace tc
