#include "ui/window_app.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "common/text.h"
#include "console/console_options.h"
#include "platform/core_driver.h"
#include "platform/shutdown_signals.h"
#include "ui/art.h"
#include "ui/main_window.h"

namespace tc::ui {

namespace {
bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}
}  // namespace

bool DisplayAvailable() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

WindowProgram::WindowProgram(const StartOptions& options)
    : window_(std::make_unique<MainWindow>()),
      driver_(std::make_unique<platform::CoreDriver>(*window_, options.program_dir)) {
  Client* core = nullptr;
  driver_->Call([&core](Client& c) { core = &c; });
  platform::CoreDriver& driver = *driver_;
  window_->Attach(
      *core,
      [&driver](const MainWindow::Action& action) {
        driver.Call([&action](Client& c) { action(c); });
      },
      [&driver] { driver.Shutdown(); });

  StartOptions start = options;
  start.activate_now = false;
  window_->Call([&start](Client& c) { c.Start(start); });
  WriteDefaultSkins(options.program_dir);
  window_->Update_Buttons(core->appearance().settings().background_skin,
                          core->appearance().settings().buttons_skin);
  window_->LoadControls();
}

WindowProgram::~WindowProgram() {
  // The window's models let go of the core's tables before the driver takes the core away.
  window_->Detach();
}

const Client& WindowProgram::core() const {
  return driver_->core();
}

int RunWindow(int& argc, char** argv, const StartOptions& options,
              const std::string& missing_profile) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("talvexchat"));
  QApplication::setApplicationDisplayName(QStringLiteral("Talvex Chat 2000"));
  QApplication::setApplicationVersion(QStringLiteral(TC_VERSION));
  QApplication::setWindowIcon(ProgramIcon());
  // Hidden in the tray is still running.
  QApplication::setQuitOnLastWindowClosed(false);

  // SIGINT and SIGTERM close the window the ordinary way, so the settings are saved; watched
  // from before start-up, so that one arriving during it waits for the event loop.
  platform::ShutdownSignals signals_watch;
  if (!missing_profile.empty()) {
    const QString name = QString::fromStdString(options.profile.value_or(""));
    const auto answer = QMessageBox::question(
        nullptr, QStringLiteral("Talvex Chat 2000"),
        QStringLiteral("There is no settings profile \"%1\" yet. Create it?").arg(name),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
      std::fprintf(stderr, "talvexchat: %s\n", missing_profile.c_str());
      return console::kExitCommandLine;
    }
  }
  WindowProgram program(options);
  MainWindow& window = program.window();
  QObject::connect(&signals_watch, &platform::ShutdownSignals::triggered, &window,
                   [&window](int) { window.close(); });
  window.show();
  return QApplication::exec();
}

void ShowStartError(int& argc, char** argv, const std::string& text) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Talvex Chat 2000"));
  QApplication::setWindowIcon(ProgramIcon());
  QApplication::setPalette(DialogPalette(Qt::black, Qt::white));
  QMessageBox::critical(nullptr, QStringLiteral("Talvex Chat 2000"), QString::fromStdString(text));
}

}  // namespace tc::ui
