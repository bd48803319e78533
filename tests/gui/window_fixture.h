// The real main window as the Frontend of a core on the fake socket and the virtual clock: the
// window is driven as a person drives it, the server's side is scripted.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>

#include "app/client.h"
#include "harness/fakes.h"
#include "harness/session.h"
#include "ui/main_window.h"

namespace tc::gui {

// Asks a WindowRig to log in as soon as it is made.
struct LoggedIn {};
inline constexpr LoggedIn kLoggedIn{};

class WindowRig {
 public:
  // `tray`: whether a system tray is there to minimise to.
  explicit WindowRig(bool tray = false);
  explicit WindowRig(LoggedIn) : WindowRig() { LogIn(); }
  ~WindowRig();

  // The server's bytes in one read, then the event loop runs (one repaint per burst).
  void Receive(std::string_view bytes);
  void Server(std::string_view line) { Receive(std::string(line) + "\r\n"); }
  // Connect, handshake, name and channel, as a real server does it.
  void LogIn(std::string_view account = "talvexbot", std::string_view channel = "Chat");
  void Settle();
  // Moves the virtual clock on, firing each core timer at its deadline.
  void Advance(int64_t ms);
  // The menu's "add whisper user", answered with `name`.
  void AddWhisperUser(const QString& name);
  // What reaches the server once the send queue has had five seconds.
  std::string Sent() {
    Advance(5000);
    return socket.TakeWritten();
  }
  // The profile saved and read back, as a switch to it does.
  void Reread();
  QWidget* Chat() { return Find<QWidget>("Chat_RichTextBox1"); }
  // The Options tab, then the page whose button is `page` (none: the first page).
  void OpenOptions(const char* page = nullptr);

  template <typename T>
  T* Find(const QString& name) {
    return window->findChild<T*>(name);
  }

  test::TempDir temp;
  test::VirtualClock clock;
  test::FakeSocket socket;
  std::unique_ptr<ui::MainWindow> window;
  std::unique_ptr<Client> core;
  bool shut_down = false;
};

// The row whose first column shows `name`; invalid when there is none.
QModelIndex RowOf(QAbstractItemView* view, const QString& name);
// The view's column captions, left to right.
QStringList Headers(QAbstractItemView* view);

// The text of the document's block `block` and the foreground colour at character `pos`.
QColor ColorAt(QWidget* view, int block, int pos);
QString BlockText(QWidget* view, int block);
int BlockCount(QWidget* view);
QString LastLine(QWidget* view);

}  // namespace tc::gui
