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
  std::string utf8 = Cp1252ToUtf8(cleaned);
  if (utf8.size() > kMaxComponentBytes) {
    size_t cut = kMaxComponentBytes;
    // Do not split a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    utf8.resize(cut);
  }
  return utf8;
}

std::filesystem::path FileInFolder(const std::filesystem::path& folder, std::string_view name,
                                   std::string_view extension) {
  return folder / (SafeFileComponent(name) + std::string(extension));
}

}  // namespace tc
