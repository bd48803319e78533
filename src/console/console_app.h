// The console program (talvexchat --headless, or no display): the application object, the console
// front end on stdout and stdin, and the core driver.
#pragma once

#include "app/start_options.h"
#include "console/console_options.h"

namespace tc::console {

// Runs the console front end until it shuts down; returns the exit status (console_options.h).
int RunConsole(int& argc, char** argv, const StartOptions& options,
               const ConsoleOptions& console_options);

}  // namespace tc::console
