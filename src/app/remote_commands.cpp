// Remote user commands: what other users may ask of the bot in a whisper or an emote.
#include <cstdint>
#include <string>

#include "app/client.h"
#include "common/text.h"

namespace tc {

namespace {

constexpr int kNamesPerChunk = 15;
constexpr int kChunkedNames = 60;  // names after these go in one last chunk
// A user who asks again within this time gets no new answer: a few users repeating "!who" must
// not fill the send queue for everyone else.
constexpr int64_t kWhoQuietMs = 30000;

}  // namespace

void Client::UsersCommand(std::string_view user, std::string_view text, RemoteOrigin /*origin*/) {
  // "!say" is reserved and has no effect; the first six bytes are compared, so only a text of
  // exactly "!who" matches.
  if (text.substr(0, 6) != "!who") return;
  if (!TakeWhoTurn(user)) return;

  // The sender's name and the channel's names came from the server: they stay text.
  const auto send_chunk = [this, user](const std::string& chunk) {
    TaintedText line("/w ");
    line.AppendUntrusted(user);
    line.Append(" ");
    line.AppendUntrusted(chunk);
    SendText(line, LineOrigin::kAutomatic);
  };
  const std::vector<TextTable::Row> rows = roster_.Rows();
  std::string chunk;
  const int count = static_cast<int>(rows.size());
  for (int i = 0; i < count; ++i) {
    chunk += rows[static_cast<size_t>(i)][0];
    if (i == count - 1) break;
    const int shown = i + 1;
    if (shown % kNamesPerChunk == 0 && shown <= kChunkedNames) {
      send_chunk(chunk);
      chunk.clear();
    } else {
      chunk += ", ";
    }
  }
  if (!chunk.empty()) send_chunk(chunk);
}

bool Client::TakeWhoTurn(std::string_view user) {
  const int64_t now = clock_.NowMs();
  while (!who_answered_.empty() && now - who_answered_.front().second >= kWhoQuietMs) {
    who_answered_names_.erase(who_answered_.front().first);
    who_answered_.pop_front();
  }
  std::string key = LowerCase1252(user);
  if (!who_answered_names_.insert(key).second) return false;
  who_answered_.emplace_back(std::move(key), now);
  return true;
}

}  // namespace tc
