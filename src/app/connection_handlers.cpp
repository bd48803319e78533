// What the connection's steps mean for the client: connect toggle, login dialogue, received data,
// disconnects, reconnect policy and the upkeep checks of the one-second tick. The connection's own
// facts live in protocol/connection.h.
#include <algorithm>
#include <optional>
#include <string>

#include "app/client.h"
#include "common/spellings.h"
#include "common/text.h"
#include "persistence/list_lines.h"
#include "send/outbox.h"

namespace tc {

namespace {

constexpr std::string_view kLoginIncorrectBox =
    "The entered account name and password do not exist on Battle.Net, please check your "
    "spelling and try again. Note: This account must already exist, you cannot create a new "
    "account.";
constexpr std::string_view kNoBotAccessBox =
    "This account is not allowed to log in through the chat gateway. Ask the server's "
    "administrator to allow it, or log in with another account.";
constexpr std::string_view kStaleSession =
    "Login failed: the server still holds this account's lost session";

// The socket error as the user reads it.
constexpr SpellingTable<SocketError, 6> kSocketErrorTexts{{
    {SocketError::kConnectionRefused, "Connection refused"},
    {SocketError::kConnectionReset, "Connection reset by the server"},
    {SocketError::kTimedOut, "No answer from the server"},
    {SocketError::kHostNotFound, "Host not found"},
    {SocketError::kNetworkUnreachable, "Network unreachable"},
    {SocketError::kOther, "Network error"},
}};

}  // namespace

void Client::WriteSocket(std::string_view bytes) {
  connection_.Write(bytes);
}

void Client::SetConnectCaption(std::string_view caption) {
  connect_caption_ = std::string(caption);
  frontend_.ConnectCaptionChanged(connect_caption_);
}

void Client::ToggleConnection() {
  Options& o = options_;
  const std::string lower = LowerCase1252(o.account_name);
  bool valid = !o.account_name.empty();
  if (lower == "guest" || lower == "anonymous") {
    o.password.clear();
  } else if (o.password.empty()) {
    valid = false;
  }
  if (o.server.empty() || o.port.empty()) valid = false;
  if (!valid) {
    frontend_.ShowPage(Page::kSetup);
    // Said before any connection: a bot without someone at the keyboard would wait for ever.
    if (connect_caption_ == "Connect") {
      frontend_.LoginStopped(o.account_name.empty()               ? LoginStop::kNoAccountName
                             : o.server.empty() || o.port.empty() ? LoginStop::kNoServer
                                                                  : LoginStop::kNoPassword);
    }
    return;
  }
  frontend_.ShowPage(Page::kChat);

  if (connect_caption_ != "Connect") {
    PerformEvent(Event::kDisconnecting, own_account_, "");
    connection_.SetClosedByUser(true);
    connection_.StopReconnecting();
    ShowLocal("System ( Disconnecting... )");
    connection_.Close();
    if (o.close_on_disconnect == CloseOnDisconnect::kOnlyWhenRequested) {
      frontend_.CloseMainWindow();
    }
    SetConnectCaption("Connect");
    return;
  }

  connection_.SetClosedByUser(false);
  SetConnectCaption("Disconnect");
  frontend_.ClearView(View::kChat);
  channel_field_.clear();
  frontend_.ChannelFieldChanged(channel_field_);
  roster_.Clear();
  seconds_online_ = 0;
  seconds_in_channel_ = 0;
  connection_.Open(o.server);
  ShowLocal("System ( Connecting to (" + connection_.Endpoint() + ")... )");
  connection_.StartConnectTimeout();
}

void Client::OnConnected() {
  connection_.OnConnected();
  const auto pending = whois_.pending;
  whois_ = WhoisCheck{};
  whois_.pending = pending;
  identified_users_.clear();
  ShowLocal("System ( Connected to " + connection_.host() + " at " + TimeText() + " )");
  seconds_online_ = 0;
  seconds_in_channel_ = 0;
  // Ctrl-C selects the chat protocol and Ctrl-D turns the server's echo off; servers of today
  // close the connection on the older "c" CR LF.
  WriteSocket(std::string_view("\x03\x04", 2));
  seconds_timer_.Enable(clock_.NowMs());
  database_.SetPublicChannel(options_.dont_save_public);
}

void Client::OnRead(std::string_view bytes) {
  // Our own echo is recognised line by line (DisplayText), on complete lines only: a read that
  // happens to equal a line we typed ("1") may be the first piece of a server line ("1005 TALK
  // ..."). Servers of today echo nothing, and the echo of older ones is off since the connect.
  for (const std::string& line : connection_.Lines(bytes)) {
    // The one way server bytes become text: UTF-8 where they are UTF-8, else Windows-1252.
    if (!line.empty()) OnServerLine(TextFromServer(line));
  }
}

bool Client::LoginLines(const ServerEvent& event) {
  if (std::holds_alternative<LoginPrompt>(event)) {
    if (connection_.BeginLogin(options_.account_name, options_.password)) {
      const SendEncoding as = options_.send_text_as;
      const std::string login = TextToServer(options_.account_name, as) + "\r\n" +
                                TextToServer(options_.password, as) + "\r\n/beep\r\n";
      WriteSocket(login);
      // The server charges its quota from "/beep" on, not for the account name and password.
      outbox_->CountWritten("/beep");
    }
    return false;
  }
  if (const auto* refused = std::get_if<LoginRefused>(&event)) {
    // The server gives the same answer to a wrong password and to an account it still holds
    // from a connection that died without a goodbye. Credentials it took earlier in this run
    // are not wrong: the old session will go, so the usual reconnect wait applies.
    if (refused->reason == LoginRefusal::kIncorrect && connection_.RefusalIsStaleSession()) {
      ShowLocal("System ( " + std::string(kStaleSession) +
                (options_.reconnect ? ", trying again... )" : " )"));
      connection_.Close();
      return true;
    }
    connection_.SetClosedByUser(true);
    connection_.Close();
    frontend_.ShowPage(Page::kSetup);
    // Credentials never accepted in this run are wrong until the user changes them.
    const bool wrong = refused->reason == LoginRefusal::kIncorrect;
    frontend_.ShowMessage(std::string(wrong ? kLoginIncorrectBox : kNoBotAccessBox));
    frontend_.LoginStopped(wrong ? LoginStop::kWrongPassword : LoginStop::kNoBotAccess);
    return true;
  }
  if (const auto* logged_in = std::get_if<LoggedIn>(&event)) {
    own_account_ = std::string(logged_in->account);
    connection_.OnLoggedIn();
    SetClientState(ClientState::kAvailable);
    PerformEvent(Event::kConnected, own_account_, "");
    return false;
  }
  if (std::holds_alternative<KeepAlive>(event)) connection_.OnKeepAlive();
  return false;
}

void Client::WelcomeSteps() {
  if (!connection_.BeginWelcome()) return;
  // An empty channel name would only make the server print its help.
  std::string channel;
  if (options_.channel_choice == ChannelChoice::kHome) channel = options_.home_channel;
  if (options_.channel_choice == ChannelChoice::kLastVisited) channel = options_.last_channel;
  if (!channel.empty()) {
    const std::string join = "/join " + TextToServer(channel, options_.send_text_as);
    WriteSocket(join + "\r\n");
    outbox_->CountWritten(join);
  }
  anti_idle_timer_.Enable(clock_.NowMs());
}

void Client::OnDisconnected() {
  connection_.OnClosed();
  database_.Disconnected();
  SetClientState(ClientState::kDisconnected);
  SetRecordedOperator("");
  SetConnectCaption("Connect");
  ShowLocal("System ( Disconnected from " + connection_.host() + " at " + TimeText() + " )");
  if (!current_channel_.empty()) options_.last_channel = current_channel_;
  channel_field_.clear();
  frontend_.ChannelFieldChanged(channel_field_);
  current_channel_.clear();
  connection_.OnLoggedOut();
  anti_idle_timer_.Disable();
  seconds_timer_.Disable();
  roster_.Clear();
  outbox_->ConnectionClosed();
  if (options_.close_on_disconnect == CloseOnDisconnect::kAlways) frontend_.CloseMainWindow();

  if (!connection_.closed_by_user() && options_.reconnect) {
    // A server given on the command line is the only one this run may reach.
    if (options_.auto_server && !connection_.pinned()) {
      if (connection_.server_index() == -1) {
        ShowLocal("System ( Searching for fastest Battle.Net server, please wait... )");
        PingUpdate(1000, 5);
      } else {
        ShowLocal("System ( Attempting connection to next fastest server... )");
      }
      // The password belongs to one network's accounts: only rows of the selected server's
      // network are ever walked; a server without a row is simply tried again.
      const std::optional<std::string> network = SelectedNetwork();
      const int rows = servers_.RowCount();
      const int start = connection_.server_index() < 0 ? 0 : connection_.server_index() + 1;
      for (int step = 0; network && step < rows; ++step) {
        const int row = (start + step) % rows;
        if (servers_.RowAt(row).type != *network) continue;
        connection_.SetServerIndex(row);
        options_.server = servers_.RowAt(row).address;
        break;
      }
    }
    ShowLocal("System ( Attempting reconnect in " +
              std::to_string(connection_.reconnect_timer().Interval() / 1000) + " seconds... )");
    connection_.StartReconnectWait();
  }
  PerformEvent(Event::kDisconnected, own_account_, "");
}

void Client::OnError(SocketError error) {
  // Every error the socket passes on leaves the connection or the attempt unusable: a reset, a
  // dead peer found by keep-alive, a refused or unroutable attempt. It is said at once, and
  // closing runs the disconnect handling (the socket owes one disconnect after a Close), so a
  // refused attempt reconnects on its own schedule instead of waiting for the connect time-out.
  ShowLocal("System ( Connection to (" + connection_.Endpoint() + ") " +
            (connection_.connected() ? "lost: " : "failed: ") +
            std::string(SpellingOf(kSocketErrorTexts, error)) + " )");
  connection_.Close();
}

std::optional<std::string> Client::SelectedNetwork() const {
  const int row =
      servers_.FindFirst([this](const ServerRow& r) { return r.address == options_.server; });
  if (row < 0) return std::nullopt;
  return servers_.RowAt(row).type;
}

bool Client::AddServer(std::string_view address, std::string_view type) {
  if (address.empty() ||
      servers_.FindFirst([&](const ServerRow& r) { return r.address == address; }) >= 0) {
    return false;
  }
  std::string network(type);
  if (network.empty()) network = SelectedNetwork().value_or("Private");
  InsertSorted(servers_, ServerRow{"???", std::string(address), std::move(network)});
  return true;
}

void Client::PingUpdate(int /*timeout_ms*/, int /*packet_size*/) {
  // The ping sweep sorts the server list; until it exists the rows keep their order. When it
  // comes it measures only rows of SelectedNetwork(): no other network's server is ever contacted.
}

void Client::ConnectTimeoutTick() {
  connection_.StopConnectTimeout();
  if (!current_channel_.empty()) return;
  ShowLocal("System ( Connection to (" + options_.server + ") timed out, disconnecting... )");
  connection_.Close();
}

void Client::ReconnectTick() {
  connection_.SetClosedByUser(false);
  connection_.StopReconnectWait();
  ToggleConnection();
  connection_.BackOff();
}

void Client::OneSecondTick() {
  if (!connection_.connected()) return;
  TickUserTimers();
  TickConnectionCounters();
  TryRejoinForOperator();
  database_.SecondTick();
  // The whois schedule and the online monitor's checks take this place once they exist.
  TickAutoAway();
  TickWatchdog();
  TickBeep();
}

void Client::TickUserTimers() {
  for (const std::string& action : timers_.Tick(ToText(client_state_))) {
    const TaintedText text = Prepare(TaintedText(action), "", "");
    // Only the owner's own markers cut the text: another user's words stay one line.
    for (const TaintedText& line : text.SplitAtTrusted("<timerbreak>")) {
      SendText(line, LineOrigin::kAutomatic);
    }
  }
}

void Client::TickConnectionCounters() {
  ++seconds_online_;
  if (channel_field_.size() > 1) ++seconds_in_channel_;
}

void Client::TickAutoAway() {
  if (!options_.auto_away || !auto_away_.Tick(options_.auto_away_minutes)) return;
  // Operator is a state of this client alone; going away would end it.
  if (connection_.logged_in() && client_state_ != ClientState::kOperator) {
    RequestState(ClientState::kAway);
  }
}

void Client::TickWatchdog() {
  // With keep-alive on, a dead peer ends in a disconnect by itself and an idle server that sends
  // nothing is no reason to worry the user.
  if (connection_.logged_in() && connection_.WatchdogExpired(socket_.KeepAliveEnabled())) {
    ShowLocal("System ( Your connection may be lost, it is recommended that you reconnect. )");
  }
}

void Client::TickBeep() {
  if (connection_.logged_in() && connection_.BeepDue()) SendText("/beep", LineOrigin::kAutomatic);
}

}  // namespace tc
