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

  bool HasSection(std::string_view section) const;
  int SectionCount() const;
  // The name of the first section in the file; empty when there is none.
  std::string FirstSection() const;
  // Removes a section with its lines and answers how many bytes fewer Serialize() now gives.
  size_t RemoveSection(std::string_view section);
  // Puts a section with its lines after every other one, so that the order of the sections tells
  // which was written most recently.
  void MoveSectionToEnd(std::string_view section);

 private:
  struct Line {
    std::string text;     // the line as it stands
    std::string section;  // for a section header, its name
    std::string key;      // for a key line, its key
    bool header = false;
  };
  // Index of the header line of `section`, or -1.
  int FindSection(std::string_view section) const;
  // Index of the line after the lines of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const;
  void DropTrailingBlankLines();
  // Removes lines [begin, end) and answers their bytes in Serialize().
  size_t RemoveLines(size_t begin, size_t end);

  std::vector<Line> lines_;
};

}  // namespace tc
