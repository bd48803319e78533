// The shared text routines every subsystem leans on.
#include "common/text.h"

#include <gtest/gtest.h>

#include "common/colors.h"
#include "common/file_names.h"
#include "common/ini_file.h"

namespace tc {
namespace {

TEST(PosNoCase, FindsIgnoringCaseIncludingAccentedLettersAndIsOneBased) {
  EXPECT_EQ(PosNoCase("Hello World", "world"), 7);
  EXPECT_EQ(PosNoCase("Hello", "x"), 0);
  EXPECT_EQ(PosNoCase("abc", ""), 0);
  EXPECT_EQ(PosNoCase("ab", "abc"), 0);
  EXPECT_EQ(PosNoCase("CAF\xC9", "caf\xe9"), 1);
  EXPECT_EQ(LowerCase1252("\x8A\x9F\xD7\xDE"), "\x9A\xFF\xD7\xFE");
}

TEST(SafeStrToInt, DigitsOnlySpacesIgnoredAndNoWrapAround) {
  EXPECT_EQ(SafeStrToInt(" 1 2 "), 12);
  EXPECT_EQ(SafeStrToInt(""), 0);
  EXPECT_EQ(SafeStrToInt("-5"), 0);
  EXPECT_EQ(SafeStrToInt("12a"), 0);
  EXPECT_EQ(SafeStrToInt("99999999999999999999"), 2147483647);
}

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf8) {
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(every)), every);
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");  // no such letter in the code page
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");        // cut short
}

TEST(Colors, NamesAndHexBothWays) {
  EXPECT_EQ(ColorText(kClYellow), "clYellow");
  EXPECT_EQ(ColorText(0x00123456), "$00123456");
  EXPECT_EQ(ColorText(0x80000018), "clInfoBk");
  EXPECT_EQ(ColorFromText("CLRED"), kClRed);
  EXPECT_EQ(ColorFromText("$00FF00FF"), kClFuchsia);
  EXPECT_EQ(ColorFromText("255"), kClRed);
  EXPECT_FALSE(ColorFromText("reddish").has_value());
  EXPECT_FALSE(ColorFromText("$1FFFFFFFF").has_value());
}

TEST(FileNames, NothingLeavesTheFolder) {
  EXPECT_EQ(SafeFileComponent("town square"), "town square");
  EXPECT_EQ(SafeFileComponent(".."), "__");
  EXPECT_EQ(SafeFileComponent("a/../b"), "a_.._b");
  EXPECT_EQ(SafeFileComponent(std::string("x\0y", 3)), "x_y");
  EXPECT_EQ(SafeFileComponent(""), "_");
  EXPECT_EQ(SafeFileComponent("caf\xe9"), "caf\xC3\xA9");
  EXPECT_LE(SafeFileComponent(std::string(1000, '\xe9')).size(), 200u);
}

TEST(IniFile, SectionsAndKeysIgnoreCaseAndTheLayoutIsKept) {
  IniFile ini;
  ini.Parse("; note\r\n[Town Square]\r\nHits=4\r\n\r\n[Other]\r\nx = 1\r\n");
  EXPECT_EQ(ini.Read("town square", "hits"), "4");
  EXPECT_EQ(ini.Read("other", "X"), "1");
  EXPECT_FALSE(ini.Read("none", "Hits").has_value());
  ini.Write("TOWN SQUARE", "Hits", "5");
  ini.Write("Town Square", "New", "y");
  ini.Write("Third", "Hits", "1");
  EXPECT_EQ(ini.Serialize(),
            "; note\r\n[Town Square]\r\nHits=5\r\nNew=y\r\n\r\n[Other]\r\nx = 1\r\n\r\n[Third]\r\n"
            "Hits=1\r\n");
}

}  // namespace
}  // namespace tc
