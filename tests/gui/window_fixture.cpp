#include "gui/window_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

#include "ui/art.h"

namespace tc::gui {

WindowRig::WindowRig(bool tray) : window(std::make_unique<ui::MainWindow>()) {
  core = std::make_unique<Client>(socket, clock, *window, temp.path());
  window->set_tray_available(tray);
  window->hooks().message = [](const QString&) {};
  window->hooks().ok_cancel = [](const QString&, const QString&) { return true; };
  window->Attach(
      *core, [this](const ui::MainWindow::Action& action) { action(*core); },
      [this] {
        shut_down = true;
        core->Shutdown();
      });
  window->Call([](Client& c) {
    c.Initialise();
    c.options().auto_connect = false;
  });
  ui::WriteDefaultSkins(temp.path());
  window->Update_Buttons("", "");
  window->LoadControls();
  window->show();
  Settle();
}

WindowRig::~WindowRig() {
  window->Detach();
  window.reset();
  core.reset();
}

void WindowRig::Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void WindowRig::Advance(int64_t ms) {
  const int64_t target = clock.NowMs() + ms;
  while (true) {
    const auto next = core->NextDeadline();
    if (!next || *next > target) break;
    clock.SetNowMs(std::max(*next, clock.NowMs()));
    window->Call([](Client& c) { c.OnTimer(); });
  }
  clock.SetNowMs(target);
  Settle();
}

void WindowRig::OpenOptions(const char* page) {
  Find<QAbstractButton>("Options_Image1")->click();
  if (page) Find<QAbstractButton>(page)->click();
  Settle();
}

QModelIndex RowOf(QAbstractItemView* view, const QString& name) {
  const QModelIndexList hits =
      view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
  return hits.size() == 1 ? hits.first() : QModelIndex();
}

QStringList Headers(QAbstractItemView* view) {
  QStringList headers;
  for (int c = 0; c < view->model()->columnCount(); ++c) {
    headers << view->model()->headerData(c, Qt::Horizontal).toString();
  }
  return headers;
}

void WindowRig::AddWhisperUser(const QString& name) {
  window->hooks().ask_text = [name](const QString&, const QString&) {
    return std::optional<QString>(name);
  };
  Find<QAction>("AddUser1")->trigger();
}

void WindowRig::Reread() {
  window->Call([](Client& c) {
    c.SaveProfile();
    c.SwitchProfile("Default");
  });
}

void WindowRig::Receive(std::string_view bytes) {
  window->Call([bytes](Client& c) { c.OnRead(bytes); });
  Settle();
}

void WindowRig::LogIn(std::string_view account, std::string_view channel) {
  window->Call([account](Client& c) {
    c.options().account_name = std::string(account);
    if (c.options().password.empty()) c.options().password = "secret";
    c.ToggleConnection();
  });
  socket.state = test::FakeSocket::State::kOpen;
  window->Call([](Client& c) { c.OnConnected(); });
  Receive(
      "BOT or Telnet Connection from [127.0.0.1]\r\n\r\nEnter your account name and "
      "password.\r\nSorry, there is no guest account.\r\n\r\nUsername: ");
  Receive(std::string(account) + "\r\nPassword: \r\n");
  Server("2010 NAME " + std::string(account));
  Server("1007 CHANNEL \"" + std::string(channel) + "\"");
  Server("1001 USER " + std::string(account) + " 0010 [CHAT]");
}

namespace {
QTextDocument* Doc(QWidget* view) {
  return static_cast<QPlainTextEdit*>(view)->document();
}
}  // namespace

QColor ColorAt(QWidget* view, int block, int pos) {
  const QTextBlock b = Doc(view)->findBlockByNumber(block);
  for (const QTextLayout::FormatRange& range : b.textFormats()) {
    if (pos >= range.start && pos < range.start + range.length) {
      return range.format.foreground().color();
    }
  }
  return {};
}

QString BlockText(QWidget* view, int block) {
  return Doc(view)->findBlockByNumber(block).text();
}

int BlockCount(QWidget* view) {
  return Doc(view)->blockCount();
}

QString LastLine(QWidget* view) {
  return BlockText(view, BlockCount(view) - 1);
}

}  // namespace tc::gui
