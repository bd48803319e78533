// Texts made of ";"-terminated tokens that check boxes write: an account's type, a key's
// applies-to. A box is ticked while its token occurs anywhere in the text (letter case ignored),
// and a click rewrites only what the boxes own, leaving hand-typed parts where they are.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tc {

// One box: its token and whether it is ticked.
struct TokenTick {
  std::string_view token;
  bool ticked = false;
};

// True when `token` occurs in `text`, letter case ignored.
bool HasToken(std::string_view text, std::string_view token);

// The text after the boxes were visited in order: a ticked box's token is appended at the end
// when missing; an unticked box's token is cut out at its first occurrence when present.
std::string RewriteTokens(std::string_view text, std::span<const TokenTick> ticks);

// For each token in order, whether its box is to be ticked for `text`.
std::vector<bool> TokensPresent(std::string_view text, std::span<const std::string_view> tokens);

}  // namespace tc
