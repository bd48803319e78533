// Routines of template expansion that other parts use on their own, and the bounds every
// substitution loop keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tc {

// Values that name each other would otherwise rewrite a line for ever.
inline constexpr int kMaxSubstitutionPasses = 64;
inline constexpr size_t kMaxSubstitutedLength = 64 * 1024;

// The n-th (from 1) space-separated word of `text`; out of range gives the last word taken.
std::string GetWordNumber(std::string_view text, int n);

// A rough day number of a "MM/DD/YYYY" date: year x 365 + month x 31 + day. Fields that are not
// numbers count as 0.
int64_t DateToCount(std::string_view date);

}  // namespace tc
