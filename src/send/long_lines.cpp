#include "send/long_lines.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace tc {

namespace {

// With less room than one character of any kind, a cut could give nothing and never end.
constexpr size_t kMinRoom = 4;

constexpr std::array<std::string_view, 4> kWhisperWords = {"/w", "/whisper", "/m", "/msg"};
constexpr std::array<std::string_view, 2> kEmoteWords = {"/me", "/emote"};

bool IsOneOf(std::string_view word, std::span<const std::string_view> words) {
  return std::any_of(words.begin(), words.end(),
                     [word](std::string_view w) { return EqualsNoCase(word, w); });
}

// The longest line of this kind one window of the quota takes, or no bound when it has none.
size_t QuotaFit(bool emote, const SendQuota& quota) {
  if (!quota.Active()) return SIZE_MAX;
  const int factor = emote ? std::clamp(quota.emote_factor, 1, 100) : 1;
  const auto units = static_cast<size_t>(quota.units / factor);
  // A window too small for any line of this kind: the too-long check refuses it, whole.
  if (units == 0) return SIZE_MAX;
  return units * static_cast<size_t>(std::max(quota.bytes_per_unit, 1));
}

std::string_view CutAt(std::string_view bytes, size_t max_bytes, SendEncoding encoding) {
  // A Windows-1252 byte is a character of its own; only UTF-8 has characters to keep whole.
  return encoding == SendEncoding::kUtf8 ? CutBytes(bytes, max_bytes) : bytes.substr(0, max_bytes);
}

void DropLeadingSpaces(std::string_view& text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

}  // namespace

bool SplittablePrefix(std::string_view wire, std::string_view& prefix) {
  prefix = {};
  if (wire.empty()) return false;
  if (wire.front() != '/') return true;
  const size_t word_end = wire.find(' ');
  if (word_end == std::string_view::npos) return false;
  const std::string_view word = wire.substr(0, word_end);
  if (IsOneOf(word, kEmoteWords)) {
    prefix = wire.substr(0, word_end + 1);
    return true;
  }
  if (!IsOneOf(word, kWhisperWords)) return false;
  const size_t name_end = wire.find(' ', word_end + 1);
  if (name_end == std::string_view::npos || name_end == word_end + 1) return false;
  prefix = wire.substr(0, name_end + 1);
  return true;
}

std::vector<std::string> LongLinePieces(std::string_view wire, size_t limit, SendEncoding encoding,
                                        const SendQuota& quota) {
  std::string_view prefix;
  if (limit == 0 || !SplittablePrefix(wire, prefix)) return {std::string(wire)};
  const bool emote = !prefix.empty() && IsOneOf(prefix.substr(0, prefix.size() - 1), kEmoteWords);
  const size_t fit = std::min(limit, QuotaFit(emote, quota));
  if (wire.size() <= fit || fit < prefix.size() + kMinRoom) return {std::string(wire)};

  const size_t room = fit - prefix.size();
  std::vector<std::string> pieces;
  std::string_view rest = wire.substr(prefix.size());
  while (!rest.empty()) {
    std::string_view piece = rest;
    if (rest.size() > room) {
      // A space just after the limit is as good a cut as one before it.
      const size_t space = rest.substr(0, room + 1).find_last_of(' ');
      size_t end = space == std::string_view::npos ? 0 : space;
      while (end > 0 && rest[end - 1] == ' ') --end;
      piece = end > 0 ? rest.substr(0, end) : CutAt(rest, room, encoding);
    }
    rest.remove_prefix(piece.size());
    DropLeadingSpaces(rest);
    pieces.push_back(std::string(prefix).append(piece));
  }
  return pieces;
}

}  // namespace tc
