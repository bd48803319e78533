// The golden record: everything that leaves the core, in the order it leaves, for recorded server
// sessions and one scripted session. A change of the core that must not change behaviour leaves
// every record byte-identical.
//
// Each scenario writes one line per thing that happened (bytes written, sockets opened and
// closed, shown lines with their colours, dialogs, events) and ends with every file of the
// program directory. The test compares that with tests/golden/records/<scenario>.txt and names
// the first line that differs. To accept a deliberate change, run it with TC_GOLDEN_UPDATE=1:
// the records are rewritten and the test passes; review the diff before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "common/colors.h"
#include "harness/session.h"

namespace tc::test {
namespace {

// Printable ASCII as is; everything else escaped so that a record stays one entry per line.
std::string Escaped(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u > 0x7E) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

// Text with a colour mark where each run begins and an end mark where a run leaves a gap.
std::string Styled(const StyledLine& line) {
  std::string out;
  size_t at = 0;
  for (const ColorRun& run : line.runs) {
    const size_t begin = std::min(run.begin, line.text.size());
    const size_t end = std::min(begin + run.length, line.text.size());
    if (begin > at) out += "[/color]" + Escaped(std::string_view(line.text).substr(at, begin - at));
    out += "[color=" + ColorText(run.color) + "]";
    out += Escaped(std::string_view(line.text).substr(begin, end - begin));
    if (begin + run.length > line.text.size()) out += "[run past the end]";
    at = std::max(at, end);
  }
  if (at < line.text.size()) out += "[/color]" + Escaped(std::string_view(line.text).substr(at));
  return out;
}

const char* PageName(Page page) {
  switch (page) {
    case Page::kChat:
      return "Chat";
    case Page::kBrowser:
      return "Browser";
    case Page::kChannels:
      return "Channels";
    case Page::kMonitor:
      return "Monitor";
    case Page::kOptions:
      return "Options";
    case Page::kSetup:
      return "Setup";
  }
  return "?";
}

const char* LoginStopName(LoginStop why) {
  switch (why) {
    case LoginStop::kWrongPassword:
      return "wrong password";
    case LoginStop::kNoBotAccess:
      return "no bot access";
    case LoginStop::kNoAccountName:
      return "no account name";
    case LoginStop::kNoPassword:
      return "no password";
    case LoginStop::kNoServer:
      return "no server";
  }
  return "?";
}

const char* ViewName(View view) {
  return view == View::kChat ? "chat" : "whisper";
}

// The entries of one scenario; the program directory's path never appears in them.
class Record {
 public:
  explicit Record(std::string dir) : dir_(std::move(dir)) {}
  void Add(std::string_view kind, std::string_view text) {
    std::string entry = std::string(kind) + "> " + std::string(text);
    for (size_t at = entry.find(dir_); !dir_.empty() && at != std::string::npos;
         at = entry.find(dir_, at)) {
      entry.replace(at, dir_.size(), "<dir>");
    }
    entries_ += entry + "\n";
  }
  const std::string& text() const { return entries_; }

 private:
  std::string dir_;
  std::string entries_;
};

// Stand between the core and the harness's fakes: each call is recorded, then passed on.
class RecordingSocket : public Socket {
 public:
  RecordingSocket(FakeSocket& inner, Record& record) : inner_(inner), record_(record) {}
  void Open(const std::string& host, uint16_t port) override {
    record_.Add("open", host + ":" + std::to_string(port));
    inner_.Open(host, port);
  }
  void Close() override {
    record_.Add("close", "");
    inner_.Close();
  }
  void Write(std::string_view bytes) override {
    // A write on a socket that is not open never reaches the wire; the record says so.
    const bool open = inner_.state == FakeSocket::State::kOpen;
    record_.Add("socket", Escaped(bytes) + (open ? "" : "  (socket not open)"));
    inner_.Write(bytes);
  }
  bool KeepAliveEnabled() const override { return inner_.KeepAliveEnabled(); }

