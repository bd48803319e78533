// The template engine: user variables, built-in variables, in-text definitions and function tags
// in a line. It keeps nothing; what it needs of the client it asks through TemplateContext.
// Whatever other users supplied is inserted as untrusted text, and every name, tag and separator
// is looked for in trusted bytes only, so nothing another user wrote is ever expanded or run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/list_rows.h"
#include "common/table.h"
#include "common/tainted_text.h"
#include "common/text_table.h"
#include "ports/clock.h"

namespace tc {

// The built-in variables, each with the one name it is written as in a line.
enum class Builtin {
  kUser,
  kEvent,
  kChannelCurrent,
  kAccount,
  kTimeConnected,
  kTimeChannel,
  kServerAddress,
  kServerPort,
  kChannelPrevious,
  kChannelHome,
  kTime,
  kDate,
  kWebsite,
  kVersion,
  kState,
  kChannelCustom,
  kChannelPublic,
  kChannelUsers,
  kChannelWhisper,
  kMonitorAll,
  kKeys,
  kEvents,
  kUsersAll,
  kSkinsBackgrounds,
  kSkinsButtons,
  kThemes,
  kServerList,
  kLastTen,
  kProductStar,
  kProductDrtl,
  kProductChat,
  kProductSexp,
  kProductSshr,
  kProductDshr,
  kProductW2bn,
  kProductJstr,
  kBannedUsers,
  kMonitorOnline,
  kMonitorOffline,
  kLatestVersion,
};

struct BuiltinName {
  Builtin builtin;
  std::string_view name;
};

// In the order a line is searched for them.
inline constexpr std::array<BuiltinName, 40> kBuiltins = {{
    {Builtin::kUser, "<user>"},
    {Builtin::kEvent, "<event>"},
    {Builtin::kChannelCurrent, "<channel current>"},
    {Builtin::kAccount, "<account>"},
    {Builtin::kTimeConnected, "<time connected>"},
    {Builtin::kTimeChannel, "<time channel>"},
    {Builtin::kServerAddress, "<server address>"},
    {Builtin::kServerPort, "<server port>"},
    {Builtin::kChannelPrevious, "<channel previous>"},
    {Builtin::kChannelHome, "<channel home>"},
    {Builtin::kTime, "<time>"},
    {Builtin::kDate, "<date>"},
    {Builtin::kWebsite, "<website>"},
    {Builtin::kVersion, "<version>"},
    {Builtin::kState, "<state>"},
    {Builtin::kChannelCustom, "<channel custom>"},
    {Builtin::kChannelPublic, "<channel public>"},
    {Builtin::kChannelUsers, "<channel users>"},
    {Builtin::kChannelWhisper, "<channel whisper>"},
    {Builtin::kMonitorAll, "<monitor all>"},
    {Builtin::kKeys, "<keys>"},
    {Builtin::kEvents, "<events>"},
    {Builtin::kUsersAll, "<users all>"},
    {Builtin::kSkinsBackgrounds, "<skins backgrounds>"},
    {Builtin::kSkinsButtons, "<skins buttons>"},
    {Builtin::kThemes, "<themes>"},
    {Builtin::kServerList, "<server list>"},
    {Builtin::kLastTen, "<lastten>"},
    {Builtin::kProductStar, "<[STAR]>"},
    {Builtin::kProductDrtl, "<[DRTL]>"},
    {Builtin::kProductChat, "<[CHAT]>"},
    {Builtin::kProductSexp, "<[SEXP]>"},
    {Builtin::kProductSshr, "<[SSHR]>"},
    {Builtin::kProductDshr, "<[DSHR]>"},
    {Builtin::kProductW2bn, "<[W2BN]>"},
    {Builtin::kProductJstr, "<[JSTR]>"},
    {Builtin::kBannedUsers, "<bannedusers>"},
    {Builtin::kMonitorOnline, "<monitor online>"},
    {Builtin::kMonitorOffline, "<monitor offline>"},
    {Builtin::kLatestVersion, "<latestver>"},
}};

// The client's one-column lists a built-in joins.
enum class TemplateList {
  kCustomChannels,
  kChannelUsers,  // name, icon
  kWhisperRecipients,
  kSkinsBackgrounds,
  kSkinsButtons,
  kThemes,
  kLastTen,
};

// What the engine asks of the client.
class TemplateContext {
 public:
  virtual ~TemplateContext() = default;
  virtual const TextTable& List(TemplateList list) const = 0;
  virtual const Table<VariableRow>& Variables() const = 0;
  virtual const Table<KeyRow>& Keys() const = 0;
  virtual const Table<AccountRow>& Accounts() const = 0;
  virtual const Table<MonitorRow>& Monitor() const = 0;
  virtual const Table<ServerRow>& Servers() const = 0;
  virtual std::string_view OwnAccount() const = 0;
  virtual std::string_view CurrentChannel() const = 0;
  virtual std::string_view LastChannel() const = 0;
  virtual std::string_view HomeChannel() const = 0;
  virtual std::string_view StateText() const = 0;
  virtual std::string_view BannedUsers() const = 0;  // "a, b, "
  virtual std::string_view LatestVersion() const = 0;
  virtual std::string_view VersionText() const = 0;
  virtual std::string_view Website() const = 0;
  virtual std::string Host() const = 0;
  virtual uint16_t Port() const = 0;
  virtual int64_t SecondsOnline() const = 0;
  virtual int64_t SecondsInChannel() const = 0;
  virtual DateTime LocalNow() const = 0;
  // A field of the user database's record of `account`.
  virtual std::string UserField(std::string_view account, std::string_view field) = 0;
  // The hit count of a channel.
  virtual int ChannelHits(std::string_view channel) = 0;
  // A local error line ("Error ( ... )").
  virtual void ShowError(std::string_view text) = 0;
};

// The value of one built-in: what other users or the server chose (names, channel names, texts)
// is untrusted; what the local user configured, counters and constants are trusted.
TaintedText BuiltinValue(Builtin builtin, const TemplateContext& context, std::string_view user,
                         std::string_view event_text);

// The whole expansion of a line. `user` and `event_text` come from other users and are inserted
// as untrusted text. A line holding "<nf>" is left as it is.
TaintedText ExpandTemplate(const TaintedText& text, std::string_view user,
                           std::string_view event_text, TemplateContext& context);

// The user variables alone, names found in trusted bytes only.
void SubstituteVariables(const Table<VariableRow>& variables, TaintedText& line);

}  // namespace tc
