#include "platform/Png.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

TEST(Png, RgbaPicturesRoundTripWithTheirAlphaAndBadSizesGiveNothing) {
  const std::vector<std::uint8_t> pixels{255, 0, 0, 255, 0, 128, 255, 64, 10, 20, 30, 0};
  const std::vector<std::uint8_t> png = platform::EncodePng(3, 1, pixels);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png, platform::EncodePng(3, 1, pixels)) << "the same bytes every time";
  const QImage image = QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG")
                           .convertToFormat(QImage::Format_RGBA8888);
  ASSERT_EQ(image.width(), 3);
  ASSERT_EQ(image.height(), 1);
  EXPECT_EQ(std::vector<std::uint8_t>(image.constBits(), image.constBits() + 12), pixels);
  EXPECT_TRUE(platform::EncodePng(2, 2, pixels).empty());
  EXPECT_TRUE(platform::EncodePng(0, 3, {}).empty());
}

}  // namespace
