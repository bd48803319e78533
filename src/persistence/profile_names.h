// Settings profiles by name: the name a chosen file stands for, and the profiles on disk.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// "/" counts as "\"; everything up to the last separator goes, then everything from the first ".".
std::string ProfileNameFromFileName(std::string_view file_name);

// The profiles that have a settings profile file in D + "/Users", by file name, sorted.
std::vector<std::string> ListProfiles(const std::filesystem::path& program_dir);

}  // namespace tc
