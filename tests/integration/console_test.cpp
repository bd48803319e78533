// The console front end: how a shown line looks, what the other front-end calls print, typed
// lines from a pipe into the send path, the queued shutdown, and SIGTERM through the self-pipe.
#include <unistd.h>

#include <QBuffer>
#include <csignal>

#include "app/client.h"
#include "console/console_frontend.h"
#include "console/line_reader.h"
#include "harness/session.h"
#include "integration/loopback.h"
#include "platform/core_driver.h"
#include "platform/shutdown_signals.h"

namespace tc::integration {
namespace {

using console::ConsoleFrontend;
using console::ConsoleStyle;
using console::RenderLine;

std::string Out(const QBuffer& buffer) {
  return buffer.data().toStdString();
}

// Runs coloured and reset, text outside runs plain, whispers marked, Windows-1252 turned into
// UTF-8, control bytes kept from the terminal, runs past the text cut, system colours left to it.
TEST(RenderLineTest, ColoursTextAndBytes) {
  const struct {
    View view;
    StyledLine line;
    bool colour;
    std::string out;
  } cases[] = {
      {View::kChat,
       {"<bob> hi", {{0, 6, kClYellow}, {6, 2, 0x00336699}}},
       true,
       "\x1b[38;2;255;255;0m<bob> \x1b[38;2;153;102;51mhi\x1b[0m"},
      {View::kChat,
       {"ab cd ef", {{3, 2, kClRed}}},
       true,
       "ab \x1b[38;2;255;0;0mcd\x1b[0m ef\x1b[0m"},
      {View::kChat, {"plain", {}}, true, "plain\x1b[0m"},
      {View::kWhisper,
       {"\u00AB( alice )\u00AB hi", {{0, 16, kClGreen}}},
       true,
       "[whisper] \x1b[38;2;0;128;0m\xC2\xAB( alice )\xC2\xAB hi\x1b[0m"},
      {View::kChat,
       {"caf\u00E9 na\u00EFve \u20AC", {{0, 16, kClWhite}}},
       false,
       "caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC"},
      {View::kChat,
       {"a\x1b[2Jb\x07\x90"
        "c\td",
        {{0, 10, kClWhite}}},
       false,
       "a?[2Jb??c\td"},
      {View::kChat,
       {"abc", {{1, 100, kClBlue}, {50, 2, kClRed}}},
       true,
       "a\x1b[38;2;0;0;255mbc\x1b[0m"},
      {View::kChat, {"x", {{0, 1, 0x80000008}}}, true, "\x1b[39mx\x1b[0m"},
  };
  for (const auto& c : cases) EXPECT_EQ(RenderLine(c.view, c.line, c.colour), c.out) << c.line.text;
}

class ConsoleTest : public QtTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(buffer_.open(QIODevice::WriteOnly));
    ASSERT_TRUE(err_.open(QIODevice::WriteOnly));
  }
  // Settings read and the first activation done, with nothing to connect to.
  static void StartOffline(platform::CoreDriver& driver) {
    driver.Call([](Client& core) {
      core.Initialise();
      core.options().auto_connect = false;
      core.Activate();
    });
  }

  QBuffer buffer_;
  QBuffer err_;
};

TEST_F(ConsoleTest, PrintsLinesMessagesAndNothingForTheRest) {
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{true, false});
  console.AppendLine(View::kChat, StyledLine{"System ( hi )", {{0, 13, kClFuchsia}}});
  console.AppendLine(View::kWhisper, StyledLine{"w", {}});
  console.ShowMessage("Unable to open file: x");
  console.ClearView(View::kChat);
  console.ShowPage(Page::kSetup);
  console.ShowProgress("Loading", 3);
  console.StepProgress();
  console.HideProgress();
  console.ShowClientState("Available");
  console.ConnectCaptionChanged("Disconnect");
  console.ChannelFieldChanged("Chat");
  console.Beep();  // not a terminal: no bell
  EXPECT_EQ(Out(buffer_),
            "\x1b[38;2;255;0;255mSystem ( hi )\x1b[0m\n"
            "[whisper] w\x1b[0m\n"
            "[message] Unable to open file: x\n"
            "[state] Available\n");
}

