// The fixed public channels list and the words that mark a channel as public.
#pragma once

#include <array>
#include <string_view>

namespace tc {

const std::array<std::string_view, 27>& PublicChannels();
const std::array<std::string_view, 6>& PublicChannelWords();

}  // namespace tc
