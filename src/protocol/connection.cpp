// The connection: connect toggle, login dialogue, received data, disconnects, reconnect policy and
// the upkeep checks of the one-second tick.
#include <algorithm>
#include <optional>
#include <string>

#include "app/tc_main.h"
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

// The reconnect wait doubles after each attempt up to three minutes; a login starts it again.
constexpr int64_t kLongestReconnectMs = 180000;

}  // namespace

void TC_Main::WriteSocket(std::string_view bytes) {
  socket_.Write(bytes);
}

void TC_Main::SetConnectCaption(std::string_view caption) {
  connect_caption_ = std::string(caption);
  frontend_.ConnectCaptionChanged(connect_caption_);
}

void TC_Main::Connect_Image1Click() {
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
    return;
  }
  frontend_.ShowPage(Page::kChat);

  if (connect_caption_ != "Connect") {
    PerformEvent("#Disconnecting", own_account_, "");
    user_disconnect_ = true;
    reconnect_timer_.Disable();
    reconnect_timer_.SetInterval(5000, clock_.NowMs());
    DisplayText("System ( Disconnecting... )", 5);
    socket_.Close();
    if (o.close_on_disconnect == CloseOnDisconnect::kOnlyWhenRequested) {
      frontend_.CloseMainWindow();
    }
    SetConnectCaption("Connect");
    return;
  }

  user_disconnect_ = false;
  SetConnectCaption("Disconnect");
  frontend_.ClearView(View::kChat);
  channel_field_.clear();
  frontend_.ChannelFieldChanged(channel_field_);
  users_.Clear();
  seconds_online_ = 0;
  seconds_in_channel_ = 0;
  host_ = o.server;
  splitter_.Reset();
  socket_.Open(host_, port_);
  DisplayText("System ( Connecting to (" + host_ + ")... )", 5);
  connect_timeout_.SetInterval(20000, clock_.NowMs());
  connect_timeout_.Enable(clock_.NowMs());
}

void TC_Main::OnConnected() {
  watchdog_ = -1;
  const auto pending = whois_.pending;
  whois_ = WhoisCheck{};
  whois_.pending = pending;
  user_disconnect_ = false;
  connected_ = true;
  login_sent_ = false;
  naming_seen_ = false;
  welcome_done_ = false;
  identified_users_.clear();
  splitter_.Reset();
  DisplayText("System ( Connected to " + host_ + " at " + TimeText() + " )", 5);
  seconds_online_ = 0;
  seconds_in_channel_ = 0;
  // Ctrl-C selects the chat protocol and Ctrl-D turns the server's echo off; servers of today
  // close the connection on the older "c" CR LF.
  WriteSocket(std::string_view("\x03\x04", 2));
  seconds_timer_.Enable(clock_.NowMs());
  database_.SetPublicChannel(options_.dont_save_public);
}

void TC_Main::OnRead(std::string_view bytes) {
  watchdog_ = 300;
  // Our own echo is recognised line by line (DisplayText), on complete lines only: a read that
  // happens to equal a line we typed ("1") may be the first piece of a server line ("1005 TALK
  // ..."). Servers of today echo nothing, and the echo of older ones is off since the connect.
  for (std::string& line : splitter_.Feed(bytes)) {
    std::erase(line, '\x07');
    if (!line.empty()) DisplayText(line, 1);
  }
}

bool TC_Main::LoginLines(const ServerEvent& event) {
  if (std::holds_alternative<LoginPrompt>(event)) {
    if (!login_sent_) {
      login_sent_ = true;
      const std::string login =
          options_.account_name + "\r\n" + options_.password + "\r\n/beep\r\n";
      WriteSocket(login);
      // The server charges its quota from "/beep" on, not for the account name and password.
      outbox_->CountWritten("/beep");
    }
    return false;
  }
  if (const auto* refused = std::get_if<LoginRefused>(&event)) {
    user_disconnect_ = true;
    socket_.Close();
    frontend_.ShowPage(Page::kSetup);
    frontend_.ShowMessage(std::string(
        refused->reason == LoginRefusal::kIncorrect ? kLoginIncorrectBox : kNoBotAccessBox));
    return true;
  }
  if (const auto* logged_in = std::get_if<LoggedIn>(&event)) {
    own_account_ = std::string(logged_in->account);
    reconnect_timer_.SetInterval(5000, clock_.NowMs());
    logged_in_ = true;
    naming_seen_ = true;
    fastest_server_index_ = -1;
    StateChange("Available");
    PerformEvent("#Connected", own_account_, "");
    return false;
  }
  if (std::holds_alternative<KeepAlive>(event)) watchdog_ = 300;
  return false;
}

void TC_Main::WelcomeSteps() {
  if (welcome_done_) return;
  welcome_done_ = true;
  // An empty channel name would only make the server print its help.
  if (options_.channel_choice == ChannelChoice::kHome && !options_.home_channel.empty()) {
    WriteSocket("/join " + options_.home_channel + "\r\n");
    outbox_->CountWritten("/join " + options_.home_channel);
  }
  if (options_.channel_choice == ChannelChoice::kLastVisited && !options_.last_channel.empty()) {
    WriteSocket("/join " + options_.last_channel + "\r\n");
    outbox_->CountWritten("/join " + options_.last_channel);
  }
  anti_idle_timer_.Enable(clock_.NowMs());
}

