// The client's side of the keys: the facts they decide by, and sending what fires.
#include "automation/keys.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/client.h"
#include "common/text.h"
#include "send/outbox.h"

namespace tc {

class Client::KeyFactsLink final : public KeyFacts {
 public:
  explicit KeyFactsLink(const Client& core) : core_(core) {}

  std::string_view OwnAccount() const override { return core_.own_account_; }
  std::string_view StateWord() const override { return ToText(core_.client_state_); }
  std::string_view CurrentChannel() const override { return core_.current_channel_; }
  const Table<AccountRow>& Accounts() const override { return core_.accounts_; }
  std::string UserField(std::string_view user, SpeakerField field) const override {
    switch (field) {
      case SpeakerField::kProduct:
        return core_.database_.GetUserField(user, tc::UserField::kProduct);
      case SpeakerField::kFlag:
        return core_.database_.GetUserField(user, tc::UserField::kFlag);
      case SpeakerField::kInterBotName:
        return core_.database_.GetUserField(user, tc::UserField::kInterBot_Name);
    }
    return "0";
  }

 private:
  const Client& core_;
};

// One key's lines being sent. When the outermost firing ends, however it ends, the next key
// starts a chain of its own.
class Client::KeyFiring {
 public:
  explicit KeyFiring(KeyChain& chain) : chain_(chain) { ++chain_.firing; }
  ~KeyFiring() {
    if (--chain_.firing == 0) chain_.stopped = false;
  }
  KeyFiring(const KeyFiring&) = delete;
  KeyFiring& operator=(const KeyFiring&) = delete;

 private:
  KeyChain& chain_;
};

void Client::RunKeys(std::string_view user, std::string_view text, std::string_view kind) {
  // Inside a chain that went too deep nothing fires until the chain has unwound.
  if (key_chain_.stopped) return;
  // A key's actions are the program's own answer to what someone said.
  const AutomaticScope automatic(*this);
  const std::vector<FiredKey> fired = keys_.Execute_Key(user, text, kind, KeyFactsLink(*this));
  for (const FiredKey& key : fired) {
    if (key_chain_.firing == 0) key_chain_.first_key = key.key_text;
    if (key_chain_.stopped) break;
    if (outbox_->depth() >= Outbox::kMaxDepth) {
      // One message for the whole chain, naming the key the owner has to look at.
      ShowLocal("System ( Key \"" + key_chain_.first_key +
                "\" stopped: its lines call keys more than " + std::to_string(Outbox::kMaxDepth) +
                " deep. )");
      key_chain_.stopped = true;
      break;
    }
    const KeyFiring firing(key_chain_);
    const TaintedText action = Prepare(TaintedText(key.action), user, text);
    // Only the owner's own "<break>" cuts: another user's words stay in their line.
    for (const TaintedText& line : action.SplitAtTrusted("<break>")) {
      if (key_chain_.stopped) break;
      SendText(line, LineOrigin::kAutomatic);
    }
  }
}

std::vector<std::string> Client::ExplainKeys(std::string_view user, std::string_view text,
                                             std::string_view kind) {
  const KeyFactsLink facts(*this);
  const std::vector<Keys::Explained> answers = keys_.Explain(user, text, kind, facts);
  // What the stopping test looked for, so that the owner sees what to tick or type.
  KeySpeaker speaker(user, facts);
  const auto why = [&](KeyVerdict verdict) -> std::string {
    switch (verdict) {
      case KeyVerdict::kUserType:
        // A class text without any ";" gives one empty token.
        if (speaker.Tokens() == std::vector<std::string>{""}) {
          return " (the speaker's class text holds no \";\")";
        }
        return " (the speaker is " + JoinList(speaker.Tokens()) + ")";
      case KeyVerdict::kClientState:
        return " (its applies-to lacks \"" + speaker.StateToken() + "\")";
      case KeyVerdict::kProduct:
        if (speaker.Field(SpeakerField::kProduct) == "0") {
          return " (the speaker has no database record)";
        }
        return " (its applies-to lacks \"" + speaker.ProductToken() + "\")";
      case KeyVerdict::kMessageKind:
        return " (its applies-to lacks \"" + std::string(kind) + "\")";
      default:
        return "";
    }
  };
  std::vector<std::string> lines;
  lines.reserve(answers.size());
  for (size_t i = 0; i < answers.size(); ++i) {
    const Keys::Explained& answer = answers[i];
    std::string line = std::to_string(i + 1) + ". \"" +
                       keys_.table().RowAt(static_cast<int>(i)).key_text +
                       "\": " + std::string(VerdictText(answer.verdict)) + why(answer.verdict);
    if (!answer.count.empty()) {
      line += answer.verdict == KeyVerdict::kFires ? " (trigger " : " (this would be trigger ";
      line += answer.count + ")";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace tc
