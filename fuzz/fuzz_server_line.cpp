// Hostile bytes into the server line parser: every text an event holds must lie inside the line.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "protocol/server_line.h"

namespace {

template <typename Check>
void EachField(const tc::ServerEvent& event, Check check) {
  std::visit(
      [&](const auto& e) {
        if constexpr (requires { e.name; }) check(e.name);
        if constexpr (requires { e.flags; }) check(e.flags);
        if constexpr (requires { e.product; }) check(e.product);
        if constexpr (requires { e.text; }) check(e.text);
        if constexpr (requires { e.channel; }) check(e.channel);
        if constexpr (requires { e.account; }) check(e.account);
      },
      event);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::optional<tc::ServerEvent> event = tc::ParseServerLine(line);
  if (!event) return 0;
  EachField(*event, [&](std::string_view field) {
    if (field.empty()) return;
    if (field.data() < line.data() || field.data() + field.size() > line.data() + line.size()) {
      __builtin_trap();
    }
  });
  return 0;
}
