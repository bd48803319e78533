#include "entry/command_line.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/text.h"
#include "persistence/profile_names.h"
#include "persistence/settings_file.h"

namespace tc::entry {

const std::string_view kUsage =
    "Usage: talvexchat [--headless] [--dir DIR] [--profile NAME [--new-profile]]\n"
    "                  [--server HOST[:PORT]] [--account NAME] [--password-file PATH]\n"
    "                  [--color=auto|always|never] [--timestamps]\n"
    "       talvexchat [--dir DIR] --list-profiles\n"
    "       talvexchat [--dir DIR] --export-profile [NAME]\n"
    "       talvexchat [--dir DIR] --import-profile FILE [--profile NAME]\n"
    "       talvexchat --help | --version\n"
    "\n"
    "  --headless            run the console front end (chat on stdout, typed lines on stdin);\n"
    "                        without a display it is chosen anyway\n"
    "  --dir DIR             program directory (default $XDG_DATA_HOME/talvexchat)\n"
    "  --server HOST[:PORT]  connect only to this server (port 6112 when absent)\n"
    "  --profile NAME        settings profile to use (saved as the last used one)\n"
    "  --new-profile         create the --profile NAME when it does not exist yet\n"
    "  --list-profiles       list the settings profiles of the program directory\n"
    "  --export-profile      print a profile as text (UTF-8, one setting a line)\n"
    "  --import-profile FILE write the profile (--profile NAME, else Default) from such text\n"
    "  --account NAME        account name for this run\n"
    "  --password-file PATH  read the password from the first line of PATH\n"
    "  --color=WHEN          console colours: auto (a terminal only), always, never\n"
    "  --timestamps          begin each console line with the time (HH:MM:SS)\n"
    "  --help                show this text\n"
    "  --version             show the build and version\n"
    "\n"
    "The password is read from --password-file, else from the environment variable\n"
    "TALVEX_PASSWORD. Exit status: 0 after a normal shutdown, 1 when the program directory\n"
    "cannot be used, 2 for a wrong command line, 3 when another process uses the program\n"
    "directory; headless, 4 for a refused password, 5 for an account without bot access,\n"
    "6 when there is no account name, password or server to log in with.\n";

namespace {

constexpr std::string_view kServerForm = "is not HOST or HOST:PORT";

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// A name to connect to; never resolved here.
bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  for (const char c : host) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '.' || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool IsIpv6(std::string_view host) {
  std::array<unsigned char, 16> address{};
  return inet_pton(AF_INET6, std::string(host).c_str(), address.data()) == 1;
}

// Empty when accepted.
std::string TakePort(std::string_view text, CommandLine& cl) {
  if (text.empty()) return "port is empty";
  for (const char c : text) {
    if (c < '0' || c > '9') return "port " + Quoted(text) + " is not a number";
  }
  const size_t first = text.find_first_not_of('0');
  const std::string_view digits = first == std::string_view::npos ? "0" : text.substr(first);
  const int value = digits.size() > 5 ? 0 : SafeStrToInt(digits);
  if (value < 1 || value > 65535) return "port " + std::string(text) + " is out of range (1-65535)";
  cl.port = static_cast<uint16_t>(value);
  return {};
}

// HOST, HOST:PORT, [IPv6] or [IPv6]:PORT; a bare IPv6 address (more than one colon) has no port.
std::string TakeServer(std::string_view text, CommandLine& cl) {
  std::string_view host = text;
  std::optional<std::string_view> port;
  bool ipv6 = false;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return Quoted(text) + " " + std::string(kServerForm);
    host = text.substr(1, close - 1);
    ipv6 = true;
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return Quoted(text) + " " + std::string(kServerForm);
      port = rest.substr(1);
    }
  } else if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
    if (text.find(':', colon + 1) == std::string_view::npos) {
      host = text.substr(0, colon);
      port = text.substr(colon + 1);
    } else {
      ipv6 = true;
    }
  }
  if (ipv6 ? !IsIpv6(host) : !IsHostName(host)) {
    return Quoted(text) + " " + std::string(kServerForm);
  }
  cl.port.reset();
  if (port) {
    if (std::string error = TakePort(*port, cl); !error.empty()) return error;
  }
  cl.host = std::string(host);
  return {};
}

std::string TakeColor(std::string_view value, CommandLine& cl) {
  using console::ColorChoice;
  if (value == "auto") {
    cl.color = ColorChoice::kAuto;
  } else if (value == "always") {
    cl.color = ColorChoice::kAlways;
  } else if (value == "never") {
    cl.color = ColorChoice::kNever;
  } else {
    return Quoted(value) + " is not auto, always or never";
  }
  return {};
}

std::string NotEmpty(std::string_view value, std::optional<std::string>& field) {
  if (value.empty()) return "the value is empty";
  field = std::string(value);
  return {};
}

struct Option {
  std::string_view name;
  bool CommandLine::*flag = nullptr;  // a switch, set when given
  // An option with a value: empty when accepted, else why not (without the option's name).
  std::string (*take)(std::string_view value, CommandLine& cl) = nullptr;
  // The value may be left out: a following argument that is not an option is taken as it.
  bool value_optional = false;
};

