// The settings profile as text a person edits and keeps under version control: the file's lines
// decoded, UTF-8, one a line, and back to the coded file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// The coded profile file's lines as UTF-8 text, each ended by LF. The field mark reads as "Ñ".
std::string ProfileTextFromFile(std::string_view file_bytes);

// A line of the text (from 1) and what is wrong with it.
struct ProfileTextNote {
  int line_number = 0;
  std::string text;
};

struct ProfileFromText {
  std::string file_bytes;                 // the coded profile; empty when refused
  std::optional<ProfileTextNote> error;   // the first malformed line: nothing is to be written
  std::vector<ProfileTextNote> warnings;  // lines skipped, the rest still imported
};

// Reads the text back. Malformed: bytes that are not UTF-8, a non-blank line too short for a key,
// a list line without the field marks or markers its list needs, a value the profile reader
// refuses. Blank lines are skipped; a line of an unknown key is skipped with a warning, as the
// profile reader would skip it.
ProfileFromText ProfileFileFromText(std::string_view text);

}  // namespace tc
