#include "send/template_engine.h"

#include <array>
#include <bitset>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/date_time.h"
#include "common/text.h"
#include "people/public_channels.h"
#include "send/templates.h"

namespace tc {

namespace {

constexpr size_t npos = TaintedText::npos;

// Each definition may multiply the text; a template cannot hold more than this many.
constexpr int kMaxDefinitions = 1024;

enum class Tag { kUserInfo, kUsersOfType, kChannelHits, kWord, kNavigate };
constexpr std::array<std::pair<std::string_view, Tag>, 5> kTags = {{
    {"<%userinfo;", Tag::kUserInfo},
    {"<%usersoftype;", Tag::kUsersOfType},
    {"<%channelhits;", Tag::kChannelHits},
    {"<%word;", Tag::kWord},
    {"<%navigate;", Tag::kNavigate},
}};

unsigned char Low(char c) {
  return static_cast<unsigned char>(FoldNoCaseByte(c));
}

// Which case-folded bytes and byte pairs occur in the trusted bytes of the text: a name with a
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
    for (size_t i = 0; i < kBuiltins.size(); ++i) {
      const std::string_view name = kBuiltins[i].name;
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

void SubstituteVariables(const Table<VariableRow>& variables, TaintedText& line) {
  if (variables.Empty()) return;
  Work work(std::move(line));
  SubstituteVariables(variables, work);
  line = std::move(work).Take();
}

TaintedText BuiltinValue(Builtin builtin, const TemplateContext& context, std::string_view user,
                         std::string_view event_text) {
  const auto untrusted = [](std::string_view text) { return TaintedText::Untrusted(text); };
  const auto joined = [&](TemplateList list, int column) {
    return JoinColumn(context.List(list), column);
  };
  switch (builtin) {
    case Builtin::kUser:
      return untrusted(user);
    case Builtin::kEvent:
      return untrusted(event_text);
    case Builtin::kChannelCurrent:
      return untrusted(context.CurrentChannel());
    case Builtin::kAccount:
      return untrusted(context.OwnAccount());
    case Builtin::kTimeConnected:
      return DurationText(context.SecondsOnline());
    case Builtin::kTimeChannel:
      return DurationText(context.SecondsInChannel());
    case Builtin::kServerAddress:
      return context.Host();
    case Builtin::kServerPort:
      return std::to_string(context.Port());
    case Builtin::kChannelPrevious:
      return untrusted(context.LastChannel());
    case Builtin::kChannelHome:
      return context.HomeChannel();
    case Builtin::kTime:
      return TimeText(context.LocalNow());
    case Builtin::kDate:
      return DateText(context.LocalNow());
    case Builtin::kWebsite:
      return context.Website();
    case Builtin::kVersion:
      return context.VersionText();
    case Builtin::kState:
      return context.StateText();
    case Builtin::kChannelCustom:
      return joined(TemplateList::kCustomChannels, 0);
    case Builtin::kChannelPublic: {
      std::vector<std::string> names(PublicChannels().begin(), PublicChannels().end());
      return JoinList(names);
    }
    case Builtin::kChannelUsers:
      return untrusted(joined(TemplateList::kChannelUsers, 0));
    case Builtin::kChannelWhisper:
      return untrusted(joined(TemplateList::kWhisperRecipients, 0));
    case Builtin::kMonitorAll:
      return JoinField(context.Monitor(), &MonitorRow::search_account);
    case Builtin::kKeys:
      return JoinFieldIf(context.Keys(), &KeyRow::key_text,
                         [](const KeyRow& row) { return !StartsWith(row.key_text, "#"); });
    case Builtin::kEvents:
      return JoinFieldIf(context.Keys(), &KeyRow::key_text,
                         [](const KeyRow& row) { return StartsWith(row.key_text, "#"); });
    case Builtin::kUsersAll:
      return untrusted(JoinField(context.Accounts(), &AccountRow::name));
    case Builtin::kSkinsBackgrounds:
      return joined(TemplateList::kSkinsBackgrounds, 0);
    case Builtin::kSkinsButtons:
      return joined(TemplateList::kSkinsButtons, 0);
    case Builtin::kThemes:
      return joined(TemplateList::kThemes, 0);
    case Builtin::kServerList:
      return JoinField(context.Servers(), &ServerRow::ping);
    case Builtin::kLastTen:
      return untrusted(joined(TemplateList::kLastTen, 0));
    case Builtin::kProductStar:
      return "StarCraft";
    case Builtin::kProductDrtl:
      return "Diablo";
    case Builtin::kProductChat:
      return "Gateway";
    case Builtin::kProductSexp:
      return "StarCraft Brood-War";
    case Builtin::kProductSshr:
      return "StarCraft Shareware";
    case Builtin::kProductDshr:
      return "Diablo Shareware";
    case Builtin::kProductW2bn:
      return "WarCraft II BNE";
    case Builtin::kProductJstr:
      return "Japanese StarCraft";
    case Builtin::kBannedUsers: {
      std::string_view banned = context.BannedUsers();
      if (banned.ends_with(", ")) banned.remove_suffix(2);
      return untrusted(banned);
    }
    case Builtin::kMonitorOnline:
      return JoinFieldIf(context.Monitor(), &MonitorRow::search_account, [](const MonitorRow& row) {
        return row.status == MonitorStatus::kOnline;
      });
    case Builtin::kMonitorOffline:
      return JoinFieldIf(context.Monitor(), &MonitorRow::search_account, [](const MonitorRow& row) {
        return row.status == MonitorStatus::kOffline;
      });
    case Builtin::kLatestVersion:
      return untrusted(context.LatestVersion());
  }
  return {};
}

TaintedText ExpandTemplate(const TaintedText& text, std::string_view user,
                           std::string_view event_text, TemplateContext& context) {
  if (text.FindTrusted("<nf>") != npos) return text;

  // Only the built-ins the line names are worked out, once per call.
  std::array<std::optional<TaintedText>, kBuiltins.size()> values;
  const auto value_of = [&](size_t i) -> const TaintedText& {
    if (!values[i]) {
      values[i] = KeepOwnNameLiteral(BuiltinValue(kBuiltins[i].builtin, context, user, event_text),
                                     kBuiltins[i].name);
    }
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
        return TaintedText::Untrusted(context.UserField(account, field));
      }
      case Tag::kUsersOfType: {
        std::string type = argument.text();
        if (!type.ends_with(';')) type += ';';
        return TaintedText::Untrusted(
            JoinFieldIf(context.Accounts(), &AccountRow::name,
                        [&](const AccountRow& row) { return ContainsNoCase(row.type, type); }));
      }
      case Tag::kChannelHits:
        return TaintedText(std::to_string(context.ChannelHits(argument.text())));
      case Tag::kWord: {
        const std::optional<int> n = ReadInteger(argument.text());
        if (!n) {
          context.ShowError("Error ( A <%word; tag needs a whole number. )");
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
  Sweep(context.Variables(), work, value_of);
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
  Sweep(context.Variables(), work, value_of);
  return std::move(work).Take();
}

}  // namespace tc
