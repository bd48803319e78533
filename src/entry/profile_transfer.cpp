#include "entry/profile_transfer.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "common/code_text.h"
#include "common/text.h"
#include "console/console_options.h"
#include "persistence/profile_text.h"
#include "persistence/settings_file.h"

namespace tc::entry {
namespace {

std::optional<std::string> ReadWhole(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return bytes.str();
}

// An empty name is "Default", as in the profile name field.
std::string NameOrDefault(const std::optional<std::string>& name) {
  return name && !name->empty() ? TextFromBytes(*name) : std::string("Default");
}

}  // namespace

std::string ProfileInUse(const std::filesystem::path& program_dir) {
  const std::optional<std::string> settings = ReadWhole(program_dir / "talvexchat.dat");
  if (!settings) return "Default";
  std::string_view first(*settings);
  first = first.substr(0, first.find('\n'));
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  const std::string name = TextFromBytes(CodeText("Decode", first));
  return name.empty() ? std::string("Default") : name;
}

int ExportProfile(const std::filesystem::path& program_dir, const std::optional<std::string>& name,
                  std::string& out, std::string& err) {
  const std::string profile = name ? NameOrDefault(name) : ProfileInUse(program_dir);
  const std::filesystem::path file = ProfileFile(program_dir, profile);
  const std::optional<std::string> bytes = ReadWhole(file);
  if (!bytes) {
    err += "talvexchat: --export-profile: there is no profile \"" + profile + "\" (" +
           TextFromBytes(file.string()) + " cannot be read)\n";
    return console::kExitCommandLine;
  }
  out += ProfileTextFromFile(*bytes);
  return console::kExitOk;
}

int ImportProfile(const std::filesystem::path& program_dir, const std::filesystem::path& text_file,
                  const std::optional<std::string>& name, std::string& err) {
  const std::string shown = TextFromBytes(text_file.string());
  const std::optional<std::string> text = ReadWhole(text_file);
  if (!text) {
    err += "talvexchat: --import-profile: " + shown + " cannot be read\n";
    return console::kExitCommandLine;
  }
  const ProfileFromText read = ProfileFileFromText(*text);
  for (const ProfileTextNote& warning : read.warnings) {
    err += "talvexchat: warning: --import-profile: " + shown + " line " +
           std::to_string(warning.line_number) + ": " + warning.text + "\n";
  }
  if (read.error) {
    err += "talvexchat: --import-profile: " + shown + " line " +
           std::to_string(read.error->line_number) + ": " + read.error->text +
           "; nothing was written\n";
    return console::kExitCommandLine;
  }
  const std::string profile = NameOrDefault(name);
  const std::filesystem::path file = ProfileFile(program_dir, profile);
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (!ReplaceFileAtomically(file, read.file_bytes)) {
    err += "talvexchat: --import-profile: " + TextFromBytes(file.string()) + " cannot be written\n";
    return console::kExitNoProgramDir;
  }
  return console::kExitOk;
}

}  // namespace tc::entry
