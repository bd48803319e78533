// The program entry: the command line, the program directory and its lock, and the choice of the
// front end (the window, or the console). The only part that knows both front ends.
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "app/client.h"
#include "app/start_options.h"
#include "common/text.h"
#include "console/console_app.h"
#include "persistence/profile_names.h"
#include "platform/instance_lock.h"
#include "ui/window_app.h"

namespace {

// 1: the program directory cannot be created; 2: a wrong command line.
constexpr int kExitDirectoryInUse = 3;

constexpr std::string_view kUsage =
    "Usage: talvexchat [--headless] [--dir DIR] [--profile NAME] [--server HOST[:PORT]]\n"
    "                  [--account NAME]\n"
    "       talvexchat [--dir DIR] --list-profiles\n"
    "       talvexchat --help | --version\n"
    "\n"
    "  --headless            run the console front end (chat on stdout, typed lines on stdin);\n"
    "                        without a display it is chosen anyway\n"
    "  --dir DIR             program directory (default $XDG_DATA_HOME/talvexchat)\n"
    "  --server HOST[:PORT]  connect only to this server (port 6112 when absent)\n"
    "  --profile NAME        settings profile to use (saved as the last used one)\n"
    "  --list-profiles       list the settings profiles of the program directory\n"
    "  --account NAME        account name for this run\n"
    "  --help                show this text\n"
    "  --version             show the build and version\n"
    "\n"
    "The password is read from the environment variable TALVEX_PASSWORD.\n"
    "Exit status: 0 after a normal shutdown, 1 when the program directory cannot be created,\n"
    "2 for a wrong command line, 3 when another process uses the program directory.\n";

struct CommandLine {
  bool headless = false;
  bool help = false;
  bool version = false;
  bool list_profiles = false;
  std::optional<std::string> profile;
  std::optional<std::string> dir;
  std::optional<std::string> host;
  std::optional<uint16_t> port;
  std::optional<std::string> account;
};

std::optional<uint16_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

// HOST, HOST:PORT, [IPv6] or [IPv6]:PORT. A bare IPv6 address (more than one colon) has no port.
bool ParseServer(std::string_view text, CommandLine& cl) {
  std::string_view host = text;
  std::optional<std::string_view> port;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return false;
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return false;
      port = rest.substr(1);
    }
  } else if (const size_t colon = text.find(':');
             colon != std::string_view::npos &&
             text.find(':', colon + 1) == std::string_view::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  }
  if (host.empty()) return false;
  cl.host = std::string(host);
  if (port) {
    cl.port = ParsePort(*port);
    if (!cl.port) return false;
  }
  return true;
}

// Accepts "--name VALUE" and "--name=VALUE".
bool TakeValue(int argc, char** argv, int& i, std::string_view name, std::string& value) {
  const std::string_view arg = argv[i];
  if (arg == name) {
    if (i + 1 >= argc) return false;
    value = argv[++i];
    return true;
  }
  if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
    value = std::string(arg.substr(name.size() + 1));
    return true;
  }
  return false;
}

bool IsOption(std::string_view arg, std::string_view name) {
  return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                         arg[name.size()] == '=');
}

std::optional<CommandLine> Parse(int argc, char** argv) {
  CommandLine cl;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::string value;
    if (arg == "--headless") {
      cl.headless = true;
    } else if (arg == "--help" || arg == "-h") {
      cl.help = true;
    } else if (arg == "--version") {
      cl.version = true;
    } else if (arg == "--list-profiles") {
      cl.list_profiles = true;
    } else if (IsOption(arg, "--profile")) {
      if (!TakeValue(argc, argv, i, "--profile", value)) return std::nullopt;
      cl.profile = value;
    } else if (IsOption(arg, "--dir")) {
      if (!TakeValue(argc, argv, i, "--dir", value) || value.empty()) return std::nullopt;
      cl.dir = value;
    } else if (IsOption(arg, "--server")) {
      if (!TakeValue(argc, argv, i, "--server", value) || !ParseServer(value, cl)) {
        return std::nullopt;
      }
    } else if (IsOption(arg, "--account")) {
      if (!TakeValue(argc, argv, i, "--account", value) || value.empty()) return std::nullopt;
      cl.account = value;
    } else {
      return std::nullopt;
    }
  }
  return cl;
}

std::filesystem::path DefaultProgramDir() {
  // GenericDataLocation honours XDG_DATA_HOME and falls back to ~/.local/share.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return std::filesystem::path(data.toStdString()) / "talvexchat";
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<CommandLine> parsed = Parse(argc, argv);
  if (!parsed) {
    std::fputs(kUsage.data(), stderr);
    return 2;
  }
  const CommandLine& cl = *parsed;
  if (cl.help) {
    std::fputs(kUsage.data(), stdout);
    return 0;
  }
  if (cl.version) {
    std::printf("Talvex Chat 2000 Build %s (talvexchat %s)\n",
                std::string(tc::Client::kBuild).c_str(), TC_VERSION);
    return 0;
  }

  // Absolute from the start, so that the current directory never matters later. Every call has
  // its error_code form: a directory that cannot be used is a message and an exit status.
  std::error_code ec;
  const std::filesystem::path given = cl.dir ? std::filesystem::path(*cl.dir) : DefaultProgramDir();
  std::filesystem::path dir = std::filesystem::absolute(given, ec);
  if (ec) dir = given;
  std::filesystem::create_directories(dir, ec);
  if (!std::filesystem::is_directory(dir, ec)) {
    std::fprintf(stderr, "talvexchat: cannot create the program directory %s\n",
                 dir.string().c_str());
    return 1;
  }

  if (cl.list_profiles) {
    for (const std::string& name : tc::ListProfiles(dir)) std::printf("%s\n", name.c_str());
    return 0;
  }

  // Before anything is written there: a second program on the same directory would overwrite
  // the database, the profile and the logs of the first.
  const tc::platform::InstanceLock lock(dir);
  if (!lock.held()) {
    const std::string text = "talvexchat: " + lock.error();
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!cl.headless && tc::ui::DisplayAvailable()) tc::ui::ShowStartError(argc, argv, text);
    return kExitDirectoryInUse;
  }

  tc::StartOptions options;
  options.program_dir = dir;
  if (cl.host) options.overrides.server = *cl.host;
  if (cl.host) options.overrides.port = cl.port.value_or(tc::Client::kDefaultPort);
  if (cl.account) options.overrides.account = tc::TextFromBytes(*cl.account);
  if (const char* password = std::getenv("TALVEX_PASSWORD"); password != nullptr) {
    options.overrides.password = tc::TextFromBytes(password);
  }
  // As the profile name field would take it; an empty name is "Default".
  if (cl.profile) options.profile = tc::TextFromBytes(*cl.profile);

  if (!cl.headless) {
    if (tc::ui::DisplayAvailable()) return tc::ui::RunWindow(argc, argv, options);
    std::fputs("talvexchat: no display available; running the console front end.\n", stderr);
  }
  return tc::console::RunConsole(argc, argv, options);
}
