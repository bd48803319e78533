// The field layouts of the server's lines, each written down once. Every cut is bounds-checked; a
// line shorter than its code's layout reads as UnreadableLine, never out of bounds. Lines arrive
// as UTF-8, so the layouts count characters: a byte count would cut a hostile line's name or text
// inside a character.
#include "protocol/server_line.h"

#include "common/text.h"

namespace tc {

namespace {

// "1001 USER " / "1002 JOIN " + name + " " + flags + " " + product: the flags and the product are
// cut from the end of the line, the product as its last six characters ("[STAR]").
constexpr size_t kPresentPrefix = 10;
constexpr size_t kPresentMinimum = 23;  // at least one character of name
constexpr size_t kPresentProduct = 6;
constexpr size_t kPresentFlagsFromEnd = 11;
constexpr size_t kPresentNameFromEnd = 12;  // " flags product"
constexpr size_t kFlagsSize = 4;

// "1003 LEAVE " + name + " " + flags.
constexpr size_t kLeavePrefix = 11;
constexpr size_t kLeaveMinimum = 17;
constexpr size_t kLeaveFlagsFromEnd = 5;

// "1007 CHANNEL \"" + channel + "\"".
constexpr size_t kChannelPrefix = 14;
constexpr size_t kChannelMinimum = 16;

// "1009 USER " + name + " " + flags.
constexpr std::string_view kFlagsHead = "1009 USER ";
constexpr size_t kFlagsMinimum = 16;
constexpr size_t kFlagsNameFromEnd = 5;

// The speaker lines: the head, then name + " " + flags + " \"" + text + "\"".
constexpr size_t kWhisperPrefix = 13;    // "1004 WHISPER " and "1010 WHISPER "
constexpr size_t kTalkPrefix = 10;       // "1005 TALK "
constexpr size_t kEmotePrefix = 11;      // "1023 EMOTE "
constexpr size_t kSpeakerAfterName = 8;  // a space, four flag digits, a space and the two quotes
constexpr size_t kSpeakerTextFromSpace = 7;

// The notices: the head with its opening quote, then text + "\"".
constexpr size_t kInfoPrefix = 11;   // "1018 INFO \""
constexpr size_t kErrorPrefix = 12;  // "1019 ERROR \""

// "2010 NAME " + account.
constexpr size_t kLoggedInPrefix = 10;

bool StartsCharacter(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

size_t Chars(std::string_view text) {
  size_t count = 0;
  for (const char byte : text) count += StartsCharacter(byte) ? 1 : 0;
  return count;
}

// Byte offset of character `n` of `text` (its size when there are fewer).
size_t ByteOf(std::string_view text, size_t n) {
  size_t seen = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (StartsCharacter(text[at]) && seen++ == n) return at;
  }
  return text.size();
}

std::string_view DropFirstChars(std::string_view text, size_t n) {
  return text.substr(ByteOf(text, n));
}

std::string_view DropLastChars(std::string_view text, size_t n) {
  const size_t count = Chars(text);
  return text.substr(0, count > n ? ByteOf(text, count - n) : 0);
}

std::string_view LastChars(std::string_view text, size_t n) {
  const size_t count = Chars(text);
  return count > n ? text.substr(ByteOf(text, count - n)) : text;
}

struct Speaker {
  std::string_view name;
  std::string_view text;
};

std::optional<Speaker> CutSpeaker(std::string_view line, size_t prefix) {
  const std::string_view rest = DropFirstChars(line, prefix);
  const size_t space = rest.find(' ');
  if (space == std::string_view::npos || space == 0) return std::nullopt;
  const std::string_view after = rest.substr(space);
  if (Chars(after) < kSpeakerAfterName) return std::nullopt;
  return Speaker{rest.substr(0, space),
                 DropLastChars(DropFirstChars(after, kSpeakerTextFromSpace), 1)};
}

// The quoted text of a notice; nullopt when the line cannot hold its closing quote.
std::optional<std::string_view> CutNotice(std::string_view line, size_t prefix) {
  if (Chars(line) < prefix + 1) return std::nullopt;
  return DropLastChars(DropFirstChars(line, prefix), 1);
}

struct CodeText {
  std::string_view text;
  LineCode code;
};

constexpr CodeText kCodes[] = {
    {"1001", LineCode::kUserPresent},  {"1002", LineCode::kUserJoined},
    {"1003", LineCode::kUserLeft},     {"1004", LineCode::kWhisperFrom},
    {"1005", LineCode::kTalk},         {"1007", LineCode::kChannelEntered},
    {"1009", LineCode::kFlagsChanged}, {"1010", LineCode::kWhisperTo},
    {"1018", LineCode::kInfoNotice},   {"1019", LineCode::kErrorNotice},
    {"1023", LineCode::kEmote},
};

std::optional<LineCode> CodeOf(std::string_view line) {
  const std::string_view code = line.substr(0, 4);
  for (const CodeText& known : kCodes) {
    if (code == known.text) return known.code;
  }
  return std::nullopt;
}

std::optional<ServerEvent> ParseFields(LineCode code, std::string_view line) {
  switch (code) {
    case LineCode::kUserPresent:
    case LineCode::kUserJoined: {
      if (Chars(line) < kPresentMinimum) return std::nullopt;
      const std::string_view product = LastChars(line, kPresentProduct);
      const std::string_view flags =
          DropLastChars(LastChars(line, kPresentFlagsFromEnd), kPresentFlagsFromEnd - kFlagsSize);
      const std::string_view rest = DropFirstChars(line, kPresentPrefix);
      if (code == LineCode::kUserPresent) {
        return UserPresent{DropLastChars(rest, kPresentNameFromEnd), flags, product};
      }
      // A join's name ends at its first space.
      const std::string_view name = rest.substr(0, rest.find(' '));
      if (name.empty()) return std::nullopt;
      return UserJoined{name, flags, product};
    }
    case LineCode::kUserLeft: {
      if (Chars(line) < kLeaveMinimum) return std::nullopt;
      std::string_view name = DropLastChars(DropFirstChars(line, kLeavePrefix), kLeaveFlagsFromEnd);
      if (!name.empty() && name.back() == ' ') name.remove_suffix(1);
      if (name.empty()) return std::nullopt;
      return UserLeft{name};
    }
    case LineCode::kWhisperFrom:
    case LineCode::kWhisperTo:
    case LineCode::kTalk:
    case LineCode::kEmote: {
      const size_t prefix = code == LineCode::kTalk    ? kTalkPrefix
                            : code == LineCode::kEmote ? kEmotePrefix
                                                       : kWhisperPrefix;
      const std::optional<Speaker> s = CutSpeaker(line, prefix);
      if (!s) return std::nullopt;
      if (code == LineCode::kWhisperFrom) return WhisperFrom{s->name, s->text};
      if (code == LineCode::kWhisperTo) return WhisperTo{s->name, s->text};
      if (code == LineCode::kTalk) return Talk{s->name, s->text};
      return Emote{s->name, s->text};
    }
    case LineCode::kChannelEntered:
      if (Chars(line) < kChannelMinimum) return std::nullopt;
      return ChannelEntered{DropLastChars(DropFirstChars(line, kChannelPrefix), 1)};
    case LineCode::kFlagsChanged:
      if (!StartsWith(line, kFlagsHead) || Chars(line) < kFlagsMinimum) return std::nullopt;
      return FlagsChanged{DropLastChars(DropFirstChars(line, kFlagsHead.size()), kFlagsNameFromEnd),
                          LastChars(line, kFlagsSize)};
    case LineCode::kInfoNotice:
      if (const auto text = CutNotice(line, kInfoPrefix)) return InfoNotice{*text};
      return std::nullopt;
    case LineCode::kErrorNotice:
      if (const auto text = CutNotice(line, kErrorPrefix)) return ErrorNotice{*text};
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ServerEvent> ParseServerLine(std::string_view line) {
  if (const std::optional<LineCode> code = CodeOf(line)) {
    if (std::optional<ServerEvent> event = ParseFields(*code, line)) return event;
    return UnreadableLine{*code};
  }
  if (StartsWith(line, "2000")) return KeepAlive{};
  if (StartsWith(line, "2010")) return LoggedIn{DropFirstChars(line, kLoggedInPrefix)};
  if (line == "Enter your account name and password.") return LoginPrompt{};
  if (line == "Login incorrect" || line == "Login failed.") {
    return LoginRefused{LoginRefusal::kIncorrect};
  }
  if (line == "Account has no bot access.") return LoginRefused{LoginRefusal::kNoBotAccess};
  return std::nullopt;
}

}  // namespace tc
