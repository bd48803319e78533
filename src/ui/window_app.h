// The desktop program: the application object, the three windows and the core driver.
#pragma once

#include <filesystem>

#include "app/tc_main.h"

namespace tc::ui {

// True when a window can be shown: a display server, or a Qt platform chosen explicitly.
bool DisplayAvailable();

// Runs the window until it closes; returns the exit code.
int RunWindow(int& argc, char** argv, const std::filesystem::path& program_dir,
              const RunOverrides& overrides);

}  // namespace tc::ui
