#include "persistence/settings_keys.h"

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <system_error>
#include <type_traits>

#include "common/font_style.h"
#include "common/text.h"
#include "persistence/settings_file.h"

namespace tc {

namespace {

std::string FlagWord(bool on) {
  return on ? "True" : "False";
}
std::string FlagLetter(bool on) {
  return on ? "T" : "F";
}
bool ReadFlagWord(std::string_view value) {
  return value == "True";
}
bool ReadFlagLetter(std::string_view value) {
  return !value.empty() && value.front() == 'T';
}

// A file setting holds only while its file exists.
std::string ExistingFile(std::string_view value) {
  std::error_code ec;
  if (value.empty() || !std::filesystem::exists(value, ec)) return {};
  return std::string(value);
}

FontStyleFlags Flags(FontStyle style) {
  return {style == FontStyle::kBold || style == FontStyle::kBoldItalic,
          style == FontStyle::kItalic || style == FontStyle::kBoldItalic};
}

FontStyle Style(FontStyleFlags flags) {
  if (flags.bold && flags.italic) return FontStyle::kBoldItalic;
  if (flags.bold) return FontStyle::kBold;
  return flags.italic ? FontStyle::kItalic : FontStyle::kNone;
}

// The settings live in the options pages and in the appearance; a key names a field of either.
template <typename Class>
const Class& OwnerOf(const SettingsValues& s);
template <>
const Options& OwnerOf<Options>(const SettingsValues& s) {
  return s.options;
}
template <>
const AppearanceSettings& OwnerOf<AppearanceSettings>(const SettingsValues& s) {
  return s.appearance;
}
template <typename Class>
Class& OwnerOf(const SettingsTarget& t);
template <>
Options& OwnerOf<Options>(const SettingsTarget& t) {
  return t.options;
}
template <>
AppearanceSettings& OwnerOf<AppearanceSettings>(const SettingsTarget& t) {
  return t.appearance;
}

template <typename>
struct MemberOf;
template <typename C, typename T>
struct MemberOf<T C::*> {
  using Class = C;
};

template <auto M>
const auto& Field(const SettingsValues& s) {
  return OwnerOf<typename MemberOf<decltype(M)>::Class>(s).*M;
}
template <auto M>
auto& Field(const SettingsTarget& t) {
  return OwnerOf<typename MemberOf<decltype(M)>::Class>(t).*M;
}

template <auto M>
SingleKey FlagWordKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return FlagWord(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            Field<M>(t) = ReadFlagWord(v);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey FlagLetterKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return FlagLetter(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            Field<M>(t) = ReadFlagLetter(v);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey TextKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return std::string(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            Field<M>(t) = std::string(v);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey FileKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return std::string(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            Field<M>(t) = ExistingFile(v);
            return Applied::kDone;
          }};
}

// An integer field; spin edits keep their value within their range.
template <auto M, int kMin = INT_MIN, int kMax = INT_MAX>
SingleKey IntKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return std::to_string(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            Field<M>(t) = std::clamp(*value, kMin, kMax);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey ColorKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return ColorText(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            const auto value = ColorFromText(v);
            if (!value) return Applied::kNotColor;
            Field<M>(t) = *value;
            return Applied::kDone;
          }};
}

template <Category C>
SingleKey CategoryColorKey(std::string_view key) {
  return {
      key,
      [](const SettingsValues& s) { return ColorText(s.options.colors[static_cast<size_t>(C)]); },
      [](const SettingsTarget& t, std::string_view v) {
        const auto value = ColorFromText(v);
        if (!value) return Applied::kNotColor;
        t.options.colors[static_cast<size_t>(C)] = *value;
        return Applied::kDone;
      }};
}

// The three settings of one font: name, size in points and style.
template <FontChoice AppearanceSettings::*F>
SingleKey FontNameKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return (s.appearance.*F).name; },
          [](const SettingsTarget& t, std::string_view v) {
            (t.appearance.*F).name = std::string(v);
            return Applied::kDone;
          }};
}

template <FontChoice AppearanceSettings::*F>
SingleKey FontSizeKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return std::to_string((s.appearance.*F).size); },
          [](const SettingsTarget& t, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            (t.appearance.*F).size = *value;
            return Applied::kDone;
          }};
}

