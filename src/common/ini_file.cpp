#include "common/ini_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/text.h"

namespace tc {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

void IniFile::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  Parse(text.str());
}

void IniFile::Parse(std::string_view text) {
  lines_.clear();
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view raw = text.substr(0, nl);
    text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    // Each line by the files' coding rule: UTF-8 when it is valid UTF-8, else Windows-1252.
    Line line{TextFromBytes(raw), {}, {}, false};
    const std::string_view trimmed = Trim(line.text);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
      line.header = true;
      line.section = std::string(trimmed.substr(1, trimmed.size() - 2));
    } else if (const size_t eq = trimmed.find('=');
               eq != std::string_view::npos && !trimmed.starts_with(';')) {
      line.key = std::string(Trim(trimmed.substr(0, eq)));
    }
    lines_.push_back(std::move(line));
  }
}

std::string IniFile::Serialize() const {
  std::string out;
  for (const Line& line : lines_) {
    out += FileBytesFromText(line.text);
    out += "\r\n";
  }
  return out;
}

int IniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].header && EqualsNoCase(lines_[i].section, section)) return static_cast<int>(i);
  }
  return -1;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const int header = FindSection(section);
  if (header < 0) return std::nullopt;
  for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size() && !lines_[i].header; ++i) {
    if (!lines_[i].key.empty() && EqualsNoCase(lines_[i].key, key)) {
      const std::string_view text = lines_[i].text;
      return std::string(Trim(text.substr(text.find('=') + 1)));
    }
  }
  return std::nullopt;
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::string text = std::string(key) + "=" + std::string(value);
  int header = FindSection(section);
  if (header < 0) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back({"", {}, {}, false});
    lines_.push_back({"[" + std::string(section) + "]", std::string(section), {}, true});
    lines_.push_back({text, {}, std::string(key), false});
    return;
  }
  size_t end = static_cast<size_t>(header) + 1;
  for (; end < lines_.size() && !lines_[end].header; ++end) {
    if (!lines_[end].key.empty() && EqualsNoCase(lines_[end].key, key)) {
      lines_[end].text = text;
      return;
    }
  }
  // After the section's last non-blank line, so a blank separator stays between sections.
  size_t at = end;
  while (at > static_cast<size_t>(header) + 1 && Trim(lines_[at - 1].text).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<long>(at), {text, {}, std::string(key), false});
}

bool IniFile::HasSection(std::string_view section) const {
  return FindSection(section) >= 0;
}

int IniFile::SectionCount() const {
  return static_cast<int>(
      std::count_if(lines_.begin(), lines_.end(), [](const Line& line) { return line.header; }));
}

std::string IniFile::FirstSection() const {
  for (const Line& line : lines_) {
    if (line.header) return line.section;
  }
  return {};
}

size_t IniFile::SectionEnd(size_t header) const {
  size_t end = header + 1;
  while (end < lines_.size() && !lines_[end].header) ++end;
  return end;
}

void IniFile::DropTrailingBlankLines() {
  while (!lines_.empty() && Trim(lines_.back().text).empty()) lines_.pop_back();
}

size_t IniFile::RemoveSection(std::string_view section) {
  const int header = FindSection(section);
  if (header < 0) return 0;
  const auto begin = static_cast<size_t>(header);
  size_t end = SectionEnd(begin);
  // A last section takes the blank lines before it along, so the file ends as it did.
  if (end == lines_.size()) {
    size_t from = begin;
    while (from > 0 && Trim(lines_[from - 1].text).empty()) --from;
    if (from > 0) return RemoveLines(from, end);
  }
  return RemoveLines(begin, end);
}

size_t IniFile::RemoveLines(size_t begin, size_t end) {
  size_t bytes = 0;
  for (size_t i = begin; i < end; ++i) bytes += FileBytesFromText(lines_[i].text).size() + 2;
  lines_.erase(lines_.begin() + static_cast<long>(begin), lines_.begin() + static_cast<long>(end));
  return bytes;
}

void IniFile::MoveSectionToEnd(std::string_view section) {
  // The common case, the section already last, is answered from the end of the file.
  for (size_t i = lines_.size(); i-- > 0;) {
    if (!lines_[i].header) continue;
    if (EqualsNoCase(lines_[i].section, section)) return;
    break;
  }
  const int header = FindSection(section);
  if (header < 0) return;
  const auto begin = lines_.begin() + header;
  const auto end = lines_.begin() + static_cast<long>(SectionEnd(static_cast<size_t>(header)));
  std::vector<Line> block(std::make_move_iterator(begin), std::make_move_iterator(end));
  lines_.erase(begin, end);
  while (!block.empty() && Trim(block.back().text).empty()) block.pop_back();
  DropTrailingBlankLines();
  if (!lines_.empty()) lines_.push_back({"", {}, {}, false});
  for (Line& line : block) lines_.push_back(std::move(line));
}

}  // namespace tc
