#include "console/console_frontend.h"

#include <unistd.h>

#include <QFileDevice>
#include <QProcess>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "common/colors.h"
#include "common/text.h"
#include "platform/core_driver.h"

namespace tc::console {

namespace {

constexpr std::string_view kReset = "\x1b[0m";
constexpr std::string_view kWhisperBoxCommand = "/tc-whisperbox ";
constexpr std::string_view kKeyTestCommand = "/tc-keytest ";

// The profile window's summary box, after its first line ("Account_Name: " + account).
constexpr std::array<std::pair<std::string_view, UserField>, 15> kSummaryFields = {{
    {"Account_Number: ", UserField::kAccount_Number},
    {"Product: ", UserField::kProduct},
    {"Flag: ", UserField::kFlag},
    {"InterBot_Name: ", UserField::kInterBot_Name},
    {"Icon: ", UserField::kIcon},
    {"Status: ", UserField::kStatus},
    {"Last_Time_Seen: ", UserField::kLast_Time_Seen},
    {"First_Time_Seen: ", UserField::kFirst_Time_Seen},
    {"Total_Time_Seen: ", UserField::kTotal_Time_Seen},
    {"Time_In_Channel: ", UserField::kTime_In_Channel},
    {"Number_Times_Seen: ", UserField::kNumber_Times_Seen},
    {"Last_Message_Seen: ", UserField::kLast_Message_Seen},
    {"Location: ", UserField::kLocation},
    {"In_Channel: ", UserField::kIn_Channel},
    {"Alias_Names: ", UserField::kAlias_Names},
}};

std::string ColorEscape(Color color) {
  // System colours have no fixed value here: the terminal's own foreground stands in.
  if ((color & 0xFF000000u) != 0) return "\x1b[39m";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "\x1b[38;2;%u;%u;%um", unsigned{ColorRed(color)},
                unsigned{ColorGreen(color)}, unsigned{ColorBlue(color)});
  return buffer;
}

}  // namespace

bool UseColor(ColorChoice choice, bool terminal, const char* no_color, const char* term) {
  switch (choice) {
    case ColorChoice::kAlways:
      return true;
    case ColorChoice::kNever:
      return false;
    case ColorChoice::kAuto:
      break;
  }
  if (no_color != nullptr && *no_color != '\0') return false;
  if (term != nullptr && std::string_view(term) == "dumb") return false;
  return terminal;
}

ConsoleStyle StdoutStyle(const ConsoleOptions& options) {
  ConsoleStyle style;
  style.terminal = isatty(fileno(stdout)) != 0;
  style.color =
      UseColor(options.color, style.terminal, std::getenv("NO_COLOR"), std::getenv("TERM"));
  style.timestamps = options.timestamps;
  return style;
}

std::string LoginStopText(LoginStop why, std::string_view account) {
  const std::string name = "\"" + PrintableText(account) + "\"";
  switch (why) {
    case LoginStop::kWrongPassword:
      return "login refused: wrong account name or password for " + name;
    case LoginStop::kNoBotAccess:
      return "login refused: account " + name + " has no bot access on this server";
    case LoginStop::kNoAccountName:
      return "no account name to log in with: give --account NAME";
    case LoginStop::kNoPassword:
      return "no password for account " + name +
             ": TALVEX_PASSWORD is not set, no --password-file was given and the profile saves "
             "none";
    case LoginStop::kNoServer:
      return "no server to connect to: give --server HOST[:PORT]";
  }
  return "login stopped";
}

int LoginStopExitStatus(LoginStop why) {
  switch (why) {
    case LoginStop::kWrongPassword:
      return kExitWrongPassword;
    case LoginStop::kNoBotAccess:
      return kExitNoBotAccess;
    case LoginStop::kNoAccountName:
    case LoginStop::kNoPassword:
    case LoginStop::kNoServer:
      break;
  }
  return kExitNoCredentials;
}