 private:
  FakeSocket& inner_;
  Record& record_;
};

class RecordingFrontend : public Frontend {
 public:
  RecordingFrontend(FakeFrontend& inner, Record& record) : inner_(inner), record_(record) {}
  void AppendLine(View view, const StyledLine& line) override {
    record_.Add(ViewName(view), Styled(line));
    inner_.AppendLine(view, line);
  }
  void ClearView(View view) override {
    record_.Add("clear", ViewName(view));
    inner_.ClearView(view);
  }
  void ShowMessage(const std::string& text) override {
    record_.Add("dialog", "message: " + Escaped(text));
    inner_.ShowMessage(text);
  }
  void ShowPage(Page page) override {
    record_.Add("page", PageName(page));
    inner_.ShowPage(page);
  }
  void ShowProgress(const std::string& caption, int maximum) override {
    record_.Add("progress", Escaped(caption) + " / " + std::to_string(maximum));
    inner_.ShowProgress(caption, maximum);
  }
  void StepProgress() override {
    record_.Add("progress", "step");
    inner_.StepProgress();
  }
  void HideProgress() override {
    record_.Add("progress", "hide");
    inner_.HideProgress();
  }
  void ShowClientState(const std::string& state) override {
    record_.Add("state", Escaped(state));
    inner_.ShowClientState(state);
  }
  void ShowProfile(const std::string& account, const std::string& own_account) override {
    record_.Add("profile", Escaped(account) + " | " + Escaped(own_account));
    inner_.ShowProfile(account, own_account);
  }
  void ConnectCaptionChanged(const std::string& caption) override {
    record_.Add("caption", Escaped(caption));
    inner_.ConnectCaptionChanged(caption);
  }
  void ChannelFieldChanged(const std::string& text) override {
    record_.Add("channel", Escaped(text));
    inner_.ChannelFieldChanged(text);
  }
  void Beep() override {
    record_.Add("beep", "");
    inner_.Beep();
  }
  void CloseMainWindow() override {
    record_.Add("close-window", "");
    inner_.CloseMainWindow();
  }
  void OpenFile(const std::string& path, const std::string& folder) override {
    record_.Add("open-file", Escaped(path) + " | " + Escaped(folder));
    inner_.OpenFile(path, folder);
  }
  std::string AskFileName(const std::string& title, const std::string& filter,
                          const std::filesystem::path& folder) override {
    std::string answer = inner_.AskFileName(title, filter, folder);
    record_.Add("dialog", "file: " + Escaped(title) + " | " + Escaped(filter) + " | " +
                              Escaped(folder.string()) + " -> " + Escaped(answer));
    return answer;
  }
  bool AskOkCancel(const std::string& text, const std::string& title) override {
    const bool ok = inner_.AskOkCancel(text, title);
    record_.Add("dialog", "okcancel: " + Escaped(title) + " | " + Escaped(text) + " -> " +
                              (ok ? "OK" : "Cancel"));
    return ok;
  }
  void LoginStopped(LoginStop why) override {
    record_.Add("login-stopped", LoginStopName(why));
    inner_.LoginStopped(why);
  }