// Colour on a terminal only, never with NO_COLOR or TERM=dumb, unless the command line says.
TEST(ConsoleColourTest, TerminalEnvironmentAndChoice) {
  using console::ColorChoice;
  const struct {
    ColorChoice choice;
    bool terminal;
    const char* no_color;
    const char* term;
    bool colour;
  } cases[] = {
      {ColorChoice::kAuto, true, nullptr, "xterm-256color", true},
      {ColorChoice::kAuto, true, nullptr, nullptr, true},
      {ColorChoice::kAuto, false, nullptr, "xterm", false},  // a pipe or a file
      {ColorChoice::kAuto, true, "1", "xterm", false},
      {ColorChoice::kAuto, true, "", "xterm", true},  // set but empty does not count
      {ColorChoice::kAuto, true, nullptr, "dumb", false},
      {ColorChoice::kAlways, false, "1", "dumb", true},
      {ColorChoice::kNever, true, nullptr, "xterm", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(console::UseColor(c.choice, c.terminal, c.no_color, c.term), c.colour)
        << static_cast<int>(c.choice) << " tty " << c.terminal << " NO_COLOR "
        << (c.no_color ? c.no_color : "-") << " TERM " << (c.term ? c.term : "-");
  }
}

// Every printed line carries the time when asked; a state set again is not printed again.
TEST_F(ConsoleTest, TimestampsAndEachStateOnce) {
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{false, false, true});
  console.SetTimeSource([] { return std::string("07:08:09"); });
  console.ShowClientState("Disconnected");
  console.ShowClientState("Disconnected");
  console.AppendLine(View::kChat, StyledLine{"System ( hi )", {{0, 13, kClFuchsia}}});
  console.ShowMessage("box");
  console.ShowClientState("Available");
  console.ShowClientState("Disconnected");
  EXPECT_EQ(Out(buffer_),
            "07:08:09 [state] Disconnected\n"
            "07:08:09 System ( hi )\n"
            "07:08:09 [message] box\n"
            "07:08:09 [state] Available\n"
            "07:08:09 [state] Disconnected\n");
}

TEST_F(ConsoleTest, NoColourMeansNoEscapes) {
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{false, true});
  console.AppendLine(View::kChat, StyledLine{"System ( hi )", {{0, 13, kClFuchsia}}});
  console.Beep();
  EXPECT_EQ(Out(buffer_), "System ( hi )\n\a");
}

TEST_F(ConsoleTest, ShowsTheCoresLinesInTheirColours) {
  test::TempDir dir;
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{true, false});
  platform::CoreDriver driver(console, dir.path());
  console.Attach(driver);
  StartOffline(driver);
  // System messages are fuchsia by default.
  EXPECT_NE(Out(buffer_).find(
                "\x1b[38;2;255;0;255mSystem ( Welcome to Talvex Chat 2000 Build 1515 )\x1b[0m\n"),
            std::string::npos)
      << Out(buffer_);
}

TEST_F(ConsoleTest, WhisperBoxLinesEditTheListAndProfilesPrintTheSummary) {
  test::TempDir dir;
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{false, false});
  platform::CoreDriver driver(console, dir.path());
  console.Attach(driver);
  StartOffline(driver);
  driver.Call([](Client& core) {
    for (const char* name : {"alice", "Bob"}) core.users().Append({name, "3"});
  });
  // Names from the channel list only, spelled as the list has them, each once.
  for (const char* line :
       {"add alice", "add BOB", "add bob", "add carol", "remove ALICE", "list"}) {
    console.TypedLine("/tc-whisperbox " + std::string(line));
  }
  const auto rows = driver.Call([](Client& core) { return core.whisper_recipients().Rows(); });
  EXPECT_EQ(rows, (std::vector<TextTable::Row>{{"Bob"}}));
  std::string out = Out(buffer_);
  EXPECT_NE(out.find("[whisperbox] added alice\n[whisperbox] added Bob\n"
                     "[whisperbox] not added: bob\n[whisperbox] not added: carol\n"
                     "[whisperbox] removed ALICE\n[whisperbox] usage:"),
            std::string::npos)
      << out;

  console.ShowProfile("nobody", "talvexbot");
  out = Out(buffer_);
  EXPECT_NE(out.find("[profile] Information for nobody\n[profile] Account_Name: nobody\n"
                     "[profile] Account_Number: 0\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("[profile] Alias_Names: 0\n[profile] Information: 0\n"), std::string::npos)
      << out;
}

TEST_F(ConsoleTest, CloseMainWindowShutsDownOnceFromTheEventLoop) {
  test::TempDir dir;
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{false, false});
  platform::CoreDriver driver(console, dir.path());
  console.Attach(driver);
  int finished = 0;
  QObject::connect(&console, &ConsoleFrontend::finished, [&] { ++finished; });
  StartOffline(driver);

  console.CloseMainWindow();
  console.CloseMainWindow();
  EXPECT_FALSE(driver.shut_down());  // never inside the core's call
  ASSERT_TRUE(WaitUntil([&] { return finished == 1; }));
  Drain();
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(driver.shut_down());
  const std::string out = Out(buffer_);
  const std::string shutting = "System ( Shutting down, please wait... )\n";
  ASSERT_NE(out.find(shutting), std::string::npos) << out;
  EXPECT_EQ(out.find(shutting), out.rfind(shutting));
}

