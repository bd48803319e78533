// Test doubles for the core's ports: a socket that records every byte, a front end that records
// every line with its colours and every dialog, and a virtual clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ports/ports.h"

namespace tc::test {

class VirtualClock : public Clock {
 public:
  int64_t NowMs() const override { return now_ms_; }
  DateTime LocalNow() const override;
  void SetNowMs(int64_t now_ms) { now_ms_ = now_ms; }
  // The wall clock at NowMs() == 0.
  void SetStart(DateTime start) { start_ = start; }

 private:
  int64_t now_ms_ = 0;
  DateTime start_{2026, 12, 6, 9, 30, 0};
};

class FakeSocket : public Socket {
 public:
  enum class State { kClosed, kOpening, kOpen };

  void Open(const std::string& host, uint16_t port) override;
  void Close() override;
  void Write(std::string_view bytes) override;
  bool KeepAliveEnabled() const override { return state == State::kOpen && keep_alive; }

  State state = State::kClosed;
  std::string host;
  uint16_t port = 0;
  // Whether this platform turns keep-alive on for an open connection (Linux does).
  bool keep_alive = true;
  std::vector<std::string> opened_hosts;  // the host of every Open, in order
  int opens = 0;
  int closes = 0;
  // A Close() on an open or opening socket owes the core one OnDisconnected.
  bool disconnect_pending = false;
  std::string written;  // every byte written since the last TakeWritten()
  // Runs before each write, as a failing network layer would (it may throw).
  std::function<void(std::string_view)> before_write;

  std::string TakeWritten();
};

struct ShownLine {
  View view;
  StyledLine line;
  const std::string& text() const { return line.text; }
  // The colour of the byte at `pos` (0-based); 0xFFFFFFFF when no run covers it.
  Color ColorAt(size_t pos) const;
  // The text cut where the colour changes: each piece with its colour.
  std::vector<std::pair<std::string, Color>> Pieces() const;
};

class FakeFrontend : public Frontend {
 public:
  void AppendLine(View view, const StyledLine& line) override;
  void ClearView(View view) override;
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowPage(Page page) override { pages.push_back(page); }
  void ShowProgress(const std::string& caption, int maximum) override;
  void StepProgress() override { ++progress_steps; }
  void HideProgress() override { progress_visible = false; }
  void ShowClientState(const std::string& state) override { states.push_back(state); }
  void ShowProfile(const std::string& account, const std::string& own_account) override {
    profiles.push_back(account + "|" + own_account);
  }
  void ConnectCaptionChanged(const std::string& caption) override { caption_ = caption; }
  void ChannelFieldChanged(const std::string& text) override { channel_field = text; }
  void Beep() override { ++beeps; }
  void CloseMainWindow() override { ++close_requests; }
  // Records "title|filter|folder" and answers with file_answer.
  std::string AskFileName(const std::string& title, const std::string& filter,
                          const std::filesystem::path& folder) override {
    file_dialogs.push_back(title + "|" + filter + "|" + folder.string());
    return file_answer;
  }
  // Records "title|text" and answers with ok_answer.
  bool AskOkCancel(const std::string& text, const std::string& title) override {
    questions.push_back(title + "|" + text);
    return ok_answer;
  }
  void OpenFile(const std::string& path, const std::string& folder) override {
    opened_files.push_back(path + "|" + folder);
  }
  void LoginStopped(LoginStop why) override { login_stops.push_back(why); }

  // Texts of the lines shown in a view since the last TakeLines(), in order.
  std::vector<std::string> Texts(View view = View::kChat) const;
  std::vector<ShownLine> TakeLines();
  // True when a line with exactly this text was shown in the view.
  bool Showed(const std::string& text, View view = View::kChat) const;

  std::vector<ShownLine> lines;
  std::vector<std::string> messages;
  std::vector<Page> pages;
  std::vector<std::string> states;
  std::vector<std::string> profiles;  // account + "|" + own account, per window opened
  std::string caption_;
  std::string channel_field;
  std::string progress_caption;
  int progress_maximum = 0;
  int progress_steps = 0;
  bool progress_visible = false;
  int beeps = 0;
  int close_requests = 0;
  std::vector<std::string> file_dialogs;
  std::string file_answer;  // what the next file dialog answers; empty = cancelled
  std::vector<std::string> questions;
  bool ok_answer = false;                 // what OK/Cancel questions answer
  std::vector<std::string> opened_files;  // path + "|" + working folder, per OpenFile
  std::vector<LoginStop> login_stops;
  int chat_clears = 0;
  int whisper_clears = 0;
};

}  // namespace tc::test
