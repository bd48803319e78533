// Client owns every piece of the program's state for the life of the process: the connection,
// the options, every list and the user database. Front ends drive it through the calls below and
// it acts through its ports. Handlers are defined in their subsystem's folder.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "appearance/appearance.h"
#include "automation/events.h"
#include "automation/idle_away.h"
#include "automation/keys.h"
#include "automation/macros.h"
#include "automation/timers.h"
#include "automation/variables.h"
#include "common/colors.h"
#include "common/house.h"
#include "common/list_rows.h"
#include "common/table.h"
#include "common/tainted_text.h"
#include "common/text_table.h"
#include "options/options.h"
#include "people/account_tracking.h"
#include "people/roster.h"
#include "people/whois_check.h"
#include "persistence/hit_counter.h"
#include "persistence/tc_database.h"
#include "ports/core_timer.h"
#include "ports/ports.h"
#include "protocol/client_state.h"
#include "protocol/connection.h"
#include "protocol/line_decision.h"
#include "protocol/server_line.h"
#include "send/input_box.h"
#include "send/line_origin.h"

namespace tc {

struct ProfileLists;

struct StartOptions;
class Outbox;         // send/outbox.h
class ChatOutputLog;  // protocol/chat_output_log.h
class SendQueue;      // send/send_queue.h

// Overrides from the command line, for one run.
struct RunOverrides {
  std::optional<std::string> server;  // also pins the run to that one server
  std::optional<uint16_t> port;
  std::optional<std::string> account;
  std::optional<std::string> password;
};

class Client {
 public:
  static constexpr std::string_view kBuild = "1515";
  // The values of "<version>" and "<website>", also shown by the welcome lines.
  static constexpr std::string_view kVersionText = "Talvex Chat 2000 Build 1515";
  static_assert(kVersionText.ends_with(kBuild));
  static constexpr std::string_view kWebsite = "https://talvexchat.example.org/";
  static constexpr std::string_view kClientName = kHouseName;
  static constexpr uint16_t kDefaultPort = Connection::kDefaultPort;

  Client(Socket& socket, const Clock& clock, Frontend& frontend, std::filesystem::path program_dir);
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // --- Start-up and shutdown
  // The start-up every front end runs once (app/start_options.h).
  void Start(const StartOptions& options);
  void Initialise();
  void Activate();
  void Shutdown();
  void ApplyOverrides(const RunOverrides& overrides);
  bool CheckFile(const std::filesystem::path& path);
  // After a call into the core ended in an exception: shows one "Error ( ... )" line with the
  // exception's text, then saves the user database and the profile, each save on its own, so
  // that what the program has learned outlives whatever comes next. Never throws.
  void RecoverFromFault(std::string_view what) noexcept;

  // --- Settings profile (persistence/profiles.cpp): read into the options and lists, or written
  // from them. Neither happens when a profile file is missing and cannot be created.
  void LoadProfile();
  void SaveProfile();
  // Option changes as the user makes them: each acts on what depends on the control, and an
  // unchanged value triggers nothing.
  void SetAntiIdle(bool on);
  void SetAntiIdleMinutes(int minutes);
  void SetAutoAway(bool on);
  void SetAutoAwayMinutes(int minutes);
  void SetDatabaseSaveMinutes(int minutes);
  void SetUseDatabase(bool on);
  void SetViewJoinParts(ViewJoinParts choice);
  void SetKeepLog(KeepLog choice);
  void SetCloseOnDisconnect(CloseOnDisconnect choice);
  void SetOnBan(OnBanJoin choice);
  // Profile commands; the front end asks for the file name or the confirmation.
  void OpenProfile();
  void NewProfile();
  void DeleteProfile();
  // The profile name field changed (empty becomes "Default"): the profile is read.
  void SwitchProfile(std::string name);
  // A profile chosen before start-up (command line) wins over the one talvexchat.dat names.
  void SelectProfileAtStartUp(std::string name);
  std::string& notes() { return notes_; }  // Notes_Memo1
  const CoreTimer& anti_idle_timer() const { return anti_idle_timer_; }
  int auto_away_countdown() const { return auto_away_.remaining(); }

  // --- Socket notifications
  void OnConnected();
  void OnRead(std::string_view bytes);
  void OnDisconnected();
  void OnError(SocketError error);

  // --- Timers: the driver calls OnTimer when the clock reaches NextDeadline.
  std::optional<int64_t> NextDeadline() const;
  void OnTimer();

  // --- Connection
  void ToggleConnection();
  // "Add" of the server list: a new row with ping "???"; an empty type means the selected
  // server's network. An empty or already listed address adds nothing (false).
  bool AddServer(std::string_view address, std::string_view type = {});

