#include "pattern/TimeBeat.h"

#include <gtest/gtest.h>

TEST(TimeBar, EveryEntryGivesItsLengthAndTime) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"16", "4"}, {"16", "8"}, {"16", "16"}, {"8", "8"},  {"8", "4"},   {"8", "2"},
      {"4", "4"},  {"4", "2"},  {"12", "4"},  {"24", "4"}, {"24", "8"},  {"32", "16"},
      {"32", "8"}, {"32", "4"}, {"64", "32"}, {"64", "16"}, {"64", "8"}, {"64", "4"},
      {"3", "3"},  {"9", "3"},  {"12", "3"},  {"15", "3"}, {"7", "4"},   {"7", "7"}};
  ASSERT_EQ(TimeBarEntries().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    PendingTimeBeat pending;
    ParseTimeBar(TimeBarEntries()[i], pending);
    EXPECT_EQ(pending.length, expected[i].first) << TimeBarEntries()[i];
    EXPECT_EQ(pending.time, expected[i].second) << TimeBarEntries()[i];
  }
  EXPECT_EQ(TimeBarEntries()[7], "4  | 2 ");
}

TEST(TimeBar, TypedTextIsReadByPosition) {
  PendingTimeBeat pending{"16", "4"};
  ParseTimeBar("", pending);  // empty text changes nothing
  EXPECT_EQ(pending.length, "16");
  ParseTimeBar("5", pending);
  EXPECT_EQ(pending.length, "5");
  EXPECT_EQ(pending.time, "");
  ParseTimeBar("20 | 5", pending);
  EXPECT_EQ(pending.length, "20");
  EXPECT_EQ(pending.time, "5");
  ParseTimeBar("12345678XY", pending);  // characters 3 to 8 go
  EXPECT_EQ(pending.length, "12XY");
  EXPECT_EQ(pending.time, "678XY");
  ParseTimeBar("ab | cd", pending);
  EXPECT_EQ(pending.length, "ab");
  EXPECT_EQ(pending.time, "cd");
}
