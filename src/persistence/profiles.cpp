// The profile commands of the options page: Open, New, Delete, and the profile name field.
#include "persistence/profiles.h"

#include <algorithm>
#include <system_error>

#include "app/tc_main.h"
#include "persistence/settings_file.h"

namespace tc {

namespace {
constexpr std::string_view kUserFilesFilter = "User Files (*.usr)|*.usr";
}

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

void TC_Main::Open_Image1Click() {
  OpenOrNew("Open User File");
}

void TC_Main::New_Image1Click() {
  OpenOrNew("Create New User File");
}

void TC_Main::OpenOrNew(std::string_view title) {
  RW("Write");
  const std::string chosen = frontend_.AskFileName(
      std::string(title), std::string(kUserFilesFilter), UsersFolder(program_dir_));
  if (chosen.empty()) return;
  // Whatever folder was chosen, the profile is read from the Users folder.
  User_Edit1Change(ProfileNameFromFileName(chosen));
}

void TC_Main::Delete_Image1Click() {
  if (!frontend_.AskOkCancel("Are you sure you want to remove this user?", "Remove User")) return;
  // The folder and its notes stay; unsaved changes of the removed profile are not written.
  std::error_code ec;
  std::filesystem::remove(ProfileFile(program_dir_, profile_name_), ec);
  User_Edit1Change("Default");
}

void TC_Main::User_Edit1Change(std::string name) {
  profile_name_ = name.empty() ? "Default" : std::move(name);
  RW("Read");
}

void TC_Main::SelectProfileAtStartUp(std::string name) {
  start_profile_ = std::move(name);
}

}  // namespace tc
