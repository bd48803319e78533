#include "common/file_names.h"

#include "common/text.h"

namespace tc {
namespace {
constexpr size_t kMaxComponentBytes = 200;
}

std::string SafeFileComponent(std::string_view name) {
  std::string cleaned;
  cleaned.reserve(name.size());
  bool only_dots = true;
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || c == '/' || c == '\\') {
      cleaned += '_';
    } else {
      cleaned += c;
    }
    if (c != '.') only_dots = false;
  }
  if (only_dots) cleaned.assign(std::max<size_t>(cleaned.size(), 1), '_');
  // Text is UTF-8 already; anything else is taken as the code page, so a name is always UTF-8.
  const std::string utf8 = TextFromBytes(cleaned);
  return std::string(CutBytes(utf8, kMaxComponentBytes));
}

std::filesystem::path FileInFolder(const std::filesystem::path& folder, std::string_view name,
                                   std::string_view extension) {
  return folder / (SafeFileComponent(name) + std::string(extension));
}

}  // namespace tc
