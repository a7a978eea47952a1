#include "common/Exception.h"
#include "common/Text.h"

#include <gtest/gtest.h>

TEST(Text, SplitsEveryKindOfLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("\r\n"), Lines{""});
}

TEST(Text, JoinsWithCrLfAfterEveryLine) {
  EXPECT_EQ(JoinLinesCrlf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(SplitLines(JoinLinesCrlf({"x", "", ""})), (Lines{"x", "", ""}));
}

TEST(Text, WholeNumbers) {
  EXPECT_EQ(ParseWholeNumber("16"), 16);
  EXPECT_EQ(ParseWholeNumber("-3"), -3);
  EXPECT_EQ(ParseWholeNumber("+7"), 7);
  for (const char* bad : {"", " 1", "1 ", "1.5", "abc", "-", "99999999999"}) {
    try {
      ParseWholeNumber(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
    }
  }
}

TEST(Text, RoundsTiesToEven) {
  EXPECT_EQ(RoundTiesEven(0.5), 0);
  EXPECT_EQ(RoundTiesEven(1.5), 2);
  EXPECT_EQ(RoundTiesEven(2.5), 2);
  EXPECT_EQ(RoundTiesEven(-2.5), -2);
  EXPECT_EQ(RoundTiesEven(2.6), 3);
}

TEST(Text, FileNamePartAfterAnySeparator) {
  EXPECT_EQ(FileNamePart("C:\\kits\\Blank.wav"), "Blank.wav");
  EXPECT_EQ(FileNamePart("/home/u/x.wav"), "x.wav");
  EXPECT_EQ(FileNamePart("C:Blank.wav"), "Blank.wav");
  EXPECT_EQ(FileNamePart("plain"), "plain");
}

TEST(Text, CaseBlindComparison) {
  EXPECT_TRUE(SameTextIgnoringCase("KICK      [ ]", "kick      [ ]"));
  EXPECT_FALSE(SameTextIgnoringCase("Kick", "Kick "));
  EXPECT_TRUE(SameTextIgnoringCase("\xC9t\xE9", "\xE9T\xC9"));
}
