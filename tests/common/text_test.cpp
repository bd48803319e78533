#include "common/text.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

TEST(PosNoCase, FindsIgnoringCaseAndIsOneBased) {
  EXPECT_EQ(PosNoCase("Hello World", "world"), 7);
  EXPECT_EQ(PosNoCase("Hello", "x"), 0);
  EXPECT_EQ(PosNoCase("abc", ""), 0);
}

}  // namespace
}  // namespace tc
