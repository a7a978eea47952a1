#include <gtest/gtest.h>

#include "song/Tempo.h"

TEST(Tempo, TableOfTheTempoBar) {
  struct Row {
    int position, stepInterval, beatsPerMinute;
  };
  for (const Row row : {Row{1, 2, 7200}, Row{7, 14, 1029}, Row{48, 96, 150}, Row{60, 120, 120},
                        Row{64, 128, 112}, Row{80, 160, 90}, Row{140, 280, 51}}) {
    TempoValues values;
    values.DelayChange(row.position);
    EXPECT_EQ(values.Tempo(), row.position);
    EXPECT_EQ(values.StepInterval(), row.stepInterval) << row.position;
    EXPECT_EQ(values.BeatsPerMinute(), row.beatsPerMinute) << row.position;
    EXPECT_EQ(values.GlobalSpeed(), row.position);
  }
}

TEST(Tempo, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(BeatsPerMinuteFor(64), 112);
  EXPECT_EQ(BeatsPerMinuteFor(4800), 2);   // 1.5
  EXPECT_EQ(BeatsPerMinuteFor(14400), 0);  // 0.5
  EXPECT_EQ(BeatsPerMinuteFor(9600), 1);   // 0.75
}

TEST(Tempo, StartsAt60AndClampsToTheBar) {
  TempoValues values;
  EXPECT_EQ(values.GlobalSpeed(), 60);
  EXPECT_EQ(values.StepInterval(), 120);
  EXPECT_EQ(values.BeatsPerMinute(), 120);
  values.DelayChange(0);
  EXPECT_EQ(values.Tempo(), 1);
  EXPECT_EQ(values.BeatsPerMinute(), 7200);
  values.DelayChange(500);
  EXPECT_EQ(values.Tempo(), 140);
  EXPECT_EQ(values.StepInterval(), 280);
}

TEST(Tempo, StepsAndHeadersUpdateOnlyTheirOwnValues) {
  TempoValues values;
  values.FollowForStep(64);  // the read-out is left alone, global speed too
  EXPECT_EQ(values.Tempo(), 64);
  EXPECT_EQ(values.StepInterval(), 128);
  EXPECT_EQ(values.BeatsPerMinute(), 120);
  EXPECT_EQ(values.GlobalSpeed(), 60);

  EXPECT_EQ(values.FollowForHeader(80), 160);  // the step interval is left alone
  EXPECT_EQ(values.Tempo(), 80);
  EXPECT_EQ(values.StepInterval(), 128);
  EXPECT_EQ(values.BeatsPerMinute(), 90);
  EXPECT_EQ(values.GlobalSpeed(), 60);
}
