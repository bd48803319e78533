// The connection to the chat server: where it goes (host, port, whether the run is pinned to one
// server), how far it has come (connected, login sent, named, welcomed, logged in), the upkeep
// counters of the one-second tick (the watchdog and the beep), the reconnect back-off and the
// server tried last, the cutting of reads into lines, and its two timers. The client decides
// what each step means for the rest of the program; this class keeps the facts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/core_timer.h"
#include "ports/ports.h"
#include "protocol/line_splitter.h"

namespace tc {

class Connection {
 public:
  static constexpr uint16_t kDefaultPort = 6112;
  static constexpr int64_t kConnectTimeoutMs = 20000;
  static constexpr int64_t kFirstReconnectMs = 5000;
  // The reconnect wait doubles after each attempt up to three minutes; a login starts it again.
  static constexpr int64_t kLongestReconnectMs = 180000;

  Connection(Socket& socket, const Clock& clock);
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // --- Where it goes. A server given on the command line pins the run to it.
  void Pin() { pinned_ = true; }
  void SetPort(uint16_t port) { port_ = port; }

  // --- Opening and closing
  // Opens the socket to `host`; what was left of a read before is forgotten.
  void Open(std::string host);
  void Close() { socket_.Close(); }
  void Write(std::string_view bytes) { socket_.Write(bytes); }
  // The socket says it is open: a fresh connection, nothing of the last one holds.
  void OnConnected();
  // The socket closed: not connected, no login under way, no beep confirmed.
  void OnClosed();
  // The logged-in flag goes a little later than the rest: the state changes of a disconnect
  // still see the account logged in. The connect time-out ends with it.
  void OnLoggedOut();
  // Whether the owner (or a refused login) ended the connection; no reconnect then.
  void SetClosedByUser(bool by_user) { closed_by_user_ = by_user; }
  // Forgets the last session's flags at start-up.
  void ResetAtStartUp();

  // --- Reads: complete lines, bells taken out. Any read counts as a sign of life.
  std::vector<std::string> Lines(std::string_view bytes);

  // Where the connection goes as the user reads it: the host, and the port when it is not the
  // usual one ("host:port", "[v6 address]:port").
  std::string Endpoint() const;

  // --- The login dialogue
  // True once per connection: the login is to be written now, with these credentials.
  bool BeginLogin(std::string_view account, std::string_view password);
  // The server named the account: logged in, the back-off and the server walk start again, and
  // the credentials sent on this connection are known to be good for the rest of the run.
  void OnLoggedIn();
  // The server refused the credentials sent on this connection although it accepted the same ones
  // earlier in this run: it still holds the session of a connection that died without a goodbye.
  bool RefusalIsStaleSession() const;
  void OnKeepAlive() { watchdog_ = kWatchdogSeconds; }
  // True once per connection, after the naming line: the welcome steps are to run now.
  bool BeginWelcome();

  // --- The one-second tick's upkeep
  // True when the server has been silent so long that the user should hear of it; with
  // keep-alive on a dead peer ends in a disconnect by itself.
  bool WatchdogExpired(bool keep_alive);
  // The server confirmed (or switched off) its audible notification.
  void SetBeepConfirmed(bool confirmed) { beep_confirmed_ = confirmed; }
  // True when a "/beep" is to be sent now to ask for the confirmation again.
  bool BeepDue();
  void ResetBeep();

  // --- Reconnecting and the server walk
  void SetServerIndex(int index) { server_index_ = index; }
  // Stops a waiting reconnect; the next wait is the first again.
  void StopReconnecting();
  void StartReconnectWait() { reconnect_timer_.Enable(clock_.NowMs()); }
  // After an attempt the wait doubles, up to the longest.
  void BackOff();

  // --- Timers: the next deadline, and whether each is due now (a due timer is re-armed).
  std::optional<int64_t> NextDeadline() const;
  bool TakeConnectTimeout(int64_t now_ms);
  bool TakeReconnect(int64_t now_ms);
  void StartConnectTimeout();
  void StopConnectTimeout() { connect_timeout_.Disable(); }
  void StopReconnectWait() { reconnect_timer_.Disable(); }

  const std::string& host() const { return host_; }
  uint16_t port() const { return port_; }
  bool pinned() const { return pinned_; }
  bool connected() const { return connected_; }
  bool logged_in() const { return logged_in_; }
  bool naming_seen() const { return naming_seen_; }
  bool closed_by_user() const { return closed_by_user_; }
  int server_index() const { return server_index_; }
  const CoreTimer& connect_timeout() const { return connect_timeout_; }
  const CoreTimer& reconnect_timer() const { return reconnect_timer_; }

 private:
  static constexpr int kWatchdogSeconds = 300;
  static constexpr int kBeepSeconds = 20;

  Socket& socket_;
  const Clock& clock_;
  std::string host_;
  uint16_t port_ = kDefaultPort;
  bool pinned_ = false;
  bool connected_ = false;
  bool closed_by_user_ = false;
  bool logged_in_ = false;
  bool login_sent_ = false;
  bool naming_seen_ = false;  // a "2010" line came on this connection
  // The account and password written on this connection, and the last ones the server accepted
  // in this run (empty account: none yet).
  std::string sent_account_;
  std::string sent_password_;
  std::string accepted_account_;
  std::string accepted_password_;
  bool welcome_done_ = false;  // the welcome steps ran on this connection
  int server_index_ = -1;      // the row of the server list tried last; -1 none
  int watchdog_ = -1;          // seconds of silence left before the warning; -1 not watching
  bool beep_confirmed_ = false;
  int beep_countdown_ = kBeepSeconds;
  LineSplitter splitter_;
  CoreTimer connect_timeout_{kConnectTimeoutMs};
  CoreTimer reconnect_timer_{kFirstReconnectMs};
};

}  // namespace tc
