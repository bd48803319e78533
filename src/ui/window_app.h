// The desktop program: the application object, the three windows and the core driver.
#pragma once

#include <memory>
#include <string>

#include "app/client.h"
#include "app/start_options.h"

namespace tc::platform {
class CoreDriver;
}

namespace tc::ui {

class MainWindow;

// True when a window can be shown: a display server, or a Qt platform chosen explicitly.
bool DisplayAvailable();

// The main window on the real core, socket and clock, set up the way the program starts: the
// settings read, the run's overrides applied, default skins in place, the controls filled. Not yet
// shown; needs the application object.
class WindowProgram {
 public:
  // Activation waits for the window's first paint, whatever `options` ask.
  explicit WindowProgram(const StartOptions& options);
  ~WindowProgram();
  WindowProgram(const WindowProgram&) = delete;
  WindowProgram& operator=(const WindowProgram&) = delete;

  MainWindow& window() { return *window_; }
  const Client& core() const;

 private:
  // The window outlives the driver: the core reports to it until the very end.
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<platform::CoreDriver> driver_;
};

// Runs the window until it closes; returns the exit code. A `missing_profile` text (the command
// line's profile does not exist) is asked about first: Yes creates the profile, No ends the
// program with status 2 before the window opens.
int RunWindow(int& argc, char** argv, const StartOptions& options,
              const std::string& missing_profile = {});

// One message box with `text` before the program ends without its window.
void ShowStartError(int& argc, char** argv, const std::string& text);

}  // namespace tc::ui
