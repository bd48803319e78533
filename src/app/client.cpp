#include "app/client.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "common/code_text.h"
#include "common/date_time.h"
#include "common/text.h"
#include "persistence/list_lines.h"
#include "protocol/chat_output_log.h"
#include "send/outbox.h"

namespace tc {

// What the outbox asks of the client: the socket, the chat view, templates, local commands and
// the few facts of the connection and the options it decides by.
class Client::OutboxLink final : public OutboxHost {
 public:
  explicit OutboxLink(Client& core) : core_(core) {}

  void WriteToServer(std::string_view bytes) override { core_.WriteSocket(bytes); }
  void ShowLocal(const std::string& text) override { core_.DisplayText(text, LineSource::kLocal); }
  TaintedText ExpandTemplate(const TaintedText& line) override {
    return core_.Prepare(line, "", "");
  }
  bool RunLocalCommand(const TaintedText& line) override { return core_.RunLocalCommand(line); }
  void LeavingChannel() override {
    core_.PerformEvent(Event::kLeaveChannel, core_.own_account_, core_.current_channel_);
  }
  bool Connected() const override { return core_.connection_.connected(); }
  bool AntiFloodOn() const override { return core_.options_.anti_flood; }
  SendQuota Quota() const override {
    const Options& o = core_.options_;
    return {o.quota_units, o.quota_window_ms, o.quota_bytes_per_unit, o.quota_emote_factor};
  }
  const std::string& OwnAccount() const override { return core_.own_account_; }
  const std::string& CurrentChannel() const override { return core_.current_channel_; }
  SendEncoding SendAs() const override { return core_.options_.send_text_as; }
  size_t SplitLongLinesAt() const override {
    return static_cast<size_t>(std::max(core_.options_.split_long_lines_at, 0));
  }

 private:
  Client& core_;
};

Client::Client(Socket& socket, const Clock& clock, Frontend& frontend,
               std::filesystem::path program_dir)
    : socket_(socket),
      clock_(clock),
      frontend_(frontend),
      program_dir_(std::move(program_dir)),
      database_(clock, frontend),
      chat_log_(std::make_unique<ChatOutputLog>()),
      outbox_link_(std::make_unique<OutboxLink>(*this)),
      outbox_(std::make_unique<Outbox>(*outbox_link_, clock)) {
  servers_.Assign(BuiltInServers());
}

Client::~Client() = default;

std::string Client::DateText() const {
  return tc::DateText(clock_.LocalNow());
}

std::string Client::TimeText() const {
  return tc::TimeText(clock_.LocalNow());
}

bool Client::CheckFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return true;
  { std::ofstream create(path, std::ios::binary | std::ios::app); }
  if (std::filesystem::exists(path, ec)) return true;
  frontend_.ShowMessage("Unable to open file: " + path.string());
  return false;
}

void Client::ApplyOverrides(const RunOverrides& overrides) {
  // Kept, so that they outlive a profile switch and never reach the profile file.
  RestoreHeldValues();
  overrides_ = overrides;
  ApplyRunOverrides();
}

void Client::Initialise() {
  // The settings file names the profile last used.
  const std::filesystem::path settings = program_dir_ / "talvexchat.dat";
  std::error_code ec;
  std::filesystem::create_directories(program_dir_, ec);
  if (CheckFile(settings)) {
    std::ifstream in(settings, std::ios::binary);
    if (!in) {
      std::ofstream out(settings, std::ios::binary | std::ios::trunc);
      out << CodeText("Encode", "Default") << "\r\n";
      out.close();
      in.open(settings, std::ios::binary);
    }
    std::string first;
    std::getline(in, first);
    if (!first.empty() && first.back() == '\r') first.pop_back();
    profile_name_ = TextFromBytes(CodeText("Decode", first));
  }
  if (start_profile_) profile_name_ = *start_profile_;
  if (profile_name_.empty()) profile_name_ = "Default";
  LoadProfile();
  settings_read_ = true;

  frontend_.ShowPage(Page::kChat);

  connection_.ResetAtStartUp();
  roster_.ClearBanned();

  for (const char* dir : {"Skins/Buttons", "Skins/Backgrounds", "Themes"}) {
    std::filesystem::create_directories(program_dir_ / dir, ec);
  }
  for (const char* dir : {"Skins/Buttons", "Skins/Backgrounds", "Themes"}) {
    const std::filesystem::path path = program_dir_ / dir;
    if (!std::filesystem::is_directory(path, ec)) {
      frontend_.ShowMessage("Required directory \"" + path.string() + "\" doesn't exist.");
    }
  }
  SetRecordedOperator("");
}

