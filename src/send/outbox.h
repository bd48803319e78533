// The outbox: the one way out for everything the user or the bot says. It expands templates and
// runs local commands through its host, then paces server lines through the flood-controlled send
// queue, remembers the talk it sent (to know the server's echo of it) and guards against lines
// that send lines without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/tainted_text.h"
#include "common/text.h"
#include "ports/core_timer.h"
#include "ports/ports.h"
#include "send/line_origin.h"
#include "send/send_budget.h"
#include "send/send_queue.h"

namespace tc {

// What the outbox needs from the rest of the client.
class OutboxHost {
 public:
  virtual ~OutboxHost() = default;
  virtual void WriteToServer(std::string_view bytes) = 0;
  // A message of the program in the chat view; a local line, never taken for a server one.
  virtual void ShowLocal(const std::string& text) = 0;
  // The line with its templates expanded; untrusted parts stay as they are.
  virtual TaintedText ExpandTemplate(const TaintedText& line) = 0;
  // True when the line was a local command and has been run.
  virtual bool RunLocalCommand(const TaintedText& line) = 0;
  // A "/join" is about to leave the current channel.
  virtual void LeavingChannel() = 0;
  virtual bool Connected() const = 0;
  virtual bool AntiFloodOn() const = 0;
  virtual SendQuota Quota() const = 0;
  virtual const std::string& OwnAccount() const = 0;
  virtual const std::string& CurrentChannel() const = 0;
  // The coding typed text goes out in.
  virtual SendEncoding SendAs() const = 0;
  // Talk, whispers and emotes longer than this many bytes leave in pieces; 0: never.
  virtual size_t SplitLongLinesAt() const = 0;
};

class Outbox {
 public:
  Outbox(OutboxHost& host, const Clock& clock);
  Outbox(const Outbox&) = delete;
  Outbox& operator=(const Outbox&) = delete;

  // Expands, runs a local command or sends to the server. A line sent while an automatic line
  // runs is automatic too, whatever `origin` says.
  void Send(const TaintedText& text, LineOrigin origin);
  // A line the connection wrote by itself (the login, the first join): it counts in the server's
  // quota window all the same.
  void CountWritten(std::string_view line);
  // True when `line` is the server's echo of talk we sent: the last equal entry is forgotten.
  bool TakeEcho(std::string_view line);
  // A server error line: a quota refusal of the line just written sends it again once.
  void LineRefused(std::string_view error);
  // "/buffer": the waiting lines are dropped.
  void ClearQueue() { queue_.Clear(); }
  void ConnectionClosed() { queue_.ConnectionClosed(); }

  // The anti-flood timer: when it is due, and its tick (which checks that it is due).
  std::optional<int64_t> NextDeadline() const;
  void OnTimer(int64_t now_ms);

  // Everything sent while a scope lives is automatic, as if from inside an automatic line: what
  // events, keys and the program's own reactions send. Returns what LeaveAutomatic puts back.
  LineOrigin EnterAutomatic();
  void LeaveAutomatic(LineOrigin previous);

  // How deep lines run inside each other's sending; at kMaxDepth a line is not sent.
  static constexpr int kMaxDepth = 32;
  int depth() const { return send_depth_; }

  const SendQueue& queue() const { return queue_; }
  const CoreTimer& anti_flood_timer() const { return anti_flood_timer_; }
  std::vector<std::string>& sent_lines() { return sent_lines_; }

 private:
  void SendToServer(std::string line, LineOrigin origin);
  // One line's bytes (a whole line or a piece of a long one) to the server or the queue.
  void SendPiece(const std::string& bytes, bool automatic);
  void WriteLine(const std::string& line, bool automatic);
  void ShowWritten(const std::string& wire);
  void ShowOwnTalk(std::string_view line);
  void AntiFloodTick();

  OutboxHost& host_;
  const Clock& clock_;
  SendQueue queue_;
  CoreTimer anti_flood_timer_{SendQueue::kBaseIntervalMs};  // AntiFlood_Timer1
  std::vector<std::string> sent_lines_;
  int send_depth_ = 0;                              // Send within Send ("/send ", scripts, events)
  LineOrigin sending_origin_ = LineOrigin::kOwner;  // of the outermost Send running
};

}  // namespace tc
