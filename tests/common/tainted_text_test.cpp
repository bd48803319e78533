// Trusted and untrusted parts of one text keep their marks through every edit.
#include "common/tainted_text.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

TEST(TaintedText, FindsOnlyWhatLiesWhollyInTrustedBytes) {
  TaintedText t("say <user> ");
  t.AppendUntrusted("<user> and <USER>");
  t.Append(" then <User>");
  EXPECT_EQ(t.FindTrusted("<user>"), 4u);
  EXPECT_EQ(t.FindTrusted("<user>", 5), 34u);
  EXPECT_EQ(t.FindTrusted("r> <u"), TaintedText::npos);  // crosses into the untrusted part
  EXPECT_FALSE(t.Trusted(11));
  EXPECT_TRUE(t.Trusted(0, 11));
}

TEST(TaintedText, ReplaceAndSubstrKeepTheMarks) {
  TaintedText t("a<event>b");
  t.Replace(1, 7, TaintedText::Untrusted("/exit"));
  EXPECT_EQ(t.text(), "a/exitb");
  EXPECT_TRUE(t.Trusted(0));
  EXPECT_FALSE(t.Trusted(1, 5));
  EXPECT_TRUE(t.Trusted(6));
  const TaintedText tail = t.Substr(1);
  EXPECT_EQ(tail.text(), "/exitb");
  EXPECT_FALSE(tail.Trusted(0));
  EXPECT_TRUE(tail.Trusted(5));
  TaintedText joined = TaintedText::Untrusted("x");
  joined.AppendUntrusted("y");
  EXPECT_EQ(joined.UntrustedRanges().size(), 1u);
  t.Erase(0, 100);
  EXPECT_TRUE(t.empty());
  EXPECT_TRUE(t.FullyTrusted());
}

}  // namespace
}  // namespace tc
