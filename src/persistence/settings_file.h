// Where a settings profile lies, and the file routines of the profile and its notes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tc {

// D + "/Users"; the profile's folder (notes and logs); its settings profile file; its notes file.
// The profile name is reduced to one safe file-name component.
std::filesystem::path UsersFolder(const std::filesystem::path& program_dir);
std::filesystem::path ProfileFolder(const std::filesystem::path& program_dir,
                                    std::string_view profile);
std::filesystem::path ProfileFile(const std::filesystem::path& program_dir,
                                  std::string_view profile);
std::filesystem::path NotesFile(const std::filesystem::path& program_dir, std::string_view profile);

// Writes `bytes` beside the target (same folder), flushes them to the disk and only then renames
// the new file over the old one, so a failure at any point leaves the old file whole. A file that
// already holds these bytes is left alone.
bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Integer text as the settings files hold it: optional spaces before, optional "-" or "+", then
// decimal digits or "$" and hexadecimal digits; nothing for anything else or a value beyond 32
// bits.
std::optional<int> IntFromText(std::string_view text);

// The notes pane's text from the notes file's lines, and the file's bytes from the text.
std::string NotesFromFile(std::string_view bytes);
std::string NotesToFile(std::string_view text);

}  // namespace tc
