#include <gtest/gtest.h>

#include "common/Exception.h"
#include "common/Text.h"

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

// Text quoted from a broken file: what a terminal can't show as a character
// is escaped byte by byte, UTF-8 characters are kept whole.
TEST(Text, QuotedTextEscapesEveryByteATerminalCannotShow) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"16x", "16x"},
      {"tab\there", "tab\\x09here"},
      {"Latin-1 caf\xE9", "Latin-1 caf\\xE9"},
      {"UTF-8 caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\xA5\x81",
       "UTF-8 caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\xA5\x81"},
      {"C1 control \xC2\x85 and \x85", "C1 control \\xC2\\x85 and \\x85"},
      {"overlong \xC0\xAF \xE0\x80\xAF", "overlong \\xC0\\xAF \\xE0\\x80\\xAF"},
      {"surrogate \xED\xA0\x80", "surrogate \\xED\\xA0\\x80"},
      {"beyond \xF4\x90\x80\x80", "beyond \\xF4\\x90\\x80\\x80"},
      {"cut \xE2\x82", "cut \\xE2\\x82"},
      {"\xFF\xFE", "\\xFF\\xFE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuotableText(c.text), c.shown) << c.text;
    EXPECT_EQ(EConvertError(c.text).Message(), "'" + c.shown + "' is not a valid integer value");
  }
  // Forty characters are shown, a UTF-8 character counting as one.
  std::string euros;
  for (int i = 0; i < 41; ++i) euros += "\xE2\x82\xAC";
  EXPECT_EQ(QuotableText(euros), euros.substr(0, 40 * 3) + "...");
  EXPECT_EQ(QuotableText(euros.substr(0, 40 * 3)), euros.substr(0, 40 * 3));
}
