// The window as `talvexchat` runs it (real core, socket and clock), offscreen, against a real chat
// server on loopback whose port tests/live/test_window.py hands over in TC_LIVE_PORT. A second
// account, alice, is a plain socket in this process. Waits are upper bounds for the server's
// answers, never measurements.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTcpSocket>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/text.h"
#include "gui/window_fixture.h"
#include "harness/session.h"
#include "ui/art.h"
#include "ui/main_window.h"
#include "ui/window_app.h"

namespace tc::gui {
namespace {

constexpr int kWaitMs = 20000;

bool WaitFor(const std::function<bool()>& done) {
  return QTest::qWaitFor(done, kWaitMs);
}

uint16_t ServerPort() {
  const char* text = std::getenv("TC_LIVE_PORT");
  return static_cast<uint16_t>(SafeStrToInt(text == nullptr ? "" : text));
}

// A second account over a plain socket, the way a simple bot talks.
class Peer {
 public:
  Peer(uint16_t port, const std::string& name, const std::string& password) {
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
      buffer_ += socket_.readAll().toStdString();
      for (size_t end = buffer_.find("\r\n"); end != std::string::npos;
           end = buffer_.find("\r\n")) {
        lines_.push_back(buffer_.substr(0, end));
        buffer_.erase(0, end + 2);
      }
    });
    socket_.connectToHost(QHostAddress::LocalHost, port);
    Send(std::string("\x03\x04") + name + "\r\n" + password);
  }
  void Send(const std::string& line) {
    const std::string bytes = line + "\r\n";
    socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  bool Saw(const std::string& part, const std::string& end = "") const {
    for (const std::string& line : lines_) {
      if (line.find(part) != std::string::npos && line.ends_with(end)) return true;
    }
    return false;
  }
  std::string Transcript() const {
    std::string all;
    for (const std::string& line : lines_) all += line + "\n";
    return all;
  }

 private:
  QTcpSocket socket_;
  std::string buffer_;
  std::vector<std::string> lines_;
};

// The users list's icon for `name`, or a null image when the name is not listed.
QImage IconOf(QListView* view, const QString& name) {
  const QModelIndexList hits =
      view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
  if (hits.size() != 1) return {};
  const QIcon icon = hits.first().data(Qt::DecorationRole).value<QIcon>();
  return icon.pixmap(28, 14).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Everything the view shows, for a failure's message.
std::string ViewText(QWidget* view) {
  std::string all;
  for (int block = 0; block < BlockCount(view); ++block) {
    all += BlockText(view, block).toStdString() + "\n";
  }
  return all;
}

// The chat view's block that begins with `start`, or -1.
int BlockStartingWith(QWidget* view, const QString& start) {
  for (int block = BlockCount(view) - 1; block >= 0; --block) {
    if (BlockText(view, block).startsWith(start)) return block;
  }
  return -1;
}

TEST(LiveWindow, ConnectFromSetupThenTalkAndWhisper) {
  const uint16_t port = ServerPort();
  ASSERT_NE(port, 0) << "TC_LIVE_PORT names no port";

  // alice is in the home channel before the window arrives.
  Peer alice(port, "alice", "alicepw");
  ASSERT_TRUE(WaitFor([&] { return alice.Saw("2010 NAME alice"); })) << alice.Transcript();
  alice.Send("/join Talvex Chat");
  ASSERT_TRUE(WaitFor([&] { return alice.Saw("1007 CHANNEL \"Talvex Chat\""); }));

  test::TempDir dir;
  StartOptions options;
  options.program_dir = dir.path();
  options.overrides.server = "127.0.0.1";
  options.overrides.port = port;
  ui::WindowProgram program(options);
  ui::MainWindow& window = program.window();
  std::vector<QString> boxes;
  window.hooks().message = [&boxes](const QString& text) { boxes.push_back(text); };
  const auto find = [&window](const char* name) {
    return window.findChild<QWidget*>(QString::fromLatin1(name));
  };

  // A fresh start connects as "guest"; the server has no guest account, so the program asks
  // for an account on the Setup page.
  window.show();
  ASSERT_TRUE(WaitFor([&] { return !boxes.empty(); })) << "no refusal box";
  EXPECT_TRUE(boxes[0].contains("do not exist on Battle.Net")) << boxes[0].toStdString();
  EXPECT_EQ(window.current_page(), Page::kSetup);
  EXPECT_TRUE(find("Setup_Panel1")->isVisible());

  auto* account = qobject_cast<QLineEdit*>(find("AccountName_Edit1"));
  auto* password = qobject_cast<QLineEdit*>(find("Password_Edit1"));
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(window.focusWidget(), password);
  account->selectAll();
  QTest::keyClicks(account, "talvexbot");
  QTest::keyClicks(password, "botpass");
  // Kept in the profile, so that the next start logs in by itself.
  QTest::mouseClick(find("SavePassword_CheckBox1"), Qt::LeftButton, {}, QPoint(6, 10));
  // The refused connection is closed by then; until it is, Enter would not connect.
  auto* connect = qobject_cast<QAbstractButton*>(find("Connect_Image1"));
  ASSERT_TRUE(WaitFor([&] { return connect->text() == "Connect"; }));
  QTest::keyClick(password, Qt::Key_Return);

  // The home channel with both users and their icons.
  auto* channel = qobject_cast<QLabel*>(find("Channel_Edit1"));
  ASSERT_TRUE(WaitFor([&] { return channel->text() == "Talvex Chat (2)"; }))
      << ViewText(find("Chat_RichTextBox1"));
  auto* users = qobject_cast<QListView*>(find("Users_ListView1"));
  EXPECT_EQ(IconOf(users, "alice"), ui::UserIcon(3));      // a chat-gateway user
  EXPECT_EQ(IconOf(users, "talvexbot"), ui::UserIcon(8));  // our own row: available
  EXPECT_TRUE(find("Chat_Panel1")->isVisible());
  EXPECT_TRUE(WaitFor([&] { return alice.Saw("1002 JOIN talvexbot"); }));

  // A typed line reaches alice.
  auto* input = qobject_cast<QComboBox*>(find("Send_Edit1"));
  input->lineEdit()->setFocus();
  QTest::keyClicks(input->lineEdit(), "hello from the window");
  QTest::mouseClick(find("Send_Image1"), Qt::LeftButton);
  EXPECT_TRUE(WaitFor([&] {
    return alice.Saw("1005 TALK talvexbot ", " \"hello from the window\"");
  })) << alice.Transcript();

  // Her whisper is shown in the whisper colours.
  alice.Send("/w talvexbot psst, over here");
  QWidget* chat = find("Chat_RichTextBox1");
  const QString whisper = QStringLiteral("\u00AB( alice )\u00AB psst, over here");
  ASSERT_TRUE(WaitFor([&] { return BlockStartingWith(chat, whisper) >= 0; }));
  const int block = BlockStartingWith(chat, whisper);
  const auto colour = [&program](Category category) {
    return ui::ToQColor(program.core().options().colors[static_cast<size_t>(category)]);
  };
  EXPECT_EQ(ColorAt(chat, block, 0), colour(Category::kWhisperReceived));
  EXPECT_EQ(ColorAt(chat, block, static_cast<int>(whisper.size()) - 1),
            colour(Category::kOtherText));

  // Closing the window logs out: alice sees the client leave.
  window.close();
  EXPECT_TRUE(WaitFor([&] { return alice.Saw("1003 LEAVE talvexbot"); })) << alice.Transcript();
  EXPECT_EQ(boxes.size(), 1u);

  // The next start on the same directory reads the account and password from the profile and
  // is back in the channel without a question.
  ui::WindowProgram again(options);
  again.window().hooks().message = [&boxes](const QString& text) { boxes.push_back(text); };
  again.window().show();
  auto* channel_again = again.window().findChild<QLabel*>(QStringLiteral("Channel_Edit1"));
  ASSERT_TRUE(WaitFor([&] { return channel_again->text() == "Talvex Chat (2)"; }));
  EXPECT_EQ(boxes.size(), 1u);
  again.window().close();
}

}  // namespace
}  // namespace tc::gui
