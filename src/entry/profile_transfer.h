// The command line's profile as text: --export-profile prints a profile's lines, --import-profile
// writes a profile from such lines. Each returns the exit status; what is printed goes to `out`
// and `err` (each line whole, ended by LF), so the caller decides where.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tc::entry {

// The profile the program would start with: the one talvexchat.dat names, else "Default".
std::string ProfileInUse(const std::filesystem::path& program_dir);

// Only reads: a read-only program directory is fine, and so is a bot running on it, as every
// profile save replaces the file whole by a rename.
int ExportProfile(const std::filesystem::path& program_dir, const std::optional<std::string>& name,
                  std::string& out, std::string& err);

// The caller holds the program directory's lock: a running bot would write its own profile over
// the imported one. Nothing is written when a line is refused.
int ImportProfile(const std::filesystem::path& program_dir, const std::filesystem::path& text_file,
                  const std::optional<std::string>& name, std::string& err);

}  // namespace tc::entry
