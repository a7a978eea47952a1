#include <gtest/gtest.h>

#include "common/Utf8.h"

TEST(Utf8, Latin1TextGoesThereAndBack) {
  const std::string latin1 = "Caf\xe9 \xc0 la cr\xe8me \xff";
  const std::string utf8 = Latin1ToUtf8(latin1);
  EXPECT_EQ(utf8, "Caf\xc3\xa9 \xc3\x80 la cr\xc3\xa8me \xc3\xbf");
  EXPECT_EQ(Utf8ToLatin1(utf8), latin1);
}

TEST(Utf8, WhatLatin1CantHoldOrIsntUtf8) {
  EXPECT_EQ(Utf8ToLatin1("\xe2\x82\xac 5"), "? 5");  // the euro sign
  EXPECT_EQ(Utf8ToLatin1("\xf0\x9f\xa5\x81"), "?");  // a drum
  EXPECT_EQ(Utf8ToLatin1("Caf\xe9"), "Caf\xe9");     // already Latin-1
  EXPECT_EQ(Utf8ToLatin1("\xc3"), "\xc3");           // cut short
  EXPECT_EQ(Utf8ToLatin1("\xf8\x88\x80\x80"), "\xf8\x88\x80\x80");
}

TEST(Utf8, TerminalTextHidesControlCharacters) {
  EXPECT_EQ(TerminalText("a\tb\x1b[2J\x85\xe9"), "a?b?[2J?\xc3\xa9");
}
