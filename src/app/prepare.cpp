// The client's side of template expansion: what the engine asks of it, answered from the client's
// state, and the client's calls into the engine.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/client.h"
#include "common/date_time.h"
#include "send/template_engine.h"

namespace tc {

namespace {

class ClientTemplateContext final : public TemplateContext {
 public:
  ClientTemplateContext(Client& client, const Clock& clock, uint16_t port)
      : client_(client), clock_(clock), port_(port) {}

  const TextTable& List(TemplateList list) const override {
    switch (list) {
      case TemplateList::kCustomChannels:
        return client_.custom_channels();
      case TemplateList::kChannelUsers:
        return client_.users();
      case TemplateList::kWhisperRecipients:
        return client_.whisper_recipients();
      case TemplateList::kSkinsBackgrounds:
        return client_.skins_backgrounds();
      case TemplateList::kSkinsButtons:
        return client_.skins_buttons();
      case TemplateList::kThemes:
        return client_.themes();
      case TemplateList::kLastTen:
        break;
    }
    return client_.last_ten();
  }
  const Table<VariableRow>& Variables() const override { return client_.variables(); }
  const Table<KeyRow>& Keys() const override { return client_.keys(); }
  const Table<AccountRow>& Accounts() const override { return client_.accounts(); }
  const Table<MonitorRow>& Monitor() const override { return client_.monitor(); }
  const Table<ServerRow>& Servers() const override { return client_.servers(); }
  std::string_view OwnAccount() const override { return client_.own_account(); }
  std::string_view CurrentChannel() const override { return client_.current_channel(); }
  std::string_view LastChannel() const override { return client_.options().last_channel; }
  std::string_view HomeChannel() const override { return client_.options().home_channel; }
  std::string_view StateText() const override { return ToText(client_.client_state()); }
  std::string_view BannedUsers() const override { return client_.banned_users(); }
  std::string_view LatestVersion() const override { return client_.latest_version(); }
  std::string_view VersionText() const override { return Client::kVersionText; }
  std::string_view Website() const override { return Client::kWebsite; }
  std::string Host() const override { return client_.host(); }
  uint16_t Port() const override { return port_; }
  int64_t SecondsOnline() const override { return client_.seconds_online(); }
  int64_t SecondsInChannel() const override { return client_.seconds_in_channel(); }
  DateTime LocalNow() const override { return clock_.LocalNow(); }
  std::string UserField(std::string_view account, std::string_view field) override {
    return client_.database().GetUserField(account, field);
  }
  int ChannelHits(std::string_view channel) override { return client_.ChannelHitCount(channel); }
  void ShowError(std::string_view text) override { client_.ShowLocal(text); }

 private:
  Client& client_;
  const Clock& clock_;
  uint16_t port_;
};

}  // namespace

std::string Client::VariableValue(std::string_view name) const {
  return variables_.Value(name);
}

void Client::ExpandVariables(TaintedText& line) const {
  SubstituteVariables(variables_.table(), line);
}

TaintedText Client::Prepare(const TaintedText& text, std::string_view user,
                            std::string_view event_text) {
  ClientTemplateContext context(*this, clock_, connection_.port());
  return ExpandTemplate(text, user, event_text, context);
}

}  // namespace tc