constexpr std::array<Option, 16> kOptions = {{
    {"--headless", &CommandLine::headless},
    {"--help", &CommandLine::help},
    {"-h", &CommandLine::help},
    {"--version", &CommandLine::version},
    {"--list-profiles", &CommandLine::list_profiles},
    {"--new-profile", &CommandLine::new_profile},
    {"--timestamps", &CommandLine::timestamps},
    // An empty name is the "Default" profile, as in the profile name field.
    {"--profile", nullptr,
     [](std::string_view v, CommandLine& cl) {
       cl.profile = std::string(v);
       return std::string();
     }},
    {"--dir", nullptr, [](std::string_view v, CommandLine& cl) { return NotEmpty(v, cl.dir); }},
    {"--server", nullptr, TakeServer},
    {"--account", nullptr,
     [](std::string_view v, CommandLine& cl) { return NotEmpty(v, cl.account); }},
    {"--password-file", nullptr,
     [](std::string_view v, CommandLine& cl) { return NotEmpty(v, cl.password_file); }},
    {"--color", nullptr, TakeColor},
    {"--colour", nullptr, TakeColor},
    {"--export-profile", nullptr,
     [](std::string_view v, CommandLine& cl) {
       cl.export_profile = true;
       if (!v.empty()) cl.export_name = std::string(v);
       return std::string();
     },
     true},
    {"--import-profile", nullptr,
     [](std::string_view v, CommandLine& cl) { return NotEmpty(v, cl.import_file); }},
}};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
  ParsedCommandLine parsed;
  CommandLine& cl = parsed.line;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const Option* option = nullptr;
    for (const Option& o : kOptions) {
      if (o.name == name) option = &o;
    }
    if (option == nullptr || !StartsWith(arg, "-")) {
      parsed.error = StartsWith(arg, "-") ? "unknown option " + Quoted(name) + " (see --help)"
                                          : "unexpected argument " + Quoted(arg) + " (see --help)";
      return parsed;
    }
    if (option->flag != nullptr) {
      if (equals != std::string_view::npos) {
        parsed.error = std::string(name) + ": takes no value";
        return parsed;
      }
      cl.*option->flag = true;
      continue;
    }
    std::string_view value;
    if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size() && !(option->value_optional && StartsWith(args[i + 1], "-"))) {
      value = args[++i];
    } else if (!option->value_optional) {
      parsed.error = std::string(name) + ": a value is missing";
      return parsed;
    }
    if (std::string why = option->take(value, cl); !why.empty()) {
      parsed.error = std::string(name) + ": " + why;
      return parsed;
    }
  }
  if (cl.new_profile && !cl.profile) parsed.error = "--new-profile: needs --profile NAME";
  if (cl.export_profile && cl.import_file) {
    parsed.error = "--export-profile: not together with --import-profile";
  }
  return parsed;
}

std::string PrepareProgramDir(const std::filesystem::path& dir) {
  std::error_code ec;
  if (std::filesystem::exists(dir, ec) && !std::filesystem::is_directory(dir, ec)) {
    return dir.string() + " is not a directory";
  }
  std::filesystem::create_directories(dir, ec);
  if (ec) return dir.string() + " cannot be created: " + ec.message();
  // Checked once here: the core would otherwise report each of its files that cannot be written.
  if (::access(dir.c_str(), W_OK | X_OK) != 0) {
    return dir.string() + " is not writable: " + std::strerror(errno);
  }
  return {};
}

PasswordFile ReadPasswordFile(const std::filesystem::path& path) {
  PasswordFile result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.error = path.string() + " cannot be read: " + std::strerror(errno);
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && (info.st_mode & (S_IRGRP | S_IROTH)) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    result.warning = path.string() + " is readable by others than its owner (mode " +
                     std::string(mode) + "); chmod 600 it";
  }
  // A first line is short; the rest of the file is never needed.
  std::string text;
  std::array<char, 4096> buffer{};
  while (text.find('\n') == std::string::npos && text.size() < 64 * 1024) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result.error = path.string() + " cannot be read: " + std::strerror(errno);
      ::close(fd);
      return result;
    }
    if (got == 0) break;
    text.append(buffer.data(), static_cast<size_t>(got));
  }
  ::close(fd);
  text.erase(std::min(text.find('\n'), text.size()));
  if (!text.empty() && text.back() == '\r') text.pop_back();
  if (text.empty()) {
    result.error = path.string() + " has no password on its first line";
    return result;
  }
  result.password = std::move(text);
  return result;
}

std::string MissingProfile(const std::filesystem::path& program_dir, const std::string& name) {
  if (name.empty() || EqualsNoCase(name, "Default")) return {};
  std::error_code ec;
  if (std::filesystem::is_regular_file(ProfileFile(program_dir, name), ec)) return {};
  const std::vector<std::string> names = ListProfiles(program_dir);
  const std::string there =
      names.empty() ? "there are no profiles yet" : "profiles there: " + JoinList(names);
  return "--profile: there is no profile " + Quoted(name) + " in " +
         UsersFolder(program_dir).string() + " (" + there + "); --new-profile creates it";
}

}  // namespace tc::entry
