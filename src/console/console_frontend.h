// The console front end (talvexchat --headless): chat lines to a stream in their colours, message
// boxes as "[message] " lines, typed lines into the send path. Output goes to any QIODevice so
// tests can capture it.
#pragma once

#include <QIODevice>
#include <QObject>
#include <string>
#include <string_view>

#include "ports/ports.h"

namespace tc::platform {
class CoreDriver;
}

namespace tc::console {

struct ConsoleStyle {
  bool color = true;      // 24-bit ANSI colour escapes around each run
  bool terminal = false;  // the output is a terminal (the bell is rung only there)
};

// The style for stdout: colour unless NO_COLOR is set and not empty.
ConsoleStyle StdoutStyle();

// One shown line as the console prints it (UTF-8, escapes, no line end). Control characters from
// the line are replaced so that a server cannot drive the terminal.
std::string RenderLine(View view, const StyledLine& line, bool color);

class ConsoleFrontend : public QObject, public Frontend {
  Q_OBJECT

 public:
  ConsoleFrontend(QIODevice& out, ConsoleStyle style);

  // The core's driver; typed lines and the shutdown go through it. Set before the loop runs.
  void Attach(platform::CoreDriver& driver) { driver_ = &driver; }

  // A line typed at the console, as UTF-8 without its line end: into the send path, unless it is
  // one of the console's own commands ("/tc-whisperbox add NAME", "/tc-whisperbox remove NAME"),
  // which stand in for the window's whisper-box list.
  void TypedLine(std::string_view utf8);
  // Shuts down from the event loop: Shutdown once, then finished(). Also for SIGINT/SIGTERM.
  void RequestClose();

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

 signals:
  // The shutdown has run; the program should leave its event loop.
  void finished();

 private:
  void Print(std::string_view utf8);
  bool ConsoleCommand(const std::string& line);

  QIODevice& out_;
  ConsoleStyle style_;
  platform::CoreDriver* driver_ = nullptr;
  bool closing_ = false;
};

}  // namespace tc::console
