// One line from the chat server, read into a typed event. Pure: no state, no allocation; every
// text in an event is a view into the line given, so the line must outlive the event.
#pragma once

#include <optional>
#include <string_view>
#include <variant>

namespace tc {

// "1001 USER name flags product": a user already in the channel when we entered it.
struct UserPresent {
  std::string_view name;
  std::string_view flags;
  std::string_view product;
};

// "1002 JOIN name flags product".
struct UserJoined {
  std::string_view name;
  std::string_view flags;
  std::string_view product;
};

// "1003 LEAVE name flags".
struct UserLeft {
  std::string_view name;
};

// "1004 WHISPER name flags \"text\"".
struct WhisperFrom {
  std::string_view name;
  std::string_view text;
};

// "1005 TALK name flags \"text\"".
struct Talk {
  std::string_view name;
  std::string_view text;
};

// "1007 CHANNEL \"channel\"": the own account entered a channel.
struct ChannelEntered {
  std::string_view channel;
};

// "1009 USER name flags": a user's flags changed.
struct FlagsChanged {
  std::string_view name;
  std::string_view flags;
};

// "1010 WHISPER name flags \"text\"": the server's copy of a whisper we sent.
struct WhisperTo {
  std::string_view name;
  std::string_view text;
};

// "1018 INFO \"text\"".
struct InfoNotice {
  std::string_view text;
};

// "1019 ERROR \"text\"".
struct ErrorNotice {
  std::string_view text;
};

// "1023 EMOTE name flags \"text\"".
struct Emote {
  std::string_view name;
  std::string_view text;
};

// "2000 NULL" and anything else under that code.
struct KeepAlive {};

// "2010 NAME account": the login succeeded under this account name.
struct LoggedIn {
  std::string_view account;
};

// The server asks for the account name and the password.
struct LoginPrompt {};

enum class LoginRefusal { kIncorrect, kNoBotAccess };

// The server refused the login and will close the connection.
struct LoginRefused {
  LoginRefusal reason;
};

// The codes whose lines carry fields; a line of one of them may be too short to read.
enum class LineCode {
  kUserPresent = 1001,
  kUserJoined = 1002,
  kUserLeft = 1003,
  kWhisperFrom = 1004,
  kTalk = 1005,
  kChannelEntered = 1007,
  kFlagsChanged = 1009,
  kWhisperTo = 1010,
  kInfoNotice = 1018,
  kErrorNotice = 1019,
  kEmote = 1023,
};

// A line of a known code too short for that code's layout (or, for 1009, not a "USER" line):
// nothing can be read from it.
struct UnreadableLine {
  LineCode code;
};

using ServerEvent =
    std::variant<UserPresent, UserJoined, UserLeft, WhisperFrom, Talk, ChannelEntered, FlagsChanged,
                 WhisperTo, InfoNotice, ErrorNotice, Emote, KeepAlive, LoggedIn, LoginPrompt,
                 LoginRefused, UnreadableLine>;

// nullopt for a line of no code the program reacts to.
std::optional<ServerEvent> ParseServerLine(std::string_view line);

}  // namespace tc