  // --- Dispatcher and chat output
  // Every line read from the server and every message the program shows passes through here: the
  // server's echo of a sent line is recognised, the line is parsed and handed to its handler, and
  // the handler's decision is shown and logged.
  void DisplayText(std::string_view line, LineSource source);
  void OnServerLine(std::string_view line) { DisplayText(line, LineSource::kServer); }
  void ShowLocal(std::string_view text) { DisplayText(text, LineSource::kLocal); }
  void ExpandVariables(std::string& line) const;
  // The same substitution on a line with untrusted parts: names are found in trusted bytes only.
  void ExpandVariables(TaintedText& line) const;
  StyledLine StyleLine(std::string_view line) const;
  void ClearChatView();
  void ClearWhisperView();

  // --- Send path: every line that leaves the program. Untrusted parts of `text` are never
  // expanded, and a line that begins with an untrusted byte is never a local command.
  // A line sent while an automatic line runs ("/send" inside it, a script it starts) is
  // automatic too, whatever `origin` says.
  void SendText(const TaintedText& text, LineOrigin origin = LineOrigin::kOwner);
  // A line put together from parts must say which parts are untrusted: a plain string is
  // refused, a string literal is the program's own text.
  void SendText(const std::string& text, LineOrigin origin = LineOrigin::kOwner) = delete;
  void SendText(std::string_view text, LineOrigin origin = LineOrigin::kOwner) = delete;
  template <size_t N>
  void SendText(const char (&literal)[N], LineOrigin origin = LineOrigin::kOwner) {
    SendText(TaintedText(std::string_view(literal, N - 1)), origin);
  }
  // The buttons and the user-list commands, with what the window passes (the selected user's
  // account name, empty when none is selected). The input boxes' texts are core state.
  void SendActiveInput();
  void WhisperActiveInputTo(std::string_view selected_user);
  void WhisperBoxTo(std::string_view selected_user);
  void EmoteActiveInput();
  void FocusMainInput() { active_input_ = 1; }
  void FocusWhisperInput() { active_input_ = 2; }
  void InsertUserName(std::string_view selected_user);
  // A user-list popup item by its caption ("/designate", "/kick", ... "/rejoin").
  void UsersPopupCommand(std::string_view caption, std::string_view selected_user);
  // The user script files behind "/usfwrite", "/usfexecute" and "/usfdelete": one line added,
  // the lines sent as if typed, the file removed.
  void WriteUserFile(std::string_view name, std::string_view text);
  void RunUserFile(std::string_view name);
  void DeleteUserFile(std::string_view name);
  InputBox& main_input() { return input_boxes_[0]; }     // Send_Edit1
  InputBox& whisper_input() { return input_boxes_[1]; }  // Send_Edit2
  int active_input() const { return active_input_; }     // 1 main, 2 whisper
  Outbox& outbox() { return *outbox_; }
  const SendQueue& send_queue() const;
  const CoreTimer& anti_flood_timer() const;
  // Where "/browser " last sent the browser page.
  const std::string& browser_url() const { return browser_url_; }

  // --- Template expansion (send/prepare.cpp). `user` and `event_text` come from other users and
  // are inserted as untrusted text.
  TaintedText Prepare(const TaintedText& text, std::string_view user, std::string_view event_text);
  // The value of the last variable named exactly `name`; "" when none.
  std::string VariableValue(std::string_view name) const;
  // The variables panel (app/macros.cpp): "Add" with the selected row (-1 for none) and the two
  // edits, "Remove" of the selected row (handed back for the edits). A macro's hint follows.
  void AddVariable(int selected, std::string_view name, std::string_view value);
  std::optional<VariableRow> RemoveVariable(int selected);
  // A quick button (1 .. 15): its macro expanded, cut at "<break>", each line sent as the owner's.
  void RunMacro(int n);