void TC_Main::OnDisconnected() {
  connected_ = false;
  database_.Disconnected();
  StateChange("Disconnected");
  CO_Change("");
  beep_enabled_ = false;
  login_sent_ = false;
  splitter_.Reset();
  SetConnectCaption("Connect");
  DisplayText("System ( Disconnected from " + host_ + " at " + TimeText() + " )", 5);
  if (!current_channel_.empty()) options_.last_channel = current_channel_;
  channel_field_.clear();
  frontend_.ChannelFieldChanged(channel_field_);
  current_channel_.clear();
  logged_in_ = false;
  anti_idle_timer_.Disable();
  connect_timeout_.Disable();
  connect_timeout_.SetInterval(20000, clock_.NowMs());
  seconds_timer_.Disable();
  users_.Clear();
  outbox_->ConnectionClosed();
  if (options_.close_on_disconnect == CloseOnDisconnect::kAlways) frontend_.CloseMainWindow();

  if (!user_disconnect_ && options_.reconnect) {
    // A server given on the command line is the only one this run may reach.
    if (options_.auto_server && !pinned_server_) {
      if (fastest_server_index_ == -1) {
        DisplayText("System ( Searching for fastest Battle.Net server, please wait... )", 5);
        PingUpdate(1000, 5);
      } else {
        DisplayText("System ( Attempting connection to next fastest server... )", 5);
      }
      // The password belongs to one network's accounts: only rows of the selected server's
      // network are ever walked; a server without a row is simply tried again.
      const std::optional<std::string> network = SelectedNetwork();
      const int rows = servers_.RowCount();
      const int start = fastest_server_index_ < 0 ? 0 : fastest_server_index_ + 1;
      for (int step = 0; network && step < rows; ++step) {
        const int row = (start + step) % rows;
        if (servers_.Cell(row, 2) != *network) continue;
        fastest_server_index_ = row;
        options_.server = servers_.Cell(row, 1);
        break;
      }
    }
    DisplayText("System ( Attempting reconnect in " +
                    std::to_string(reconnect_timer_.Interval() / 1000) + " seconds... )",
                5);
    reconnect_timer_.Enable(clock_.NowMs());
  }
  PerformEvent("#Disconnected", own_account_, "");
}

void TC_Main::OnError(SocketError /*error*/) {
  // Every error the socket passes on leaves the connection or the attempt unusable: a reset, a
  // dead peer found by keep-alive, a refused or unroutable attempt. Closing runs the disconnect
  // handling (the socket owes one disconnect after a Close), so a refused attempt reconnects on
  // its own schedule instead of waiting for the connect time-out. Nothing is shown.
  socket_.Close();
}

std::optional<std::string> TC_Main::SelectedNetwork() const {
  const int row = servers_.FindFirst(1, options_.server);
  if (row < 0) return std::nullopt;
  return servers_.Cell(row, 2);
}

bool TC_Main::AddServer(std::string_view address, std::string_view type) {
  if (address.empty() || servers_.FindFirst(1, address) >= 0) return false;
  std::string network(type);
  if (network.empty()) network = SelectedNetwork().value_or("Private");
  InsertSorted(servers_, {"???", std::string(address), std::move(network)});
  return true;
}

void TC_Main::PingUpdate(int /*timeout_ms*/, int /*packet_size*/) {
  // The ping sweep sorts the server list; until it exists the rows keep their order. When it
  // comes it measures only rows of SelectedNetwork(): no other network's server is ever contacted.
}

void TC_Main::ConnectTimeoutTick() {
  connect_timeout_.Disable();
  if (!current_channel_.empty()) return;
  DisplayText("System ( Connection to (" + options_.server + ") timed out, disconnecting... )", 5);
  socket_.Close();
}

void TC_Main::ReconnectTick() {
  user_disconnect_ = false;
  reconnect_timer_.Disable();
  Connect_Image1Click();
  if (reconnect_timer_.Interval() < kLongestReconnectMs) {
    reconnect_timer_.SetInterval(std::min(reconnect_timer_.Interval() * 2, kLongestReconnectMs),
                                 clock_.NowMs());
  }
}

void TC_Main::OneSecondTick() {
  if (!connected_) return;
  ++seconds_online_;
  if (channel_field_.size() > 1) ++seconds_in_channel_;
  TryRejoinForOperator();
  database_.SecondTick();
  // With keep-alive on, a dead peer ends in a disconnect by itself and an idle server that sends
  // nothing is no reason to worry the user.
  if (logged_in_ && watchdog_ != -1 && !socket_.KeepAliveEnabled()) {
    if (watchdog_ > 0) {
      --watchdog_;
    } else {
      DisplayText("System ( Your connection may be lost, it is recommended that you reconnect. )",
                  5);
      watchdog_ = 300;
    }
  }
  if (logged_in_ && !beep_enabled_) {
    if (beep_countdown_ > 0) {
      --beep_countdown_;
    } else {
      SendText("/beep", LineOrigin::kAutomatic);
      beep_countdown_ = 20;
    }
  }
}

}  // namespace tc