 private:
  FakeFrontend& inner_;
  Record& record_;
};

// A session whose core talks through the recording ports; the script's own steps are recorded
// too, so that a difference can be read against what caused it.
class Recorder {
 public:
  Recorder() : record(s.dir.string()), socket_(s.socket, record), ui_(s.ui, record) {
    s.main = std::make_unique<Client>(socket_, s.clock, ui_, s.dir);
    s.core().SetEventHook([this](Event e, std::string_view u, std::string_view t) {
      record.Add("event", Escaped(EventName(e)) + " | " + Escaped(u) + " | " + Escaped(t));
    });
  }
  ~Recorder() { s.main.reset(); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  void Step(std::string_view what) { record.Add("step", what); }
  // One server line in two reads, so that the core has to join the halves.
  void Server(std::string_view line) {
    record.Add("server", Escaped(line));
    const std::string bytes = std::string(line) + "\r\n";
    s.Receive(bytes.substr(0, bytes.size() / 2));
    s.Receive(bytes.substr(bytes.size() / 2));
  }
  void Type(std::string_view text) {
    record.Add("type", Escaped(text));
    InputBox& box = s.core().active_input() == 2 ? s.core().whisper_input() : s.core().main_input();
    box.text = std::string(text);
    s.core().SendActiveInput();
  }
  void Advance(int64_t ms) {
    record.Add("clock", "+" + std::to_string(ms) + " ms");
    s.Advance(ms);
  }
  // Moves the clock a second at a time until the core opens the socket again.
  void UntilOpened() {
    record.Add("clock", "a second at a time until the socket opens");
    const int opens = s.socket.opens;
    int64_t waited = 0;
    while (s.socket.opens == opens && waited < 3600 * 1000) {
      s.Advance(1000);
      waited += 1000;
    }
    record.Add("clock", "waited " + std::to_string(waited) + " ms");
  }
  // Moves the clock half a second at a time until `line` has gone to the server, as a server
  // answers only what it received.
  void UntilSent(std::string_view line) {
    record.Add("clock", "half a second at a time until " + Escaped(line) + " is sent");
    s.Written();
    const std::string wanted = std::string(line) + "\r\n";
    int64_t waited = 0;
    while (s.socket.written.find(wanted) == std::string::npos && waited < 600 * 1000) {
      s.Advance(500);
      waited += 500;
    }
    record.Add("clock", "waited " + std::to_string(waited) + " ms");
  }
  // The server's side of a login after the socket opened.
  void Handshake(std::string_view account, std::string_view channel) {
    Step("the socket connects");
    s.Connected();
    Server("BOT or Telnet Connection from [127.0.0.1]");
    Server("");
    Server("Enter your account name and password.");
    record.Add("server", "Username: ");
    s.Receive("Username: ");
    Server(std::string(account));
    Server("Password: ");
    Server("2010 NAME " + std::string(account));
    Server("1007 CHANNEL \"" + std::string(channel) + "\"");
    Server("1001 USER " + std::string(account) + " 0010 [CHAT]");
  }
  // Every folder and file of the program directory, sorted, with the files' bytes.
  void Files() {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(s.dir)) {
      paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& path : paths) {
      const std::string name = path.lexically_relative(s.dir).generic_string();
      if (std::filesystem::is_directory(path)) {
        record.Add("dir", Escaped(name) + "/");
        continue;
      }
      const std::string bytes = ReadFile(path);
      record.Add("file", Escaped(name) + " (" + std::to_string(bytes.size()) + " bytes)");
      size_t from = 0;
      while (from < bytes.size()) {
        const size_t end = std::min(bytes.find('\n', from), bytes.size() - 1) + 1;
        record.Add("file", "| " + Escaped(std::string_view(bytes).substr(from, end - from)));
        from = end;
      }
    }
  }

  Session s;
  Record record;

