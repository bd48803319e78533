// Writing a whole buffer to a file descriptor: the kernel may take less than asked, or be
// interrupted by a signal, and every file this program writes must still get every byte.
#pragma once

#include <cstdint>
#include <string_view>

namespace tc {

// Writes all of `bytes` at the descriptor's position, going on after a partial write or EINTR.
// False on any other failure (the descriptor then holds a prefix of `bytes`).
bool WriteAll(int fd, std::string_view bytes);

// The same at byte `offset` of the file, leaving the descriptor's position alone.
bool WriteAllAt(int fd, std::string_view bytes, int64_t offset);

}  // namespace tc
