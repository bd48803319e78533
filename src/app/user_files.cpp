// User script files: UserFiles/<name>.usf, lines written one at a time and played back through
// the send path as if typed.
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "app/client.h"
#include "common/file_names.h"
#include "common/text.h"

namespace tc {

namespace {

// A script that runs itself, directly or through others, would otherwise never end.
constexpr int kMaxScriptDepth = 8;

// The name as the user gave it, reduced: the part up to the first separator and anything from
// the first "." are dropped. "/" counts as "\" here.
std::string ReducedName(std::string_view name) {
  const size_t separator = name.find_first_of("\\/");
  if (separator != std::string_view::npos) name.remove_prefix(separator + 1);
  const size_t dot = name.find('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::vector<std::string> ReadLines(std::ifstream& in) {
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(TextFromBytes(line));
  }
  return lines;
}

}  // namespace

std::optional<std::filesystem::path> Client::UsableUserFile(std::string_view name) {
  const std::filesystem::path folder = program_dir_ / "UserFiles";
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) std::filesystem::create_directories(folder, ec);
  // The helper keeps whatever is left of the name inside the folder (no separator, NUL or "..").
  const std::filesystem::path path =
      name.empty() ? folder / "Default.usf" : FileInFolder(folder, ReducedName(name), ".usf");

  bool usable = std::filesystem::is_regular_file(path, ec);
  if (!usable && !std::filesystem::exists(path, ec)) {
    std::ofstream create(path, std::ios::binary | std::ios::app);
    usable = create.good();
  }
  if (!usable) {
    ShowLocal("Error ( Unable to open file: " + path.string() + " )");
    return std::nullopt;
  }
  return path;
}

void Client::DeleteUserFile(std::string_view name) {
  const std::optional<std::filesystem::path> path = UsableUserFile(name);
  if (!path) return;
  std::error_code ec;
  std::filesystem::remove(*path, ec);
}

void Client::WriteUserFile(std::string_view name, std::string_view text) {
  const std::optional<std::filesystem::path> path = UsableUserFile(name);
  if (!path) return;
  std::string line(text);
  // One write is one line of the file, whatever the text holds.
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::ofstream out(*path, std::ios::binary | std::ios::app);
  out << FileBytesFromText(line) << "\r\n";
  if (!out) ShowLocal("Error ( Unable to write file: " + path->string() + " )");
}

void Client::RunUserFile(std::string_view name) {
  const std::optional<std::filesystem::path> path = UsableUserFile(name);
  if (!path) return;
  if (script_depth_ >= kMaxScriptDepth) {
    ShowLocal("System ( Script " + path->filename().string() + " not run: scripts nested " +
              std::to_string(kMaxScriptDepth) + " deep. )");
    return;
  }
  std::ifstream in(*path, std::ios::binary);
  if (!in) {
    ShowLocal("Error ( Unable to open file: " + path->string() + " )");
    return;
  }
  // Read first: a script may write to or delete its own file while it runs.
  const std::vector<std::string> lines = ReadLines(in);
  in.close();
  ++script_depth_;
  for (const std::string& line : lines) {
    // The owner's own script file: its lines are trusted as if typed.
    if (!line.empty()) SendText(TaintedText(line));
  }
  --script_depth_;
}

}  // namespace tc
