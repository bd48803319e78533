// A small INI-style file: sections of "key=value" lines. Section and key names match without regard
// to letter case; the layout of what is read is kept when writing back.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

class IniFile {
 public:
  // Reads the file; a missing or unreadable file gives an empty document.
  void Load(const std::filesystem::path& path);
  void Parse(std::string_view text);
  std::string Serialize() const;

  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  // Creates the section or the key as needed.
  void Write(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct Line {
    std::string text;     // the line as it stands
    std::string section;  // for a section header, its name
    std::string key;      // for a key line, its key
    bool header = false;
  };
  // Index of the header line of `section`, or -1.
  int FindSection(std::string_view section) const;

  std::vector<Line> lines_;
};

}  // namespace tc