  // --- Events, classification, icons, channel list
  // Raises `event` for the keys named after it.
  void PerformEvent(Event event, std::string_view user, std::string_view text);
  // The account type of `name` in the accounts list, "None" when it has no row: counting only a
  // row switched on, or any row.
  std::string AccountType(std::string_view name) const;
  std::string ListedAccountType(std::string_view name) const;
  int IconFor(std::string_view name, std::string_view product, std::string_view state,
              std::string_view client_name, std::string_view flags);
  // The channel user list gains or loses `name`; the channel field follows.
  void AddChannelUser(std::string_view name);
  void RemoveChannelUser(std::string_view name);
  void SetRecordedOperator(std::string_view name);
  // The own state became `state`: shown, recorded and told to the other copies of the program.
  void SetClientState(ClientState state);
  // The owner asks for a state (the state menu): Away and DND are asked of the server, which
  // confirms them; Available and Operator take effect here.
  void RequestState(ClientState wanted);
  // A whispered text beginning "//" from `sender`: identification, information request or answer.
  void InterClientMessage(std::string_view sender, std::string_view message);
  // The account whose information was last asked for; its answer opens the profile window.
  void SetInformationTarget(std::string_view account) { information_target_ = account; }
  const std::string& information_target() const { return information_target_; }
  // The whois answer parser: information lines, and the error line for an account not logged on,
  // received while a check is updating.
  void WhoisAnswer(std::string_view text);
  void WhoisNotLoggedOn();
  // Remote commands ("!who") from a whisper or another user's emote.
  enum class RemoteOrigin { kWhisper, kEmote };
  void UsersCommand(std::string_view user, std::string_view text, RemoteOrigin origin);
  // The keys run as if `user` had said `text`; kind is the applies-on token ("Messages;").
  void RunKeys(std::string_view user, std::string_view text, std::string_view kind);
  // One line per key, in list order: its number, key text and the verdict.
  std::vector<std::string> ExplainKeys(std::string_view user, std::string_view text,
                                       std::string_view kind);
  // The text last sent from the whisper input (Send button, whisper box).
  const std::string& last_whisper_text() const { return last_whisper_text_; }
  std::string& last_whisper_text() { return last_whisper_text_; }
  bool IsPublicChannel(std::string_view channel) const;

  // --- Hit counter and last-ten list
  // The hit count of `channel`, after counting one more join for AddChannelHit.
  int ChannelHitCount(std::string_view channel);
  int AddChannelHit(std::string_view channel);
  void AddToLastTen(std::string_view name);

  // --- Read access for front ends and tests
  Options& options() { return options_; }
  const Options& options() const { return options_; }
  TC_DataBase& database() { return database_; }
  const TC_DataBase& database() const { return database_; }
  TextTable& users() { return roster_.table(); }                  // Users_ListView1: name, icon
  Table<AccountRow>& accounts() { return accounts_; }             // Accounts_ListView1
  Table<VariableRow>& variables() { return variables_.table(); }  // Variables_ListView1
  const Macros& macros() const { return macros_; }                // the quick buttons' hints
  Macros& macros() { return macros_; }
  Appearance& appearance() { return appearance_; }  // skins, fonts, colours, tray pictures
  Table<CustomColorRow>& custom_colors() { return custom_colors_; }  // CustomColors_ListView1
  Table<ServerRow>& servers() { return servers_; }                   // Ping_ListView1
  TextTable& events() { return events_; }                            // event name, action
  Table<KeyRow>& keys() { return keys_.table(); }                    // Keys_ListView1
  Table<TimerRow>& timers() { return timers_.table(); }              // Timer_ListView1
  Table<MonitorRow>& monitor() { return monitor_; }                  // Monitor_ListView1
  TextTable& custom_channels() { return custom_channels_; }          // CChannels_ListBox1
  TextTable& whisper_recipients() { return whisper_recipients_; }    // WhisperBox_ListBox1
  // The timer list with the Timer page's operations.
  Timers& user_timers() { return timers_; }
  // Adds a whisper recipient the way both front ends do: a name from the channel user list only
  // (kChannelUser; a typed name, kTyped, need not be there), compared without regard to case and
  // stored as the list spells it, never the own account, never twice. False when not added.
  enum class RecipientSource { kChannelUser, kTyped };
  bool AddWhisperRecipient(std::string_view name,
                           RecipientSource source = RecipientSource::kChannelUser);
  TextTable& skins_backgrounds() { return skins_backgrounds_; }
  TextTable& skins_buttons() { return skins_buttons_; }
  TextTable& themes() { return themes_; }
  TextTable& whois_requests() { return whois_requests_; }  // Whois_ListBox1
  WhoisCheck& whois() { return whois_; }
  const std::string& latest_version() const { return latest_version_; }
  AccountTracking& account_tracking() { return account_tracking_; }  // WC_ListBox1
  const TextTable& last_ten() const { return last_ten_; }            // LastTen_ListBox1
  std::vector<std::string>& sent_lines();