void Client::Activate() {
  if (first_activated_) return;
  first_activated_ = true;
  frontend_.ClearView(View::kChat);
  frontend_.ClearView(View::kWhisper);
  seconds_online_ = 0;
  seconds_in_channel_ = 0;
  connection_.ResetBeep();
  ShowLocal(Prepare("System ( Welcome to <version> )", "", "").text());
  ShowLocal(Prepare("System ( Keep up to date at: <website> )", "", "").text());
  database_.LoadUserDatabase(program_dir_, options_.use_database);
  SetDatabaseSaveMinutes(options_.database_save_minutes);
  if (options_.auto_connect) ToggleConnection();
}

void Client::Shutdown() {
  ShowLocal("System ( Shutting down, please wait... )");
  if (connection_.logged_in()) {
    connection_.SetClosedByUser(true);
    connection_.StopReconnecting();
    ShowLocal("System ( Disconnecting... )");
    connection_.Close();
    SetConnectCaption("Connect");
    // The disconnect notification comes after the program has gone; the records must not be
    // saved as if everyone were still in the channel.
    database_.Disconnected();
  }
  SaveProfile();
  if (options_.use_database) database_.SaveUserDatabase();
}

std::optional<int64_t> Client::NextDeadline() const {
  std::optional<int64_t> next = connection_.NextDeadline();
  for (const CoreTimer* timer : {&anti_idle_timer_, &seconds_timer_, &database_save_timer_}) {
    if (timer->Enabled() && (!next || timer->Due() < *next)) next = timer->Due();
  }
  if (const std::optional<int64_t> due = outbox_->NextDeadline(); due && (!next || *due < *next)) {
    next = due;
  }
  return next;
}

void Client::OnTimer() {
  const int64_t now = clock_.NowMs();
  // Each due timer fires once, in a fixed order; a handler may disable or re-arm the others.
  if (connection_.TakeConnectTimeout(now)) ConnectTimeoutTick();
  if (connection_.TakeReconnect(now)) ReconnectTick();
  if (anti_idle_timer_.IsDue(now)) {
    anti_idle_timer_.Rearm(now);
    AntiIdleTick();
  }
  if (seconds_timer_.IsDue(now)) {
    seconds_timer_.Rearm(now);
    OneSecondTick();
  }
  outbox_->OnTimer(now);
  if (database_save_timer_.IsDue(now)) {
    database_save_timer_.Rearm(now);
    SaveChangedDatabase();
  }
}

void Client::AntiIdleTick() {
  const std::string line = AntiIdleLine(VariableValue("$anti-idle$"));
  PerformEvent(Event::kAntiIdle, own_account_, line);
  // The timer may run while disconnected (switched on there); the line is for a channel.
  if (options_.anti_idle && connection_.logged_in()) {
    SendText(TaintedText(line), LineOrigin::kAutomatic);
  }
}

void Client::SetDatabaseSaveMinutes(int minutes) {
  minutes = std::clamp(minutes, 0, 24 * 60);
  const bool changed = options_.database_save_minutes != minutes;
  options_.database_save_minutes = minutes;
  if (minutes == 0) {
    database_save_timer_.Disable();
  } else if (changed || !database_save_timer_.Enabled()) {
    database_save_timer_.SetInterval(int64_t{minutes} * 60000, clock_.NowMs());
    database_save_timer_.Enable(clock_.NowMs());
  }
}

void Client::SaveChangedDatabase() {
  if (!options_.use_database || database_.SaveChanges()) return;
  ShowLocal("Error ( Unable to write file: " +
            TextFromBytes((program_dir_ / "DataBase.dat").string()) + " )");
}

void Client::RecoverFromFault(std::string_view what) noexcept {
  // Bounded and on one line: the text may come from anywhere, a file name or a library.
  constexpr size_t kMaxWhat = 200;
  try {
    std::string text(CutBytes(TextFromBytes(what), kMaxWhat));
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    ShowLocal("Error ( " + text + " )");
  } catch (...) {
    // Nothing can be shown; the saves below matter more.
  }
  try {
    SaveChangedDatabase();
  } catch (...) {
  }
  try {
    // Settings not (fully) read yet must not overwrite the profile with defaults.
    if (settings_read_) SaveProfile();
  } catch (...) {
  }
}

}  // namespace tc
