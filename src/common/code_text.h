// The coding of the settings files: every byte becomes four substitute characters.
#pragma once

#include <string>
#include <string_view>

namespace tc {

// mode "Encode" or "Decode"; any other mode gives an empty text.
std::string CodeText(std::string_view mode, std::string_view text);

}  // namespace tc