  const std::string& own_account() const { return own_account_; }
  const std::string& current_channel() const { return current_channel_; }
  const std::string& channel_field() const { return channel_field_; }
  const std::string& connect_caption() const { return connect_caption_; }
  ClientState client_state() const { return client_state_; }
  const std::string& recorded_operator() const { return recorded_operator_; }
  const std::string& banned_users() const { return roster_.banned(); }
  const std::string& profile_name() const { return profile_name_; }
  const std::filesystem::path& program_dir() const { return program_dir_; }
  const Connection& connection() const { return connection_; }
  bool logged_in() const { return connection_.logged_in(); }
  bool connected() const { return connection_.connected(); }
  bool user_disconnect() const { return connection_.closed_by_user(); }
  int fastest_server_index() const { return connection_.server_index(); }
  int64_t seconds_online() const { return seconds_online_; }
  int64_t seconds_in_channel() const { return seconds_in_channel_; }
  const CoreTimer& reconnect_timer() const { return connection_.reconnect_timer(); }
  const CoreTimer& connect_timeout() const { return connection_.connect_timeout(); }
  bool pinned_server() const { return connection_.pinned(); }
  bool first_activated() const { return first_activated_; }
  std::string host() const { return connection_.host(); }

  // Called for every event raised (the bot's automation hangs here).
  using EventHook = std::function<void(Event event, std::string_view user, std::string_view text)>;
  void SetEventHook(EventHook hook) { event_hook_ = std::move(hook); }

  // Date and time texts of the local clock: "MM/DD/YYYY" and "HH:MM:SS".
  std::string DateText() const;
  std::string TimeText() const;
  std::string DateTimeText() const { return DateText() + " " + TimeText(); }

  std::filesystem::path LogDirectory() const;
  std::filesystem::path LogFileFor(std::string_view channel) const;

 private:
  // connection.cpp
  void WriteSocket(std::string_view bytes);
  void SetConnectCaption(std::string_view caption);
  // The login prompt, the refusals and the naming line; true when the line is not to be shown.
  bool LoginLines(const ServerEvent& event);
  void WelcomeSteps();
  // The one-second tick, its steps in the order they run; each runs only while connected.
  void OneSecondTick();
  void TickUserTimers();
  void TickConnectionCounters();
  void TickAutoAway();
  void TickWatchdog();
  void TickBeep();
  // The anti-idle timer's tick: "#Anti_Idle", and its line when anti-idle is on.
  void AntiIdleTick();
  void ConnectTimeoutTick();
  void ReconnectTick();
  void PingUpdate(int timeout_ms, int packet_size);
  // The type column of the selected server's row: the network whose accounts the login belongs
  // to. nullopt when the selected server has no row.
  std::optional<std::string> SelectedNetwork() const;
  // dispatcher.cpp
  void PresentUpdate(std::string_view name, std::string_view flags, std::string_view product);
  void IdentificationWhisper(std::string_view name, std::string_view flags);
  bool ShowJoinsAndParts() const;
  // The handler of each parsed line, in dispatcher.cpp and conversation.cpp; each says whether
  // and as what its line appears.
  std::optional<LineDecision> Dispatch(const ServerEvent& event);
  LineDecision HandleUser(const UserPresent& user);
  LineDecision HandleJoin(const UserJoined& join);
  LineDecision HandleLeave(const UserLeft& leave);
  LineDecision HandleChannel(const ChannelEntered& entered);
  LineDecision HandleFlags(const FlagsChanged& change);
  LineDecision HandleInfo(const InfoNotice& info);
  LineDecision HandleError(const ErrorNotice& error);
  LineDecision HandleTalk(const Talk& talk);
  LineDecision HandleEmote(const Emote& emote);
  LineDecision HandleWhisperFrom(const WhisperFrom& whisper);
  LineDecision HandleWhisperTo(const WhisperTo& whisper);
  // conversation.cpp
  void ShowInWhisperView(const std::string& line);
  void RejoinWhenKicked(std::string_view text);
  void JoinWhenBanned(std::string_view text);
  // A notice about the own account's state; it may change whether the notice is shown.
  bool OwnStateNotice(std::string_view text, bool shown);
  // inter_client.cpp
  std::string IdentificationMessage() const;
  void SetChannelField();
  // send/
  bool RunLocalCommand(const TaintedText& line);
  void ExecuteProgram(std::string_view rest);
  // The script file of `name`, created when missing; nullopt (and an error shown) when unusable.
  std::optional<std::filesystem::path> UsableUserFile(std::string_view name);
  HitCounter& hits();
  void WhoisCheckRequest(std::string_view name);
  // chat_output.cpp
  void ShowAndLog(std::string_view text);
  void WriteLog(std::string_view text);
  // Icon and channel-operator helpers
  void ChannelRowsSetIcon(std::string_view name, int icon);
  bool PublicListContainsCurrent() const;
  void TryRejoinForOperator();
  // The own account holds operator status here: recorded as the operator, or its last flags say
  // so (a temporary operator, or the account's own channel operator).
  bool OwnIsOperator() const;
  bool OwnIsOperatorByFlags() const;
  // False when `user` had a "!who" answer within the last half minute; otherwise notes the time.
  bool TakeWhoTurn(std::string_view user);