 private:
  RecordingSocket socket_;
  RecordingFrontend ui_;
};

// --- Scenarios

// A recorded server session from the first byte; the account is the one it logs in with.
void Replay(Recorder& r, const std::string& fixture) {
  const std::string bytes = Fixture(fixture);
  ASSERT_FALSE(bytes.empty()) << fixture;
  const size_t prompt = bytes.find("Username: ");
  const size_t name_at = prompt == std::string::npos ? bytes.size() : prompt + 10;
  std::string account = bytes.substr(name_at, bytes.find("\r\n", name_at) - name_at);
  if (account.empty()) account = "guest";
  Session& s = r.s;
  r.Step("start, then connect as " + account);
  s.StartUp();
  s.core().options().account_name = account;
  s.core().options().password = "pw";
  s.core().ToggleConnection();
  r.Step("the socket connects");
  s.Connected();
  // Line by line, each in two reads, the last piece as it came. Once the core has closed the
  // socket nothing more arrives, as with a real socket; the disconnect follows.
  for (size_t from = 0; from < bytes.size();) {
    if (s.socket.state != FakeSocket::State::kOpen) {
      r.Step("the socket is closed: " + std::to_string(bytes.size() - from) +
             " recorded bytes never arrive");
      s.DeliverPendingDisconnect();
      break;
    }
    const size_t crlf = bytes.find("\r\n", from);
    const size_t end = crlf == std::string::npos ? bytes.size() : crlf + 2;
    const std::string piece = bytes.substr(from, end - from);
    r.record.Add("server", Escaped(piece));
    s.Receive(piece.substr(0, piece.size() / 2));
    if (s.socket.state == FakeSocket::State::kOpen) s.Receive(piece.substr(piece.size() / 2));
    from = end;
  }
  r.Advance(30 * 1000);
  r.Step("the window closes");
  s.core().Shutdown();
  s.DeliverPendingDisconnect();
}

// One logged-in bot's busy day: people, talk, whispers, commands, kick and ban, a burst, the
// server's quota, a lost connection and the way back, saves and the shutdown.
void Scripted(Recorder& r) {
  Session& s = r.s;
  r.Step("start and log in");
  s.StartUp();
  s.core().options().account_name = "talvexbot";
  s.core().options().password = "secret";
  s.core().accounts().Append({"spammer", "Ban;", OnOff::kOn});
  s.core().accounts().Append({"loud", "Ignore;", OnOff::kOn});
  s.core().ToggleConnection();
  r.Handshake("talvexbot", "Chat");
  for (const char* line : {
           "1001 USER alice 0010 [CHAT]",
           "1001 USER beeper 0110 [CHAT]",
           "1018 INFO \"Audible notification on.\"",
           "1002 JOIN carol 0010 [CHAT]",
           "1002 JOIN dave 0110 [CHAT]",
           "1002 JOIN spammer 0010 [CHAT]",
           "1002 JOIN loud 0010 [CHAT]",
           "1005 TALK loud 0010 \"noise\"",
           "1005 TALK alice 0010 \"hello bot\"",
           "1023 EMOTE alice 0010 \"waves\"",
           "1004 WHISPER carol 0010 \"psst\"",
           "1004 WHISPER dave 0010 \"//id;1;Talvex Chat;Build:1515;State:Away;\"",
       }) {
    r.Server(line);
  }
  r.Advance(2000);

  r.Step("whispers out, then a whisper-box partner");
  r.Type("/w carol hi carol");
  r.Advance(2000);
  r.Server("1010 WHISPER carol 0010 \"hi carol\"");
  s.core().AddWhisperRecipient("alice");
  s.core().FocusWhisperInput();
  r.Type("just us");
  s.core().FocusMainInput();
  r.Advance(2000);
  r.Server("1010 WHISPER alice 0010 \"just us\"");
  r.Server("1004 WHISPER alice 0010 \"sure\"");
  r.Server("1004 WHISPER carol 0010 \"!who\"");
  r.Advance(3000);

  r.Step("operators, a kick and a ban of the own account");
  r.Server("1009 USER alice 0012");
  r.Server("1009 USER talvexbot 0012");
  r.Server("1018 INFO \"talvexbot has been kicked by alice (bye).\"");
  r.Server("1003 LEAVE talvexbot 0012");
  r.UntilSent("/join Chat");
  r.Server("1007 CHANNEL \"Chat\"");
  r.Server("1001 USER talvexbot 0010 [CHAT]");
  r.Server("1001 USER alice 0012 [CHAT]");
  r.Server("1018 INFO \"talvexbot was banned by alice (spam).\"");
  r.Server("1003 LEAVE talvexbot 0010");
  r.UntilSent("/join Talvex Chat");
  r.Server("1007 CHANNEL \"Talvex Chat\"");
  r.Server("1001 USER talvexbot 0010 [CHAT]");
  r.Server("1002 JOIN alice 0010 [CHAT]");
  r.Advance(2000);

  r.Step("a burst of typed lines through the send queue");
  for (int i = 1; i <= 8; ++i) r.Type("burst line " + std::to_string(i));
  s.core().main_input().text = "waves back";
  r.Step("emote button with \"waves back\"");
  s.core().EmoteActiveInput();
  for (int i = 0; i < 12; ++i) r.Advance(1500);

  r.Step("the server refuses a line for its quota");
  r.Type("hello there");
  r.Advance(1700);
  r.Server("1019 ERROR \"Your message quota has been exceeded!\"");
  r.Advance(6000);
  r.Server("1019 ERROR \"Your message quota has been exceeded!\"");
  r.Advance(20000);

  r.Step("the server closes; three refused attempts, then a login");
  s.ServerCloses();
  for (int attempt = 0; attempt < 3; ++attempt) {
    r.UntilOpened();
    r.Step("the attempt is refused");
    s.core().OnError(SocketError::kConnectionRefused);
    s.DeliverPendingDisconnect();
  }
  r.UntilOpened();
  r.Handshake("talvexbot", "Chat");
  r.Server("1001 USER alice 0010 [CHAT]");
  r.Advance(5000);

  r.Step("profile written, user database saved");
  s.core().SaveProfile();
  s.core().database().SaveUserDatabase();
  r.Step("profile open and remove, both cancelled");
  s.core().OpenProfile();
  s.core().DeleteProfile();
  r.Advance(1000);
  r.Step("the window closes");
  s.core().Shutdown();
  s.DeliverPendingDisconnect();
}

struct Scenario {
  std::string name;
  std::function<void(Recorder&)> run;
};

std::vector<Scenario> Scenarios() {
  std::vector<Scenario> out;
  std::vector<std::string> fixtures;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(TC_FIXTURES_DIR) / "pvpgn")) {
    if (entry.path().extension() == ".raw") fixtures.push_back(entry.path().filename().string());
  }
  std::sort(fixtures.begin(), fixtures.end());
  for (const std::string& f : fixtures) {
    out.push_back({"replay-" + f.substr(0, f.size() - 4), [f](Recorder& r) { Replay(r, f); }});
  }
  out.push_back({"scripted-session", Scripted});
  return out;
}

