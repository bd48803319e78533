// Turning text that came from elsewhere (channel names, script and theme names) into one file-name
// component that can never leave its folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tc {

// Separators, control bytes and NUL become "_"; a name made only of dots, or an empty one, becomes
// underscores too; the result is cut to a length every file system accepts. Ordinary names pass
// unchanged. The name is UTF-8, as the text it comes from.
std::string SafeFileComponent(std::string_view name);

// A path inside `folder` for the component `name` + `extension`.
std::filesystem::path FileInFolder(const std::filesystem::path& folder, std::string_view name,
                                   std::string_view extension);

}  // namespace tc