  Socket& socket_;
  const Clock& clock_;
  Frontend& frontend_;
  std::filesystem::path program_dir_;
  std::string profile_name_ = "Default";
  Options options_;
  bool first_activated_ = false;
  bool settings_read_ = false;  // the profile may be written back only after it was read

  TC_DataBase database_;
  Roster roster_;
  Table<AccountRow> accounts_;
  Variables variables_;
  Macros macros_{variables_};
  Table<CustomColorRow> custom_colors_;
  Appearance appearance_;
  Table<ServerRow> servers_;
  TextTable events_{2};
  Keys keys_;
  // Keys whose lines raise keys again: the key that started the chain, how many key firings are
  // running inside each other, and whether the chain was stopped for going too deep.
  struct KeyChain {
    std::string first_key;
    int firing = 0;
    bool stopped = false;
  };
  KeyChain key_chain_;
  class KeyFactsLink;
  class KeyFiring;
  Timers timers_;
  Table<MonitorRow> monitor_;
  TextTable custom_channels_{1};
  TextTable whisper_recipients_{1};
  TextTable skins_backgrounds_{1};
  TextTable skins_buttons_{1};
  TextTable themes_{1};
  TextTable whois_requests_{1};
  WhoisCheck whois_;
  std::string latest_version_;
  AccountTracking account_tracking_;
  TextTable last_ten_{1};

  // Connection state
  std::string connect_caption_ = "Connect";
  Connection connection_{socket_, clock_};
  // Users (lower case) sent the identification whisper on this connection: one each, however
  // often they come and go. Cleared at connect; holds no more names than were seen.
  std::unordered_set<std::string> identified_users_;
  std::string own_account_;
  std::string current_channel_;
  std::string channel_field_;
  int64_t seconds_online_ = 0;
  int64_t seconds_in_channel_ = 0;

  // The channel where the lone-user rejoin was last tried; it is not tried there again until
  // another channel is entered, so a channel that never hands out operator status cannot make
  // the client bounce (and be thrown off for flooding) once a second.
  std::string rejoin_tried_channel_;
  std::unique_ptr<ChatOutputLog> chat_log_;
  HitCounter hit_counter_;

  ClientState client_state_ = ClientState::kNone;
  std::string recorded_operator_;
  std::string information_target_;
  // Users (lower case) answered a "!who" in the last half minute, oldest answer first, and the
  // same names as a set: a flood of askers costs constant time each and is forgotten after it.
  std::deque<std::pair<std::string, int64_t>> who_answered_;
  std::unordered_set<std::string> who_answered_names_;
  std::string last_whisper_text_;

  CoreTimer anti_idle_timer_{10 * 60 * 1000};
  CoreTimer seconds_timer_{1000};
  CoreTimer database_save_timer_{10 * 60 * 1000};
  // Writes the user database when it changed since the last save; reports a failed write.
  void SaveChangedDatabase();

  // Send path (send/): the outbox, and what it asks of the client (app/client.cpp).
  class OutboxLink;
  std::unique_ptr<OutboxLink> outbox_link_;
  std::unique_ptr<Outbox> outbox_;
  std::array<InputBox, 2> input_boxes_;
  int active_input_ = 1;
  std::string browser_url_;
  // While one lives, every line sent is automatic, as if sent from inside an automatic line:
  // what events, keys and the program's own reactions send.
  class AutomaticScope {
   public:
    explicit AutomaticScope(Client& core);
    ~AutomaticScope();
    AutomaticScope(const AutomaticScope&) = delete;
    AutomaticScope& operator=(const AutomaticScope&) = delete;

   private:
    Outbox& outbox_;
    LineOrigin old_origin_;
  };
  int script_depth_ = 0;  // user scripts running inside each other

  EventHook event_hook_;

  // Settings profile (persistence/)
  ProfileLists Lists();
  // Creates the profile folder and its three files when missing; false when one cannot be.
  bool ProfileFilesUsable();
  void ReadProfile();
  void WriteProfile();
  void OpenOrNew(std::string_view title);
  void ApplyRunOverrides();
  void RestoreHeldValues();
  Options ProfileOptions() const;
  std::string notes_;
  RunOverrides overrides_;
  // The profile's server, port, account and password while the command line stands in for them.
  std::array<std::string, 4> held_;
  std::optional<std::string> start_profile_;
  AutoAwayCountdown auto_away_;
};

}  // namespace tc
