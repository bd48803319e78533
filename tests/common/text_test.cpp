// The shared text routines every subsystem leans on.
#include "common/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  EXPECT_EQ(PosNoCase("x CAF\u00C9", "caf\u00e9"), 3);
  EXPECT_EQ(PosNoCase("\u00E9 HELLO", "hello"), 4);   // a byte position
  EXPECT_EQ(PosNoCase("\u0416\u0416", "\u0436"), 0);  // Cyrillic is not a letter of the code page
}

// The letters of Windows-1252 keep their case rules, now as UTF-8; the lengths stay.
TEST(LowerCase1252, CodePageLettersOnlyAndTheLengthStays) {
  struct Case {
    const char* upper;
    const char* lower;
  };
  for (const Case& c : std::vector<Case>{{"ABC", "abc"},
                                         {"\u00C0\u00DE\u00D7", "\u00E0\u00FE\u00D7"},
                                         {"\u0160\u0152\u017D\u0178", "\u0161\u0153\u017E\u00FF"},
                                         {"\u0416 \u00DF", "\u0416 \u00DF"},
                                         {"\xC3", "\xC3"}}) {
    EXPECT_EQ(LowerCase1252(c.upper), c.lower) << c.upper;
    EXPECT_TRUE(EqualsNoCase(c.upper, c.lower)) << c.upper;
    EXPECT_EQ(std::string(1, FoldNoCaseByte(c.upper[1])),
              std::string(1, FoldNoCaseByte(c.lower[1])));
  }
  EXPECT_FALSE(EqualsNoCase("\u00E9", "\u00E8"));
  EXPECT_TRUE(BeginsNoCase("\u00C9MILE x", "\u00E9mile"));
  // Lists keep the code page's order: the euro sign (0x80) before "e" with acute (0xE9), a
  // character the code page lacks after both.
  EXPECT_LT(CompareText1252("\u20AC", "\u00E9", false), 0);
  EXPECT_GT(CompareText1252("\u0436", "\u00FF", false), 0);
  EXPECT_EQ(CompareText1252("\u00C9lise", "\u00E9LISE", true), 0);
}

// Bytes from the socket and from files: valid UTF-8 as it is, anything else as Windows-1252.
TEST(TextFromServer, Utf8AsItIsAnythingElseAsTheCodePageNeverDropped) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{
           {"plain", "plain"},
           {"caf\xC3\xA9 \xE2\x9C\x93 \xE6\x97\xA5", "caf\u00E9 \u2713 \u65E5"},
           {"caf\xE9 na\xEFve \x80", "caf\u00E9 na\u00EFve \u20AC"},
           {"cut \xE2\x9C", "cut \u00E2\u0153"},    // truncated sequence
           {"\xC0\xAF over", "\u00C0\u00AF over"},  // overlong form
           {"\xED\xA0\x80", "\u00ED\u00A0\u20AC"},  // surrogate
           {"\xFF\xFE", "\u00FF\u00FE"},
           // Only the runs between quotes that are not UTF-8 are read as the code page.
           {"1005 TALK \xD0\x96 0000 \"caf\xE9\"", "1005 TALK \u0416 0000 \"caf\u00E9\""},
           {"1004 WHISPER b\xE9 0000 \"\"\xE2\x9C\x93\"\"",
            "1004 WHISPER b\u00E9 0000 \"\"\u2713\"\""},
       }) {
    EXPECT_EQ(TextFromServer(c.bytes), c.text) << c.bytes;
    EXPECT_TRUE(IsValidUtf8(TextFromServer(c.bytes)));
  }
}

// Files: the code page where it holds the line (the bytes files always had), else UTF-8; every
// line reads back as it was written.
TEST(FileBytes, CodePageWhereItFitsUtf8ElseAndEveryLineComesBack) {
  struct Case {
    std::string text;
    std::string bytes;
  };
  for (const Case& c : std::vector<Case>{
           {"ascii", "ascii"},
           {"caf\u00E9 \u20AC\u00D1", "caf\xE9 \x80\xD1"},
           {"\u0416\u0443\u0440 \u00D1", "\xD0\x96\xD1\x83\xD1\x80 \xC3\x91"},
           {"\u2713", "\xE2\x9C\x93"},
           {"\u00C3\u00A9", "\xC3\x83\xC2\xA9"},  // its code page bytes would read as UTF-8
       }) {
    EXPECT_EQ(FileBytesFromText(c.text), c.bytes) << c.text;
    EXPECT_EQ(TextFromBytes(FileBytesFromText(c.text)), c.text) << c.text;
  }
}

// A cut never splits a character; what is not UTF-8 is cut by bytes.
TEST(CutBytes, NeverInsideACharacter) {
  EXPECT_EQ(CutBytes("ab\xE2\x9C\x93", 4), "ab");
  EXPECT_EQ(CutBytes("ab\xE2\x9C\x93", 5), "ab\xE2\x9C\x93");
  EXPECT_EQ(CutBytes("ab\xC3\xA9", 3), "ab");
  EXPECT_EQ(CutBytes("ab\x80\x80", 3), "ab\x80");
  EXPECT_EQ(CutBytes("abc", 2), "ab");
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
  EXPECT_EQ(SafeFileComponent("caf\u00E9"), "caf\xC3\xA9");
  std::string long_name;
  for (int i = 0; i < 500; ++i) long_name += "\u00E9";
  const std::string cut = SafeFileComponent(long_name);
  EXPECT_LE(cut.size(), 200u);
  EXPECT_TRUE(IsValidUtf8(cut));
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
