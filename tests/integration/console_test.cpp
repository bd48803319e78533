// The console front end: how a shown line looks, what the other front-end calls print, typed
// lines from a pipe into the send path, the queued shutdown, and SIGTERM through the self-pipe.
#include <unistd.h>

#include <QBuffer>
#include <csignal>
#include <optional>

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

  QBuffer buffer_;
  QBuffer err_;
};

// A console run on its own driver: offline, or logging in as talvexbot with `password` to a
// loopback server.
struct ConsoleRun {
  explicit ConsoleRun(std::optional<std::string> password = std::nullopt) {
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    EXPECT_TRUE(err.open(QIODevice::WriteOnly));
    console.Attach(driver);
    QObject::connect(&console, &ConsoleFrontend::finished, [this] { ++finished; });
    driver.Call([&](Client& core) {
      core.Initialise();
      if (password) {
        core.ApplyOverrides({.server = "127.0.0.1",
                             .port = server.port(),
                             .account = "talvexbot",
                             .password = *password});
      } else {
        core.options().auto_connect = false;
      }
      core.Activate();
    });
  }
  std::string Out() const { return out.data().toStdString(); }
  // The recorded prompt, the credentials, then `answer`.
  void AnswerLogin(const QByteArray& answer) {
    ASSERT_TRUE(server.WaitForReceived(0, QByteArray("\x03\x04", 2)));
    server.Send(0, prompt);
    ASSERT_TRUE(WaitUntil([&] { return server.peer(0).received.endsWith("/beep\r\n"); }));
    server.Send(0, answer);
  }

