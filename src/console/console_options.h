// What the command line chooses for the console front end, and the exit statuses a run can end
// with: one list, so that README, the command line and the console cannot disagree.
#pragma once

namespace tc::console {

// Colour escapes: only on a terminal (and not with NO_COLOR or TERM=dumb), always, or never.
enum class ColorChoice { kAuto, kAlways, kNever };

struct ConsoleOptions {
  ColorChoice color = ColorChoice::kAuto;
  bool timestamps = false;  // each printed line begins with the local time, "HH:MM:SS "
};

// Distinct per cause, so that a service manager can tell a refusal worth no restart from a loss.
enum ExitStatus : int {
  kExitOk = 0,
  kExitNoProgramDir = 1,    // the default program directory cannot be created or written
  kExitCommandLine = 2,     // a refused option or value
  kExitDirectoryInUse = 3,  // another process holds the program directory
  kExitWrongPassword = 4,   // the server refused the account name and password
  kExitNoBotAccess = 5,     // the account may not log in through the chat gateway
  kExitNoCredentials = 6,   // no account name, password or server to log in with
};

}  // namespace tc::console
