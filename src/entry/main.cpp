// The program entry: the command line, the program directory and its lock, and the choice of the
// front end (the window, or the console). The only part that knows both front ends.
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/client.h"
#include "app/start_options.h"
#include "common/text.h"
#include "console/console_app.h"
#include "console/console_options.h"
#include "entry/command_line.h"
#include "entry/profile_transfer.h"
#include "persistence/profile_names.h"
#include "platform/instance_lock.h"
#include "ui/window_app.h"

namespace {

using tc::console::kExitCommandLine;
using tc::console::kExitDirectoryInUse;
using tc::console::kExitNoProgramDir;
using tc::console::kExitOk;

std::filesystem::path DefaultProgramDir() {
  // GenericDataLocation honours XDG_DATA_HOME and falls back to ~/.local/share.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return std::filesystem::path(data.toStdString()) / "talvexchat";
}

void SayError(std::string_view text) {
  std::fprintf(stderr, "talvexchat: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + std::min(argc, 1), argv + argc);
  const tc::entry::ParsedCommandLine parsed = tc::entry::ParseCommandLine(args);
  if (!parsed.error.empty()) {
    SayError(parsed.error);
    return kExitCommandLine;
  }
  const tc::entry::CommandLine& cl = parsed.line;
  if (cl.help) {
    std::fputs(tc::entry::kUsage.data(), stdout);
    return kExitOk;
  }
  if (cl.version) {
    std::printf("Talvex Chat 2000 Build %s (talvexchat %s)\n",
                std::string(tc::Client::kBuild).c_str(), TC_VERSION);
    return kExitOk;
  }
  // An import runs no front end: its refusals are lines on standard error only.
  const bool window = !cl.headless && !cl.import_file && tc::ui::DisplayAvailable();

  // Absolute from the start, so that the current directory never matters later. A directory that
  // cannot be used is one message here, before the core would report each file it cannot write.
  std::error_code ec;
  const std::filesystem::path given = cl.dir ? std::filesystem::path(*cl.dir) : DefaultProgramDir();
  std::filesystem::path dir = std::filesystem::absolute(given, ec);
  if (ec) dir = given;
  // Listing only reads: a directory that cannot be written still has its profiles.
  if (cl.list_profiles) {
    for (const std::string& name : tc::ListProfiles(dir)) std::printf("%s\n", name.c_str());
    return kExitOk;
  }
  // No lock either: the profile save replaces the file by a rename, so a bot running on the
  // directory never shows a half-written profile, and a running bot is what one wants to copy.
  if (cl.export_profile) {
    std::string out;
    std::string err;
    const int status =
        tc::entry::ExportProfile(dir, cl.export_name ? cl.export_name : cl.profile, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
  }

  if (const std::string why = tc::entry::PrepareProgramDir(dir); !why.empty()) {
    const std::string text = (cl.dir ? "--dir: " : "the program directory ") + why;
    SayError(text);
    if (window) tc::ui::ShowStartError(argc, argv, "talvexchat: " + text);
    return cl.dir ? kExitCommandLine : kExitNoProgramDir;
  }

  tc::StartOptions options;
  options.program_dir = dir;
  // As the profile name field would take it; an empty name is "Default".
  if (cl.profile) options.profile = tc::TextFromBytes(*cl.profile);
  // A mistyped name would quietly start a fresh profile: headless that is refused, the window
  // asks first.
  std::string missing_profile;
  if (options.profile && !cl.new_profile && !cl.import_file) {
    missing_profile = tc::entry::MissingProfile(dir, *options.profile);
    if (!missing_profile.empty() && !window) {
      SayError(missing_profile);
      return kExitCommandLine;
    }
  }

  if (cl.host) options.overrides.server = *cl.host;
  if (cl.host) options.overrides.port = cl.port.value_or(tc::Client::kDefaultPort);
  if (cl.account) options.overrides.account = tc::TextFromBytes(*cl.account);
  // The file (a service manager's credential) before the environment; an empty variable is none.
  if (cl.password_file) {
    const tc::entry::PasswordFile file = tc::entry::ReadPasswordFile(*cl.password_file);
    if (!file.error.empty()) {
      SayError("--password-file: " + file.error);
      return kExitCommandLine;
    }
    if (!file.warning.empty()) SayError("warning: --password-file: " + file.warning);
    options.overrides.password = tc::TextFromBytes(file.password);
  } else if (const char* password = std::getenv("TALVEX_PASSWORD");
             password != nullptr && *password != '\0') {
    options.overrides.password = tc::TextFromBytes(password);
  }

  // Before anything is written there: a second program on the same directory would overwrite
  // the database, the profile and the logs of the first.
  const tc::platform::InstanceLock lock(dir);
  if (!lock.held()) {
    const std::string text = "talvexchat: " + lock.error();
    std::fprintf(stderr, "%s\n", text.c_str());
    if (window) tc::ui::ShowStartError(argc, argv, text);
    return kExitDirectoryInUse;
  }
  if (cl.import_file) {
    std::string err;
    const int status = tc::entry::ImportProfile(dir, *cl.import_file, cl.profile, err);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
  }

  if (window) return tc::ui::RunWindow(argc, argv, options, missing_profile);
  if (!cl.headless) {
    std::fputs("talvexchat: no display available; running the console front end.\n", stderr);
  }
  return tc::console::RunConsole(argc, argv, options,
                                 tc::console::ConsoleOptions{cl.color, cl.timestamps});
}