  const QByteArray recorded = Fixture("chat--talvexbot.raw");
  const QByteArray prompt = UpTo(recorded, "Username: ");
  test::TempDir dir;
  LoopbackServer server;
  QBuffer out;
  QBuffer err;
  ConsoleFrontend console{out, err, ConsoleStyle{false, false}};
  platform::CoreDriver driver{console, dir.path()};
  int finished = 0;
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

// Every printed line carries the time when asked; a state set again is not printed again; without
// colour no escapes, and the bell only on a terminal.
TEST_F(ConsoleTest, TimestampsAndEachStateOnce) {
  ConsoleFrontend console(buffer_, err_, ConsoleStyle{false, true, true});
  console.SetTimeSource([] { return std::string("07:08:09"); });
  console.ShowClientState("Disconnected");
  console.ShowClientState("Disconnected");
  console.AppendLine(View::kChat, StyledLine{"System ( hi )", {{0, 13, kClFuchsia}}});
  console.ShowMessage("box");
  console.ShowClientState("Available");
  console.ShowClientState("Disconnected");
  console.Beep();
  EXPECT_EQ(Out(buffer_),
            "07:08:09 [state] Disconnected\n"
            "07:08:09 System ( hi )\n"
            "07:08:09 [message] box\n"
            "07:08:09 [state] Available\n"
            "07:08:09 [state] Disconnected\n\a");
}

TEST_F(ConsoleTest, WhisperBoxLinesEditTheListAndProfilesPrintTheSummary) {
  ConsoleRun run;
  run.driver.Call([](Client& core) {
    for (const char* name : {"alice", "Bob"}) core.users().Append({name, "3"});
  });
  // Names from the channel list only, spelled as the list has them, each once.
  for (const char* line :
       {"add alice", "add BOB", "add bob", "add carol", "remove ALICE", "list"}) {
    run.console.TypedLine("/tc-whisperbox " + std::string(line));
  }
  const auto rows = run.driver.Call([](Client& core) { return core.whisper_recipients().Rows(); });
  EXPECT_EQ(rows, (std::vector<TextTable::Row>{{"Bob"}}));
  EXPECT_NE(run.Out().find("[whisperbox] added alice\n[whisperbox] added Bob\n"
                           "[whisperbox] not added: bob\n[whisperbox] not added: carol\n"
                           "[whisperbox] removed ALICE\n[whisperbox] usage:"),
            std::string::npos)
      << run.Out();

  run.console.ShowProfile("nobody", "talvexbot");
  EXPECT_NE(run.Out().find("[profile] Information for nobody\n[profile] Account_Name: nobody\n"
                           "[profile] Account_Number: 0\n"),
            std::string::npos)
      << run.Out();
  EXPECT_NE(run.Out().find("[profile] Alias_Names: 0\n[profile] Information: 0\n"),
            std::string::npos)
      << run.Out();
}

TEST_F(ConsoleTest, KeyTestLinesListEachKeysVerdictAndBadInputGetsTheUsage) {
  ConsoleRun run;
  run.driver.Call([](Client& core) {
    core.keys().Append(
        {"hello*bot", "hi", "All;Messages;Disconnected;Product:0;", "", "", OnOff::kOn});
    core.keys().Append({"#user_joined", "hi", "All;", "", "", OnOff::kOff});
  });
  for (const char* line : {"alice;Messages;hello bot", "alice;Messages;;hello bot",
                           "carol;#User_Joined;Chat", "alice;Talk;hello", "alice"}) {
    run.console.TypedLine("/tc-keytest " + std::string(line));
  }
  const std::string fires =
      "[keytest] 1. \"hello*bot\": fires (trigger 1)\n"
      "[keytest] 2. \"#user_joined\": not selected: neither its words are in "
      "the text nor is it the kind\n";
  const std::string usage = "[keytest] usage: /tc-keytest USER;KIND;TEXT";
  EXPECT_NE(run.Out().find(fires + fires +
                           "[keytest] 1. \"hello*bot\": not selected: neither its words are in "
                           "the text nor is it the kind\n"
                           "[keytest] 2. \"#user_joined\": stopped by its state: Off\n" +
                           usage),
            std::string::npos)
      << run.Out();
  EXPECT_EQ(run.Out().find(usage +
                           " (KIND: Messages, Whispers, Emotes or an event name such as "
                           "#User_Joined)\n" +
                           usage),
            run.Out().find(usage))
      << run.Out();
}

TEST_F(ConsoleTest, CloseMainWindowShutsDownOnceFromTheEventLoop) {
  ConsoleRun run;
  run.console.CloseMainWindow();
  run.console.CloseMainWindow();
  EXPECT_FALSE(run.driver.shut_down());  // never inside the core's call
  ASSERT_TRUE(WaitUntil([&] { return run.finished == 1; }));
  Drain();
  EXPECT_EQ(run.finished, 1);
  EXPECT_TRUE(run.driver.shut_down());
  const std::string shutting = "System ( Shutting down, please wait... )\n";
  ASSERT_NE(run.Out().find(shutting), std::string::npos) << run.Out();
  EXPECT_EQ(run.Out().find(shutting), run.Out().rfind(shutting));
}

TEST_F(ConsoleTest, TypedLinesFromAPipeGoToTheServerAndEndOfInputIsNotTheEnd) {
  ConsoleRun run("botpass");
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  console::LineReader input(pipe_fds[0],
                            [&](std::string_view line) { run.console.TypedLine(line); });
  run.AnswerLogin(UpTo(run.recorded, "Feel free to chat...\"\r\n", run.prompt.size()));
  ASSERT_TRUE(WaitUntil([&] { return run.driver.core().logged_in(); }));
  // What the login and the welcome steps wrote is not what this test is about.
  const QByteArray& received = run.server.peer(0).received;
  ASSERT_TRUE(WaitUntil([&] { return received.contains("/join Talvex Chat\r\n"); }));
  const qsizetype before = received.size();

  // UTF-8 in, UTF-8 on the wire; CR LF typed at a terminal is one line end.
  const std::string typed = "hello caf\xC3\xA9\r\n";
  ASSERT_EQ(::write(pipe_fds[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  ASSERT_TRUE(WaitUntil([&] { return received.endsWith("\r\n") && received.size() > before; }));
  EXPECT_EQ(received.mid(before), QByteArray("hello caf\xC3\xA9\r\n"));

  ::close(pipe_fds[1]);
  ASSERT_TRUE(WaitUntil([&] { return input.at_end(); }));
  Drain();
  EXPECT_EQ(run.finished, 0);
  EXPECT_FALSE(run.driver.shut_down());
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
    ConsoleRun run(c.password);
    if (c.answer != nullptr) run.AnswerLogin(QByteArray("\r\n") + c.answer + "\r\nUsername: ");
    ASSERT_TRUE(WaitUntil([&] { return run.finished == 1; }));
    EXPECT_EQ(run.console.exit_status(), c.status);
    EXPECT_EQ(run.err.data().toStdString(), c.error);
    EXPECT_TRUE(run.driver.shut_down());
    EXPECT_EQ(run.server.connections(), c.answer != nullptr ? 1u : 0u);
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
