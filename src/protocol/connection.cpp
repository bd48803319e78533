#include "protocol/connection.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tc {

Connection::Connection(Socket& socket, const Clock& clock) : socket_(socket), clock_(clock) {}

void Connection::Open(std::string host) {
  host_ = std::move(host);
  splitter_.Reset();
  socket_.Open(host_, port_);
}

void Connection::OnConnected() {
  watchdog_ = -1;
  closed_by_user_ = false;
  connected_ = true;
  login_sent_ = false;
  naming_seen_ = false;
  welcome_done_ = false;
  splitter_.Reset();
}

void Connection::OnClosed() {
  connected_ = false;
  beep_confirmed_ = false;
  login_sent_ = false;
  splitter_.Reset();
}

void Connection::OnLoggedOut() {
  logged_in_ = false;
  connect_timeout_.Disable();
  connect_timeout_.SetInterval(kConnectTimeoutMs, clock_.NowMs());
}

void Connection::ResetAtStartUp() {
  logged_in_ = false;
  closed_by_user_ = false;
  login_sent_ = false;
  server_index_ = -1;
}

std::vector<std::string> Connection::Lines(std::string_view bytes) {
  watchdog_ = kWatchdogSeconds;
  std::vector<std::string> lines = splitter_.Feed(bytes);
  for (std::string& line : lines) std::erase(line, '\x07');
  return lines;
}

std::string Connection::Endpoint() const {
  if (port_ == kDefaultPort) return host_;
  const bool v6 = host_.find(':') != std::string::npos;
  return (v6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

bool Connection::BeginLogin(std::string_view account, std::string_view password) {
  if (login_sent_) return false;
  login_sent_ = true;
  sent_account_ = std::string(account);
  sent_password_ = std::string(password);
  return true;
}

void Connection::OnLoggedIn() {
  reconnect_timer_.SetInterval(kFirstReconnectMs, clock_.NowMs());
  logged_in_ = true;
  naming_seen_ = true;
  server_index_ = -1;
  if (!login_sent_) return;
  accepted_account_ = sent_account_;
  accepted_password_ = sent_password_;
}

bool Connection::RefusalIsStaleSession() const {
  return login_sent_ && !accepted_account_.empty() && sent_account_ == accepted_account_ &&
         sent_password_ == accepted_password_;
}

bool Connection::BeginWelcome() {
  if (welcome_done_) return false;
  welcome_done_ = true;
  return true;
}

bool Connection::WatchdogExpired(bool keep_alive) {
  if (watchdog_ == -1 || keep_alive) return false;
  if (watchdog_ > 0) {
    --watchdog_;
    return false;
  }
  watchdog_ = kWatchdogSeconds;
  return true;
}

bool Connection::BeepDue() {
  if (beep_confirmed_) return false;
  if (beep_countdown_ > 0) {
    --beep_countdown_;
    return false;
  }
  beep_countdown_ = kBeepSeconds;
  return true;
}

void Connection::ResetBeep() {
  beep_confirmed_ = false;
  beep_countdown_ = kBeepSeconds;
}

void Connection::StopReconnecting() {
  reconnect_timer_.Disable();
  reconnect_timer_.SetInterval(kFirstReconnectMs, clock_.NowMs());
}

void Connection::BackOff() {
  if (reconnect_timer_.Interval() < kLongestReconnectMs) {
    reconnect_timer_.SetInterval(std::min(reconnect_timer_.Interval() * 2, kLongestReconnectMs),
                                 clock_.NowMs());
  }
}

std::optional<int64_t> Connection::NextDeadline() const {
  std::optional<int64_t> next;
  for (const CoreTimer* timer : {&connect_timeout_, &reconnect_timer_}) {
    if (timer->Enabled() && (!next || timer->Due() < *next)) next = timer->Due();
  }
  return next;
}

bool Connection::TakeConnectTimeout(int64_t now_ms) {
  if (!connect_timeout_.IsDue(now_ms)) return false;
  connect_timeout_.Rearm(now_ms);
  return true;
}

bool Connection::TakeReconnect(int64_t now_ms) {
  if (!reconnect_timer_.IsDue(now_ms)) return false;
  reconnect_timer_.Rearm(now_ms);
  return true;
}

void Connection::StartConnectTimeout() {
  connect_timeout_.SetInterval(kConnectTimeoutMs, clock_.NowMs());
  connect_timeout_.Enable(clock_.NowMs());
}

}  // namespace tc
