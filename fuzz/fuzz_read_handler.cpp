// Hostile server bytes into the read handler of a logged-in client that knows people: a filled
// user database, a channel with users, variables and custom colours.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/text.h"
#include "harness/session.h"

namespace {

tc::test::Session& Client() {
  static tc::test::Session s;
  static const bool ready = [] {
    s.StartUp();
    tc::Options& o = s.core().options();
    o.keep_log = tc::KeepLog::kNone;  // keeps the disk out of the loop
    o.channel_hit_counter = false;
    s.LogIn("talvexbot", "Fuzz Room");
    for (int i = 0; i < 200; ++i) {
      const std::string name = "user" + std::to_string(i);
      s.Server("1001 USER " + name + " 00" + std::to_string(i % 4) + "0 [STAR]");
      s.core().database().UpdateUser(
          name, {{tc::UserField::kAccount_Number, "#" + std::to_string(i % 7)}});
    }
    s.core().variables().Append({"$v$", "value"});
    s.core().custom_colors().Append({"ab", "clRed"});
    s.core().accounts().Append({"user3", "Ban;Ignore;", tc::OnOff::kOn});
    return true;
  }();
  (void)ready;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tc::test::Session& s = Client();
  if (size == 0) return 0;
  // The first byte picks how the rest is cut into reads.
  const size_t chunk = 1 + data[0] % 64;
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  for (size_t at = 0; at < bytes.size(); at += chunk) s.Receive(bytes.substr(at, chunk));
  // Whatever the bytes, the core holds and shows text as UTF-8.
  for (const auto& line : s.ui.lines) {
    if (!tc::IsValidUtf8(line.text())) __builtin_trap();
  }
  s.ui.lines.clear();
  s.ui.messages.clear();
  s.Written();
  // Keep the client in a channel so the next input meets a logged-in client again.
  if (!s.core().logged_in() || s.core().current_channel().empty()) {
    s.DeliverPendingDisconnect();
    s.core().options().password = "secret";
    if (s.core().connect_caption() == "Connect") s.LogIn("talvexbot", "Fuzz Room");
  }
  return 0;
}
