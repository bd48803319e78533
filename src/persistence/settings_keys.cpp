#include "persistence/settings_keys.h"

#include <array>
#include <type_traits>

#include "app/tc_main.h"
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
  if (value.empty() || !std::filesystem::exists(Cp1252ToUtf8(value), ec)) return {};
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
Class& OwnerOf(TC_Main& m);
template <>
Options& OwnerOf<Options>(TC_Main& m) {
  return m.options();
}
template <>
AppearanceSettings& OwnerOf<AppearanceSettings>(TC_Main& m) {
  return m.appearance().settings();
}

template <typename>
struct MemberOf;
template <typename C, typename T>
struct MemberOf<T C::*> {
  using Class = C;
};

template <auto M>
auto& Field(TC_Main& m) {
  return OwnerOf<typename MemberOf<decltype(M)>::Class>(m).*M;
}

template <auto M>
SingleKey FlagWordKey(std::string_view key) {
  return {key, [](TC_Main& m) { return FlagWord(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            Field<M>(m) = ReadFlagWord(v);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey FlagLetterKey(std::string_view key) {
  return {key, [](TC_Main& m) { return FlagLetter(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            Field<M>(m) = ReadFlagLetter(v);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey TextKey(std::string_view key) {
  return {key, [](TC_Main& m) { return std::string(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            Field<M>(m) = std::string(v);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey FileKey(std::string_view key) {
  return {key, [](TC_Main& m) { return std::string(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            Field<M>(m) = ExistingFile(v);
            return Applied::kDone;
          }};
}

// An integer field; spin edits keep their value within their range.
template <auto M, int kMin = INT_MIN, int kMax = INT_MAX>
SingleKey IntKey(std::string_view key) {
  return {key, [](TC_Main& m) { return std::to_string(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            Field<M>(m) = std::clamp(*value, kMin, kMax);
            return Applied::kDone;
          }};
}

template <auto M>
SingleKey ColorKey(std::string_view key) {
  return {key, [](TC_Main& m) { return ColorText(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            const auto value = ColorFromText(v);
            if (!value) return Applied::kNotColor;
            Field<M>(m) = *value;
            return Applied::kDone;
          }};
}

template <Category C>
SingleKey CategoryColorKey(std::string_view key) {
  return {key, [](TC_Main& m) { return ColorText(m.options().colors[static_cast<size_t>(C)]); },
          [](TC_Main& m, std::string_view v) {
            const auto value = ColorFromText(v);
            if (!value) return Applied::kNotColor;
            m.options().colors[static_cast<size_t>(C)] = *value;
            return Applied::kDone;
          }};
}

// The three settings of one font: name, size in points and style.
template <FontChoice AppearanceSettings::*F>
SingleKey FontNameKey(std::string_view key) {
  return {key, [](TC_Main& m) { return (m.appearance().settings().*F).name; },
          [](TC_Main& m, std::string_view v) {
            (m.appearance().settings().*F).name = std::string(v);
            return Applied::kDone;
          }};
}

template <FontChoice AppearanceSettings::*F>
SingleKey FontSizeKey(std::string_view key) {
  return {key, [](TC_Main& m) { return std::to_string((m.appearance().settings().*F).size); },
          [](TC_Main& m, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            (m.appearance().settings().*F).size = *value;
            return Applied::kDone;
          }};
}

template <FontChoice AppearanceSettings::*F>
SingleKey FontStyleKey(std::string_view key) {
  return {key,
          [](TC_Main& m) { return FontStyleText(Flags((m.appearance().settings().*F).style)); },
          [](TC_Main& m, std::string_view v) {
            (m.appearance().settings().*F).style = Style(FontStyleFromText(v));
            return Applied::kDone;
          }};
}

// A radio group's item index: the index of the selected item, kept within the group.
template <auto M, auto Set>
SingleKey RadioKey(std::string_view key) {
  return {key, [](TC_Main& m) { return std::to_string(static_cast<int>(Field<M>(m))); },
          [](TC_Main& m, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            using Enum = std::remove_reference_t<decltype(Field<M>(m))>;
            (m.*Set)(static_cast<Enum>(std::clamp(*value, 0, 2)));
            return Applied::kDone;
          }};
}

// A check box whose change acts on other controls or timers.
template <auto M, auto Set>
SingleKey ActiveFlagLetterKey(std::string_view key) {
  return {key, [](TC_Main& m) { return FlagLetter(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            (m.*Set)(ReadFlagLetter(v));
            return Applied::kDone;
          }};
}

template <auto M, auto Set>
SingleKey ActiveIntKey(std::string_view key) {
  return {key, [](TC_Main& m) { return std::to_string(Field<M>(m)); },
          [](TC_Main& m, std::string_view v) {
            const auto value = IntFromText(v);
            if (!value) return Applied::kNotInteger;
            (m.*Set)(*value);
            return Applied::kDone;
          }};
}

// The password is stored only when the user asked for it to be.
SingleKey PasswordKey() {
  return {
      "ac=",
      [](TC_Main& m) { return m.options().save_password ? m.options().password : std::string(); },
      [](TC_Main& m, std::string_view v) {
        m.options().password = std::string(v);
        return Applied::kDone;
      }};
}

// Unticked, it discards the password read before it.
SingleKey SavePasswordKey() {
  return {"ah=", [](TC_Main& m) { return FlagWord(m.options().save_password); },
          [](TC_Main& m, std::string_view v) {
            m.options().save_password = ReadFlagWord(v);
            if (!m.options().save_password) m.options().password.clear();
            return Applied::kDone;
          }};
}

SingleKey ChannelChoiceKey() {
  return {"ai=",
          [](TC_Main& m) -> std::string {
            switch (m.options().channel_choice) {
              case ChannelChoice::kLastVisited:
                return "Last";
              case ChannelChoice::kDefault:
                return "Default";
              case ChannelChoice::kHome:
                break;
            }
            return "Home";
          },
          [](TC_Main& m, std::string_view v) {
            if (v == "Home") m.options().channel_choice = ChannelChoice::kHome;
            if (v == "Last") m.options().channel_choice = ChannelChoice::kLastVisited;
            if (v == "Default") m.options().channel_choice = ChannelChoice::kDefault;
            return Applied::kDone;
          }};
}

}  // namespace

// The single-value settings in write order. The list groups are written after "aj=", "mo=" and
// "s1=" (see WriteProfileLines).
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
      SavePasswordKey(),
      FlagWordKey<&Options::tray>("ak="),
      ChannelChoiceKey(),
      FlagWordKey<&Options::auto_server>("aj="),
      FlagLetterKey<&Options::auto_rejoin_when_kicked>("oa="),
      RadioKey<&Options::view_join_parts, &TC_Main::SetViewJoinParts>("oc="),
      IntKey<&Options::view_join_parts_number, 0, 100>("od="),
      IntKey<&Options::database_days, 0>("db="),
      RadioKey<&Options::keep_log, &TC_Main::SetKeepLog>("of="),
      FlagLetterKey<&Options::anti_flood>("og="),
      IntKey<&Options::quota_units, 0, 1000>("qa="),
      IntKey<&Options::quota_window_ms, 0, 3600000>("qb="),
      IntKey<&Options::quota_bytes_per_unit, 1, 100000>("qc="),
      IntKey<&Options::quota_emote_factor, 1, 100>("qd="),
      ActiveFlagLetterKey<&Options::anti_idle, &TC_Main::SetAntiIdle>("oi="),
      FlagLetterKey<&Options::auto_operator>("op="),
      FlagLetterKey<&Options::auto_ops>("oq="),
      FlagLetterKey<&Options::random_theme>("or="),
      FlagLetterKey<&Options::account_tracking>("os="),
      FlagLetterKey<&Options::channel_hit_counter>("ot="),
      FlagLetterKey<&Options::dont_save_public>("ox="),
      FlagLetterKey<&Options::database_acib>("oy="),
      ActiveFlagLetterKey<&Options::auto_away, &TC_Main::SetAutoAway>("ou="),
      ActiveFlagLetterKey<&Options::use_database, &TC_Main::SetUseDatabase>("ow="),
      ActiveIntKey<&Options::anti_idle_minutes, &TC_Main::SetAntiIdleMinutes>("oj="),
      ActiveIntKey<&Options::auto_away_minutes, &TC_Main::SetAutoAwayMinutes>("ov="),
      RadioKey<&Options::close_on_disconnect, &TC_Main::SetCloseOnDisconnect>("ol="),
      RadioKey<&Options::on_ban, &TC_Main::SetOnBan>("on="),
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
      ActiveIntKey<&Options::database_save_minutes, &TC_Main::SetDatabaseSaveMinutes>("ds="),
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
