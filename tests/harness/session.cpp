#include "harness/session.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace tc::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  const auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = base / ("talvex-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) +
                    "-" + std::to_string(rd() % 100000));
    std::error_code ec;
    if (std::filesystem::create_directory(path_, ec)) return;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Fixture(const std::string& name) {
  return ReadFile(std::filesystem::path(TC_FIXTURES_DIR) / "pvpgn" / name);
}

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> out;
  size_t from = 0;
  for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", from)) {
    out.push_back(bytes.substr(from, at - from));
    from = at + 2;
  }
  if (from < bytes.size()) out.push_back(bytes.substr(from));
  return out;
}

Session::Session() : temp(std::make_unique<TempDir>()), dir(temp->path()) {
  main = std::make_unique<Client>(socket, clock, ui, dir);
}

Session::Session(const std::filesystem::path& program_dir) : dir(program_dir) {
  main = std::make_unique<Client>(socket, clock, ui, dir);
}

void Session::StartUp(bool auto_connect) {
  main->Initialise();
  main->options().auto_connect = auto_connect;
  main->Activate();
}

void Session::Connected() {
  socket.state = FakeSocket::State::kOpen;
  main->OnConnected();
}

void Session::Receive(std::string_view bytes) {
  main->OnRead(bytes);
}

void Session::Server(std::string_view line) {
  Receive(std::string(line) + "\r\n");
}

void Session::ServerCloses() {
  socket.state = FakeSocket::State::kClosed;
  socket.disconnect_pending = false;
  main->OnDisconnected();
}

void Session::DeliverPendingDisconnect() {
  if (!socket.disconnect_pending) return;
  socket.disconnect_pending = false;
  main->OnDisconnected();
}

void Session::LogIn(std::string_view account, std::string_view channel) {
  main->options().account_name = std::string(account);
  if (main->options().password.empty()) main->options().password = "secret";
  main->ToggleConnection();
  Connected();
  Receive(
      "BOT or Telnet Connection from [127.0.0.1]\r\n\r\nEnter your account name and "
      "password.\r\nSorry, there is no guest account.\r\n\r\nUsername: ");
  Receive(std::string(account) + "\r\nPassword: \r\n");
  Server("2010 NAME " + std::string(account));
  Server("1007 CHANNEL \"" + std::string(channel) + "\"");
  Server("1001 USER " + std::string(account) + " 0010 [CHAT]");
}

void Session::Advance(int64_t ms) {
  const int64_t target = clock.NowMs() + ms;
  while (true) {
    DeliverPendingDisconnect();
    const auto next = main->NextDeadline();
    if (!next || *next > target) break;
    clock.SetNowMs(std::max(*next, clock.NowMs()));
    main->OnTimer();
  }
  clock.SetNowMs(target);
  DeliverPendingDisconnect();
}

std::vector<std::string> WrittenLines(Session& s) {
  return SplitLines(s.Written());
}

}  // namespace tc::test
