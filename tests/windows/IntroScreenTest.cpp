#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMediaPlayer>
#include <QScreen>
#include <QTimer>
#include <fstream>

#include "intro/intro.h"
#include "support/WindowTest.h"

namespace {

std::string Le32(uint32_t v) {
  return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}
std::string Le16(uint16_t v) {
  return std::string{char(v & 0xFF), char(v >> 8)};
}
std::string Chunk(const std::string& id, const std::string& body) {
  return id + Le32(static_cast<uint32_t>(body.size())) + body;
}
std::string List(const std::string& type, const std::string& body) {
  return Chunk("LIST", type + body);
}

// A short uncompressed AVI: 16 x 8 pixels, 24-bit frames at 10 per second.
std::string SmallAvi(int frames) {
  const uint32_t w = 16, h = 8, frameBytes = w * h * 3;
  std::string avih = Le32(100000) + Le32(frameBytes * 10) + Le32(0) + Le32(0x10) + Le32(frames) +
                     Le32(0) + Le32(1) + Le32(frameBytes) + Le32(w) + Le32(h) +
                     std::string(16, '\0');
  std::string strh = std::string("vids") + std::string("DIB ") + Le32(0) + Le16(0) + Le16(0) +
                     Le32(0) + Le32(1) + Le32(10) + Le32(0) + Le32(frames) + Le32(frameBytes) +
                     Le32(0xFFFFFFFF) + Le32(frameBytes) + Le16(0) + Le16(0) + Le16(w) + Le16(h);
  std::string strf = Le32(40) + Le32(w) + Le32(h) + Le16(1) + Le16(24) + Le32(0) +
                     Le32(frameBytes) + Le32(0) + Le32(0) + Le32(0) + Le32(0);
  std::string hdrl =
      List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));
  std::string movi, idx1;
  uint32_t offset = 4;
  for (int f = 0; f < frames; ++f) {
    std::string pixels(frameBytes, static_cast<char>(40 + 10 * f));
    movi += Chunk("00db", pixels);
    idx1 += std::string("00db") + Le32(0x10) + Le32(offset) + Le32(frameBytes);
    offset += 8 + frameBytes;
  }
  return Chunk("RIFF", "AVI " + hdrl + List("movi", movi) + Chunk("idx1", idx1));
}

class IntroScreenTest : public ::testing::Test {
 protected:
  WindowTestHome home;
  void WriteVideo(const std::string& bytes) {
    std::ofstream(home / "Korvanto.avi", std::ios::binary) << bytes;
  }
};

TEST_F(IntroScreenTest, WithoutTheVideoFileItNeverShowsNorMakesAPlayer) {
  TIntroScreen intro;
  EXPECT_FALSE(intro.isVisible());
  EXPECT_EQ(intro.MediaPlayer1, nullptr);
  EXPECT_EQ(intro.OleContainer1, nullptr);
  EXPECT_FALSE(intro.Timer1->isActive());
  QApplication::processEvents();
  EXPECT_FALSE(intro.isVisible());
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST_F(IntroScreenTest, APlayingVideoGoesOnTheTenthTickWithoutInput) {
  WriteVideo(SmallAvi(30));
  TIntroScreen intro;
  ASSERT_TRUE(intro.isVisible());
  EXPECT_EQ(intro.size(), QSize(452, 231));
  EXPECT_TRUE(intro.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(intro.windowFlags() & Qt::WindowStaysOnTopHint);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    EXPECT_LE((intro.geometry().center() - screen->availableGeometry().center()).manhattanLength(),
              2);
  }
  EXPECT_EQ(intro.OleContainer1->geometry(), QRect(8, 16, 436, 210));
  EXPECT_TRUE(intro.Timer1->isActive());
  EXPECT_EQ(intro.Timer1->interval(), 1000);
  ASSERT_NE(intro.MediaPlayer1, nullptr);
  // The video really plays: a frame reaches the surface.
  EXPECT_TRUE(QTest::qWaitFor([&] { return intro.OleContainer1->HasFrame(); }, 10000));
  EXPECT_FALSE(intro.VideoFailed());

  for (int tick = 1; tick < 10; ++tick) {
    intro.Timer1Timer();
    ASSERT_TRUE(intro.isVisible()) << tick;
  }
  intro.Timer1Timer();
  EXPECT_FALSE(intro.isVisible());
  EXPECT_EQ(intro.Ticks(), 10);
  EXPECT_TRUE(home.prompts.messages.empty());
}

TEST_F(IntroScreenTest, AClickOrAKeyOnTheVideoHidesItAtOnce) {
  WriteVideo(SmallAvi(30));
  {
    TIntroScreen intro;
    ASSERT_TRUE(intro.isVisible());
    intro.Timer1Timer();
    QTest::mouseClick(intro.OleContainer1, Qt::LeftButton);
    EXPECT_FALSE(intro.isVisible());
    EXPECT_EQ(intro.MediaPlayer1->playbackState(), QMediaPlayer::StoppedState);
    for (int tick = 0; tick < 12; ++tick) intro.Timer1Timer();
    EXPECT_FALSE(intro.isVisible());
  }
  TIntroScreen intro;
  ASSERT_TRUE(intro.isVisible());
  QTest::keyClick(intro.OleContainer1, Qt::Key_Space);
  EXPECT_FALSE(intro.isVisible());
}

TEST_F(IntroScreenTest, AFileThatIsNoVideoIsReportedAndTheScreenStillGoes) {
  WriteVideo("this is not a video at all");
  {
    TIntroScreen intro;
    ASSERT_TRUE(intro.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !home.prompts.messages.empty(); }, 10000));
    EXPECT_TRUE(intro.VideoFailed());
    EXPECT_EQ(home.prompts.messages.size(), 1u);
    EXPECT_FALSE(home.prompts.messages.front().text.empty());
    EXPECT_TRUE(intro.isVisible());
    for (int tick = 0; tick < 10; ++tick) intro.Timer1Timer();
    EXPECT_FALSE(intro.isVisible());
  }
  TIntroScreen intro;
  EXPECT_TRUE(QTest::qWaitFor([&] { return intro.VideoFailed(); }, 10000));
  QTest::mouseClick(intro.OleContainer1, Qt::LeftButton);
  EXPECT_FALSE(intro.isVisible());
}

}  // namespace
