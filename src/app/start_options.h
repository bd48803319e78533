// What a run of the program starts with, and the one start-up of the core that every front end
// goes through, so the window and the console cannot drift apart.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/client.h"

namespace tc {

struct StartOptions {
  std::filesystem::path program_dir;
  // What the command line sets for this run only; it wins over the stored settings.
  RunOverrides overrides;
  // The settings profile instead of the one last used, as the profile name field takes it
  // (Windows-1252; empty is "Default").
  std::optional<std::string> profile;
  // Activate (database, auto-connect) within the start-up. The window activates on its first
  // paint instead, so that it is on screen before that work begins.
  bool activate_now = true;
};

}  // namespace tc