template <FontChoice AppearanceSettings::*F>
SingleKey FontStyleKey(std::string_view key) {
  return {key,
          [](const SettingsValues& s) { return FontStyleText(Flags((s.appearance.*F).style)); },
          [](const SettingsTarget& t, std::string_view v) {
            (t.appearance.*F).style = Style(FontStyleFromText(v));
            return Applied::kDone;
          }};
}

// A radio group's item index: the index of the selected item, kept within the group.
template <auto M, auto Set>
SingleKey RadioKey(std::string_view key) {
  return {key,
          [](const SettingsValues& s) { return std::to_string(static_cast<int>(Field<M>(s))); },
          [](const SettingsTarget& t, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            using Enum = std::remove_reference_t<decltype(Field<M>(t))>;
            (t.changes.*Set)(static_cast<Enum>(std::clamp(*value, 0, 2)));
            return Applied::kDone;
          }};
}

// A check box whose change acts on other controls or timers.
template <auto M, auto Set>
SingleKey ActiveFlagLetterKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return FlagLetter(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            (t.changes.*Set)(ReadFlagLetter(v));
            return Applied::kDone;
          }};
}

template <auto M, auto Set>
SingleKey ActiveIntKey(std::string_view key) {
  return {key, [](const SettingsValues& s) { return std::to_string(Field<M>(s)); },
          [](const SettingsTarget& t, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            (t.changes.*Set)(*value);
            return Applied::kDone;
          }};
}

// The password is stored only when the user asked for it to be.
SingleKey PasswordKey() {
  return {"ac=",
          [](const SettingsValues& s) {
            return s.options.save_password ? s.options.password : std::string();
          },
          [](const SettingsTarget& t, std::string_view v) {
            t.options.password = std::string(v);
            return Applied::kDone;
          }};
}

// "Send text as": the coding by name; anything unknown is UTF-8, the coding of today's servers.
SingleKey SendTextAsKey() {
  return {"ut=",
          [](const SettingsValues& s) {
            return std::string(s.options.send_text_as == SendEncoding::kWindows1252 ? "Windows-1252"
                                                                                    : "UTF-8");
          },
          [](const SettingsTarget& t, std::string_view v) {
            t.options.send_text_as =
                EqualsNoCase(v, "Windows-1252") ? SendEncoding::kWindows1252 : SendEncoding::kUtf8;
            return Applied::kDone;
          }};
}

// Unticked, it discards the password read before it.
SingleKey SavePasswordKey() {
  return {"ah=", [](const SettingsValues& s) { return FlagWord(s.options.save_password); },
          [](const SettingsTarget& t, std::string_view v) {
            t.options.save_password = ReadFlagWord(v);
            if (!t.options.save_password) t.options.password.clear();
            return Applied::kDone;
          }};
}

SingleKey ChannelChoiceKey() {
  return {"ai=",
          [](const SettingsValues& s) -> std::string {
            switch (s.options.channel_choice) {
              case ChannelChoice::kLastVisited:
                return "Last";
              case ChannelChoice::kDefault:
                return "Default";
              case ChannelChoice::kHome:
                break;
            }
            return "Home";
          },
          [](const SettingsTarget& t, std::string_view v) {
            if (v == "Home") t.options.channel_choice = ChannelChoice::kHome;
            if (v == "Last") t.options.channel_choice = ChannelChoice::kLastVisited;
            if (v == "Default") t.options.channel_choice = ChannelChoice::kDefault;
            return Applied::kDone;
          }};
}

}  // namespace