std::string RenderLine(View view, const StyledLine& line, bool color) {
  const std::string text = PrintableText(line.text);
  std::string out;
  if (view == View::kWhisper) out += "[whisper] ";
  size_t pos = 0;
  bool colored = false;
  for (const ColorRun& run : line.runs) {
    const size_t begin = std::max(std::min(run.begin, text.size()), pos);
    const size_t end = run.length > text.size() - std::min(run.begin, text.size())
                           ? text.size()
                           : run.begin + run.length;
    if (end <= begin) continue;
    if (begin > pos) {
      if (colored) out += kReset;
      colored = false;
      out += std::string_view(text).substr(pos, begin - pos);
    }
    if (color) {
      out += ColorEscape(run.color);
      colored = true;
    }
    out += std::string_view(text).substr(begin, end - begin);
    pos = end;
  }
  if (pos < text.size()) {
    if (colored) out += kReset;
    colored = false;
    out += std::string_view(text).substr(pos);
  }
  if (color) out += kReset;
  return out;
}

ConsoleFrontend::ConsoleFrontend(QIODevice& out, QIODevice& err, ConsoleStyle style)
    : out_(out), err_(err), style_(style), now_([] {
        return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
      }) {}

void ConsoleFrontend::TypedLine(std::string_view utf8) {
  if (driver_ == nullptr || closing_) return;
  // The terminal's bytes are UTF-8 as the core's text; anything else is taken as Windows-1252.
  std::string line = TextFromBytes(utf8);
  std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
  if (ConsoleCommand(line)) return;
  // The Send button's path: history, the whois hold-back and "/whois " as in the window.
  driver_->Call([&line](Client& core) {
    core.FocusMainInput();
    core.main_input().text = line;
    core.SendActiveInput();
  });
}

// The window edits the whisper-box list with its own controls; the console has these lines.
bool ConsoleFrontend::ConsoleCommand(const std::string& line) {
  if (StartsWith(line, kKeyTestCommand))
    return KeyTestCommand(DropFirst(line, kKeyTestCommand.size()));
  if (!StartsWith(line, kWhisperBoxCommand)) return false;
  const std::string_view rest = DropFirst(line, kWhisperBoxCommand.size());
  const size_t space = rest.find(' ');
  const std::string_view verb = rest.substr(0, space);
  const std::string name(space == std::string_view::npos ? std::string_view()
                                                         : DropFirst(rest, space + 1));
  if ((verb != "add" && verb != "remove") || name.empty()) {
    PrintLine("[whisperbox] usage: /tc-whisperbox add NAME | /tc-whisperbox remove NAME");
    return true;
  }
  bool done = true;
  std::string shown = name;
  driver_->Call([&](Client& core) {
    if (verb == "add") {
      // The same rule as a drag in the window: a user of the channel list, never the own name.
      done = core.AddWhisperRecipient(name);
      if (done) shown = core.whisper_recipients().Rows().back()[0];
      return;
    }
    TextTable& list = core.whisper_recipients();
    for (int row = list.RowCount() - 1; row >= 0; --row) {
      if (EqualsNoCase(list.Cell(row, 0), name)) list.Remove(row);
    }
  });
  if (!done) {
    PrintLine("[whisperbox] not added: " + PrintableText(name));
    return true;
  }
  PrintLine("[whisperbox] " + std::string(verb == "add" ? "added " : "removed ") +
            PrintableText(shown));
  return true;
}

// "/tc-keytest USER;KIND;TEXT": what each key would do, as the window's key test shows it. KIND
// is "Messages", "Whispers", "Emotes" (with or without their ";") or an event name.
bool ConsoleFrontend::KeyTestCommand(std::string_view rest) {
  const size_t user_end = rest.find(';');
  std::string_view after =
      user_end == std::string_view::npos ? std::string_view() : DropFirst(rest, user_end + 1);
  const size_t kind_end = after.find(';');
  std::string kind(after.substr(0, kind_end));
  if (!StartsWith(kind, "#")) kind += ';';
  const bool known = StartsWith(kind, "#")
                         ? kind.size() > 1
                         : (kind == "Messages;" || kind == "Whispers;" || kind == "Emotes;");
  if (user_end == std::string_view::npos || kind_end == std::string_view::npos || !known) {
    PrintLine(
        "[keytest] usage: /tc-keytest USER;KIND;TEXT (KIND: Messages, Whispers, Emotes or "
        "an event name such as #User_Joined)");
    return true;
  }
  const std::string user(rest.substr(0, user_end));
  // "Messages;" keeps its own ";": the text begins after the one that ends the kind.
  after.remove_prefix(kind_end + 1);
  if (!StartsWith(kind, "#") && StartsWith(after, ";")) after.remove_prefix(1);
  const std::string text(after);
  const std::vector<std::string> lines =
      driver_->Call([&](Client& core) { return core.ExplainKeys(user, text, kind); });
  if (lines.empty()) PrintLine("[keytest] no keys");
  for (const std::string& answer : lines) PrintLine("[keytest] " + PrintableText(answer));
  return true;
}

