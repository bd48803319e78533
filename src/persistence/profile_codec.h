// The settings profile file's lines: the single-value keys and the list lines read into the
// option structs and the list tables, and written from them in the file's fixed order.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/list_lines.h"
#include "persistence/settings_keys.h"

namespace tc {

// Where a read stopped: a value that did not convert, on a line (from 1) under a key.
struct ProfileReadStop {
  Applied applied;
  int line_number;
  std::string key;
};

// Cuts the next line off `bytes`: up to LF, a CR before it dropped. Call while `bytes` is not
// empty; the text after the last LF is a line of its own.
std::string_view TakeProfileLine(std::string_view& bytes);
// One coded line of the file as text, and back.
std::string DecodeProfileLine(std::string_view coded);
std::string EncodeProfileLine(std::string_view line);

// Told of every variable line read: the name it holds and whether that name is a macro's.
using VariableLineRead = std::function<void(std::string_view name, bool macro)>;

// Reads the file's coded bytes into the target and the lists (which the caller cleared, or not);
// the read ends at the first value that does not convert.
std::optional<ProfileReadStop> ReadProfileLines(std::string_view bytes,
                                                const SettingsTarget& target,
                                                const ProfileLists& lists,
                                                const VariableLineRead& variable_read = {});

// The plain lines of the profile in write order, and the file's coded bytes (CR LF after each).
std::vector<std::string> ProfileLines(const SettingsValues& values, const ProfileLists& lists);
std::string EncodeProfile(const SettingsValues& values, const ProfileLists& lists);

}  // namespace tc
