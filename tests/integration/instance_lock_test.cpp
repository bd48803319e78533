// One program per program directory: the lock is refused to a second holder, which learns who
// holds it, and is free again once the holder lets go.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "harness/session.h"

namespace tc::integration {
namespace {

using platform::InstanceLock;

TEST(InstanceLockTest, SecondHolderIsRefusedAndToldWhoHoldsIt) {
  test::TempDir dir;
  std::optional<InstanceLock> first(std::in_place, dir.path());
  ASSERT_TRUE(first->held()) << first->error();
  EXPECT_EQ(test::ReadFile(dir.path() / InstanceLock::kFileName),
            std::to_string(::getpid()) + "\n");

  const InstanceLock second(dir.path());
  EXPECT_FALSE(second.held());
  EXPECT_EQ(second.error(), "the program directory " + dir.path().string() +
                                " is already in use by process " + std::to_string(::getpid()));

  first.reset();
  const InstanceLock third(dir.path());
  EXPECT_TRUE(third.held()) << third.error();
}

TEST(InstanceLockTest, AHolderThatWroteNoNumberIsStillNamed) {
  test::TempDir dir;
  const InstanceLock first(dir.path());
  ASSERT_TRUE(first.held());
  ASSERT_EQ(::truncate((dir.path() / InstanceLock::kFileName).c_str(), 0), 0);
  const InstanceLock second(dir.path());
  EXPECT_FALSE(second.held());
  EXPECT_NE(second.error().find("is already in use by another process"), std::string::npos);
}

}  // namespace
}  // namespace tc::integration
