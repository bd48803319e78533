// The core's ports: what the core asks of the world. Front ends (the Qt window, the console) and
// the test harness implement them; the core never opens a socket, reads a clock or shows a dialog
// by itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/colors.h"
#include "ports/clock.h"

namespace tc {

// What went wrong on the socket, in the core's own words; each platform adapter maps its errors
// to these once.
enum class SocketError {
  kConnectionRefused,   // nothing listens at the address
  kConnectionReset,     // the peer reset the connection
  kTimedOut,            // the attempt, or keep-alive probes of an open connection, got no answer
  kHostNotFound,        // the name does not resolve
  kNetworkUnreachable,  // no route to the address
  kOther,
};

// The one TCP connection. Contract: after Open(), exactly one of OnConnected or (later) a
// disconnect/error follows; after Close() on a socket that is open or opening (a failed attempt
// included), the driver delivers one OnDisconnected later (never from inside Close itself).
// Write() on a closed socket is ignored.
class Socket {
 public:
  virtual ~Socket() = default;
  virtual void Open(const std::string& host, uint16_t port) = 0;
  virtual void Close() = 0;
  virtual void Write(std::string_view bytes) = 0;
  // True while the open connection has TCP keep-alive on: a peer that went away unannounced then
  // ends in a disconnect without anything from the core.
  virtual bool KeepAliveEnabled() const = 0;
};

enum class View { kChat, kWhisper };

// One coloured stretch of a shown line: bytes [begin, begin + length) of the text.
struct ColorRun {
  size_t begin = 0;
  size_t length = 0;
  Color color = 0;
};

// A line as the chat output built it: the text and non-overlapping runs covering it in order.
struct StyledLine {
  std::string text;
  std::vector<ColorRun> runs;
};

// Pages of the main window.
enum class Page { kChat, kBrowser, kChannels, kMonitor, kOptions, kSetup };

// Why the client stopped logging in: nothing it can do by itself will get it in, so someone has to
// act (a wrong password, an account the server keeps out, credentials or a server missing).
enum class LoginStop { kWrongPassword, kNoBotAccess, kNoAccountName, kNoPassword, kNoServer };

// Everything a person sees or answers. A short, flat list; front ends render, the core decides.
class Frontend {
 public:
  virtual ~Frontend() = default;
  virtual void AppendLine(View view, const StyledLine& line) = 0;
  virtual void ClearView(View view) = 0;
  // A message box with an OK button only.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void ShowPage(Page page) = 0;
  virtual void ShowProgress(const std::string& caption, int maximum) = 0;
  virtual void StepProgress() = 0;
  virtual void HideProgress() = 0;
  // The client state changed: state icon, label, hint and tray icon follow it.
  virtual void ShowClientState(const std::string& state) = 0;
  // The profile window, captioned "Information for " + account, told the own account name.
  virtual void ShowProfile(const std::string& account, const std::string& own_account) = 0;
  virtual void ConnectCaptionChanged(const std::string& caption) = 0;
  virtual void ChannelFieldChanged(const std::string& text) = 0;
  virtual void Beep() = 0;
  // Asks the front end to close the main window; it runs Client::Shutdown soon after, outside
  // the current call.
  virtual void CloseMainWindow() = 0;
  // Opens a file through the desktop shell (default verb, no parameters) in `folder`.
  virtual void OpenFile(const std::string& path, const std::string& folder) = 0;
  // The file-open dialog with a title, a filter ("User Files (*.usr)|*.usr") and a starting folder:
  // the chosen or typed file name, or empty when nothing was chosen.
  virtual std::string AskFileName(const std::string& title, const std::string& filter,
                                  const std::filesystem::path& folder) = 0;
  // A message box with OK and Cancel: true for OK.
  virtual bool AskOkCancel(const std::string& text, const std::string& title) = 0;
  // The client stopped logging in, after its message box or the Setup page said why. The window
  // waits for the user; a run without one ends.
  virtual void LoginStopped(LoginStop why) = 0;
};

}  // namespace tc
