// A closed set and its one table of spellings: both directions read the same table, so a
// spelling is written down once. Only the exact spelling counts; letter case included.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace tc {

template <class Value, size_t N>
using SpellingTable = std::array<std::pair<Value, std::string_view>, N>;

template <class Value, size_t N>
constexpr std::string_view SpellingOf(const SpellingTable<Value, N>& table, Value value) {
  for (const auto& [entry, spelling] : table) {
    if (entry == value) return spelling;
  }
  return {};
}

template <class Value, size_t N>
constexpr std::optional<Value> ValueSpelled(const SpellingTable<Value, N>& table,
                                            std::string_view text) {
  for (const auto& [entry, spelling] : table) {
    if (spelling == text) return entry;
  }
  return std::nullopt;
}

}  // namespace tc
