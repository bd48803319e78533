// Long talk, whispers and emotes as several lines: the servers met today refuse a chat line over
// 160 bytes (or drop it without a word), so such a line leaves in pieces that each keep the
// line's "/w name " or "/me " and each fit the server.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "send/send_budget.h"

namespace tc {

// The part every piece of `wire` repeats: "" for talk, "/w name " (and "/whisper", "/m", "/msg")
// or "/me " ("/emote ") with its space. Nothing for other commands and for a whisper without a
// text: those are never split.
bool SplittablePrefix(std::string_view wire, std::string_view& prefix);

// The pieces `wire` (the bytes of one line, in the coding they go out in) is sent as. A line that
// is not split, or fits, is its one piece. Each piece is at most `limit` bytes counting its
// prefix, and at most what one window of `quota` takes for its kind; it is cut after the last
// space that keeps it within, or at the limit (never inside a UTF-8 character) where the text has
// none. The spaces at a cut go: no word is lost, and no piece is the prefix alone. `limit` 0 is
// off, and a prefix that leaves no room sends the line whole.
std::vector<std::string> LongLinePieces(std::string_view wire, size_t limit, SendEncoding encoding,
                                        const SendQuota& quota);

}  // namespace tc
