#include "config/picture_fit.h"

#include <gtest/gtest.h>

TEST(PictureFit, LandscapeFillsTheWidthAndIsCentredVertically) {
  const FitRect r = FitPicture(400, 300, 124, 106);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.width, 124);
  EXPECT_EQ(r.height, 79);
  EXPECT_EQ(r.y, 14);
}

TEST(PictureFit, PortraitFillsTheHeightAndIsCentredHorizontally) {
  const FitRect r = FitPicture(300, 400, 124, 106);
  EXPECT_EQ(r.y, 0);
  EXPECT_EQ(r.height, 106);
  EXPECT_EQ(r.width, 93);
  EXPECT_EQ(r.x, 16);
}

TEST(PictureFit, SquareAndEmptyPicturesFillTheControl) {
  const FitRect square = FitPicture(50, 50, 124, 106);
  EXPECT_EQ(square.x, 0);
  EXPECT_EQ(square.y, 0);
  EXPECT_EQ(square.width, 124);
  EXPECT_EQ(square.height, 106);
  const FitRect empty = FitPicture(0, 0, 124, 106);
  EXPECT_EQ(empty.width, 124);
  EXPECT_EQ(empty.height, 106);
}

TEST(PictureFit, InvertedRowsSwapTopAndBottom) {
  EXPECT_EQ(InvertedRow(0, 50), 49);
  EXPECT_EQ(InvertedRow(49, 50), 0);
}
