#include "common/ini_file.h"

#include <fstream>
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
    Line line{std::string(raw), {}, {}, false};
    const std::string_view trimmed = Trim(raw);
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
    out += line.text;
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

}  // namespace tc
