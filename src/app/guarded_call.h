// The one way the event loop enters the core. An exception ends that call but not the program:
// the core shows it and saves what it holds, and the loop goes on with the next event.
#pragma once

#include <exception>
#include <type_traits>
#include <utility>

#include "app/client.h"

namespace tc {

// Runs `action` on the core; after an exception the result is value-initialised.
template <typename F>
std::invoke_result_t<F, Client&> GuardedCall(Client& core, F&& action) {
  using Result = std::invoke_result_t<F, Client&>;
  static_assert(!std::is_reference_v<Result>, "a reference into the core may not outlive a fault");
  try {
    return std::forward<F>(action)(core);
  } catch (const std::exception& e) {
    core.RecoverFromFault(e.what());
  } catch (...) {
    core.RecoverFromFault("unknown exception");
  }
  if constexpr (!std::is_void_v<Result>) return Result{};
}

}  // namespace tc