void ConsoleFrontend::RequestClose() {
  if (closing_) return;
  closing_ = true;
  QTimer::singleShot(0, this, [this] {
    if (driver_ != nullptr) driver_->Shutdown();
    emit finished();
  });
}

void ConsoleFrontend::AppendLine(View view, const StyledLine& line) {
  PrintLine(RenderLine(view, line, style_.color));
}

void ConsoleFrontend::ClearView(View) {}

void ConsoleFrontend::ShowMessage(const std::string& text) {
  PrintLine("[message] " + PrintableText(text));
}

void ConsoleFrontend::ShowPage(Page) {}

void ConsoleFrontend::ShowProgress(const std::string&, int) {}

void ConsoleFrontend::StepProgress() {}

void ConsoleFrontend::HideProgress() {}

void ConsoleFrontend::ShowClientState(const std::string& state) {
  // The core repeats a state it sets again (at start-up, on each disconnect); a log line says
  // only what changed.
  if (state == last_state_) return;
  last_state_ = state;
  PrintLine("[state] " + PrintableText(state));
}

void ConsoleFrontend::ShowProfile(const std::string& account, const std::string&) {
  if (driver_ == nullptr) return;
  const TC_DataBase& db = driver_->core().database();
  const auto line = [this](std::string_view text) {
    PrintLine("[profile] " + PrintableText(text));
  };
  line("Information for " + account);
  line("Account_Name: " + account);
  for (const auto& [label, field] : kSummaryFields) {
    line(std::string(label) + db.GetUserField(account, field));
  }
  // The window shows this text taken apart in its personal fields.
  line("Information: " + db.GetUserField(account, UserField::kInformation));
}

void ConsoleFrontend::ConnectCaptionChanged(const std::string&) {}

void ConsoleFrontend::ChannelFieldChanged(const std::string&) {}

void ConsoleFrontend::Beep() {
  if (style_.terminal) Print("\a");
}

void ConsoleFrontend::CloseMainWindow() {
  RequestClose();
}

void ConsoleFrontend::OpenFile(const std::string& path, const std::string& folder) {
  // No desktop shell here: the file is started as a program, detached, in its folder.
  const QString program = QString::fromStdString(path);
  const bool started = QProcess::startDetached(program, {}, QString::fromStdString(folder));
  PrintLine(std::string(started ? "[execute] started " : "[execute] could not start ") +
            PrintableText(path));
}

std::string ConsoleFrontend::AskFileName(const std::string& title, const std::string&,
                                         const std::filesystem::path&) {
  PrintLine("[dialog] " + PrintableText(title) + ": no file chosen");
  return {};
}

bool ConsoleFrontend::AskOkCancel(const std::string& text, const std::string& title) {
  PrintLine("[question] " + PrintableText(title) + ": " + PrintableText(text) + " Cancel");
  return false;
}

void ConsoleFrontend::LoginStopped(LoginStop why) {
  if (closing_) return;
  const std::string account = driver_ != nullptr ? driver_->core().options().account_name : "";
  const std::string line = "talvexchat: " + LoginStopText(why, account) + "\n";
  err_.write(line.data(), static_cast<qint64>(line.size()));
  if (auto* file = qobject_cast<QFileDevice*>(&err_)) file->flush();
  exit_status_ = LoginStopExitStatus(why);
  RequestClose();
}

void ConsoleFrontend::PrintLine(std::string_view utf8) {
  std::string line;
  if (style_.timestamps) line = now_() + " ";
  line += utf8;
  line += '\n';
  Print(line);
}

void ConsoleFrontend::Print(std::string_view utf8) {
  out_.write(utf8.data(), static_cast<qint64>(utf8.size()));
  // Whoever reads the output (a person, a log, a test) sees each line as it happens.
  if (auto* file = qobject_cast<QFileDevice*>(&out_)) file->flush();
}

}  // namespace tc::console
