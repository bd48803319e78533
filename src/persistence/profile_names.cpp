#include "persistence/profile_names.h"

#include <algorithm>
#include <system_error>

#include "persistence/settings_file.h"

namespace tc {

std::string ProfileNameFromFileName(std::string_view file_name) {
  std::string name(file_name);
  std::replace(name.begin(), name.end(), '/', '\\');
  if (const size_t slash = name.rfind('\\'); slash != std::string::npos) name.erase(0, slash + 1);
  if (const size_t dot = name.find('.'); dot != std::string::npos) name.erase(dot);
  return name;
}

std::vector<std::string> ListProfiles(const std::filesystem::path& program_dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(UsersFolder(program_dir), ec)) {
    if (entry.path().extension() == ".usr" && entry.is_regular_file(ec)) {
      names.push_back(entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tc
