#include "console/console_app.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <memory>
#include <string_view>

#include "console/console_frontend.h"
#include "console/line_reader.h"
#include "platform/core_driver.h"
#include "platform/shutdown_signals.h"

namespace tc::console {

int RunConsole(int& argc, char** argv, const StartOptions& options,
               const ConsoleOptions& console_options) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("talvexchat");
  QCoreApplication::setApplicationVersion(TC_VERSION);
  // A closed stdout pipe must not kill an unattended bot.
  std::signal(SIGPIPE, SIG_IGN);

  QFile out;
  QFile err;
  if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered) ||
      !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return 1;
  }
  // SIGINT and SIGTERM shut down the ordinary way, so the settings are saved; watched from before
  // start-up, so that one arriving during it waits for the event loop.
  platform::ShutdownSignals signals_watch;
  ConsoleFrontend console(out, err, StdoutStyle(console_options));
  platform::CoreDriver driver(console, options.program_dir);
  console.Attach(driver);
  QObject::connect(
      &console, &ConsoleFrontend::finished, &app,
      [&console] { QCoreApplication::exit(console.exit_status()); }, Qt::QueuedConnection);
  QObject::connect(&signals_watch, &platform::ShutdownSignals::triggered, &console,
                   [&console](int) { console.RequestClose(); });
  // Started with stdin closed (not even /dev/null) there is nothing to watch.
  std::unique_ptr<LineReader> input;
  if (fcntl(STDIN_FILENO, F_GETFD) != -1) {
    input = std::make_unique<LineReader>(
        STDIN_FILENO, [&console](std::string_view line) { console.TypedLine(line); });
  }

  driver.Call([&options](Client& core) { core.Start(options); });
  return QCoreApplication::exec();
}

}  // namespace tc::console
