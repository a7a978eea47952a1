#include <gtest/gtest.h>

#include "song/Tempo.h"

TEST(Tempo, TableOfTheTempoBar) {
  struct Row {
    int position, stepInterval;
    const char* tempo;  // the tempo that plays: four steps a quarter
  };
  for (const Row row :
       {Row{1, 2, "7500.0"}, Row{7, 14, "1071.4"}, Row{48, 96, "156.3"}, Row{60, 120, "125.0"},
        Row{64, 128, "117.2"}, Row{80, 160, "93.8"}, Row{140, 280, "53.6"}}) {
    TempoValues values;
    values.DelayChange(row.position);
    EXPECT_EQ(values.Tempo(), row.position);
    EXPECT_EQ(values.StepInterval(), row.stepInterval) << row.position;
    EXPECT_EQ(TempoText(values.BeatsPerMinute()), row.tempo) << row.position;
    EXPECT_EQ(values.GlobalSpeed(), row.position);
  }
}

// The figure is the tempo a DAW must be set to: a bar of 16 steps at
// position 60 lasts 16 x 120 ms = 1.92 s, four beats of 60 / 125 s.
TEST(Tempo, TheFigureIsTheTempoThatPlays) {
  EXPECT_DOUBLE_EQ(BeatsPerMinuteFor(60), 125.0);
  EXPECT_DOUBLE_EQ(4 * 60.0 / BeatsPerMinuteFor(60), 16 * StepIntervalFor(60) / 1000.0);
}

TEST(Tempo, StartsAt60AndClampsToTheBar) {
  TempoValues values;
  EXPECT_EQ(values.GlobalSpeed(), 60);
  EXPECT_EQ(values.StepInterval(), 120);
  EXPECT_EQ(values.BeatsPerMinute(), 125.0);
  values.DelayChange(0);
  EXPECT_EQ(values.Tempo(), 1);
  EXPECT_EQ(values.BeatsPerMinute(), 7500.0);
  values.DelayChange(500);
  EXPECT_EQ(values.Tempo(), 140);
  EXPECT_EQ(values.StepInterval(), 280);
}

TEST(Tempo, StepsAndHeadersUpdateOnlyTheirOwnValues) {
  TempoValues values;
  values.FollowForStep(64);  // the read-out is left alone, global speed too
  EXPECT_EQ(values.Tempo(), 64);
  EXPECT_EQ(values.StepInterval(), 128);
  EXPECT_EQ(values.BeatsPerMinute(), 125.0);
  EXPECT_EQ(values.GlobalSpeed(), 60);

  EXPECT_EQ(values.FollowForHeader(80), 160);  // the step interval is left alone
  EXPECT_EQ(values.Tempo(), 80);
  EXPECT_EQ(values.StepInterval(), 128);
  EXPECT_EQ(values.BeatsPerMinute(), 93.75);
  EXPECT_EQ(values.GlobalSpeed(), 60);
}
