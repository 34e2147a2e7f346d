// The progress bar's arithmetic: shares, carries, the deferred whole-pixel
// step and the percentage text, against the worked cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payload/progress_bar_rules.h"

namespace {

struct Track {
  std::vector<int> positions;
  std::vector<std::string> texts;
};

Track RunBar(int width, int total, int steps)
{
  ProgressMath bar;
  ProgressMathInit(&bar, width, total);
  Track track;
  for (int i = 0; i < steps; ++i) {
    ProgressMathStep(&bar);
    track.positions.push_back(bar.position);
    track.texts.push_back(bar.text);
  }
  return track;
}

std::vector<int> Shares(int width, int total)
{
  ProgressMath bar;
  ProgressMathInit(&bar, width, total);
  return std::vector<int>(bar.share, bar.share + ProgressDigits + 1);
}

TEST(PayloadProgressMath, SharesHoldFourDecimalDigits)
{
  EXPECT_EQ(Shares(438, 19), (std::vector<int>{23, 0, 5, 2, 6}));
  EXPECT_EQ(Shares(100, 3), (std::vector<int>{33, 3, 3, 3, 3}));
  EXPECT_EQ(Shares(19, 19), (std::vector<int>{1, 0, 0, 0, 0}));
  EXPECT_EQ(Shares(10, 19), (std::vector<int>{0, 5, 2, 6, 3}));
  EXPECT_EQ(Shares(0, 19), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST(PayloadProgressMath, WorkedExampleOf438PixelsAnd19Entries)
{
  Track track = RunBar(438, 19, 20);
  const int steps[] = {1, 2, 3, 4, 5, 10, 18, 19, 20};
  const int positions[] = {0, 23, 46, 69, 92, 207, 391, 414, 438};
  const char *texts[] = {"5", "10", "15", "21", "26", "52", "94", "100", "100"};
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(steps[i]);
    EXPECT_EQ(track.positions[steps[i] - 1], positions[i]);
    EXPECT_EQ(track.texts[steps[i] - 1], texts[i]);
  }
  // Never backwards, never beyond the edge.
  for (int i = 1; i < 20; ++i) {
    EXPECT_GE(track.positions[i], track.positions[i - 1]);
    EXPECT_LE(track.positions[i], 438);
  }
}

TEST(PayloadProgressMath, ThreeStepsOverAHundredPixels)
{
  Track track = RunBar(100, 3, 4);
  EXPECT_EQ(track.positions, (std::vector<int>{0, 33, 66, 100}));
  EXPECT_EQ(track.texts, (std::vector<std::string>{"33", "66", "100", "100"}));
}

TEST(PayloadProgressMath, OnePixelPerStepWhenWidthEqualsTotal)
{
  Track track = RunBar(19, 19, 20);
  for (int step = 1; step <= 20; ++step)
    EXPECT_EQ(track.positions[step - 1], step - 1) << "step " << step;
}

TEST(PayloadProgressMath, NarrowBarMovesEverySecondStep)
{
  Track track = RunBar(10, 19, 20);
  std::vector<int> expected;
  for (int step = 1; step <= 20; ++step)
    expected.push_back(step / 2);
  EXPECT_EQ(track.positions, expected);
  EXPECT_EQ(track.positions.back(), 10);
}

TEST(PayloadProgressMath, StepsPastTheEdgeStayAtTheEdgeAndAtAHundred)
{
  for (int width : {438, 100, 19, 10, 1, 7}) {
    SCOPED_TRACE(width);
    Track track = RunBar(width, 19, 40);
    for (int step = 20; step <= 40; ++step) {
      EXPECT_EQ(track.positions[step - 1], width);
      EXPECT_EQ(track.texts[step - 1], "100");
    }
  }
}

TEST(PayloadProgressMath, ReachesTheEdgeAtStepTotalPlusOneForAnyWidth)
{
  for (int width = 0; width <= 700; ++width) {
    Track track = RunBar(width, 19, 20);
    ASSERT_EQ(track.positions[19], width) << "width " << width;
    ASSERT_LT(track.positions[18], width + 1);
  }
}

TEST(PayloadProgressMath, FirstStepIsAllBlackWithTheFirstPercentage)
{
  ProgressMath bar;
  ProgressMathInit(&bar, 438, 19);
  EXPECT_STREQ(bar.text, "");
  EXPECT_TRUE(ProgressMathStep(&bar));
  EXPECT_EQ(bar.position, 0);
  EXPECT_STREQ(bar.text, "5");
  EXPECT_EQ(bar.step, 2);
}

TEST(PayloadProgressMath, TextIsMeasuredOnlyWhenThePercentageChanges)
{
  ProgressMath bar;
  ProgressMathInit(&bar, 438, 400);
  int changes = 0;
  for (int i = 0; i < 420; ++i)
    changes += ProgressMathStep(&bar) ? 1 : 0;
  EXPECT_EQ(changes, 100);  // 1 .. 100, each once; step 1 still gives 0
  EXPECT_STREQ(bar.text, "100");
  EXPECT_EQ(bar.step, 401);  // frozen once past the total
}

TEST(PayloadProgressMath, DegenerateTotalsAndWidthsAreTamed)
{
  ProgressMath bar;
  ProgressMathInit(&bar, 50, 0);
  EXPECT_EQ(bar.total, 1);
  ProgressMathStep(&bar);
  ProgressMathStep(&bar);
  EXPECT_EQ(bar.position, 50);
  EXPECT_STREQ(bar.text, "100");

  ProgressMathInit(&bar, -5, 19);
  EXPECT_EQ(bar.width, 0);
  for (int i = 0; i < 25; ++i)
    ProgressMathStep(&bar);
  EXPECT_EQ(bar.position, 0);

  // A total near the type's limit: no overflow in 10 x remainder or s x 100.
  ProgressMathInit(&bar, 2000000000, 2147483647);
  EXPECT_EQ(bar.share[0], 0);
  EXPECT_EQ(bar.share[1], 9);
  ProgressMathStep(&bar);
  EXPECT_EQ(bar.percent, 0);
}

}  // namespace
