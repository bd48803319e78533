// Widgets are created with their Qt parent, which owns and deletes them.
#pragma once

#include <memory>
#include <utility>

namespace tc::ui {

template <typename T, typename... Args>
T* Owned(Args&&... args) {
  return std::make_unique<T>(std::forward<Args>(args)...).release();
}

}  // namespace tc::ui
