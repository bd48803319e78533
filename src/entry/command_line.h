// The command line: every option with its value checked, and for a refused one a single line that
// names the option and says what is wrong, as a person fixing a service file needs it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_options.h"

namespace tc::entry {

struct CommandLine {
  bool headless = false;
  bool help = false;
  bool version = false;
  bool list_profiles = false;
  bool new_profile = false;
  bool timestamps = false;
  console::ColorChoice color = console::ColorChoice::kAuto;
  std::optional<std::string> profile;
  std::optional<std::string> dir;
  std::optional<std::string> host;
  std::optional<uint16_t> port;
  std::optional<std::string> account;
  std::optional<std::string> password_file;
  bool export_profile = false;
  std::optional<std::string> export_name;  // --export-profile NAME; none: the profile in use
  std::optional<std::string> import_file;
};

struct ParsedCommandLine {
  CommandLine line;
  std::string error;  // empty when every argument was accepted
};

// The arguments after the program name. Options take their value as "--name VALUE" or
// "--name=VALUE"; the last of a repeated option wins.
ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& args);

extern const std::string_view kUsage;

// Creates the program directory when missing. Empty when it can be used, otherwise why not,
// beginning with the path ("/x is not writable: Permission denied").
std::string PrepareProgramDir(const std::filesystem::path& dir);

struct PasswordFile {
  std::string password;  // the first line without its line end
  std::string error;     // why there is no password; empty when there is one
  std::string warning;   // said on standard error, the password is still used
};

// The first line of the file: a credential handed over by a service manager.
PasswordFile ReadPasswordFile(const std::filesystem::path& path);

// Empty when the profile (Windows-1252, empty for "Default") exists in the directory; otherwise
// the refusal, naming the profiles that do. "Default" always exists: any run makes it.
std::string MissingProfile(const std::filesystem::path& program_dir, const std::string& name);

}  // namespace tc::entry
