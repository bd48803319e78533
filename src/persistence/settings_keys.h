// The settings profile's single-value keys ("aa=" ...): each reads its value from the program's
// options and appearance and applies a stored one back, in the order the profile is written.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tc {

class TC_Main;

// How applying one value went: a conversion failure stops the read at its line.
enum class Applied { kDone, kNotInteger, kNotColor };

struct SingleKey {
  std::string_view key;
  std::string (*get)(TC_Main&);
  Applied (*set)(TC_Main&, std::string_view value);
};

// Every key in write order; the one named `key` (three characters with "="), or null.
std::span<const SingleKey> SingleKeys();
const SingleKey* FindSingleKey(std::string_view key);

}  // namespace tc
