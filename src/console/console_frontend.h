// The console front end (talvexchat --headless): chat lines to a stream in their colours, message
// boxes as "[message] " lines, typed lines into the send path. Output goes to any QIODevice so
// tests can capture it.
#pragma once

#include <QIODevice>
#include <QObject>
#include <functional>
#include <string>
#include <string_view>

#include "console/console_options.h"
#include "ports/ports.h"

namespace tc::platform {
class CoreDriver;
}

namespace tc::console {

struct ConsoleStyle {
  bool color = true;        // 24-bit ANSI colour escapes around each run
  bool terminal = false;    // the output is a terminal (the bell is rung only there)
  bool timestamps = false;  // each line begins with the local time, "HH:MM:SS "
};

// Whether colour escapes are written: "auto" gives them to a terminal only, and never with
// NO_COLOR set (not empty) or TERM=dumb; "always" and "never" override. Unset variables are null.
bool UseColor(ColorChoice choice, bool terminal, const char* no_color, const char* term);

// The style for stdout under the command line's choices and the environment.
ConsoleStyle StdoutStyle(const ConsoleOptions& options);

// The one line on standard error for a login the client stopped, and the exit status it ends
// the run with. `account` is the account name as the options hold it.
std::string LoginStopText(LoginStop why, std::string_view account);
int LoginStopExitStatus(LoginStop why);

// One shown line as the console prints it (UTF-8, escapes, no line end). Control characters from
// the line are replaced so that a server cannot drive the terminal.
std::string RenderLine(View view, const StyledLine& line, bool color);

class ConsoleFrontend : public QObject, public Frontend {
  Q_OBJECT

 public:
  // Chat lines go to `out`, the reason a run ends to `err`.
  ConsoleFrontend(QIODevice& out, QIODevice& err, ConsoleStyle style);

  // The core's driver; typed lines and the shutdown go through it. Set before the loop runs.
  void Attach(platform::CoreDriver& driver) { driver_ = &driver; }

  // A line typed at the console, as UTF-8 without its line end: into the send path, unless it is
  // one of the console's own commands ("/tc-whisperbox add NAME", "/tc-whisperbox remove NAME"),
  // which stand in for the window's whisper-box list.
  void TypedLine(std::string_view utf8);
  // Shuts down from the event loop: Shutdown once, then finished(). Also for SIGINT/SIGTERM.
  void RequestClose();
  // What the program exits with once finished() has come: 0, or why the login stopped.
  int exit_status() const { return exit_status_; }
  // The "HH:MM:SS" of a line's time stamp; the local time unless replaced (tests).
  void SetTimeSource(std::function<std::string()> now) { now_ = std::move(now); }

  void AppendLine(View view, const StyledLine& line) override;
  void ClearView(View view) override;
  void ShowMessage(const std::string& text) override;
  void ShowPage(Page page) override;
  void ShowProgress(const std::string& caption, int maximum) override;
  void StepProgress() override;
  void HideProgress() override;
  void ShowClientState(const std::string& state) override;
  void ShowProfile(const std::string& account, const std::string& own_account) override;
  void ConnectCaptionChanged(const std::string& caption) override;
  void ChannelFieldChanged(const std::string& text) override;
  void Beep() override;
  void CloseMainWindow() override;
  void OpenFile(const std::string& path, const std::string& folder) override;
  // No dialogs here: both are printed and answered with their safe default (nothing, Cancel).
  std::string AskFileName(const std::string& title, const std::string& filter,
                          const std::filesystem::path& folder) override;
  bool AskOkCancel(const std::string& text, const std::string& title) override;
  // One line on standard error, then the shutdown: nobody is there to fix it.
  void LoginStopped(LoginStop why) override;

 signals:
  // The shutdown has run; the program should leave its event loop.
  void finished();

 private:
  // One line without its end: the time stamp when asked for, the text, LF.
  void PrintLine(std::string_view utf8);
  void Print(std::string_view utf8);
  bool ConsoleCommand(const std::string& line);
  bool KeyTestCommand(std::string_view rest);

  QIODevice& out_;
  QIODevice& err_;
  ConsoleStyle style_;
  platform::CoreDriver* driver_ = nullptr;
  bool closing_ = false;
  int exit_status_ = 0;
  std::string last_state_;  // the state line printed last; a repeat is not printed again
  std::function<std::string()> now_;
};

}  // namespace tc::console
