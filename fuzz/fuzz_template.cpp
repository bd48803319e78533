// Hostile bytes into the template engine, without a client: the first byte splits the input into
// a trusted template and an untrusted event text. Whatever the input, the expansion ends and stays
// within its length bound; the context's values name built-ins, tags and definitions on purpose.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "send/template_engine.h"
#include "send/templates.h"

namespace {

class FuzzContext final : public tc::TemplateContext {
 public:
  FuzzContext() {
    variables_.Append({"$a$", "<user> says <event>"});
    variables_.Append({"$b$", "$a$ and <%word;2%>"});
    channels_.Append({"<channel current>"});
  }
  const tc::TextTable& List(tc::TemplateList list) const override {
    switch (list) {
      case tc::TemplateList::kCustomChannels:
        return channels_;
      default:
        return empty_;
    }
  }
  const tc::Table<tc::VariableRow>& Variables() const override { return variables_; }
  const tc::Table<tc::KeyRow>& Keys() const override { return keys_; }
  const tc::Table<tc::AccountRow>& Accounts() const override { return accounts_; }
  const tc::Table<tc::MonitorRow>& Monitor() const override { return monitor_; }
  const tc::Table<tc::ServerRow>& Servers() const override { return servers_; }
  std::string_view OwnAccount() const override { return "<event>"; }
  std::string_view CurrentChannel() const override { return "<$x:y$>"; }
  std::string_view LastChannel() const override { return "<user>"; }
  std::string_view HomeChannel() const override { return "Home"; }
  std::string_view StateText() const override { return "Available"; }
  std::string_view BannedUsers() const override { return "<%word;1%>, "; }
  std::string_view LatestVersion() const override { return ""; }
  std::string_view VersionText() const override { return "<version>"; }
  std::string_view Website() const override { return "<website>"; }
  std::string Host() const override { return "127.0.0.1"; }
  uint16_t Port() const override { return 6112; }
  int64_t SecondsOnline() const override { return 3725; }
  int64_t SecondsInChannel() const override { return 61; }
  tc::DateTime LocalNow() const override { return {}; }
  std::string UserField(std::string_view, std::string_view) override { return "<user>"; }
  int ChannelHits(std::string_view) override { return 7; }
  void ShowError(std::string_view) override {}

 private:
  tc::Table<tc::VariableRow> variables_;
  tc::Table<tc::KeyRow> keys_;
  tc::Table<tc::AccountRow> accounts_;
  tc::Table<tc::MonitorRow> monitor_;
  tc::Table<tc::ServerRow> servers_;
  tc::TextTable channels_{1};
  tc::TextTable empty_{2};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = std::min<size_t>(data[0], input.size());
  FuzzContext context;
  const tc::TaintedText text(input.substr(0, split));
  const tc::TaintedText result = tc::ExpandTemplate(text, "<user>", input.substr(split), context);
  if (result.size() > std::max(tc::kMaxSubstitutedLength, text.size())) __builtin_trap();
  return 0;
}