TEST_F(ConsoleTest, TypedLinesFromAPipeGoToTheServerAndEndOfInputIsNotTheEnd) {
  test::TempDir dir;
  LoopbackServer server;
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{false, false});
  platform::CoreDriver driver(console, dir.path());
  console.Attach(driver);
  int finished = 0;
  QObject::connect(&console, &ConsoleFrontend::finished, [&] { ++finished; });
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  console::LineReader input(pipe_fds[0], [&](std::string_view line) { console.TypedLine(line); });

  driver.Call([&](Client& core) {
    core.Initialise();
    RunOverrides overrides;
    overrides.server = "127.0.0.1";
    overrides.port = server.port();
    overrides.account = "talvexbot";
    overrides.password = "botpass";
    core.ApplyOverrides(overrides);
    core.Activate();
  });
  const QByteArray recorded = Fixture("chat--talvexbot.raw");
  const QByteArray prompt = UpTo(recorded, "Username: ");
  ASSERT_TRUE(server.WaitForReceived(0, QByteArray("\x03\x04", 2)));
  server.Send(0, prompt);
  ASSERT_TRUE(WaitUntil([&] { return server.peer(0).received.endsWith("/beep\r\n"); }));
  server.Send(0, UpTo(recorded, "Feel free to chat...\"\r\n", prompt.size()));
  ASSERT_TRUE(WaitUntil([&] { return driver.core().logged_in(); }));
  // What the login and the welcome steps wrote is not what this test is about.
  ASSERT_TRUE(WaitUntil([&] { return server.peer(0).received.contains("/join Talvex Chat\r\n"); }));
  const qsizetype before = server.peer(0).received.size();

  // UTF-8 in, UTF-8 on the wire; CR LF typed at a terminal is one line end.
  const std::string typed = "hello caf\xC3\xA9\r\n";
  ASSERT_EQ(::write(pipe_fds[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  ASSERT_TRUE(WaitUntil([&] {
    return server.peer(0).received.endsWith("\r\n") && server.peer(0).received.size() > before;
  }));
  EXPECT_EQ(server.peer(0).received.mid(before), QByteArray("hello caf\xC3\xA9\r\n"));

  ::close(pipe_fds[1]);
  ASSERT_TRUE(WaitUntil([&] { return input.at_end(); }));
  Drain();
  EXPECT_EQ(finished, 0);
  EXPECT_FALSE(driver.shut_down());
  ::close(pipe_fds[0]);
}

// A refused login and missing credentials end the run: one line on standard error, the exit
// status of the cause, the shutdown; a missing password before any connection.
TEST_F(ConsoleTest, LoginThatCannotSucceedEndsTheRun) {
  const struct {
    const char* password;
    const char* answer;  // the server's reply to the login, none when it never gets one
    int status;
    const char* error;
  } cases[] = {
      {"wrong", "Login failed.\r\n", console::kExitWrongPassword,
       "talvexchat: login refused: wrong account name or password for \"talvexbot\"\n"},
      {"botpass", "Account has no bot access.\r\n", console::kExitNoBotAccess,
       "talvexchat: login refused: account \"talvexbot\" has no bot access on this server\n"},
      {"", nullptr, console::kExitNoCredentials,
       "talvexchat: no password for account \"talvexbot\": TALVEX_PASSWORD is not set, no "
       "--password-file was given and the profile saves none\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    test::TempDir dir;
    LoopbackServer server;
    QBuffer out;
    QBuffer err;
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_TRUE(err.open(QIODevice::WriteOnly));
    ConsoleFrontend console(out, err, ConsoleStyle{false, false});
    platform::CoreDriver driver(console, dir.path());
    console.Attach(driver);
    int finished = 0;
    QObject::connect(&console, &ConsoleFrontend::finished, [&] { ++finished; });
    driver.Call([&](Client& core) {
      core.Initialise();
      RunOverrides overrides;
      overrides.server = "127.0.0.1";
      overrides.port = server.port();
      overrides.account = "talvexbot";
      overrides.password = c.password;
      core.ApplyOverrides(overrides);
      core.Activate();
    });
    if (c.answer != nullptr) {
      ASSERT_TRUE(server.WaitForReceived(0, QByteArray("\x03\x04", 2)));
      server.Send(0, UpTo(Fixture("chat--talvexbot.raw"), "Username: "));
      ASSERT_TRUE(WaitUntil([&] { return server.peer(0).received.endsWith("/beep\r\n"); }));
      server.Send(0, QByteArray("\r\n") + c.answer + "\r\nUsername: ");
    }
    ASSERT_TRUE(WaitUntil([&] { return finished == 1; }));
    EXPECT_EQ(console.exit_status(), c.status);
    EXPECT_EQ(err.data().toStdString(), c.error);
    EXPECT_TRUE(driver.shut_down());
    EXPECT_EQ(server.connections(), c.answer != nullptr ? 1u : 0u);
  }
}

TEST_F(ConsoleTest, SigtermArrivesThroughTheEventLoop) {
  platform::ShutdownSignals watch;
  ASSERT_TRUE(watch.ok());
  int received = 0;
  QObject::connect(&watch, &platform::ShutdownSignals::triggered,
                   [&](int signal_number) { received = signal_number; });
  ASSERT_EQ(::raise(SIGTERM), 0);
  EXPECT_EQ(received, 0);  // the handler only wrote to the pipe
  ASSERT_TRUE(WaitUntil([&] { return received != 0; }));
  EXPECT_EQ(received, SIGTERM);
}

}  // namespace
}  // namespace tc::integration