// The single-value settings in write order. The list groups are written after "aj=", "mo=" and
// "s1=" (see ProfileLines).
std::span<const SingleKey> SingleKeys() {
  static const auto kKeys = std::to_array<SingleKey>({
      FlagWordKey<&Options::auto_connect>("aa="),
      TextKey<&Options::account_name>("ab="),
      PasswordKey(),
      TextKey<&Options::home_channel>("ad="),
      TextKey<&Options::last_channel>("ae="),
      TextKey<&Options::database_tags>("da="),
      TextKey<&Options::server>("af="),
      TextKey<&Options::port>("ag="),
      SendTextAsKey(),
      SavePasswordKey(),
      FlagWordKey<&Options::tray>("ak="),
      ChannelChoiceKey(),
      FlagWordKey<&Options::auto_server>("aj="),
      FlagLetterKey<&Options::auto_rejoin_when_kicked>("oa="),
      RadioKey<&Options::view_join_parts, &OptionChanges::SetViewJoinParts>("oc="),
      IntKey<&Options::view_join_parts_number, 0, 100>("od="),
      IntKey<&Options::database_days, 0>("db="),
      RadioKey<&Options::keep_log, &OptionChanges::SetKeepLog>("of="),
      FlagLetterKey<&Options::anti_flood>("og="),
      IntKey<&Options::quota_units, 0, 1000>("qa="),
      IntKey<&Options::quota_window_ms, 0, 3600000>("qb="),
      IntKey<&Options::quota_bytes_per_unit, 1, 100000>("qc="),
      IntKey<&Options::quota_emote_factor, 1, 100>("qd="),
      IntKey<&Options::split_long_lines_at, 0, 500>("ql="),
      ActiveFlagLetterKey<&Options::anti_idle, &OptionChanges::SetAntiIdle>("oi="),
      FlagLetterKey<&Options::auto_operator>("op="),
      FlagLetterKey<&Options::auto_ops>("oq="),
      FlagLetterKey<&Options::random_theme>("or="),
      FlagLetterKey<&Options::account_tracking>("os="),
      FlagLetterKey<&Options::channel_hit_counter>("ot="),
      FlagLetterKey<&Options::dont_save_public>("ox="),
      FlagLetterKey<&Options::database_acib>("oy="),
      ActiveFlagLetterKey<&Options::auto_away, &OptionChanges::SetAutoAway>("ou="),
      ActiveFlagLetterKey<&Options::use_database, &OptionChanges::SetUseDatabase>("ow="),
      ActiveIntKey<&Options::anti_idle_minutes, &OptionChanges::SetAntiIdleMinutes>("oj="),
      ActiveIntKey<&Options::auto_away_minutes, &OptionChanges::SetAutoAwayMinutes>("ov="),
      RadioKey<&Options::close_on_disconnect, &OptionChanges::SetCloseOnDisconnect>("ol="),
      RadioKey<&Options::on_ban, &OptionChanges::SetOnBan>("on="),
      TextKey<&Options::on_ban_channel>("oo="),
      FontNameKey<&AppearanceSettings::buttons_font>("sa="),
      FontSizeKey<&AppearanceSettings::buttons_font>("sb="),
      FontStyleKey<&AppearanceSettings::buttons_font>("sc="),
      ColorKey<&AppearanceSettings::buttons_text>("sd="),
      FontNameKey<&AppearanceSettings::text_font>("se="),
      FontSizeKey<&AppearanceSettings::text_font>("sf="),
      FontStyleKey<&AppearanceSettings::text_font>("sg="),
      ColorKey<&AppearanceSettings::text>("sh="),
      ColorKey<&AppearanceSettings::buttons_hover>("si="),
      ColorKey<&AppearanceSettings::background>("sj="),
      FileKey<&AppearanceSettings::background_skin>("sk="),
      FileKey<&AppearanceSettings::buttons_skin>("sl="),
      FlagLetterKey<&Options::reconnect>("mo="),
      CategoryColorKey<Category::kMessageSent>("cm="),
      CategoryColorKey<Category::kUserJoins>("cn="),
      CategoryColorKey<Category::kUserLeaves>("co="),
      CategoryColorKey<Category::kJoiningChannel>("cp="),
      CategoryColorKey<Category::kErrorMessage>("cq="),
      CategoryColorKey<Category::kServerMessage>("cr="),
      CategoryColorKey<Category::kSpeakerEmote>("cs="),
      CategoryColorKey<Category::kWhisperSent>("ct="),
      CategoryColorKey<Category::kWhisperReceived>("cu="),
      CategoryColorKey<Category::kSystemMessage>("cv="),
      CategoryColorKey<Category::kPersonalMessage>("cw="),
      CategoryColorKey<Category::kOtherText>("cx="),
      CategoryColorKey<Category::kChannelOperator>("cz="),
      IntKey<&Options::chat_height>("s1="),
      ActiveIntKey<&Options::database_save_minutes, &OptionChanges::SetDatabaseSaveMinutes>("ds="),
  });
  return kKeys;
}

const SingleKey* FindSingleKey(std::string_view key) {
  for (const SingleKey& entry : SingleKeys()) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

}  // namespace tc
