#include "common/token_text.h"

#include "common/text.h"

namespace tc {

bool HasToken(std::string_view text, std::string_view token) {
  return ContainsNoCase(text, token);
}

std::string RewriteTokens(std::string_view text, std::span<const TokenTick> ticks) {
  std::string result(text);
  for (const TokenTick& tick : ticks) {
    const int pos = PosNoCase(result, tick.token);
    if (tick.ticked && pos == 0) {
      result += tick.token;
    } else if (!tick.ticked && pos != 0) {
      // Letter case folds byte for byte, so the occurrence is as long as the token.
      result.erase(static_cast<size_t>(pos - 1), tick.token.size());
    }
  }
  return result;
}

std::vector<bool> TokensPresent(std::string_view text, std::span<const std::string_view> tokens) {
  std::vector<bool> present;
  present.reserve(tokens.size());
  for (const std::string_view token : tokens) present.push_back(HasToken(text, token));
  return present;
}

}  // namespace tc
