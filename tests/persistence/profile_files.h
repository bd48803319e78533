// Test helpers: settings profile files as plain lines.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/code_text.h"
#include "harness/session.h"

namespace tc::test {

// Each plain line coded and ended by CR LF, as the program writes them.
inline std::string Coded(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += CodeText("Encode", line) + "\r\n";
  return bytes;
}

// The plain lines of a coded file.
inline std::vector<std::string> PlainLines(const std::filesystem::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(path));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(CodeText("Decode", line));
  }
  return lines;
}

inline std::filesystem::path ProfilePath(const std::filesystem::path& dir,
                                         const std::string& name) {
  return dir / "Users" / (name + ".usr");
}

}  // namespace tc::test