void PrintTo(const Scenario& scenario, std::ostream* out) {
  *out << scenario.name;
}

class Golden : public ::testing::TestWithParam<Scenario> {};

TEST_P(Golden, EverythingThatLeavesTheCoreIsAsRecorded) {
  Recorder r;
  GetParam().run(r);
  r.Step("files in the program directory");
  r.Files();
  const std::string got = r.record.text();
  const std::filesystem::path file =
      std::filesystem::path(TC_GOLDEN_DIR) / (GetParam().name + ".txt");
  const char* update = std::getenv("TC_GOLDEN_UPDATE");
  if (update != nullptr && std::string_view(update) == "1") {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << got;
    ASSERT_EQ(ReadFile(file), got) << "could not write " << file;
    return;
  }
  const std::string want = ReadFile(file);
  ASSERT_FALSE(want.empty()) << "no record " << file << "; run with TC_GOLDEN_UPDATE=1 to make it";
  if (want == got) return;
  std::istringstream want_in(want);
  std::istringstream got_in(got);
  std::string w;
  std::string g;
  for (int line = 1;; ++line) {
    const bool has_w = static_cast<bool>(std::getline(want_in, w));
    const bool has_g = static_cast<bool>(std::getline(got_in, g));
    if (!has_w && !has_g) break;
    if (has_w && has_g && w == g) continue;
    FAIL() << GetParam().name << ".txt differs first at line " << line
           << "\n  expected: " << (has_w ? w : "(end of record)")
           << "\n  got:      " << (has_g ? g : "(end of record)");
  }
  FAIL() << GetParam().name << ".txt differs";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Golden, ::testing::ValuesIn(Scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (std::isalnum(static_cast<unsigned char>(c)) == 0) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace tc::test
