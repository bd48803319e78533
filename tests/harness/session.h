// A whole client in a box: a real Client on the fake ports, with the verbs a test scenario needs.
//
//   Session s;                       // program directory in a fresh temporary folder
//   s.StartUp();                     // Initialise + Activate (auto-connect is off by default)
//   s.LogIn("talvexbot");            // connect, handshake, credentials, 2010, 1007 "Chat"
//   s.Server("1002 JOIN bob 0010 [CHAT]");
//   EXPECT_TRUE(s.ui.Showed("Joins ( bob ) (09:30:00)"));
//   s.Advance(5000);                 // fires every timer due on the way, in order
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/client.h"
#include "harness/fakes.h"

namespace tc::test {

// A temporary folder removed with its contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Every byte of a file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);
// Replaces a file's bytes, making its folder first.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
// A recorded server transcript from tests/fixtures/pvpgn.
std::string Fixture(const std::string& name);
// Bytes cut at CR LF; a last piece without its CR LF is kept.
std::vector<std::string> SplitLines(const std::string& bytes);

// Asks a Session to start up as soon as it is made.
struct StartedUp {};
inline constexpr StartedUp kStartedUp{};

class Session {
 public:
  Session();
  explicit Session(const std::filesystem::path& program_dir);
  explicit Session(StartedUp) : Session() { StartUp(); }
  Session(const std::filesystem::path& program_dir, StartedUp) : Session(program_dir) { StartUp(); }

  // Initialise, options as the test wants them, Activate. Auto-connect is off unless asked.
  void StartUp(bool auto_connect = false);
  // The socket reports connected (after the core opened it).
  void Connected();
  // Bytes as the server sends them, in one read.
  void Receive(std::string_view bytes);
  // One server line; CR LF is added.
  void Server(std::string_view line);
  // The socket closes under the core and the driver reports it; also delivers a disconnect the
  // core owes itself after closing the socket.
  void ServerCloses();
  void DeliverPendingDisconnect();
  // Connect toggle, connected, the server's prompt, the naming line and the channel entry.
  void LogIn(std::string_view account = "talvexbot", std::string_view channel = "Chat");
  // Moves the virtual clock forward, firing each timer at its own deadline.
  void Advance(int64_t ms);
  // Everything written to the socket since the last call.
  std::string Written() { return socket.TakeWritten(); }

  std::unique_ptr<TempDir> temp;
  std::filesystem::path dir;
  VirtualClock clock;
  FakeSocket socket;
  FakeFrontend ui;
  std::unique_ptr<Client> main;
  Client& core() { return *main; }
};

// The lines written to the socket since the last call, without their CR LF.
std::vector<std::string> WrittenLines(Session& s);

}  // namespace tc::test
